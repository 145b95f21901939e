// Main window protocol: the receiving table fed with datagrams, answers, sends, network start.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "core/datagram.h"
#include "core/ip_list.h"
#include "core/tiles.h"
#include "game/hexagon.h"
#include "net/chat_form.h"
#include "platform/language.h"
#include "platform/services_db.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "table/main_form.h"

namespace {

const tAddress kOwn = AddressFromOctets(10, 0, 0, 1);
const tAddress kOwn2 = AddressFromOctets(192, 168, 7, 1);
const tAddress kPeerA = AddressFromOctets(10, 0, 0, 2);
const tAddress kPeerB = AddressFromOctets(10, 0, 0, 3);

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QTest::qWait(0);
}

class MainFormNetTest : public ::testing::Test {
protected:
    struct tSent {
        tDatagram datagram;
        tAddress to;
    };

    void SetUp() override {
        SetLanguage(0x0409);
        ASSERT_TRUE(dir.isValid());
        SetSettingsFileName(dir.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetServiceDirectoriesForTests(
            tServiceDirectories{dir.filePath(QStringLiteral("user")).toStdString(),
                                dir.filePath(QStringLiteral("etc")).toStdString()});
        SetMessageBoxHook([this](const QString& text, const QString&, int) {
            boxes.push_back(text);
            return kIdOk;
        });
        TMainForm::EnableNetworkStart(false);
        Restart();
    }
    void Restart() {
        form.reset();
        sent.clear();
        form = std::make_unique<TMainForm>();
        form->resize(1000, 800);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
        form->Table().OwnAddresses.Add(kOwn);
        form->NetState = nsReady;
        form->SetDatagramSink([this](const tDatagram& d, tAddress to) {
            sent.push_back({d, to});
            return result;
        });
    }
    void TearDown() override {
        form.reset();
        Settle();
        SetMessageBoxHook({});
        SetServiceDirectoriesForTests(std::nullopt);
        TMainForm::EnableNetworkStart(true);
    }
    // A datagram as it comes off the wire.
    bool Receive(const tDatagram& d) {
        const tDatagramBytes bytes = d.Encode();
        const std::optional<tDatagram> decoded = tDatagram::Decode(bytes.data(), bytes.size());
        EXPECT_TRUE(decoded.has_value());
        const bool show = form->ReceiveDatagram(*decoded);
        Settle();
        return show;
    }
    bool ReceiveBytes(tDatagramBytes bytes) {
        const bool show = form->ReceiveDatagram(*tDatagram::Decode(bytes.data(), bytes.size()));
        Settle();
        return show;
    }
    TChildForm* Local(const QString& name) {
        TChildForm* board = form->AddBoard(0, 0, 0, name);
        Settle();
        return board;
    }
    tDatagram BoardFrom(tAddress sender, std::uint32_t id, const std::string& name) const {
        return tDatagram::Board(form->CurrentTileOrder(), sender, name, id);
    }
    int SentOf(std::uint8_t kind, tAddress to) const {
        int n = 0;
        for (const tSent& s : sent)
            n += s.datagram.Kind == kind && s.to == to;
        return n;
    }
    void StartGame() {
        // Every board confirms the first tile: the game runs.
        for (TChildForm* board : form->Boards()) {
            if (!form->Table().IsLocal(board->Data()))
                continue;
            QTest::mouseClick(board->Cell(311), Qt::LeftButton);
            QTest::mouseClick(board->BtnOk, Qt::LeftButton);
            Settle();
        }
    }
    void WriteUserServices(const char* text) {
        QDir().mkpath(dir.filePath(QStringLiteral("user")));
        QFile file(dir.filePath(QStringLiteral("user/services")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    std::vector<tSent> sent;
    std::vector<QString> boxes;
    tSendResult result;
};

TEST_F(MainFormNetTest, ReceivingTableIgnoresZeroOwnAndUnknownSenders) {
    tDatagramBytes kind11 = tDatagram::Hello(kPeerA).Encode();
    kind11[0] = 11;
    tDatagramBytes kind255 = kind11;
    kind255[0] = 255;
    struct {
        const char* what;
        tDatagramBytes bytes;
    } const cases[] = {
        {"hello from 0", tDatagram::Hello(0).Encode()},
        {"own hello", tDatagram::Hello(kOwn).Encode()},
        {"own request", tDatagram::RequestBoards(kOwn).Encode()},
        {"kind 11", kind11},
        {"kind 255", kind255},
        {"present from 0", tDatagram::Present(0).Encode()},
        {"text from 0", tDatagram::TextMessage(0, "hi").Encode()},
        {"board from 0", BoardFrom(0, 5, "Bob").Encode()},
        {"own board back", BoardFrom(kOwn, 5, "Bob").Encode()},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ReceiveBytes(c.bytes)) << c.what;
        EXPECT_TRUE(sent.empty()) << c.what;
        EXPECT_EQ(form->Table().PeerPcs.Count(), 0) << c.what;
        EXPECT_TRUE(form->Boards().empty()) << c.what;
        EXPECT_TRUE(form->ChatForms().empty()) << c.what;
    }
}

TEST_F(MainFormNetTest, HelloAndRequestAreAnsweredByTheStateOfThisPc) {
    struct {
        const char* what;
        bool request;
        bool localBoard;
        bool running;
        std::uint8_t answer; // 255: only boards
    } const cases[] = {
        {"hello, no boards", false, false, false, nmPresent},
        {"request, no boards", true, false, false, nmNoPlayers},
        {"hello, a board", false, true, false, 255},
        {"request, a board", true, true, false, 255},
        {"request, game runs", true, true, true, nmGameRunning},
    };
    for (const auto& c : cases) {
        Restart();
        if (c.localBoard)
            Local(QStringLiteral("Anna"));
        if (c.running)
            StartGame();
        sent.clear();
        Receive(c.request ? tDatagram::RequestBoards(kPeerA) : tDatagram::Hello(kPeerA));
        EXPECT_TRUE(form->Table().PeerPcs.Contains(kPeerA)) << c.what;
        if (c.answer == 255) {
            EXPECT_EQ(SentOf(nmBoard, kPeerA), 1) << c.what;
            EXPECT_EQ(sent.size(), 1u) << c.what;
        } else {
            ASSERT_EQ(sent.size(), 1u) << c.what;
            EXPECT_EQ(sent[0].datagram.Kind, c.answer) << c.what;
            EXPECT_EQ(sent[0].to, kPeerA) << c.what;
            EXPECT_EQ(sent[0].datagram.SenderAddress, kOwn) << c.what;
        }
    }
    // A hello during a game is left unanswered.
    sent.clear();
    Receive(tDatagram::Hello(kPeerB));
    EXPECT_TRUE(sent.empty());
}

TEST_F(MainFormNetTest, AHelloAnnouncesOnlyLocalBoardsARequestAllBoards) {
    Local(QStringLiteral("Anna"));
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    ASSERT_EQ(form->Boards().size(), 2u);
    sent.clear();
    Receive(tDatagram::Hello(kPeerB));
    ASSERT_EQ(SentOf(nmBoard, kPeerB), 1);
    sent.clear();
    Receive(tDatagram::RequestBoards(kPeerB));
    // The copy of Bob's board goes out once per owner address: it has one.
    EXPECT_EQ(SentOf(nmBoard, kPeerB), 2);
    bool passedOn = false;
    for (const tSent& s : sent)
        passedOn |= s.datagram.BoardId == 7 && s.datagram.SenderAddress == kPeerA &&
                    s.datagram.HomeAddress == kPeerA;
    EXPECT_TRUE(passedOn) << "a board played elsewhere names its home PC";
}

TEST_F(MainFormNetTest, AnnouncedBoardsBecomeRemoteWindowsAndGetTheLocalBoardsBack) {
    TChildForm* anna = Local(QStringLiteral("Anna"));
    sent.clear();
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    ASSERT_EQ(form->Boards().size(), 2u);
    TChildForm* bob = form->Boards()[0] == anna ? form->Boards()[1] : form->Boards()[0];
    EXPECT_EQ(bob->windowTitle(), QStringLiteral("\\\\10.0.0.2\\Bob"));
    EXPECT_EQ(bob->Data().BoardId, 7u);
    EXPECT_FALSE(form->Table().IsLocal(bob->Data()));
    EXPECT_TRUE(form->Table().PeerPcs.Contains(kPeerA));
    ASSERT_EQ(SentOf(nmBoard, kPeerA), 1) << "Anna's board goes to the new PC";
    EXPECT_EQ(sent[0].datagram.BoardId, anna->Data().BoardId);
    EXPECT_EQ(sent[0].datagram.Name, "Anna");
    // A second board of that PC is known news: no announcement again.
    sent.clear();
    Receive(BoardFrom(kPeerA, 8, "Cleo"));
    EXPECT_EQ(form->Boards().size(), 3u);
    EXPECT_TRUE(sent.empty());
}

TEST_F(MainFormNetTest, OneBoardOverTwoSendersMakesOneWindowWithBothAddresses) {
    const tAddress home = AddressFromOctets(10, 0, 0, 9);
    tDatagram viaA = BoardFrom(home, 7, "Bob");
    viaA.SenderAddress = kPeerA;
    tDatagram viaB = viaA;
    viaB.SenderAddress = kPeerB;
    Receive(viaA);
    Receive(viaA);
    Receive(viaB);
    ASSERT_EQ(form->Boards().size(), 1u);
    const tIpList& owners = form->Boards()[0]->Data().OwnerAddresses;
    EXPECT_EQ(owners.Items(0), home);
    EXPECT_TRUE(owners.Contains(kPeerA));
    EXPECT_TRUE(owners.Contains(kPeerB));
    EXPECT_EQ(owners.Count(), 3);
}

TEST_F(MainFormNetTest, OwnBoardKindTakesTheHomeFromTheSenderField) {
    tDatagramBytes bytes = BoardFrom(kPeerA, 7, "Bob").Encode();
    bytes[0] = nmOwnBoard;
    for (int i = 84; i < 88; ++i)
        bytes[static_cast<std::size_t>(i)] = 0x5A; // any home address
    ReceiveBytes(bytes);
    ASSERT_EQ(form->Boards().size(), 1u);
    EXPECT_EQ(form->Boards()[0]->Data().OwnerAddresses.Items(0), kPeerA);
    EXPECT_EQ(form->Boards()[0]->Data().OwnerAddresses.Count(), 1);
}

TEST_F(MainFormNetTest, BoardsWithAnotherOrderOrDuringAGameAreIgnoredSilently) {
    Local(QStringLiteral("Anna"));
    tDatagram other = BoardFrom(kPeerA, 7, "Bob");
    std::swap(other.Order.tiles[0], other.Order.tiles[1]);
    Receive(other);
    EXPECT_EQ(form->Boards().size(), 1u);
    StartGame();
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    EXPECT_EQ(form->Boards().size(), 1u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormNetTest, NamesAndTextsTravelInWindows1252) {
    Receive(tDatagram::Hello(kPeerA));
    sent.clear();
    Local(QStringLiteral("Jürgen"));
    ASSERT_EQ(SentOf(nmBoard, kPeerA), 1);
    EXPECT_EQ(sent[0].datagram.Name, "J\xFCrgen");
    Receive(BoardFrom(kPeerB, 7, "G\xE9rard \x80"));
    bool found = false;
    for (TChildForm* board : form->Boards())
        found |= board->windowTitle() == QStringLiteral("\\\\10.0.0.3\\Gérard €");
    EXPECT_TRUE(found);
    Receive(tDatagram::TextMessage(kPeerB, "Gr\xFC\xDF"
                                           "e"));
    ASSERT_FALSE(form->ChatForms().empty());
    ASSERT_FALSE(form->ChatForms().back()->History().empty());
    EXPECT_EQ(form->ChatForms().back()->History().back().Text, QStringLiteral("Grüße"));
}

TEST_F(MainFormNetTest, MovesReachOnlyTheRemoteCopyOfTheirBoard) {
    TChildForm* anna = Local(QStringLiteral("Anna"));
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    TChildForm* bob = nullptr;
    for (TChildForm* board : form->Boards())
        if (board != anna)
            bob = board;
    ASSERT_NE(bob, nullptr);
    Receive(tDatagram::TileLaid(kPeerA, 7, 1, 113));
    EXPECT_EQ(bob->Cell(113)->GetOccupation(), bob->Stock(1));
    Receive(tDatagram::TileConfirmed(kPeerA, 7, 1, 212));
    EXPECT_EQ(bob->Cell(212)->GetOccupation(), bob->Stock(1));
    EXPECT_FALSE(bob->Data().AwaitingTile);
    Receive(tDatagram::TileLaid(kPeerB, 7, 2, 113)); // another PC, same id
    EXPECT_EQ(bob->Cell(113)->GetOccupation(), nullptr);
    // A move naming a board of this PC plays nothing on it.
    Receive(tDatagram::TileConfirmed(kPeerA, anna->Data().BoardId, 1, 311));
    Receive(tDatagram::TileConfirmed(kOwn, anna->Data().BoardId, 1, 311));
    EXPECT_EQ(anna->Cell(311)->GetOccupation(), nullptr);
    EXPECT_TRUE(anna->Data().AwaitingTile);
}

TEST_F(MainFormNetTest, ClosingsCloseTheCopyButNeverFromAnOwnAddress) {
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    ASSERT_EQ(form->Boards().size(), 1u);
    QPointer<TChildForm> bob = form->Boards()[0];
    Receive(tDatagram::BoardClosed(kPeerA, 8));
    Receive(tDatagram::BoardClosed(kOwn, 7));
    Receive(tDatagram::BoardClosed(0, 7));
    EXPECT_FALSE(bob.isNull());
    Receive(tDatagram::BoardClosed(kPeerA, 7));
    EXPECT_TRUE(bob.isNull());
    EXPECT_TRUE(form->Table().PeerPcs.Contains(kPeerA))
        << "the closing copy still lists its PC, whose other boards go on";
    form->Table().PurgePeers();
    EXPECT_FALSE(form->Table().PeerPcs.Contains(kPeerA)) << "no board lists the PC any more";
}

TEST_F(MainFormNetTest, SendFailuresAreShownOrForgetThePeer) {
    Receive(tDatagram::Hello(kPeerA));
    ASSERT_TRUE(form->Table().PeerPcs.Contains(kPeerA));
    result = {ssSend, 10065};
    form->SendDatagram(tDatagram::Present(kOwn), kPeerA);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QStringLiteral("send to 10.0.0.2: wsaEHostUnreach - No route to host."));
    result = {ssBroadcast, 10013};
    form->BroadcastHello();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], QStringLiteral("set socket to broadcast: wsaEAcces - Permission denied."));
    result = {ssConnect, 10051};
    form->SendDatagram(tDatagram::Present(kOwn), kPeerA);
    EXPECT_EQ(boxes.size(), 2u) << "a refused destination is dropped silently";
    EXPECT_FALSE(form->Table().PeerPcs.Contains(kPeerA));
    EXPECT_EQ(form->ChatForms().back()->findChild<QComboBox*>()->findText("10.0.0.2"), -1);
}

TEST_F(MainFormNetTest, NothingIsSentUnlessTheNetworkIsReady) {
    for (tNetState state : {nsIdle, nsStarted, nsFailed, nsStopCleanup, nsStopOnly}) {
        form->NetState = state;
        form->BroadcastHello();
        form->SendDatagram(tDatagram::Present(kOwn), kPeerA);
        EXPECT_TRUE(sent.empty()) << int(state);
    }
}

TEST_F(MainFormNetTest, HelloGoesOutOncePerOwnAddressWhileNoGameRuns) {
    form->Table().OwnAddresses.Add(kOwn2);
    form->BroadcastHello();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].datagram.SenderAddress, kOwn);
    EXPECT_EQ(sent[1].datagram.SenderAddress, kOwn2);
    EXPECT_EQ(sent[0].to, kBroadcastAddress);
    Local(QStringLiteral("Anna"));
    StartGame();
    sent.clear();
    form->BroadcastHello();
    EXPECT_TRUE(sent.empty());
}

