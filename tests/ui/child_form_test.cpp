// Board window behaviour: laying, dragging, confirming, rating, computer and remote moves.
#include <QApplication>
#include <QGroupBox>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <set>

#include "core/ip_list.h"
#include "core/random.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "ui/fake_board_host.h"

namespace {

const tAddress kOwn = AddressFromOctets(10, 0, 0, 1);
const tAddress kPeerA = AddressFromOctets(10, 0, 0, 2);
const tAddress kPeerB = AddressFromOctets(192, 168, 1, 9);

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint global,
               Qt::MouseButtons buttons) {
    const QPoint local = w->mapFromGlobal(global);
    QMouseEvent e(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QPoint CentreOf(QWidget* w) {
    return w->mapToGlobal(w->rect().center());
}

void ProcessDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

class ChildFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(0x0409);
        ASSERT_TRUE(dir.isValid());
        SetSettingsFileName(dir.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetMessageBoxHook([this](const QString& text, const QString&, int) {
            boxes.push_back(text);
            return kIdOk;
        });
        for (int i = 0; i < kTileCount; ++i)
            host.Order.tiles[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
        host.Own.Add(kOwn);
        host.Peers.Add(kPeerA);
        host.Peers.Add(kPeerB);
        area.resize(800, 600);
        area.show();
        QApplication::processEvents();
    }
    void TearDown() override {
        SetMessageBoxHook({});
        area.closeAllSubWindows();
        ProcessDeletes();
    }

    TChildForm* MakeBoard(const QString& caption, tAddress owner = kOwn) {
        auto* board = new TChildForm(host, random, &area);
        board->setWindowTitle(caption);
        board->OwnerAddresses = std::make_unique<tIpList>();
        board->OwnerAddresses->Add(owner);
        board->BoardId = 4711;
        // As the main window does: remote boards message, local boards confirm.
        (owner != kOwn ? static_cast<QWidget*>(board->BtnOk) : board->BitBtn)->hide();
        board->StartGame(host.Order);
        board->show();
        QApplication::processEvents();
        return board;
    }

    tHexagon* Hex(TChildForm* b, int number) {
        return b->findChild<tHexagon*>(QStringLiteral("Hexagon") + QString::number(number));
    }

    QTemporaryDir dir;
    tFakeBoardHost host;
    tRandom random{12345};
    QMdiArea area;
    std::vector<QString> boxes;
};

TEST_F(ChildFormTest, BoardHasTheSixtyFourComponentsInTheirOrder) {
    TChildForm* b = MakeBoard("Anna");
    ASSERT_EQ(b->Components().size(), 64u);
    EXPECT_EQ(b->Components()[0]->objectName(), "Hoch3");
    EXPECT_EQ(b->Components()[14]->objectName(), "Auf1");
    EXPECT_EQ(b->Components()[15]->objectName(), "Hexagon311");
    EXPECT_EQ(b->Components()[33]->objectName(), "Hexagon135");
    EXPECT_EQ(b->Components()[34]->objectName(), "Hexagon1");
    EXPECT_EQ(b->Components()[60]->objectName(), "Hexagon27");
    EXPECT_EQ(b->Components()[61], b->BtnOk);
    EXPECT_EQ(b->Components()[62], b->Bewertung);
    EXPECT_EQ(b->Components()[63], b->BitBtn);
}

TEST_F(ChildFormTest, ClickOnFreeCellLaysTileEnablesAndFocusesOk) {
    TChildForm* b = MakeBoard("Anna");
    EXPECT_FALSE(b->BtnOk->isEnabled());
    QTest::mouseClick(Hex(b, 311), Qt::LeftButton);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->GetOccupation(), Hex(b, 311));
    EXPECT_EQ(Hex(b, 1)->pos(), Hex(b, 311)->pos());
    EXPECT_TRUE(b->BtnOk->isEnabled());
    EXPECT_EQ(b->focusWidget(), b->BtnOk);
    // Local board: one nmTileLaid per peer, last peer first, naming the nearest own address.
    ASSERT_EQ(host.Sent.size(), 2u);
    EXPECT_EQ(host.Sent[0].to, kPeerB);
    EXPECT_EQ(host.Sent[1].to, kPeerA);
    EXPECT_EQ(host.Sent[0].datagram.Kind, nmTileLaid);
    EXPECT_EQ(host.Sent[0].datagram.SenderAddress, kOwn);
    EXPECT_EQ(host.Sent[0].datagram.BoardId, 4711u);
    EXPECT_EQ(host.Sent[0].datagram.Turn, 1);
    EXPECT_EQ(host.Sent[0].datagram.CellCode, 311);
}

TEST_F(ChildFormTest, MovingTheTileFreesTheFirstCell) {
    TChildForm* b = MakeBoard("Anna");
    QTest::mouseClick(Hex(b, 311), Qt::LeftButton);
    QTest::mouseClick(Hex(b, 553), Qt::LeftButton);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(b, 553)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->GetOccupation(), Hex(b, 553));
    EXPECT_TRUE(b->BtnOk->isEnabled());
}

