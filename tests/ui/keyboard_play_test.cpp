// Playing a board by keyboard (marker, Space, Return) and what screen readers are told.
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

#include "core/colors.h"
#include "core/ip_list.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/child_form.h"
#include "ui/fake_board_host.h"

namespace {

const tAddress kOwn = AddressFromOctets(10, 0, 0, 1);
const tAddress kPeer = AddressFromOctets(10, 0, 0, 2);

std::function<bool(int)> FreeExcept(std::set<int> taken) {
    return [taken](int code) { return taken.count(code) == 0; };
}

class KeyboardPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(0x0409);
        ASSERT_TRUE(dir.isValid());
        SetSettingsFileName(dir.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetMessageBoxHook([](const QString&, const QString&, int) { return kIdOk; });
        host.table.OwnAddresses.Add(kOwn);
        host.table.PeerPcs.Add(kPeer);
        host.Area = &area;
        area.resize(800, 600);
        area.show();
        QApplication::processEvents();
    }
    void TearDown() override {
        SetMessageBoxHook({});
        SetLanguage(0x0409);
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    TChildForm* MakeBoard(const std::string& name) { return host.MakeBoard(name); }
    TChildForm* MakeRemote() { return host.MakeBoard("Bob", kPeer, kPeer, 4711); }

    // A key as the user types it: to the widget that holds the board's focus.
    static void Press(TChildForm* b, Qt::Key key) {
        QWidget* target = b->focusWidget() ? b->focusWidget() : b;
        QTest::keyClick(target, key);
    }

    static tHexagon* Hex(TChildForm* b, int number) {
        return b->findChild<tHexagon*>(QStringLiteral("Hexagon") + QString::number(number));
    }

    static std::vector<tHexagon*> MarkedControls(TChildForm* b) {
        std::vector<tHexagon*> marked;
        for (tHexagon* hex : b->findChildren<tHexagon*>())
            if (hex->Marked())
                marked.push_back(hex);
        return marked;
    }

    QTemporaryDir dir;
    tFakeBoardHost host;
    QMdiArea area;
};

QString AccName(QObject* o) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString AccDescription(QObject* o) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Description) : QString();
}

} // namespace

TEST(MarkerStep, MovesAlongColumnsAndZigzagRowsSkippingTakenCells) {
    const struct {
        int from;
        tMarkerStep step;
        std::set<int> taken;
        int to;
    } cases[] = {
        {333, tMarkerStep::Up, {}, 322},
        {333, tMarkerStep::Down, {}, 344},
        // From an odd column a row goes half a cell down, from an even one up.
        {333, tMarkerStep::Left, {}, 234},
        {333, tMarkerStep::Right, {}, 443},
        {311, tMarkerStep::Left, {}, 212},
        {212, tMarkerStep::Left, {}, 113},
        {355, tMarkerStep::Right, {}, 454}, // no cell in its row: the nearest one
        // Edges of the board: the marker stays.
        {311, tMarkerStep::Up, {}, 311},
        {355, tMarkerStep::Down, {}, 355},
        {113, tMarkerStep::Left, {}, 113},
        {542, tMarkerStep::Right, {}, 542},
        // Taken cells are skipped; with none free that way the marker stays.
        {333, tMarkerStep::Up, {322}, 311},
        {333, tMarkerStep::Up, {322, 311}, 333},
        {333, tMarkerStep::Right, {443}, 432},
        {234, tMarkerStep::Left, {124}, 135},
        {333, tMarkerStep::Right, {421, 432, 443, 454}, 542},
        {113, tMarkerStep::Right, {212, 223, 234, 245}, 322},
        {311, tMarkerStep::Left, {113, 124, 135, 212, 223, 234, 245}, 311},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MarkerStep(c.from, c.step, FreeExcept(c.taken)), c.to)
            << c.from << " step " << static_cast<int>(c.step);
}

