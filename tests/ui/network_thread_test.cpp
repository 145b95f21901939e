// Receiver thread: listening, dispatching over loopback UDP, set-up failures, port changes,
// stopping.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "core/datagram.h"
#include "net/network_thread.h"
#include "platform/language.h"
#include "platform/udp_socket.h"

namespace {

const tAddress kLoop = AddressFromOctets(127, 0, 0, 1);
const tAddress kPeer = AddressFromOctets(10, 0, 0, 2);

// Runs in the main thread, as the main window does.
class tFakeReceiverHost : public QObject, public tReceiverHost {
public:
    tNetState State = nsIdle;
    std::uint16_t Port = 0;
    int Hellos = 0;
    int Failures = 0;
    std::vector<QString> Errors;
    std::vector<tDatagram> Received;
    std::vector<Qt::HANDLE> CallingThreads;
    bool ShowAnswers = false;

    QObject* Context() override { return this; }
    tNetState CurrentNetState() const override { return State; }
    std::uint16_t CurrentServicePort() const override { return Port; }
    int CurrentUdpProtocol() const override { return UdpProtocolNumber(); }
    void BroadcastHello() override {
        CallingThreads.push_back(QThread::currentThreadId());
        ++Hellos;
    }
    void NetworkFailed() override {
        ++Failures;
        State = nsFailed;
    }
    void ShowNetworkError(const QString& text) override { Errors.push_back(text); }
    bool ReceiveDatagram(const tDatagram& d) override {
        CallingThreads.push_back(QThread::currentThreadId());
        Received.push_back(d);
        return ShowAnswers;
    }
};

// The pause of an event loop that has nothing to do: it tells that it is about
// to wait, as a real loop does, and waits.
void WaitLikeAnEventLoop() {
    emit QAbstractEventDispatcher::instance()->aboutToBlock();
    QThread::msleep(1);
}

// Serves the thread's calls until the condition holds; false when it never did.
// One pass at a time: a call the thread posts while a pass runs waits for the
// next pass, so the condition is seen before the thread's following call is served.
bool ServeUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        WaitLikeAnEventLoop();
    }
    return true;
}

// Serves the thread's calls for a few of its 50 ms rounds.
void ServeAWhile() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        WaitLikeAnEventLoop();
    }
}

// Counts the calls that reach the main thread through its event queue.
class tCallCounter : public QObject {
public:
    int Calls = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        Calls += event->type() == QEvent::MetaCall;
        return false;
    }
};

std::uint16_t FreePort() {
    tUdpReceiver probe;
    int code = 0;
    probe.Open(UdpProtocolNumber(), code);
    probe.Bind(0, code);
    return probe.BoundPort();
}

void SendBytes(const std::uint8_t* data, std::size_t size, std::uint16_t port) {
    ASSERT_EQ(SendUdp(data, size, kLoop, port, UdpProtocolNumber()).step, ssSent);
}

void SendDatagramTo(const tDatagram& d, std::uint16_t port) {
    const tDatagramBytes bytes = d.Encode();
    SendBytes(bytes.data(), bytes.size(), port);
}

class NetworkThreadTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguage(0x0409); }
    void TearDown() override {
        host.State = nsStopOnly;
        thread.WaitServing();
    }
    void StartListening() {
        host.Port = FreePort();
        host.State = nsReady;
        thread.start();
        ASSERT_TRUE(ServeUntil([this] { return host.Hellos == 1; })) << "no hello";
    }
    tFakeReceiverHost host;
    tNetworkThread thread{host};
};

TEST_F(NetworkThreadTest, IdlesWithoutAPortAndNeverAnnouncesItself) {
    host.State = nsStarted;
    thread.start();
    ServeAWhile();
    EXPECT_EQ(host.Hellos, 0);
    EXPECT_TRUE(host.Errors.empty());
    EXPECT_TRUE(thread.isRunning());
}

// The 50 ms rounds read the published state: an idle or quietly listening
// receiver does not wake the main thread, yet sees its changes.
TEST_F(NetworkThreadTest, QuietRoundsMakeNoCallsIntoTheMainThread) {
    tCallCounter counter;
    host.installEventFilter(&counter);
    host.State = nsStarted;
    thread.start();
    ServeAWhile();
    const int atStart = counter.Calls;
    ServeAWhile();
    EXPECT_EQ(counter.Calls, atStart) << "idle";
    host.Port = FreePort();
    host.State = nsReady;
    ASSERT_TRUE(ServeUntil([this] { return host.Hellos == 1; }));
    const int listening = counter.Calls;
    ServeAWhile();
    EXPECT_EQ(counter.Calls, listening) << "listening";
    host.removeEventFilter(&counter);
}