TEST_F(ChildFormTest, AfterOkClicksAndDragsPlaceNothing) {
    TChildForm* b = MakeBoard("Anna");
    QTest::mouseClick(Hex(b, 311), Qt::LeftButton);
    host.Sent.clear();
    b->BtnOk->click();
    EXPECT_FALSE(b->AwaitingTile);
    EXPECT_FALSE(b->BtnOk->isEnabled());
    EXPECT_EQ(Hex(b, 1)->Style(), hxVisible);
    EXPECT_EQ(host.NextPlayerDueCalls, 1);
    ASSERT_EQ(host.CountSent(nmTileConfirmed), 2);
    EXPECT_EQ(host.Sent[0].datagram.CellCode, 311);

    QTest::mouseClick(Hex(b, 553), Qt::LeftButton);
    EXPECT_EQ(Hex(b, 553)->GetOccupation(), nullptr);
    tHexagon* tile = Hex(b, 1);
    const QPoint before = tile->pos();
    SendMouse(tile, QEvent::MouseButtonPress, Qt::LeftButton, CentreOf(tile), Qt::LeftButton);
    SendMouse(tile, QEvent::MouseMove, Qt::NoButton, CentreOf(Hex(b, 553)), Qt::LeftButton);
    SendMouse(tile, QEvent::MouseButtonRelease, Qt::LeftButton, CentreOf(Hex(b, 553)),
              Qt::NoButton);
    EXPECT_EQ(tile->pos(), before);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), tile);
    EXPECT_EQ(host.CountSent(nmTileLaid), 0);
}

TEST_F(ChildFormTest, DragSnapsOnlyInsideTheMiddleHalfOfAFreeCell) {
    struct tCase {
        int dx; // offset from the cell origin in quarters of a pixel grid
        int dy;
        bool snaps;
    };
    TChildForm* b = MakeBoard("Anna");
    tHexagon* tile = Hex(b, 1);
    tHexagon* cell = Hex(b, 322);
    const int w = cell->width();
    const int h = cell->height();
    const tCase cases[] = {
        {w / 4 - 1, h / 2, false},     {w / 2, h / 4 - 1, false}, {3 * w / 4 + 1, h / 2, false},
        {w / 2, 3 * h / 4 + 1, false}, {w / 4, h / 4, true},      {3 * w / 4, 3 * h / 4, true},
    };
    for (const tCase& c : cases) {
        b->StartGame(host.Order);
        host.Sent.clear();
        const QPoint origin = tile->pos();
        const QPoint start = CentreOf(tile);
        SendMouse(tile, QEvent::MouseButtonPress, Qt::LeftButton, start, Qt::LeftButton);
        const QPoint target = cell->mapToGlobal(QPoint(c.dx, c.dy));
        SendMouse(tile, QEvent::MouseMove, Qt::NoButton, target, Qt::LeftButton);
        EXPECT_EQ(cell->GetOccupation() == tile, c.snaps) << c.dx << "," << c.dy;
        EXPECT_EQ(host.CountSent(nmTileLaid), c.snaps ? 2 : 0);
        if (!c.snaps) {
            EXPECT_EQ(tile->pos(), origin + (target - start));
        }
        SendMouse(tile, QEvent::MouseButtonRelease, Qt::LeftButton, target, Qt::NoButton);
        EXPECT_EQ(tile->pos(), c.snaps ? cell->pos() : origin);
    }
}