TEST(MarkerStep, NearestFreeCellPrefersUpperThenLeft) {
    std::set<int> all(kCellCodes.begin(), kCellCodes.end());
    const struct {
        int from;
        std::set<int> taken;
        int to;
    } cases[] = {
        {333, {}, 333}, {0, {}, 333}, {333, {333}, 322}, {333, {333, 322}, 223}, {333, all, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NearestFreeCell(c.from, FreeExcept(c.taken)), c.to) << c.from;
}

TEST_F(KeyboardPlayTest, ArrowsMoveTheMarkerWhereverTheFocusIsInTheBoard) {
    TChildForm* b = MakeBoard("Anna");
    ASSERT_EQ(b->MarkerCell(), 333);
    ASSERT_EQ(MarkedControls(b), std::vector<tHexagon*>{Hex(b, 333)});
    auto* punkte = b->findChild<QRadioButton*>(QStringLiteral("Punkte"));
    const struct {
        QWidget* target;
        Qt::Key key;
        int cell;
    } steps[] = {
        {b, Qt::Key_Up, 322},         {punkte, Qt::Key_Up, 311}, {punkte, Qt::Key_Up, 311},
        {punkte, Qt::Key_Right, 421}, {b, Qt::Key_Down, 432},    {b->Client(), Qt::Key_Left, 322},
    };
    for (const auto& s : steps) {
        QTest::keyClick(s.target, s.key);
        EXPECT_EQ(b->MarkerCell(), s.cell);
        EXPECT_EQ(MarkedControls(b), std::vector<tHexagon*>{Hex(b, s.cell)});
    }
    EXPECT_EQ(b->ItemIndex(), 0) << "the rating keeps its item; it has its mnemonics";
    EXPECT_TRUE(host.Sent.empty());
}

TEST_F(KeyboardPlayTest, SpaceLaysAndMovesTheTileAsAClickWould) {
    MakeRemote(); // Bob holds the turn: Anna's confirmed tile stays current
    TChildForm* b = MakeBoard("Anna");
    Press(b, Qt::Key_Space);
    EXPECT_EQ(Hex(b, 333)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(Hex(b, 1)->pos(), Hex(b, 333)->pos());
    EXPECT_TRUE(b->BtnOk->isEnabled());
    EXPECT_EQ(b->focusWidget(), b->BtnOk);
    ASSERT_EQ(host.CountSent(nmTileLaid), 1);
    EXPECT_EQ(host.Sent[0].datagram.CellCode, 333);
    // The marker stays on the laid tile, which now covers the cell.
    EXPECT_EQ(MarkedControls(b), std::vector<tHexagon*>{Hex(b, 1)});

    Press(b, Qt::Key_Space); // the tile already lies there
    EXPECT_EQ(host.CountSent(nmTileLaid), 1);

    Press(b, Qt::Key_Right);
    EXPECT_EQ(MarkedControls(b), std::vector<tHexagon*>{Hex(b, 443)});
    Press(b, Qt::Key_Space); // Space on Ok moves the tile; it does not confirm
    EXPECT_EQ(Hex(b, 333)->GetOccupation(), nullptr);
    EXPECT_EQ(Hex(b, 443)->GetOccupation(), Hex(b, 1));
    EXPECT_EQ(b->Data().Phase, tTilePhase::Laid);
    EXPECT_EQ(host.CountSent(nmTileLaid), 2);
    EXPECT_EQ(host.Sent[1].datagram.CellCode, 443);

    b->BtnOk->click();
    // Its cell was taken: the marker goes to the nearest free cell.
    EXPECT_EQ(b->MarkerCell(), 432);
    EXPECT_EQ(MarkedControls(b), std::vector<tHexagon*>{Hex(b, 432)});
    Press(b, Qt::Key_Space); // confirmed: nothing more to lay this turn
    EXPECT_EQ(Hex(b, 432)->GetOccupation(), nullptr);
    EXPECT_EQ(host.CountSent(nmTileLaid), 2);
}

TEST_F(KeyboardPlayTest, SpaceAndReturnPlayAWholeGame) {
    TChildForm* b = MakeBoard("Anna");
    Press(b, Qt::Key_Return); // Ok is not enabled yet
    EXPECT_EQ(b->Data().Phase, tTilePhase::Offered);
    std::vector<int> cells;
    for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
        const int cell = b->MarkerCell();
        ASSERT_NE(cell, 0) << "turn " << turn;
        cells.push_back(cell);
        Press(b, Qt::Key_Space);
        Press(b, Qt::Key_Return);
        EXPECT_EQ(Hex(b, cell)->GetOccupation(), Hex(b, turn)) << "turn " << turn;
        EXPECT_EQ(Hex(b, turn)->Style(), hxVisible) << "turn " << turn;
    }
    // The first turns, by the nearest free cell (upper, then left).
    EXPECT_EQ(std::vector<int>(cells.begin(), cells.begin() + 4),
              (std::vector<int>{333, 322, 311, 212}));
    EXPECT_EQ(std::set<int>(cells.begin(), cells.end()).size(), 19u);
    EXPECT_EQ(host.CountSent(nmTileConfirmed), 19);
    EXPECT_EQ(b->Data().Turn, kLastTurn);
    EXPECT_TRUE(b->BtnOk->isEnabled());
    EXPECT_EQ(b->MarkerCell(), 0);
    EXPECT_TRUE(MarkedControls(b).empty());
}

TEST_F(KeyboardPlayTest, ComputerAndRemoteBoardsTakeNoPlacementKeys) {
    for (const bool remote : {false, true}) {
        TChildForm* b = remote ? MakeRemote() : MakeBoard("PC");
        const std::string caption = b->windowTitle().toStdString();
        EXPECT_EQ(b->MarkerCell(), 0) << caption;
        EXPECT_TRUE(MarkedControls(b).empty()) << caption;
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Space, Qt::Key_Down, Qt::Key_Right,
                            Qt::Key_Space}) {
            QTest::keyClick(b, key);
            QTest::keyClick(b->Client(), key);
        }
        for (int code : kCellCodes)
            EXPECT_EQ(Hex(b, code)->GetOccupation(), nullptr) << caption << " " << code;
        EXPECT_TRUE(host.Sent.empty()) << caption;
        b->close();
        host.Sent.clear(); // the local board's closing
    }
}

