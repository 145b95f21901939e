// Main window and course of a game: joining, turn order, end of game, high scores, closing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/ip_list.h"
#include "core/tile_order.h"
#include "core/tiles.h"
#include "game/hexagon.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "table/main_form.h"
#include "table/player_form.h"

namespace {

const tAddress kOwn = AddressFromOctets(10, 0, 0, 1);
const tAddress kPeerA = AddressFromOctets(10, 0, 0, 2);
const tAddress kPeerB = AddressFromOctets(10, 0, 0, 3);
const tAddress kHome = AddressFromOctets(10, 0, 0, 9);

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QTest::qWait(0);
}

// The cell for each turn: tiles sorted by their vertical stripe go column by
// column, so that equal stripes share whole columns and the total is not 0.
std::vector<std::uint16_t> PlanFor(const TileOrder& order) {
    std::vector<int> turns;
    for (int turn = 1; turn <= kTurnsPlayed; ++turn)
        turns.push_back(turn);
    std::stable_sort(turns.begin(), turns.end(), [&](int a, int b) {
        return StripeValue(static_cast<thxNummer>(order.Tile(a)), 0) <
               StripeValue(static_cast<thxNummer>(order.Tile(b)), 0);
    });
    std::vector<std::uint16_t> plan(kTurnsPlayed + 1, 0);
    for (int i = 0; i < kTurnsPlayed; ++i)
        plan[static_cast<std::size_t>(turns[static_cast<std::size_t>(i)])] =
            kCellCodes[static_cast<std::size_t>(i)];
    return plan;
}