TEST_F(ChildFormTest, DragAcrossTwoCellsSendsOneMovePerSnapAndKeepsTheLast) {
    TChildForm* b = MakeBoard("Anna");
    tHexagon* tile = Hex(b, 1);
    SendMouse(tile, QEvent::MouseButtonPress, Qt::LeftButton, CentreOf(tile), Qt::LeftButton);
    SendMouse(tile, QEvent::MouseMove, Qt::NoButton, CentreOf(Hex(b, 311)), Qt::LeftButton);
    SendMouse(tile, QEvent::MouseMove, Qt::NoButton, CentreOf(Hex(b, 322)), Qt::LeftButton);
    // Past the last cell, over no cell: the release returns the tile there.
    const QPoint away = Hex(b, 322)->mapToGlobal(QPoint(-2, -2));
    SendMouse(tile, QEvent::MouseMove, Qt::NoButton, away, Qt::LeftButton);
    SendMouse(tile, QEvent::MouseButtonRelease, Qt::LeftButton, away, Qt::NoButton);
    EXPECT_EQ(host.CountSent(nmTileLaid), 4);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(b, 322)->GetOccupation(), tile);
    EXPECT_EQ(tile->pos(), Hex(b, 322)->pos());
}

TEST_F(ChildFormTest, RightClickOnFreeCellLaysAndConfirms) {
    TChildForm* b = MakeBoard("Anna");
    QTest::mouseClick(Hex(b, 443), Qt::RightButton);
    EXPECT_EQ(Hex(b, 443)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->Style(), hxVisible);
    EXPECT_FALSE(b->AwaitingTile);
    EXPECT_EQ(host.NextPlayerDueCalls, 1);
}

TEST_F(ChildFormTest, ComputerBoardLaysAtOnceAndKeepsTheUsersRating) {
    for (int item : {0, 1}) {
        TChildForm* b = MakeBoard("PC");
        b->SetItemIndex(item);
        b->ComputerMove();
        ASSERT_NE(Hex(b, 1)->GetOccupation(), nullptr);
        EXPECT_TRUE(b->BtnOk->isEnabled());
        EXPECT_EQ(b->ItemIndex(), item);
        // One tile: points count no complete line, quality counts every line it touches.
        EXPECT_EQ(b->Total == 0, item == 0);
        EXPECT_EQ(b->Bewertung->title(), QString::number(b->Total));
        b->NextTile();
        EXPECT_NE(Hex(b, 2)->GetOccupation(), nullptr) << "the next tile is laid when offered";
        b->close();
        ProcessDeletes();
    }
}