TEST(MarkerPicture, RingOfBlackAndWhiteInEveryColourSetAndSize) {
    tColorSet dark = DefaultColorSet();
    dark.BackgroundColor = MakeColor(0, 0, 0);
    dark.LightColor = MakeColor(255, 255, 255);
    dark.ShadowColor = MakeColor(60, 60, 60);
    tColorSet pale = DefaultColorSet();
    pale.BackgroundColor = MakeColor(255, 255, 255);
    pale.LightColor = MakeColor(240, 240, 240);
    pale.ShadowColor = MakeColor(200, 200, 200);
    for (const tColorSet& colors : {DefaultColorSet(), dark, pale}) {
        for (QSize size : {QSize(45, 40), QSize(96, 85)}) {
            for (thxStyle style : {hxEmpty, hxHighlight}) {
                tHexagon hex;
                hex.setObjectName(style == hxEmpty ? "Hexagon333" : "Hexagon1");
                hex.NewColors(colors);
                hex.Init(26, style);
                hex.resize(size);
                const QImage plain = hex.grab().toImage().convertToFormat(QImage::Format_RGB32);
                hex.SetMarked(true);
                const QImage marked = hex.grab().toImage().convertToFormat(QImage::Format_RGB32);
                // Left of the middle, inside the body and clear of the stripes.
                int changed = 0;
                bool black = false;
                bool white = false;
                const int y = size.height() / 2;
                for (int x = 3; x < size.width() / 5; ++x) {
                    const QColor c = marked.pixelColor(x, y);
                    changed += c != plain.pixelColor(x, y);
                    black |= c.red() < 40 && c.green() < 40 && c.blue() < 40;
                    white |= c.red() > 215 && c.green() > 215 && c.blue() > 215;
                }
                const auto where = ::testing::Message()
                                   << size.width() << "x" << size.height() << " style "
                                   << int(style) << " background " << colors.BackgroundColor;
                EXPECT_GE(changed, 3) << where;
                EXPECT_TRUE(black && white) << where;
            }
        }
    }
}

