// tNetworkThread: the receiver that listens on the game's UDP port and hands datagrams to the main
// thread.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>

#include "core/datagram.h"
#include "platform/udp_socket.h"

enum tNetState : std::uint8_t {
    nsIdle = 0,
    nsStarted = 1,
    nsReady = 2,
    nsFailed = 3,
    nsStopCleanup = 4,
    nsStopOnly = 5,
};

// What the receiver asks of the main window. Every call runs in the main
// thread: the Current... reads when the main thread publishes its state (see
// PublishMainState), the others as a blocking queued call on Context() while
// the receiver waits.
class tReceiverHost {
public:
    virtual ~tReceiverHost() = default;
    virtual QObject* Context() = 0;
    virtual tNetState CurrentNetState() const = 0;
    virtual std::uint16_t CurrentServicePort() const = 0; // network byte order
    virtual int CurrentUdpProtocol() const = 0;
    virtual void BroadcastHello() = 0;
    // NetState = nsFailed and the messages windows close.
    virtual void NetworkFailed() = 0;
    virtual void ShowNetworkError(const QString& text) = 0;
    // The receiving table for a datagram of 88 bytes; nmGameRunning and
    // nmNoPlayers return true when their message is to be shown.
    virtual bool ReceiveDatagram(const tDatagram& datagram) = 0;
};

class tNetworkThread : public QThread {
    Q_OBJECT

public:
    explicit tNetworkThread(tReceiverHost& host, QObject* parent = nullptr);
    ~tNetworkThread() override;

    // Waits for the end of a thread whose host state says stop, and serves
    // its calls into the main thread meanwhile. Only the main thread calls it.
    void WaitServing();

    // Takes the host's network state, protocol and port for the receiver and
    // wakes it when they changed. Runs in the main thread: by itself whenever
    // its event loop is about to wait, after each call the receiver makes into
    // it, and when WaitServing begins; callers may run it after a change of
    // their own.
    void PublishMainState();

    // The message of a fatal set-up step, in the language in use.
    static QString SetupFailureText(const char* step, int code);
    // The message about an answer to an invitation.
    static QString AnswerText(std::uint8_t kind, tAddress sender);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    void ReadMainState();
    void DispatchDatagram(std::size_t length);
    void SetupFailed(const char* step, int code);
    void ReportError(const QString& text);
    template <typename F> void Synchronize(F call);
    bool Stopping() const { return FState == nsStopCleanup || FState == nsStopOnly; }

    tReceiverHost& FHost;
    // The host's state, protocol and port in one word, so that the receiver
    // never sees a port of one state with another state.
    std::atomic<std::uint64_t> FMainState{0};
    // The receiver sleeps until a datagram arrives or this is signalled.
    tWakeSignal FWake;
    QMetaObject::Connection FIdleHook;
    tNetState FState = nsIdle;
    std::uint16_t FPort = 0;
    int FProtocol = 17;
    std::uint8_t FBuffer[kDatagramSize + 1] = {};
    QString FErrorText;
};