// Points of a full board, counted line by line without the program's scoring.
unsigned PointsOf(const TileOrder& order, const std::vector<std::uint16_t>& plan) {
    auto tileAt = [&](std::uint16_t code) {
        for (int turn = 1; turn <= kTurnsPlayed; ++turn)
            if (plan[static_cast<std::size_t>(turn)] == code)
                return static_cast<thxNummer>(order.Tile(turn));
        return thxNummer{0};
    };
    unsigned total = 0;
    for (const tLine& line : kLines) {
        const std::uint16_t value = StripeValue(tileAt(line.cells[0]), line.direction);
        bool same = true;
        for (int j = 1; j < line.length; ++j)
            same = same && StripeValue(tileAt(line.cells[static_cast<std::size_t>(j)]),
                                       line.direction) == value;
        if (same)
            total += value * line.length;
    }
    return total;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(0x0409);
        ASSERT_TRUE(dir.isValid());
        iniPath = dir.filePath(QStringLiteral("vessrin.ini")).toStdString();
        SetSettingsFileName(iniPath);
        SetMessageBoxHook([this](const QString& text, const QString& caption, int) {
            boxes.push_back(text);
            captions.push_back(caption);
            return kIdOk;
        });
        // These cases play on one PC; the network has tests of its own.
        TMainForm::EnableNetworkStart(false);
        MakeForm();
    }
    void MakeForm() {
        form = std::make_unique<TMainForm>();
        form->resize(1000, 800);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
    }
    // A fresh main window on an empty settings file, for each case of a table.
    void Restart() {
        form.reset();
        Settle();
        QFile::remove(QString::fromStdString(iniPath));
        boxes.clear();
        captions.clear();
        MakeForm();
    }
    void TearDown() override {
        form.reset();
        Settle();
        SetMessageBoxHook({});
        TMainForm::EnableNetworkStart(true);
        ::chmod(dir.filePath(QStringLiteral("locked")).toLocal8Bit().constData(), 0755);
    }

    TChildForm* Local(const QString& name) {
        TChildForm* board = form->AddBoard(0, 0, 0, name);
        Settle();
        return board;
    }
    static void LayAndConfirm(TChildForm* board, std::uint16_t code) {
        auto* cell = board->findChild<tHexagon*>(QStringLiteral("Hexagon%1").arg(code));
        ASSERT_NE(cell, nullptr);
        QTest::mouseClick(cell, Qt::LeftButton);
        ASSERT_TRUE(board->BtnOk->isEnabled()) << "cell " << code << " took no tile";
        QTest::mouseClick(board->BtnOk, Qt::LeftButton);
        Settle();
    }
    // Plays all 19 turns of a single board; the quality rating is shown before the last.
    void PlayToEnd(TChildForm* board, const std::vector<std::uint16_t>& plan) {
        for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
            ASSERT_EQ(board->Data().Turn, turn);
            if (turn == kTurnsPlayed)
                board->findChild<QRadioButton*>(QStringLiteral("Quality"))->click();
            LayAndConfirm(board, plan[static_cast<std::size_t>(turn)]);
        }
    }
    // Root ignores permission bits; a path below a plain file refuses it too.
    std::string UnwritableSettingsPath() {
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QDir().mkdir(locked);
        ::chmod(locked.toLocal8Bit().constData(), 0555);
        if (::access(locked.toLocal8Bit().constData(), W_OK) == 0) {
            QDir().rmdir(locked);
            QFile file(locked);
            file.open(QIODevice::WriteOnly);
        }
        return (locked + QStringLiteral("/vessrin.ini")).toStdString();
    }
    std::string Stored(const char* section, const std::string& key) const {
        return ReadProfileString(section, key, "<none>", iniPath);
    }
    bool NewPlayerControlsEnabled(bool enabled) const {
        auto* menu = form->findChild<QAction*>(QStringLiteral("MenuNeu"));
        auto* neu = form->findChild<QToolButton*>(QStringLiteral("BtnNeu"));
        auto* atn = form->findChild<QToolButton*>(QStringLiteral("BtnNeuAtn"));
        return menu->isEnabled() == enabled && neu->isEnabled() == enabled &&
               atn->isEnabled() == enabled && form->NewPlayerEnabled() == enabled;
    }
    QToolButton* BtnNext() const {
        return form->findChild<QToolButton*>(QStringLiteral("BtnNext"));
    }

    QTemporaryDir dir;
    std::string iniPath;
    std::vector<QString> boxes;
    std::vector<QString> captions;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, NextPlayerButtonNeedsTwoBoardsTakingPart) {
    struct {
        int boards;
        bool enabled;
    } const cases[] = {{0, false}, {1, false}, {2, true}, {3, true}};
    for (const auto& c : cases) {
        Restart();
        for (int i = 0; i < c.boards; ++i)
            ASSERT_NE(Local(QStringLiteral("A")), nullptr);
        EXPECT_EQ(BtnNext()->isEnabled(), c.enabled) << c.boards << " boards";
        form->NextPlayerDue();
        EXPECT_EQ(BtnNext()->isEnabled(), c.enabled) << c.boards << " boards, after the turn";
    }
}

// Four players join one after another through the one name dialog, typed and
// confirmed with its Ok button as a user does; the name test is case-sensitive,
// so "pc" is an ordinary local player even after a computer player joined.
TEST_F(MainFormTest, OnlyThePlayerNamedPcLaysItsFirstTileAtOnce) {
    struct {
        const char* name;
        bool laid;
    } const cases[] = {{"PC", true}, {"Anna", false}, {"pc", false}, {"Pc", false}};
    TPlayerForm names;
    form->SetDialogs(&names, nullptr);
    for (const auto& c : cases) {
        const std::vector<TChildForm*> before = form->Boards();
        QTimer::singleShot(0, &names, [&] {
            auto* combo = names.findChild<QComboBox*>(QStringLiteral("Spieler"));
            combo->lineEdit()->setFocus();
            combo->lineEdit()->selectAll();
            QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
            QTest::keyClicks(combo->lineEdit(), QString::fromLatin1(c.name));
            QTest::mouseClick(names.findChild<QPushButton*>(QStringLiteral("OkButton")),
                              Qt::LeftButton);
        });
        form->findChild<QAction*>(QStringLiteral("MenuNeu"))->trigger();
        Settle();
        const std::vector<TChildForm*> after = form->Boards();
        ASSERT_EQ(after.size(), before.size() + 1) << c.name;
        TChildForm* board = nullptr;
        for (TChildForm* b : after)
            if (std::find(before.begin(), before.end(), b) == before.end())
                board = b;
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(board->windowTitle().toStdString(), c.name);
        EXPECT_EQ(board->Stock(1)->GetOccupation() != nullptr, c.laid) << c.name;
        EXPECT_EQ(board->BtnOk->isEnabled(), c.laid) << c.name;
        EXPECT_EQ(board->Data().Turn, 1) << c.name;
    }
}