TEST_F(ChildFormTest, ComputerLaysOnTheBestCellAndShowsTheUsersRating) {
    // Turn 4: 9s on 113 and 124 (Hoch1) and on 311 (Hoch3), tile 26 (9, 7, 8)
    // in play. Rated k*k*v, 135 completes Hoch1 and is the only best cell
    // (60 more, against 42 for 355); it is the last cell the window lists.
    // In points the board then shows the complete Hoch1: 3 * 9 = 27.
    // Tiles 2, 5, 8, 26 in turns 1 to 4, swapped in so the order stays a permutation.
    auto& order = host.Order.tiles;
    const std::uint16_t firstFour[] = {2, 5, 8, 26};
    for (std::size_t i = 0; i < 4; ++i)
        std::swap(order[i], *std::find(order.begin(), order.end(), firstFour[i]));
    struct tCase {
        int item;
        const char* total;
    };
    for (const tCase& c : {tCase{0, "27"}, tCase{1, "120"}}) {
        TChildForm* b = MakeBoard("PC");
        for (auto [place, cell] : {std::pair{1, 113}, std::pair{2, 124}, std::pair{3, 311}}) {
            Hex(b, cell)->Occupy(Hex(b, place));
            Hex(b, place)->Occupy(Hex(b, cell));
            Hex(b, place)->SetStyle(hxVisible);
        }
        Hex(b, 4)->SetStyle(hxHighlight);
        b->Turn = 4;
        b->SetItemIndex(c.item);
        host.Sent.clear();
        b->ComputerMove();
        EXPECT_EQ(Hex(b, 135)->GetOccupation(), Hex(b, 4)) << c.item;
        EXPECT_EQ(Hex(b, 4)->pos(), Hex(b, 135)->pos());
        EXPECT_EQ(b->ItemIndex(), c.item);
        EXPECT_EQ(b->Bewertung->title(), c.total);
        ASSERT_EQ(host.CountSent(nmTileLaid), 2);
        EXPECT_EQ(host.Sent[0].datagram.CellCode, 135);
        EXPECT_TRUE(b->BtnOk->isEnabled());
        b->close();
        ProcessDeletes();
    }
}

TEST_F(ChildFormTest, ComputerTieGoesToTheCellAfterTheRandomStart) {
    // On an empty board in turn 1 every cell rates the same, so the cell is
    // the first one visited from component r + 1, r drawn from 0..63.
    for (int game = 0; game < 12; ++game) {
        tRandom replay = random;
        const int start = replay.Below(64) + 1;
        const std::uint16_t expected =
            start >= 15 && start <= 33 ? kComponentCellOrder[static_cast<std::size_t>(start - 15)]
                                       : 311;
        TChildForm* b = MakeBoard("PC");
        b->ComputerMove();
        EXPECT_EQ(Hex(b, expected)->GetOccupation(), Hex(b, 1)) << "start " << start;
        b->close();
        ProcessDeletes();
    }
}

TEST_F(ChildFormTest, ComputerMoveIsCalledOnlyForTheExactCaptionPC) {
    TChildForm* pc = MakeBoard("PC");
    TChildForm* lower = MakeBoard("pc");
    for (TChildForm* b : {pc, lower}) {
        QTest::mouseClick(Hex(b, 311), Qt::LeftButton); // ignored on "PC"
        b->BtnOk->click();
        b->NextTile();
    }
    EXPECT_EQ(Hex(pc, 311)->GetOccupation(), nullptr);
    EXPECT_NE(Hex(pc, 2)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(lower, 311)->GetOccupation(), Hex(lower, 1));
    EXPECT_EQ(Hex(lower, 2)->GetOccupation(), nullptr);
}

TEST_F(ChildFormTest, QualityUsesSquaredCountUpToTurnFourAndLengthFromTurnFive) {
    struct tCase {
        int turn;
        int item;
        const char* hoch3;
    };
    const tCase cases[] = {{4, 1, "36"}, {5, 1, "90"}, {5, 0, "0"}, {4, 0, "0"}};
    TChildForm* b = MakeBoard("Anna");
    // Tiles 2 and 11 both show 9 vertically; Hoch3 is a line of five.
    for (auto [cell, tile] : {std::pair{311, 2}, std::pair{322, 11}}) {
        Hex(b, cell)->Occupy(Hex(b, tile + 1));
        Hex(b, tile + 1)->Occupy(Hex(b, cell));
        Hex(b, tile + 1)->SetStyle(hxVisible);
    }
    for (const tCase& c : cases) {
        b->Turn = static_cast<std::uint16_t>(c.turn);
        b->SetItemIndex(c.item);
        b->Evaluate();
        EXPECT_EQ(b->findChild<tPkteLabel*>("Hoch3")->text(), c.hoch3) << c.turn << " " << c.item;
        EXPECT_EQ(b->Bewertung->title(), QString::number(b->Total));
    }
}