TEST_F(MainFormNetTest, PeersAppearInTheMessagesWindowWhichFailureCloses) {
    auto* menuChat = form->findChild<QAction*>(QStringLiteral("MenuChat"));
    EXPECT_FALSE(menuChat->isEnabled());
    Receive(tDatagram::Present(kPeerA));
    Receive(tDatagram::Present(kPeerB));
    ASSERT_EQ(form->ChatForms().size(), 1u);
    auto* combo = form->ChatForms()[0]->findChild<QComboBox*>();
    EXPECT_EQ(combo->count(), 2);
    EXPECT_TRUE(menuChat->isEnabled());
    EXPECT_FALSE(form->findChild<QWidget*>(QStringLiteral("Panel"))->isVisible())
        << "the messages window keeps the demonstration board away";
    Receive(tDatagram::TextMessage(kPeerA, "hello"));
    EXPECT_EQ(form->ChatForms().size(), 1u) << "the open window is reused";
    EXPECT_EQ(form->ChatForms()[0]->History().size(), 1u);

    form->NetworkFailed();
    Settle();
    EXPECT_EQ(form->NetState, nsFailed);
    EXPECT_TRUE(form->ChatForms().empty());
    EXPECT_FALSE(menuChat->isEnabled());
}

TEST_F(MainFormNetTest, MessageButtonOfARemoteBoardSelectsItsOwner) {
    Receive(tDatagram::Present(kPeerB));
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    TChildForm* bob = form->Boards()[0];
    QTest::mouseClick(bob->BitBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(form->ChatForms().size(), 1u);
    EXPECT_EQ(form->ChatForms()[0]->findChild<QComboBox*>()->currentText(),
              QStringLiteral("10.0.0.2"));
}

TEST_F(MainFormNetTest, InvitationsAskOrAnnounceAndReportUnknownNames) {
    form->Invite(QStringLiteral("no-such-pc.invalid"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QStringLiteral("Could not find PC named \"no-such-pc.invalid\""));
    EXPECT_TRUE(sent.empty());

    form->Invite(QStringLiteral("10.0.0.2"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].datagram.Kind, nmRequestBoards);
    EXPECT_EQ(sent[0].datagram.SenderAddress, kOwn);
    EXPECT_TRUE(form->Table().PeerPcs.Contains(kPeerA));

    Local(QStringLiteral("Anna"));
    sent.clear();
    form->Invite(QStringLiteral("10.0.0.3"));
    EXPECT_EQ(SentOf(nmBoard, kPeerB), 1);
    EXPECT_EQ(SentOf(nmRequestBoards, kPeerB), 0);
}

// A refusal opens a box that holds the receiver: only the PC this one asked
// for its boards may show one, once, within 10 s of the asking.
TEST_F(MainFormNetTest, OnlyTheInvitedPcsRefusalIsShownOnceWithinTenSeconds) {
    std::int64_t now = 1000;
    form->SetClock([&now] { return now; });
    EXPECT_FALSE(Receive(tDatagram::GameRunning(kPeerA))) << "unasked";
    EXPECT_FALSE(Receive(tDatagram::NoPlayers(kPeerA))) << "unasked";
    EXPECT_FALSE(Receive(tDatagram::NoPlayers(0))) << "unasked, no sender";

    form->Invite(QStringLiteral("10.0.0.2"));
    ASSERT_EQ(SentOf(nmRequestBoards, kPeerA), 1);
    EXPECT_FALSE(Receive(tDatagram::GameRunning(kPeerB))) << "another PC";
    EXPECT_FALSE(Receive(tDatagram::GameRunning(kOwn))) << "this PC";
    EXPECT_FALSE(Receive(tDatagram::GameRunning(kBroadcastAddress))) << "all PCs";
    now += 10000;
    EXPECT_TRUE(Receive(tDatagram::GameRunning(kPeerA))) << "the answer at 10 s";
    EXPECT_FALSE(Receive(tDatagram::NoPlayers(kPeerA))) << "a second answer";

    form->Invite(QStringLiteral("10.0.0.2"));
    now += 10001;
    EXPECT_FALSE(Receive(tDatagram::NoPlayers(kPeerA))) << "too late";

    form->Invite(QStringLiteral("10.0.0.2"));
    form->Invite(QStringLiteral("10.0.0.3"));
    EXPECT_TRUE(Receive(tDatagram::NoPlayers(kPeerB)));
    EXPECT_TRUE(Receive(tDatagram::NoPlayers(kPeerA)));
    EXPECT_FALSE(Receive(tDatagram::Present(kPeerA)));
    EXPECT_TRUE(boxes.empty()) << "the receiver shows them, not the table";
}

TEST_F(MainFormNetTest, StartNetworkIsReadyExactlyWhileTheServiceHasAPort) {
    struct {
        const char* what;
        tNetState before;
        const char* services; // nullptr: no file
        tNetState after;
        std::uint16_t port;
    } const cases[] = {
        {"no entry, idle", nsIdle, nullptr, nsStarted, 0},
        {"entry, idle", nsIdle, "Vessrin\t 5000/udp\n", nsReady, 5000},
        {"entry removed", nsReady, "# nothing\n", nsStarted, 0},
        {"port 0 is none", nsStarted, "Vessrin 0/udp\n", nsStarted, 0},
        {"after a failure, once fixed", nsFailed, "Vessrin 5001/udp\n", nsReady, 5001},
        {"failed stays without a port", nsFailed, "", nsFailed, 0},
    };
    for (const auto& c : cases) {
        QFile::remove(dir.filePath(QStringLiteral("user/services")));
        if (c.services)
            WriteUserServices(c.services);
        form->NetState = c.before;
        const QString error = form->StartNetwork();
        EXPECT_TRUE(error.isEmpty()) << c.what << ": " << error.toStdString();
        EXPECT_EQ(form->NetState, c.after) << c.what;
        EXPECT_EQ(ntohs(form->ServicePort), c.port) << c.what;
        EXPECT_GT(form->Table().OwnAddresses.Count(), 0) << c.what;
        EXPECT_FALSE(form->HostName.empty()) << c.what;
    }
}

// A PC that runs this program and keeps a game waiting for 30 s: the player
// decides; the question goes when the PC speaks again, and Yes lets its boards go.
TEST_F(MainFormNetTest, ASilentPcIsAskedAboutAndYesLetsItsBoardsGo) {
    std::int64_t now = 0;
    form->SetClock([&now] { return now; });
    Local(QStringLiteral("Anna"));
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    Receive(tDatagram::ProgressOf(kPeerA, {}));
    auto question = [this] { return form->findChild<QMessageBox*>(QStringLiteral("SilentPc")); };
    now = 29999;
    form->Tick();
    EXPECT_EQ(question(), nullptr) << "not yet 30 s";
    now = 30000;
    form->Tick();
    ASSERT_NE(question(), nullptr);
    EXPECT_EQ(question()->text(),
              "PC 10.0.0.2 has not answered for 30 s. Go on without its players?");
    Receive(tDatagram::ProgressOf(kPeerA, {}));
    EXPECT_EQ(question(), nullptr) << "the PC spoke again";
    now = 60000;
    form->Tick();
    ASSERT_NE(question(), nullptr);
    QTest::mouseClick(question()->buttons().at(0), Qt::LeftButton); // Yes
    Settle();
    ASSERT_EQ(form->Boards().size(), 1u) << "Bob's board has left the game";
    EXPECT_EQ(form->Boards()[0]->windowTitle(), "Anna");
}

// The other PCs would wait for ever for the boards of a PC that has gone.
TEST_F(MainFormNetTest, ClosingSaysGoodbyeForTheLocalBoardsAndHandlesNoMoreDatagrams) {
    const std::uint32_t anna = Local(QStringLiteral("Anna"))->Data().BoardId;
    Receive(BoardFrom(kPeerA, 7, "Bob"));
    sent.clear();
    EXPECT_TRUE(form->close());
    Settle();
    ASSERT_EQ(sent.size(), 1u) << "one closing to peer A, none for Bob's copy";
    EXPECT_EQ(sent[0].datagram.Kind, nmBoardClosed);
    EXPECT_EQ(sent[0].datagram.BoardId, anna);
    EXPECT_EQ(sent[0].to, kPeerA);
    EXPECT_EQ(form->NetState, nsStopCleanup);
    EXPECT_FALSE(Receive(tDatagram::GameRunning(kPeerA)));
    Receive(BoardFrom(kPeerB, 9, "Cleo"));
    EXPECT_TRUE(form->Boards().empty());
}

} // namespace
