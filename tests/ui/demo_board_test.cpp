// Widget tests of the demonstration board: the shown board, blinking, scores, layout, refusal.
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

#include "core/optimal_boards.h"
#include "core/scoring.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "platform/language.h"
#include "table/demo_board.h"

namespace {

TileOrder Order(tRandom& random) {
    return ShuffleTileOrder(random);
}

class DemoBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(0x0407);
        neu_ = new QToolButton(&window_);
        atn_ = new QToolButton(&window_);
        atn_->hide();
        demo_ = new tDemoBoard(random_, &window_);
        demo_->SetButtons(neu_, atn_);
        demo_->SetBlocked([this] { return blocked_; });
        demo_->setGeometry(0, 40, 576, 337);
        order_ = Order(random_);
        // Hidden widgets get their resize events only when shown.
        window_.resize(1920, 1040);
        window_.show();
    }

    // The board as plain data: every cell that shows a tile (face up or
    // highlighted) with the tile it shows.
    tBoard Board() const {
        tBoard board;
        for (std::uint16_t code : kCellCodes)
            if (demo_->Cell(code)->Style() != hxEmpty)
                board.Lay(code, demo_->Cell(code)->Nummer());
        return board;
    }
    int Count(thxStyle style) const {
        int n = 0;
        for (std::uint16_t code : kCellCodes)
            n += demo_->Cell(code)->Style() == style;
        return n;
    }
    tHexagon* Highlighted() const {
        for (std::uint16_t code : kCellCodes)
            if (demo_->Cell(code)->Style() == hxHighlight)
                return demo_->Cell(code);
        return nullptr;
    }
    void ExpectShown(bool shown, const char* what) const {
        EXPECT_EQ(demo_->Timer()->isActive(), shown) << what;
        EXPECT_EQ(demo_->isHidden(), !shown) << what;
        EXPECT_EQ(neu_->isHidden(), shown) << what;
        EXPECT_EQ(atn_->isHidden(), !shown) << what;
    }

    QWidget window_;
    tRandom random_{20240501};
    QToolButton* neu_ = nullptr;
    QToolButton* atn_ = nullptr;
    tDemoBoard* demo_ = nullptr;
    TileOrder order_;
    bool blocked_ = false;
};

TEST_F(DemoBoardTest, ShowsTenFaceUpTilesAndNineEmptyCellsCarryingTheTileInHand) {
    for (int showing = 0; showing < 40; ++showing) {
        demo_->ShowDemo(true, order_);
        const tOptimalBoard& entry = OptimalBoard(demo_->DemoBoard());
        ASSERT_GE(demo_->DemoBoard(), 1);
        ASSERT_LE(demo_->DemoBoard(), 16);
        EXPECT_EQ(Count(hxVisible), 10);
        EXPECT_EQ(Count(hxEmpty), 8);
        EXPECT_EQ(Count(hxHighlight), 1);
        std::set<int> inHand;
        std::set<int> freeTiles; // the stored tiles of the nine cells left open
        for (const tOptimalPair& pair : entry) {
            const tHexagon* cell = demo_->Cell(pair.Cell);
            if (cell->Style() == hxVisible) {
                EXPECT_EQ(cell->Nummer(), pair.Tile) << "face-up tile off its stored cell";
            } else {
                inHand.insert(cell->Nummer());
                freeTiles.insert(pair.Tile);
            }
        }
        ASSERT_EQ(inHand.size(), 1u) << "the empty cells carry different tiles";
        EXPECT_EQ(freeTiles.count(*inHand.begin()), 1u) << "the tile in hand is not one still due";
        for (int place = 11; place <= 27; ++place) {
            EXPECT_EQ(demo_->Stock(place)->Style(), hxHidden);
            EXPECT_EQ(demo_->Stock(place)->Nummer(), order_.Tile(place));
        }
    }
}

TEST_F(DemoBoardTest, ShowHideAndRefusalSetTimerVisibilityAndTheTwinButtons) {
    EXPECT_EQ(demo_->Timer()->interval(), 1000);
    demo_->ShowDemo(true, order_);
    ExpectShown(true, "shown");
    demo_->ShowDemo(false, order_);
    ExpectShown(false, "hidden");
    demo_->TimerTimer();
    demo_->TimerTimer();
    ExpectShown(false, "a late tick while hidden");

    demo_->ShowDemo(true, order_);
    demo_->TimerTimer();
    demo_->TimerTimer(); // buttons swapped: BtnNeu shown now
    EXPECT_FALSE(neu_->isHidden());
    blocked_ = true;
    demo_->ShowDemo(true, order_);
    ExpectShown(false, "refused while a board takes part");
    blocked_ = false;
    demo_->ShowDemo(true, order_);
    ExpectShown(true, "shown again once nothing blocks it");
}

TEST_F(DemoBoardTest, TicksAlternateBetweenButtonSwapAndAWanderingHighlight) {
    demo_->ShowDemo(true, order_);
    for (int tick = 0; tick < 24; ++tick) {
        const bool phase = demo_->BlinkPhase();
        tHexagon* before = Highlighted();
        const bool neuBefore = !neu_->isHidden();
        demo_->TimerTimer();
        EXPECT_NE(demo_->BlinkPhase(), phase);
        EXPECT_EQ(Count(hxVisible), 10);
        EXPECT_EQ(Count(hxHighlight), 1);
        if (phase) {
            EXPECT_NE(!neu_->isHidden(), neuBefore) << "tick " << tick;
            EXPECT_NE(neu_->isHidden(), atn_->isHidden()) << "tick " << tick;
            EXPECT_EQ(Highlighted(), before) << "tick " << tick;
        } else {
            EXPECT_EQ(!neu_->isHidden(), neuBefore) << "tick " << tick;
            EXPECT_NE(Highlighted(), before) << "tick " << tick;
            EXPECT_EQ(before->Style(), hxEmpty);
        }
    }
}