// Return stands for the default button BtnNeuAtn, whichever twin shows at the
// moment, but only while a player may join and no board holds the focus.
TEST_F(MainFormTest, ReturnInTheIdleWindowAsksForANewPlayer) {
    enum Focus { kFrame, kBoard };
    struct {
        const char* what;
        int key;
        bool twinShown;
        bool newPlayer;
        Focus focus;
        bool asks;
    } const cases[] = {
        {"twin shown", Qt::Key_Return, true, true, kFrame, true},
        {"twin hidden", Qt::Key_Return, false, true, kFrame, true},
        {"keypad Enter", Qt::Key_Enter, false, true, kFrame, true},
        {"no player may join", Qt::Key_Return, true, false, kFrame, false},
        {"a board has the focus", Qt::Key_Return, false, true, kBoard, false},
        {"another key", Qt::Key_Space, true, true, kFrame, false},
    };
    for (const auto& c : cases) {
        Restart();
        TPlayerForm names;
        form->SetDialogs(&names, nullptr);
        form->findChild<QToolButton*>(QStringLiteral("BtnNeuAtn"))->setVisible(c.twinShown);
        form->findChild<QToolButton*>(QStringLiteral("BtnNeu"))->setVisible(!c.twinShown);
        if (!c.newPlayer) {
            // The computer confirms its first tile: the game runs.
            TChildForm* pc = Local(QStringLiteral("PC"));
            ASSERT_NE(pc, nullptr);
            pc->ComputerMove();
            QTest::mouseClick(pc->BtnOk, Qt::LeftButton);
            ASSERT_FALSE(form->NewPlayerEnabled());
        }
        QWidget* target = form.get();
        if (c.focus == kBoard) {
            TChildForm* board = Local(QStringLiteral("A"));
            ASSERT_NE(board, nullptr);
            target = board;
        }
        QApplication::setActiveWindow(form.get());
        target->setFocus();
        Settle();
        bool asked = false;
        QTimer::singleShot(0, &names, [&] {
            asked = names.isVisible();
            if (asked)
                names.reject();
        });
        QTest::keyClick(target, static_cast<Qt::Key>(c.key));
        Settle();
        EXPECT_EQ(asked, c.asks) << c.what;
    }
}

TEST_F(MainFormTest, PlayersJoinUntilEveryBoardConfirmedTheFirstTile) {
    TChildForm* a = Local(QStringLiteral("A"));
    TChildForm* b = Local(QStringLiteral("B"));
    LayAndConfirm(a, 311);
    EXPECT_TRUE(NewPlayerControlsEnabled(true));
    EXPECT_EQ(a->Data().Turn, 1);
    EXPECT_NE(Local(QStringLiteral("C")), nullptr);
    TChildForm* c = form->Boards().front();

    LayAndConfirm(b, 311);
    LayAndConfirm(c, 311);
    EXPECT_TRUE(NewPlayerControlsEnabled(false));
    EXPECT_EQ(a->Data().Turn, 2);
    EXPECT_EQ(b->Data().Turn, 2);
    EXPECT_EQ(form->AddBoard(0, 0, 0, QStringLiteral("Late")), nullptr);
    EXPECT_EQ(form->Boards().size(), 3u);
}

