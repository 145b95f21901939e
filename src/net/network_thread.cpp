// The receiver thread: socket set-up, the wait for a datagram or a change of state, calls into
// the main thread.
#include "net/network_thread.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QMetaObject>

#include "core/ip_list.h"
#include "core/winsock_errors.h"
#include "platform/language.h"
#include "platform/udp_socket.h"

tNetworkThread::tNetworkThread(tReceiverHost& host, QObject* parent)
    : QThread(parent), FHost(host) {
    // A call into the main thread to read its state would wake it for
    // nothing. Its state only changes while it handles messages, so
    // publishing it each time it has handled them and is about to wait gives
    // the receiver the state it would read between two messages, and wakes
    // the receiver only when there is something new.
    PublishMainState();
    if (QAbstractEventDispatcher* loop =
            QAbstractEventDispatcher::instance(FHost.Context()->thread()))
        FIdleHook = connect(loop, &QAbstractEventDispatcher::aboutToBlock, this,
                            &tNetworkThread::PublishMainState, Qt::DirectConnection);
}

tNetworkThread::~tNetworkThread() {
    disconnect(FIdleHook);
    // The owner stops the thread before it goes; should it not have, the
    // thread ends without further calls into the main thread.
    if (isRunning()) {
        requestInterruption();
        FWake.Signal();
        WaitServing();
    }
}

template <typename F> void tNetworkThread::Synchronize(F call) {
    if (isInterruptionRequested())
        return;
    QMetaObject::invokeMethod(
        FHost.Context(),
        [this, &call] {
            call();
            PublishMainState();
        },
        Qt::BlockingQueuedConnection);
}

void tNetworkThread::PublishMainState() {
    if (isInterruptionRequested())
        return;
    const std::uint64_t word =
        static_cast<std::uint64_t>(FHost.CurrentNetState()) |
        (static_cast<std::uint64_t>(FHost.CurrentServicePort()) << 8) |
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(FHost.CurrentUdpProtocol())) << 32);
    // Stored before the signal: the receiver clears the signal before it
    // reads, so it never sleeps on a state it has not seen.
    if (FMainState.exchange(word, std::memory_order_acq_rel) != word)
        FWake.Signal();
}

void tNetworkThread::WaitServing() {
    PublishMainState();
    if (!isRunning()) {
        wait();
        return;
    }
    QEventLoop loop;
    connect(this, &QThread::finished, &loop, &QEventLoop::quit);
    // The thread may have ended between the test above and the connection.
    if (!isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    wait();
}

QString tNetworkThread::SetupFailureText(const char* step, int code) {
    return QString::fromLatin1(step) + QStringLiteral(": ") +
           QString::fromStdString(WinSockErrorText(code)) + QStringLiteral("\n\n") +
           QString::fromStdString(FatalSocketHint(IsGerman()));
}

QString tNetworkThread::AnswerText(std::uint8_t kind, tAddress sender) {
    const QString pc = QString::fromStdString(DottedAddress(sender));
    if (kind == nmGameRunning)
        return IsGerman() ? QStringLiteral("Auf PC ") + pc +
                                QStringLiteral(" ist das Spiel bereits im Gange")
                          : QStringLiteral("The game on PC ") + pc +
                                QStringLiteral(" is already in progress");
    return IsGerman()
               ? QStringLiteral("Auf PC ") + pc + QStringLiteral(" gibt es noch keine Spieler")
               : QStringLiteral("There are no players on PC ") + pc;
}

void tNetworkThread::ReadMainState() {
    const std::uint64_t word = FMainState.load(std::memory_order_acquire);
    FState = static_cast<tNetState>(word & 0xFF);
    FPort = static_cast<std::uint16_t>(word >> 8);
    FProtocol = static_cast<int>(static_cast<std::int32_t>(word >> 32));
    if (isInterruptionRequested())
        FState = nsStopOnly;
}

void tNetworkThread::ReportError(const QString& text) {
    FErrorText = text;
    Synchronize([this] { FHost.ShowNetworkError(FErrorText); });
}

void tNetworkThread::SetupFailed(const char* step, int code) {
    Synchronize([this] { FHost.NetworkFailed(); });
    ReportError(SetupFailureText(step, code));
}

void tNetworkThread::DispatchDatagram(std::size_t length) {
    const std::optional<tDatagram> datagram = tDatagram::Decode(FBuffer, length);
    if (!datagram)
        return;
    bool show = false;
    Synchronize([this, &datagram, &show] { show = FHost.ReceiveDatagram(*datagram); });
    if (show && (datagram->Kind == nmGameRunning || datagram->Kind == nmNoPlayers))
        ReportError(AnswerText(datagram->Kind, datagram->SenderAddress));
}

void tNetworkThread::Execute() {
    // The first read is a call of its own: the state as it stands when the
    // thread starts, however the main thread has changed it since creation.
    Synchronize([] {});
    ReadMainState();
    while (!Stopping()) {
        if (FState != nsReady) {
            FWake.Wait();
            FWake.Clear();
            ReadMainState();
            continue;
        }
        const std::uint16_t port = FPort;
        tUdpReceiver socket;
        int code = 0;
        if (!socket.Open(FProtocol, code)) {
            SetupFailed("Open socket", code);
        } else if (!socket.Bind(port, code)) {
            SetupFailed("Binding the socket", code);
        } else if (!socket.MakeNonBlocking(code)) {
            SetupFailed("Making the socket non blocking", code);
        } else {
            bool alive = true;
            Synchronize([this] { FHost.BroadcastHello(); });
            ReadMainState();
            while (FState == nsReady && alive && FPort == port) {
                const int ready = socket.WaitReadableOrWoken(FWake, code);
                if (ready > 0 && (ready & wrWoken))
                    FWake.Clear();
                if (ready < 0) {
                    alive = false;
                    ReportError(QStringLiteral("Receiving data from socket: ") +
                                QString::fromStdString(WinSockErrorText(code)));
                } else if (ready & wrReadable) {
                    const long n = socket.Receive(FBuffer, sizeof FBuffer, code);
                    if (n < 0) {
                        alive = false;
                        ReportError(QStringLiteral("Receiving data from socket: ") +
                                    QString::fromStdString(WinSockErrorText(code)));
                    } else if (n == static_cast<long>(kDatagramSize)) {
                        DispatchDatagram(kDatagramSize);
                    }
                }
                ReadMainState();
            }
            if (!socket.Shutdown(code))
                ReportError(QStringLiteral("Shutdown socket: ") +
                            QString::fromStdString(WinSockErrorText(code)));
        }
        if (socket.IsOpen() && !socket.Close(code))
            ReportError(QStringLiteral("Close socket: ") +
                        QString::fromStdString(WinSockErrorText(code)));
        ReadMainState();
    }
    // Nothing to clean up for BSD sockets: nsStopCleanup and nsStopOnly both just end.
}