TEST_F(DemoBoardTest, ScoresFollowTheHighlightAndTheRadioGroupAsTheCoreEvaluates) {
    demo_->ShowDemo(true, order_);
    EXPECT_EQ(demo_->ItemIndex(), 1) << "the demonstration starts in quality";
    std::set<int> totals;
    for (int tick = 0; tick < 30; ++tick) {
        for (int item : {0, 1}) {
            demo_->SetItemIndex(item);
            const std::uint8_t mode = item == 0 ? kModeDemoPoints : kModeDemoQuality;
            const std::uint16_t expected = EvaluateBoard(Board(), mode);
            EXPECT_EQ(demo_->Total(), expected) << "item " << item;
            EXPECT_EQ(demo_->Bewertung()->title(), QString::number(expected));
            EXPECT_EQ(demo_->ScoreDemo(), expected);
            if (item == 1)
                totals.insert(expected);
        }
        demo_->TimerTimer();
    }
    EXPECT_GT(totals.size(), 1u) << "moving the highlight never changed the quality";
    // Clicking the other item re-scores at once.
    demo_->findChild<QRadioButton*>(QStringLiteral("Punkte"))->click();
    EXPECT_EQ(demo_->Total(), EvaluateBoard(Board(), kModeDemoPoints));
}

TEST_F(DemoBoardTest, ArrangePanelKeeps540To280InsideThePanelAtEverySize) {
    demo_->ShowDemo(true, order_);
    const struct {
        int pw, ph, w, h;
    } sizes[] = {{576, 337, 576, 298}, {620, 300, 578, 300},   {1200, 400, 771, 400},
                 {500, 900, 500, 259}, {1904, 960, 1851, 960}, {612, 392, 612, 317}};
    for (const auto& s : sizes) {
        EXPECT_EQ(FitBoardArea(s.pw, s.ph), QSize(s.w, s.h));
        demo_->resize(s.pw, s.ph);
        const QRect panel = demo_->rect();
        for (std::uint16_t code : kCellCodes) {
            const QRect g = demo_->Cell(code)->geometry();
            EXPECT_EQ(g.size(), QSize(s.w / 12, s.h / 7)) << s.pw << "x" << s.ph;
            EXPECT_EQ(g.topLeft(), BoardPosition(s.h, s.w, code)) << code;
        }
        EXPECT_EQ(demo_->Stock(11)->pos(), StackPosition(s.h, s.w, 11));
        for (QWidget* child : demo_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(panel.contains(child->geometry()))
                << child->objectName().toStdString() << " at " << s.pw << "x" << s.ph;
        EXPECT_EQ(demo_->Bewertung()->x(), s.w - demo_->Bewertung()->width() - 15);
        const tPkteLabel* ab3 = demo_->Label(12);
        EXPECT_EQ(ab3->objectName(), QStringLiteral("Ab3"));
        EXPECT_EQ(ab3->pos(), QPoint(s.w * 85 / 100, s.h * 74 / 100));
        const tPkteLabel* auf4 = demo_->Label(8);
        EXPECT_EQ(auf4->geometry().right() + 1, s.w * 55 / 100);
    }
}

TEST_F(DemoBoardTest, ApplyColorsReachesEveryControlOfThePanel) {
    const tColorSet saved = SharedColors();
    tColorSet changed = saved;
    changed.LineColors[6] = MakeColor(200, 10, 30);
    changed.BackgroundColor = MakeColor(0, 0, 255);
    SharedColors() = changed;
    demo_->ApplyColors();
    for (tHexagon* hex : demo_->findChildren<tHexagon*>())
        EXPECT_EQ(hex->Colors(), changed) << hex->objectName().toStdString();
    for (int line = 0; line < kLineCount; ++line)
        EXPECT_EQ(demo_->Label(line)->Colors(), changed);
    EXPECT_EQ(demo_->palette().color(QPalette::Window), QColor(0, 0, 255));
    SharedColors() = saved;
}

TEST_F(DemoBoardTest, RendersCrispAtDesignAndLargeSizesInBothLanguages) {
    const struct {
        std::uint32_t language;
        int w, h;
        const char* path;
    } shots[] = {{0x0407, 612, 392, "/tmp/demoboard_de_design.png"},
                 {0x0409, 612, 392, "/tmp/demoboard_en_design.png"},
                 {0x0407, 1264, 900, "/tmp/demoboard_de_large.png"},
                 {0x0409, 1264, 900, "/tmp/demoboard_en_large.png"}};
    for (const auto& shot : shots) {
        SetLanguage(shot.language);
        QWidget window;
        tDemoBoard demo(random_, &window);
        demo.setGeometry(0, 0, shot.w, shot.h);
        window.resize(shot.w, shot.h);
        window.show();
        demo.ShowDemo(true, order_);
        // Quality texts of the radio group fit their buttons.
        for (QRadioButton* item : demo.findChildren<QRadioButton*>()) {
            const QString text = QString(item->text()).remove(QLatin1Char('&'));
            EXPECT_LE(item->fontMetrics().horizontalAdvance(text) + 20, item->width()) << shot.path;
        }
        EXPECT_TRUE(demo.grab().save(QString::fromLatin1(shot.path)));
    }
}

} // namespace