TEST_F(ChildFormTest, WholeComputerGameEndsWithAllTilesShownAndOkClosing) {
    TChildForm* b = MakeBoard("PC");
    QPointer<TChildForm> guard(b);
    b->ComputerMove();
    for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
        ASSERT_EQ(b->Turn, turn);
        ASSERT_NE(Hex(b, turn)->GetOccupation(), nullptr) << turn;
        if (turn == kTurnsPlayed) {
            int free = 0;
            for (std::uint16_t code : kCellCodes)
                free += Hex(b, code) == Hex(b, turn)->GetOccupation() ? 1 : 0;
            EXPECT_EQ(free, 1);
        }
        b->BtnOk->click();
        b->NextTile();
    }
    EXPECT_EQ(b->Turn, kLastTurn);
    for (int place = 1; place <= kTileCount; ++place)
        EXPECT_EQ(Hex(b, place)->Style(), hxVisible) << place;
    for (std::uint16_t code : kCellCodes)
        EXPECT_NE(Hex(b, code)->GetOccupation(), nullptr);
    EXPECT_TRUE(b->BtnOk->isEnabled());
    b->BtnOk->click();
    ProcessDeletes();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(host.ShowDemoCalls, std::vector<bool>{true});
}

TEST_F(ChildFormTest, BoardWindowsCascadeAndStartAgainAtTheTop) {
    TChildForm* first = MakeBoard("A");
    const int d = first->height() - first->widget()->height();
    ASSERT_GT(d, 0);
    TChildForm* second = MakeBoard("B");
    TChildForm* third = MakeBoard("C");
    EXPECT_EQ(first->pos(), QPoint(0, 0));
    EXPECT_EQ(second->pos(), QPoint(d, d));
    EXPECT_EQ(third->pos(), QPoint(2 * d, 2 * d));
    EXPECT_EQ(ReadProfileInt("Child", "Top", -1), 3 * d);
    EXPECT_EQ(ReadProfileInt("Child", "Height", -1), first->height());
    WriteProfileInt("Child", "Top", area.viewport()->height() - first->height() + 1);
    TChildForm* fourth = MakeBoard("D");
    EXPECT_EQ(fourth->pos(), QPoint(3 * d, 0));
}

TEST_F(ChildFormTest, ClosingALocalBoardSavesAndTellsPeersAndHost) {
    TChildForm* b = MakeBoard("Anna");
    b->resize(640, 400);
    b->close();
    ProcessDeletes();
    EXPECT_EQ(ReadProfileInt("Child", "Width", -1), 640);
    EXPECT_EQ(ReadProfileInt("Child", "Height", -1), 400);
    EXPECT_EQ(ReadProfileInt("Child", "State", -1), 0);
    EXPECT_EQ(host.NextPlayerDueCalls, 1);
    EXPECT_EQ(host.PurgePeersCalls, 1);
    ASSERT_EQ(host.CountSent(nmBoardClosed), 2);
    EXPECT_EQ(host.Sent[0].to, kPeerB);
    EXPECT_EQ(host.Sent[0].datagram.BoardId, 4711u);
}

TEST_F(ChildFormTest, RefusedSettingsWriteIsReportedAndTheBoardStillCloses) {
    TChildForm* b = MakeBoard("Anna");
    QPointer<TChildForm> guard(b);
    SetSettingsFileName(dir.filePath("missing/dir/vessrin.ini").toStdString());
    b->close();
    ProcessDeletes();
    EXPECT_TRUE(guard.isNull());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(host.PurgePeersCalls, 1);
}