TEST_F(MainFormTest, NextPlayerDueBringsAnotherAwaitingBoardToTheFront) {
    TChildForm* a = Local(QStringLiteral("A"));
    TChildForm* b = Local(QStringLiteral("B"));
    for (TChildForm* active : {a, b}) {
        form->MdiArea()->setActiveSubWindow(active);
        form->NextPlayerDue();
        EXPECT_EQ(form->MdiArea()->activeSubWindow(), active == a ? b : a);
        EXPECT_TRUE(a->Data().AwaitingTile && b->Data().AwaitingTile) << "no tile may pass";
    }
}

TEST_F(MainFormTest, NextPlayerDuePrefersALocalBoardOverARemoteOne) {
    for (bool remoteFirst : {true, false}) {
        Restart();
        form->Table().OwnAddresses.Add(kOwn);
        TChildForm* x = Local(QStringLiteral("X"));
        TChildForm* remote = nullptr;
        TChildForm* local = nullptr;
        if (remoteFirst)
            remote = form->AddBoard(kPeerA, kPeerA, 77, QStringLiteral("Bob"));
        local = Local(QStringLiteral("L"));
        if (!remoteFirst)
            remote = form->AddBoard(kPeerA, kPeerA, 77, QStringLiteral("Bob"));
        Settle();
        ASSERT_TRUE(local && remote);
        ASSERT_TRUE(form->Table().IsLocal(local->Data()));
        ASSERT_FALSE(form->Table().IsLocal(remote->Data()));
        EXPECT_EQ(remote->windowTitle(), QStringLiteral("\\\\10.0.0.2\\Bob"));
        LayAndConfirm(x, 311);
        EXPECT_EQ(form->MdiArea()->activeSubWindow(), local) << "remote first: " << remoteFirst;
    }
}