TEST_F(NetworkThreadTest, OnlyDatagramsOfExactly88BytesReachTheMainThread) {
    StartListening();
    const tDatagramBytes hello = tDatagram::Hello(kPeer).Encode();
    SendBytes(hello.data(), 87, host.Port);
    const std::vector<std::uint8_t> longer(200, nmHello);
    SendBytes(longer.data(), longer.size(), host.Port);
    SendDatagramTo(tDatagram::TileLaid(kPeer, 77, 3, 311), host.Port);
    ASSERT_TRUE(ServeUntil([this] { return !host.Received.empty(); }));
    ASSERT_EQ(host.Received.size(), 1u);
    EXPECT_EQ(host.Received[0].Kind, nmTileLaid);
    EXPECT_EQ(host.Received[0].BoardId, 77u);
    EXPECT_EQ(host.Received[0].CellCode, 311);
    EXPECT_TRUE(host.Errors.empty()) << host.Errors[0].toStdString();
    for (Qt::HANDLE id : host.CallingThreads)
        EXPECT_EQ(id, QThread::currentThreadId()) << "a call ran outside the main thread";
}

TEST_F(NetworkThreadTest, AnswersToInvitationsAreShownInTheLanguageInUse) {
    host.ShowAnswers = true;
    StartListening();
    SendDatagramTo(tDatagram::GameRunning(kPeer), host.Port);
    SendDatagramTo(tDatagram::NoPlayers(0), host.Port);
    ASSERT_TRUE(ServeUntil([this] { return host.Errors.size() == 2; }));
    EXPECT_EQ(host.Errors[0], QStringLiteral("The game on PC 10.0.0.2 is already in progress"));
    EXPECT_EQ(host.Errors[1], QStringLiteral("There are no players on PC 0.0.0.0"));
    SetLanguage(0x0407);
    EXPECT_EQ(tNetworkThread::AnswerText(nmGameRunning, kPeer),
              QStringLiteral("Auf PC 10.0.0.2 ist das Spiel bereits im Gange"));
    EXPECT_EQ(tNetworkThread::AnswerText(nmNoPlayers, kPeer),
              QStringLiteral("Auf PC 10.0.0.2 gibt es noch keine Spieler"));
}

TEST_F(NetworkThreadTest, ABusyPortFailsTheNetworkOnceWithTheBindMessageAndHint) {
    tUdpReceiver other;
    int code = 0;
    ASSERT_TRUE(other.Open(UdpProtocolNumber(), code));
    ASSERT_TRUE(other.Bind(0, code));
    host.Port = other.BoundPort();
    host.State = nsReady;
    thread.start();
    ASSERT_TRUE(ServeUntil([this] { return !host.Errors.empty(); }));
    EXPECT_EQ(host.Errors[0].toStdString(),
              "Binding the socket: wsaEAddrInUse - Address already in use.\n\n"
              "After fixing the problem call the menu \"Settings - Network\"");
    ServeAWhile();
    EXPECT_EQ(host.Failures, 1) << "the failed network idles";
    EXPECT_EQ(host.Hellos, 0);
    // Once the state is ready again (the network settings), it listens.
    other.Close(code);
    host.State = nsReady;
    EXPECT_TRUE(ServeUntil([this] { return host.Hellos == 1; }));
}

TEST_F(NetworkThreadTest, ANewPortReopensTheSocketAndAnnouncesAgain) {
    StartListening();
    const std::uint16_t oldPort = host.Port;
    host.Port = FreePort();
    ASSERT_TRUE(ServeUntil([this] { return host.Hellos == 2; }));
    SendDatagramTo(tDatagram::Present(kPeer), oldPort);
    SendDatagramTo(tDatagram::Hello(kPeer), host.Port);
    ASSERT_TRUE(ServeUntil([this] { return !host.Received.empty(); }));
    ServeAWhile();
    ASSERT_EQ(host.Received.size(), 1u) << "the old port still listens";
    EXPECT_EQ(host.Received[0].Kind, nmHello);
    // Without a port the socket closes and the thread idles.
    host.State = nsStarted;
    ServeAWhile();
    SendDatagramTo(tDatagram::Hello(kPeer), host.Port);
    ServeAWhile();
    EXPECT_EQ(host.Received.size(), 1u);
}

// The thread is held in a call into the main thread when the stop begins:
// waiting must serve that call, else neither side ever goes on.
TEST_F(NetworkThreadTest, StoppingServesTheCallTheThreadIsWaitingIn) {
    host.ShowAnswers = true;
    StartListening();
    SendDatagramTo(tDatagram::GameRunning(kPeer), host.Port);
    ASSERT_TRUE(ServeUntil([this] { return host.Received.size() == 1; }));
    // Its next step is the report of that answer; nothing serves it now.
    QThread::msleep(200);
    EXPECT_TRUE(host.Errors.empty());
    host.State = nsStopCleanup;
    QElapsedTimer clock;
    clock.start();
    thread.WaitServing();
    const qint64 stopMs = clock.elapsed();
    EXPECT_TRUE(thread.isFinished());
    EXPECT_EQ(host.Errors.size(), 1u) << "the waiting report was served";
    std::printf("receiver stopped %lld ms after the stop state\n", static_cast<long long>(stopMs));
}

TEST(NetworkThreadLifetime, ARunningThreadStopsWhenItIsDestroyed) {
    tFakeReceiverHost host;
    host.State = nsStarted;
    auto thread = std::make_unique<tNetworkThread>(host);
    thread->start();
    ServeUntil([&] { return thread->isRunning(); });
    thread.reset(); // returns only once the thread has ended
    SUCCEED();
}

} // namespace