TEST_F(ChildFormTest, RemoteMovesThatDoNotFitCloseTheBoard) {
    struct tStep {
        int turn;
        std::uint16_t cell;
        bool confirm;
        bool nextTileAfter;
    };
    struct tCase {
        const char* what;
        std::vector<tStep> steps;
        bool stillOpen;
    };
    const std::vector<tCase> cases = {
        {"fitting", {{1, 311, true, false}}, true},
        {"laid then confirmed", {{1, 311, false, false}, {1, 322, true, false}}, true},
        {"repeat same cell", {{1, 311, true, true}, {1, 311, true, false}}, true},
        {"repeat other cell", {{1, 311, true, true}, {1, 322, true, false}}, false},
        {"repeat before next tile, other cell",
         {{1, 311, true, false}, {1, 322, false, false}},
         false},
        {"wrong turn", {{3, 311, false, false}}, false},
        {"no such cell", {{1, 999, false, false}}, false},
        {"occupied cell", {{1, 311, true, true}, {2, 311, false, false}}, false},
    };
    for (const tCase& c : cases) {
        host.NextPlayerDueCalls = 0;
        TChildForm* b = MakeBoard("\\\\10.0.0.2\\Bob", kPeerA);
        QPointer<TChildForm> guard(b);
        for (const tStep& s : c.steps) {
            b->RemoteMove(s.turn, s.cell, s.confirm);
            if (s.nextTileAfter && guard)
                b->NextTile();
        }
        ProcessDeletes();
        EXPECT_EQ(!guard.isNull(), c.stillOpen) << c.what;
        if (guard) {
            for (std::uint16_t code : kCellCodes) {
                tHexagon* tile = Hex(b, code)->GetOccupation();
                if (tile) {
                    EXPECT_EQ(tile->GetOccupation(), Hex(b, code)) << c.what;
                }
            }
            EXPECT_EQ(host.NextPlayerDueCalls, 1) << c.what;
            b->close();
            ProcessDeletes();
        }
    }
    EXPECT_TRUE(host.Sent.empty()) << "a remote board never sends moves";
}

TEST_F(ChildFormTest, NextTurnsMovesBeforeItsTileAreHeldUntilTheBoardMovesOn) {
    TChildForm* b = MakeBoard("\\\\10.0.0.2\\Bob", kPeerA);
    QPointer<TChildForm> guard(b);
    b->RemoteMove(1, 311, true);
    // A third PC's confirmation of turn 1 is still on its way here, and the
    // owner's moves of turn 2 overtake it.
    b->RemoteMove(2, 322, false);
    b->RemoteMove(2, 333, true);
    ProcessDeletes();
    ASSERT_TRUE(guard) << "the board left the game";
    EXPECT_EQ(Hex(b, 322)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(b, 333)->GetOccupation(), nullptr);
    EXPECT_EQ(host.NextPlayerDueCalls, 1);
    b->NextTile();
    QApplication::processEvents();
    ASSERT_TRUE(guard);
    EXPECT_EQ(Hex(b, 322)->GetOccupation(), nullptr);
    ASSERT_NE(Hex(b, 333)->GetOccupation(), nullptr);
    EXPECT_NE(Hex(b, 311)->GetOccupation(), nullptr) << "turn 1's tile stays";
    EXPECT_EQ(host.NextPlayerDueCalls, 2) << "turn 2 confirmed once played";
}

TEST_F(ChildFormTest, ReturnPressesOkOnlyWhenItIsEnabled) {
    TChildForm* b = MakeBoard("Anna");
    QTest::keyClick(b->BtnOk, Qt::Key_Return);
    EXPECT_EQ(host.NextPlayerDueCalls, 0);
    QTest::mouseClick(Hex(b, 311), Qt::LeftButton);
    QTest::keyClick(b->BtnOk, Qt::Key_Return);
    EXPECT_EQ(host.NextPlayerDueCalls, 1);
    EXPECT_EQ(Hex(b, 1)->Style(), hxVisible);
}