TEST_F(MainFormTest, CompleteGameEntersItsPointsAndStartsAfresh) {
    form->Random().Seed(20240611);
    form->ShuffleTileOrder();
    TChildForm* board = Local(QStringLiteral("Anna"));
    const TileOrder order = form->CurrentTileOrder();
    const std::vector<std::uint16_t> plan = PlanFor(order);
    const unsigned expected = PointsOf(order, plan);
    ASSERT_GT(expected, 0u);

    PlayToEnd(board, plan);
    EXPECT_EQ(board->Data().Turn, kLastTurn);
    for (int place = 1; place <= kTileCount; ++place)
        EXPECT_EQ(board->Stock(place)->Style(), hxVisible) << "place " << place;
    EXPECT_EQ(board->ItemIndex(), 0);
    EXPECT_EQ(board->Data().Total, expected);
    EXPECT_EQ(form->Table().HighScores[0],
              (tHighScoreEntry{"Anna", static_cast<std::uint16_t>(expected)}));
    EXPECT_EQ(Stored("HighScore", "Player1"), "Anna");
    EXPECT_EQ(Stored("HighScore", "Points1"), std::to_string(expected));
    EXPECT_EQ(Stored("HighScore", "Player2"), "");
    EXPECT_FALSE(form->NewPlayerEnabled());
    ASSERT_TRUE(board->BtnOk->isEnabled());

    QPointer<TChildForm> watched(board);
    QTest::mouseClick(board->BtnOk, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(form->Boards().empty());
    EXPECT_TRUE(NewPlayerControlsEnabled(true));
    EXPECT_NE(form->CurrentTileOrder(), order);
    EXPECT_TRUE(form->CurrentTileOrder().IsPermutation());
    EXPECT_TRUE(form->findChild<QWidget*>(QStringLiteral("Panel"))->isVisible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormTest, APlayerLeavingMidGameNeitherStallsNorEndsTheGameOfTheOthers) {
    TChildForm* stays = Local(QStringLiteral("A"));
    TChildForm* leaves = Local(QStringLiteral("B"));
    LayAndConfirm(stays, 311);
    leaves->close();
    Settle();
    ASSERT_EQ(form->Boards().size(), 1u);
    EXPECT_EQ(stays->Data().Turn, 2) << "the turn passes once the leaver no longer awaits";
    EXPECT_TRUE(stays->Data().AwaitingTile);
    EXPECT_FALSE(form->NewPlayerEnabled());
    EXPECT_FALSE(BtnNext()->isEnabled());

    stays->close();
    Settle();
    EXPECT_TRUE(form->Boards().empty());
    EXPECT_TRUE(NewPlayerControlsEnabled(true));
    EXPECT_TRUE(form->findChild<QWidget*>(QStringLiteral("Panel"))->isVisible());
    EXPECT_EQ(form->Table().HighScores, tHighScore{}) << "an unfinished board enters nothing";
}

TEST_F(MainFormTest, RepeatedOffersAfterTheEndLeaveTheHighScoresAlone) {
    TChildForm* board = Local(QStringLiteral("Anna"));
    const std::vector<std::uint16_t> plan = PlanFor(form->CurrentTileOrder());
    PlayToEnd(board, plan);
    const tHighScore after = form->Table().HighScores;
    ASSERT_GT(after[0].Points, 0);
    for (int i = 0; i < 3; ++i) {
        form->NextPlayerDue();
        form->CollectResults();
    }
    EXPECT_EQ(form->Table().HighScores, after);
    EXPECT_EQ(board->Data().Turn, kLastTurn);
}

TEST_F(MainFormTest, AcceptTileOrderTakesOverOrMatchesTheOrder) {
    TileOrder other;
    for (int i = 0; i < kTileCount; ++i)
        other.tiles[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(kTileCount - 1 - i);
    ASSERT_NE(other, form->CurrentTileOrder());

    form->Table().OwnAddresses.Add(kOwn);
    EXPECT_FALSE(form->AcceptTileOrder(kOwn, other)) << "own broadcast";
    EXPECT_NE(form->CurrentTileOrder(), other);

    EXPECT_TRUE(form->AcceptTileOrder(kPeerA, other)) << "no boards yet";
    EXPECT_EQ(form->CurrentTileOrder(), other);

    ASSERT_NE(Local(QStringLiteral("A")), nullptr);
    EXPECT_TRUE(form->AcceptTileOrder(kPeerB, other)) << "equal order";
    TileOrder swapped = other;
    std::swap(swapped.tiles[0], swapped.tiles[26]);
    EXPECT_FALSE(form->AcceptTileOrder(kPeerB, swapped)) << "different order";
    EXPECT_EQ(form->CurrentTileOrder(), other);

    form->Table().OwnAddresses.Add(kPeerA);
    EXPECT_FALSE(form->AcceptTileOrder(kPeerA, other)) << "a PC's own broadcast come back";
}

TEST_F(MainFormTest, KnownRemoteBoardGainsTheSecondSenderInsteadOfAWindow) {
    form->Table().OwnAddresses.Add(kOwn);
    TChildForm* board = form->AddBoard(kPeerA, kHome, 42, QStringLiteral("Bob"));
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Data().OwnerAddresses.Count(), 2);
    for (int repeat = 0; repeat < 2; ++repeat) {
        EXPECT_EQ(form->AddBoard(kPeerB, kHome, 42, QStringLiteral("Bob")), nullptr);
        EXPECT_EQ(form->Boards().size(), 1u);
        EXPECT_TRUE(board->Data().OwnerAddresses.Contains(kPeerB));
        EXPECT_EQ(board->Data().OwnerAddresses.Count(), 3) << "repeat " << repeat;
    }
    EXPECT_EQ(board->Data().OwnerAddresses.Items(0), kHome);
    EXPECT_NE(form->AddBoard(kPeerB, kHome, 43, QStringLiteral("Bob")), nullptr)
        << "another board of the same PC";
}

TEST_F(MainFormTest, RemoteBoardsOfferTheMessageButtonLocalBoardsTheOkButton) {
    form->Table().OwnAddresses.Add(kOwn);
    TChildForm* local = Local(QStringLiteral("Anna"));
    TChildForm* remote = form->AddBoard(kPeerA, kPeerA, 5, QStringLiteral("Bob"));
    ASSERT_TRUE(local && remote);
    EXPECT_FALSE(local->BtnOk->isHidden());
    EXPECT_TRUE(local->BitBtn->isHidden());
    EXPECT_TRUE(remote->BtnOk->isHidden());
    EXPECT_FALSE(remote->BitBtn->isHidden());
}

TEST_F(MainFormTest, CascadeKeepsTheSizeOfNormalBoards) {
    TChildForm* a = Local(QStringLiteral("A"));
    TChildForm* b = Local(QStringLiteral("B"));
    const QSize size(640, 380);
    a->resize(size);
    b->resize(size);
    form->MdiArea()->cascadeSubWindows();
    if (a->size() == size && b->size() == size)
        GTEST_SKIP() << "plain cascading keeps the size here; nothing to tell apart";
    a->resize(size);
    b->resize(size);
    form->findChild<QAction*>(QStringLiteral("MenuUeberlappend"))->trigger();
    EXPECT_EQ(a->size(), size);
    EXPECT_EQ(b->size(), size);
    EXPECT_NE(a->pos(), b->pos());
}

TEST_F(MainFormTest, ClosingTheMainWindowCollectsAndReleasesTheBoards) {
    for (bool finished : {true, false}) {
        Restart();
        TChildForm* board = Local(QStringLiteral("Anna"));
        Local(QStringLiteral("Bert"));
        const std::vector<std::uint16_t> plan = PlanFor(form->CurrentTileOrder());
        if (finished) {
            for (int turn = 1; turn <= kTurnsPlayed; ++turn)
                for (TChildForm* b : form->Boards())
                    LayAndConfirm(b, plan[static_cast<std::size_t>(turn)]);
            ASSERT_EQ(board->Data().Turn, kLastTurn);
        } else {
            LayAndConfirm(board, 311);
        }
        // Only what the closing itself collects and writes counts.
        form->Table().HighScores = tHighScore{};
        QFile::remove(QString::fromStdString(iniPath));
        QPointer<TChildForm> watched(board);

        EXPECT_TRUE(form->close());
        Settle();
        EXPECT_TRUE(watched.isNull());
        EXPECT_TRUE(form->Boards().empty());
        const bool entered = form->Table().HighScores[0].Name == "Anna" ||
                             form->Table().HighScores[0].Name == "Bert";
        EXPECT_EQ(entered, finished);
        EXPECT_EQ(form->Table().HighScores[0].Points > 0, finished);
        EXPECT_NE(Stored("MainForm", "Width"), "<none>");
        EXPECT_EQ(Stored("Child", "State"), "<none>") << "boards went without their close handling";
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(MainFormTest, RefusedHighScoreWriteShowsOneBoxAndTheGameGoesOn) {
    TChildForm* board = Local(QStringLiteral("Anna"));
    const std::string locked = UnwritableSettingsPath();
    SetSettingsFileName(locked);
    const QString text =
        QString::fromStdString("nach " + locked + " kann nicht geschrieben werden");

    form->CollectResults();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], text);
    EXPECT_EQ(captions[0], form->windowTitle());

    for (int turn = 1; turn <= 2; ++turn) {
        boxes.clear();
        LayAndConfirm(board, kCellCodes[static_cast<std::size_t>(turn)]);
        ASSERT_EQ(boxes.size(), 1u) << "turn " << turn;
        EXPECT_EQ(boxes[0], text);
        EXPECT_EQ(board->Data().Turn, turn + 1);
    }
    boxes.clear();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(boxes.size(), 1u);
}

} // namespace