TEST_F(KeyboardPlayTest, CellsTilesLinesAndTotalSpeakTheSessionLanguage) {
    // Three tiles of vertical value 1 (tiles 0, 3, 6: 1 2 3, 1 6 3, 1 7 3) fill Hoch1.
    const struct {
        std::uint32_t locale;
        const char* cellTaken;
        const char* cellFree;
        const char* tileLaid;
        const char* tileHidden;
        const char* currentTile;
        const char* lineComplete;
        const char* lineCompleteSays;
        const char* lineEmpty;
        const char* lineEmptySays;
        const char* totalPoints;
        const char* lineQuality;
        const char* totalQuality;
        const char* marked;
    } languages[] = {
        {0x0407, "Feld 124, Plättchen 1 6 3", "Feld 322, frei", "Plättchen 3: 1 7 3, auf Feld 135",
         "Plättchen 5, verdeckt", "jetzt zu legen", "Hoch1: 3 Punkte",
         "senkrechte Linie, vollständig, Wert 1", "Hoch3: 0 Punkte", "senkrechte Linie, leer",
         "Summe: 3 Punkte", "Hoch1: Bewertung 9", "Summe: Bewertung 33", "markiert"},
        {0x0409, "Cell 124, tile 1 6 3", "Cell 322, free", "Tile 3: 1 7 3, on cell 135",
         "Tile 5, hidden", "to be laid now", "Hoch1: 3 points", "vertical line, complete, value 1",
         "Hoch3: 0 points", "vertical line, empty", "Total: 3 points", "Hoch1: quality 9",
         "Total: quality 33", "marked"},
    };
    for (const auto& l : languages) {
        SetLanguage(l.locale);
        // Set for each board: the table draws a new order when the last board closes.
        for (std::size_t i = 0; i < 4; ++i)
            host.table.Order.tiles[i] = static_cast<std::uint16_t>(3 * i);
        TChildForm* b = MakeBoard("Anna");
        for (int cell : {113, 124, 135}) {
            QTest::mouseClick(Hex(b, cell), Qt::LeftButton);
            b->BtnOk->click();
        }
        auto* hoch1 = b->findChild<tPkteLabel*>(QStringLiteral("Hoch1"));
        auto* hoch3 = b->findChild<tPkteLabel*>(QStringLiteral("Hoch3"));
        EXPECT_EQ(AccName(Hex(b, 124)), QString::fromUtf8(l.cellTaken));
        EXPECT_EQ(AccName(Hex(b, 322)), QString::fromUtf8(l.cellFree));
        EXPECT_EQ(AccName(Hex(b, 3)), QString::fromUtf8(l.tileLaid));
        EXPECT_EQ(AccName(Hex(b, 5)), QString::fromUtf8(l.tileHidden));
        EXPECT_EQ(AccDescription(Hex(b, 4)), QString::fromUtf8(l.currentTile));
        EXPECT_EQ(AccName(hoch1), QString::fromUtf8(l.lineComplete));
        EXPECT_EQ(AccDescription(hoch1), QString::fromUtf8(l.lineCompleteSays));
        EXPECT_EQ(AccName(hoch3), QString::fromUtf8(l.lineEmpty));
        EXPECT_EQ(AccDescription(hoch3), QString::fromUtf8(l.lineEmptySays));
        EXPECT_EQ(AccName(b->Bewertung), QString::fromUtf8(l.totalPoints));
        ASSERT_EQ(b->MarkerCell(), 333);
        QAccessibleInterface* marker = QAccessible::queryAccessibleInterface(Hex(b, 333));
        EXPECT_TRUE(marker->state().selected);
        EXPECT_EQ(marker->text(QAccessible::Description), QString::fromUtf8(l.marked));
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(Hex(b, 322))->state().selected);
        // Turn 4, quality: Hoch1 3·3·1; rising 2 + 6 + 7; falling 3 + 3 + 3.
        b->SetItemIndex(1);
        EXPECT_EQ(AccName(hoch1), QString::fromUtf8(l.lineQuality));
        EXPECT_EQ(AccName(b->Bewertung), QString::fromUtf8(l.totalQuality));
        b->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(KeyboardPlayTest, ABoardMadeActiveTakesTheKeysFromTheBoardBefore) {
    TChildForm* pc = MakeBoard("PC");
    auto* pcRating = pc->findChild<QRadioButton*>(QStringLiteral("Punkte"));
    pcRating->setFocus();
    TChildForm* anna = MakeBoard("Anna");
    area.setActiveSubWindow(anna);
    QApplication::processEvents();
    QWidget* focus = area.window()->focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(anna->isAncestorOf(focus) || focus == anna);
    Press(anna, Qt::Key_Up);
    EXPECT_EQ(anna->MarkerCell(), 322);
    EXPECT_EQ(pc->ItemIndex(), 0);
}
