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
#include <gtest/gtest.h>

#include "core/ip_list.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "ui/fake_board_host.h"

namespace {

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
        host.table.OwnAddresses.Add(AddressFromOctets(10, 0, 0, 1));
        host.table.PeerPcs.Add(kPeerA);
        host.table.PeerPcs.Add(kPeerB);
        host.Area = &area;
        area.resize(800, 600);
        area.show();
        QApplication::processEvents();
    }
    void TearDown() override {
        SetMessageBoxHook({});
        area.closeAllSubWindows();
        ProcessDeletes();
    }

    TChildForm* MakeBoard(const std::string& name) { return host.MakeBoard(name); }
    // Bob's board, played at peer A: it takes part and holds the turn until he confirms.
    TChildForm* MakeRemote() { return host.MakeBoard("Bob", kPeerA, kPeerA, 4711); }

    tHexagon* Hex(TChildForm* b, int number) {
        return b->findChild<tHexagon*>(QStringLiteral("Hexagon") + QString::number(number));
    }

    QTemporaryDir dir;
    tFakeBoardHost host;
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
    EXPECT_EQ(b->Data().CellOf[1], 311);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->GetOccupation(), Hex(b, 311));
    EXPECT_EQ(Hex(b, 1)->pos(), Hex(b, 311)->pos());
    EXPECT_TRUE(b->BtnOk->isEnabled());
    EXPECT_EQ(b->focusWidget(), b->BtnOk);
    EXPECT_EQ(host.CountSent(nmTileLaid), 2) << "the table's sends reach the network";
}

TEST_F(ChildFormTest, AfterOkClicksAndDragsPlaceNothing) {
    MakeRemote();
    TChildForm* b = MakeBoard("Anna");
    QTest::mouseClick(Hex(b, 311), Qt::LeftButton);
    host.Sent.clear();
    b->BtnOk->click();
    EXPECT_EQ(b->Data().Phase, tTilePhase::Confirmed);
    EXPECT_FALSE(b->BtnOk->isEnabled());
    EXPECT_EQ(Hex(b, 1)->Style(), hxVisible);
    EXPECT_EQ(host.CountSent(nmTileConfirmed), 2);

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
        int cell;
        int dx; // the cursor's offset from the cell's origin
        int dy;
        bool snaps;
    };
    TChildForm* b = MakeBoard("Anna");
    tHexagon* tile = Hex(b, 1);
    const int w = Hex(b, 322)->width();
    const int h = Hex(b, 322)->height();
    // The last case drags the tile on from where the one before laid it.
    const tCase cases[] = {
        {322, w / 4 - 1, h / 2, false},     {322, w / 2, h / 4 - 1, false},
        {322, 3 * w / 4 + 1, h / 2, false}, {322, w / 2, 3 * h / 4 + 1, false},
        {322, w / 4, h / 4, true},          {333, 3 * w / 4, 3 * h / 4, true},
    };
    for (const tCase& c : cases) {
        tHexagon* cell = Hex(b, c.cell);
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
    EXPECT_EQ(host.CountSent(nmTileConfirmed), 2);
    EXPECT_EQ(b->Data().Turn, 2) << "the only player confirmed: the next tile comes";
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
        EXPECT_EQ(b->Data().Total == 0, item == 0);
        EXPECT_EQ(b->Bewertung->title(), QString::number(b->Data().Total));
        b->BtnOk->click();
        EXPECT_NE(Hex(b, 2)->GetOccupation(), nullptr) << "the next tile is laid when offered";
        b->close();
        ProcessDeletes();
    }
}

TEST_F(ChildFormTest, LineScoresUseSquaredCountUpToTurnFourAndLengthFromTurnFive) {
    // Tiles 2 and 11 both show 9 vertically on Hoch3, a line of five; the
    // tiles of turns 3 and 4 go off it.
    host.table.Order.tiles[0] = 2;
    host.table.Order.tiles[1] = 11;
    TChildForm* b = MakeBoard("Anna");
    struct tCase {
        int turn;
        int item;
        const char* hoch3;
    };
    const tCase cases[] = {{4, 1, "36"}, {4, 0, "0"}, {5, 0, "0"}, {5, 1, "90"}};
    const int cells[] = {311, 322, 113, 124};
    for (const tCase& c : cases) {
        while (b->Data().Turn < c.turn) {
            QTest::mouseClick(Hex(b, cells[b->Data().Turn - 1]), Qt::LeftButton);
            b->BtnOk->click();
        }
        b->SetItemIndex(c.item);
        EXPECT_EQ(b->findChild<tPkteLabel*>("Hoch3")->text(), c.hoch3) << c.turn << " " << c.item;
        EXPECT_EQ(b->Bewertung->title(), QString::number(b->Data().Total));
    }
}