TEST_F(ChildFormTest, AnnouncementCarriesNameOrderAndTheFirstMove) {
    TChildForm* b = MakeBoard("\\\\10.0.0.2\\Bob", kPeerA);
    b->OwnerAddresses->Add(AddressFromOctets(192, 168, 1, 2));
    b->RemoteMove(1, 124, false);
    b->AnnounceTo(kPeerB);
    ASSERT_EQ(host.Sent.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const tDatagram& d = host.Sent[static_cast<std::size_t>(i)].datagram;
        EXPECT_EQ(d.Kind, nmBoard);
        EXPECT_EQ(d.Name, "Bob");
        EXPECT_EQ(d.SenderAddress, AddressFromOctets(192, 168, 1, 2));
        EXPECT_EQ(d.Order, host.Order);
    }
    EXPECT_EQ(host.Sent[2].datagram.Kind, nmTileLaid);
    EXPECT_EQ(host.Sent[2].datagram.CellCode, 124);
    EXPECT_EQ(host.Sent[2].to, kPeerB);
    b->BitBtn->click();
    EXPECT_EQ(host.MessagesOpenedFor, std::vector<tAddress>{kPeerA});
}

TEST_F(ChildFormTest, LayoutKeepsTheAspectOfTheBoardArea) {
    TChildForm* b = MakeBoard("Anna");
    struct tCase {
        int width;
        int height;
        int boardW;
        int boardH;
    };
    const tCase cases[] = {{540, 280, 540, 280}, {540, 400, 540, 280}, {900, 280, 540, 280}};
    for (const tCase& c : cases) {
        b->widget()->resize(c.width, c.height);
        EXPECT_EQ(Hex(b, 311)->width(), c.boardW / 12);
        EXPECT_EQ(Hex(b, 311)->height(), c.boardH / 7);
        EXPECT_EQ(b->BtnOk->x(), c.boardW - b->BtnOk->width() - 10);
        EXPECT_EQ(b->BtnOk->y(), c.boardH - b->BtnOk->height() - 10);
    }
}

TEST_F(ChildFormTest, LineScoresStayClearOfTheRatingBoxAndOk) {
    TChildForm* b = MakeBoard("PC");
    // A finished computer game, so the labels show scores of their real widths.
    b->ComputerMove();
    for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
        b->BtnOk->click();
        b->NextTile();
    }
    ASSERT_EQ(b->Turn, kLastTurn);
    const QMargins m = b->contentsMargins();
    const QSize smallest =
        b->minimumSize().shrunkBy(QMargins(0, 0, m.left() + m.right(), m.top() + m.bottom()));
    for (const QSize client : {smallest, QSize(573, 333), QSize(620, 340), QSize(900, 600)}) {
        b->widget()->resize(client);
        for (tPkteLabel* label : b->widget()->findChildren<tPkteLabel*>())
            for (QWidget* other :
                 {static_cast<QWidget*>(b->Bewertung), static_cast<QWidget*>(b->BtnOk)})
                EXPECT_FALSE(label->geometry().intersects(other->geometry()))
                    << label->objectName().toStdString() << " on "
                    << other->objectName().toStdString() << " at " << client.width() << "x"
                    << client.height();
    }
}

TEST_F(ChildFormTest, RatingItemsLieInsideTheBoxFrame) {
    TChildForm* b = MakeBoard("Anna");
    for (QRadioButton* item : b->Bewertung->findChildren<QRadioButton*>())
        EXPECT_TRUE(b->Bewertung->contentsRect().contains(item->geometry()))
            << item->objectName().toStdString();
}

TEST(ChildFormIdentity, LocalBoardIdsAreUniqueAndNeverZero) {
    std::set<std::uint32_t> ids;
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t id = TChildForm::NewLocalBoardId();
        EXPECT_NE(id, 0u);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 1000u);
}

} // namespace