TEST_F(ChildFormTest, WholeComputerGameEndsWithAllTilesShownScoresClearAndOkClosing) {
    TChildForm* b = MakeBoard("PC");
    QPointer<TChildForm> guard(b);
    b->ComputerMove();
    for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
        ASSERT_EQ(b->Data().Turn, turn);
        ASSERT_NE(Hex(b, turn)->GetOccupation(), nullptr) << turn;
        b->BtnOk->click();
    }
    EXPECT_EQ(b->Data().Turn, kLastTurn);
    for (int place = 1; place <= kTileCount; ++place)
        EXPECT_EQ(Hex(b, place)->Style(), hxVisible) << place;
    for (std::uint16_t code : kCellCodes)
        EXPECT_NE(Hex(b, code)->GetOccupation(), nullptr);
    // The line labels show scores of their real widths now.
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
    EXPECT_TRUE(b->BtnOk->isEnabled());
    b->BtnOk->click();
    ProcessDeletes();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(host.ShowDemoCalls, (std::vector<bool>{false, true})) << "hidden by the board";
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

TEST_F(ChildFormTest, ClosingALocalBoardSavesItsPlaceAndLeavesTheTable) {
    TChildForm* b = MakeBoard("Anna");
    const int key = b->Key();
    b->resize(640, 400);
    b->close();
    ProcessDeletes();
    EXPECT_EQ(ReadProfileInt("Child", "Width", -1), 640);
    EXPECT_EQ(ReadProfileInt("Child", "Height", -1), 400);
    EXPECT_EQ(ReadProfileInt("Child", "State", -1), 0);
    EXPECT_EQ(host.table.Board(key), nullptr);
    EXPECT_EQ(host.CountSent(nmBoardClosed), 2);
}

TEST_F(ChildFormTest, RefusedSettingsWriteIsReportedAndTheBoardStillCloses) {
    TChildForm* b = MakeBoard("Anna");
    const int key = b->Key();
    QPointer<TChildForm> guard(b);
    SetSettingsFileName(dir.filePath("missing/dir/vessrin.ini").toStdString());
    b->close();
    ProcessDeletes();
    EXPECT_TRUE(guard.isNull());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(host.table.Board(key), nullptr);
}

TEST_F(ChildFormTest, RemoteMovesShowAndOneThatDoesNotFitClosesTheWindow) {
    TChildForm* b = MakeRemote();
    QPointer<TChildForm> guard(b);
    b->RemoteMove(1, 311, false);
    b->RemoteMove(1, 322, true);
    EXPECT_EQ(Hex(b, 311)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(b, 322)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->GetOccupation(), Hex(b, 322));
    EXPECT_EQ(Hex(b, 2)->Style(), hxHighlight);
    b->RemoteMove(1, 333, true); // turn 1 again, on another cell
    ProcessDeletes();
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ChildFormTest, RemoteBoardShowsItsCaptionAndMessagesItsHome) {
    TChildForm* b = host.MakeBoard("Bob", AddressFromOctets(192, 168, 1, 2), kPeerA, 4711);
    EXPECT_EQ(b->windowTitle(), "\\\\192.168.1.2\\Bob");
    EXPECT_TRUE(b->BtnOk->isHidden());
    EXPECT_FALSE(b->BitBtn->isHidden());
    b->BitBtn->click();
    EXPECT_EQ(host.MessagesOpenedFor, std::vector<tAddress>{kPeerA});
    EXPECT_TRUE(MakeBoard("Anna")->BitBtn->isHidden());
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

TEST_F(ChildFormTest, RatingItemsLieInsideTheBoxFrame) {
    TChildForm* b = MakeBoard("Anna");
    for (QRadioButton* item : b->Bewertung->findChildren<QRadioButton*>())
        EXPECT_TRUE(b->Bewertung->contentsRect().contains(item->geometry()))
            << item->objectName().toStdString();
}

} // namespace
