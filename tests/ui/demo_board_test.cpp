// Widget tests of the demonstration board: the shown board, blinking, scores, layout, refusal.
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

#include "core/optimal_boards.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "platform/language.h"
#include "shot_path.h"
#include "table/demo_board.h"

namespace {

class DemoBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(0x0407);
        atn_->hide();
        demo_->SetButtons(neu_, atn_);
        demo_->SetBlocked([this] { return blocked_; });
        demo_->setGeometry(0, 40, 576, 337);
        // Hidden widgets get their resize events only when shown.
        window_.resize(1920, 1040);
        window_.show();
    }

    // Every cell that shows a tile (face up or highlighted) with that tile.
    tBoard Board() const {
        tBoard board;
        for (std::uint16_t code : kCellCodes)
            if (demo_->Cell(code)->Style() != hxEmpty)
                board.Lay(code, demo_->Cell(code)->Nummer());
        return board;
    }
    std::vector<tHexagon*> Cells(thxStyle style) const {
        std::vector<tHexagon*> cells;
        for (std::uint16_t code : kCellCodes)
            if (demo_->Cell(code)->Style() == style)
                cells.push_back(demo_->Cell(code));
        return cells;
    }
    void ExpectShown(bool shown, const char* what) const {
        EXPECT_EQ(demo_->Timer()->isActive(), shown) << what;
        EXPECT_EQ(demo_->isHidden(), !shown) << what;
        EXPECT_EQ(neu_->isHidden(), shown) << what;
        EXPECT_EQ(atn_->isHidden(), !shown) << what;
    }

    QWidget window_;
    tRandom random_{20240501};
    QToolButton* neu_ = new QToolButton(&window_);
    QToolButton* atn_ = new QToolButton(&window_);
    tDemoBoard* demo_ = new tDemoBoard(random_, &window_);
    TileOrder order_ = ShuffleTileOrder(random_);
    bool blocked_ = false;
};

TEST_F(DemoBoardTest, ShowsTenFaceUpTilesAndNineEmptyCellsCarryingTheTileInHand) {
    for (int showing = 0; showing < 40; ++showing) {
        demo_->ShowDemo(true, order_);
        ASSERT_EQ(Cells(hxVisible).size(), 10u);
        ASSERT_EQ(Cells(hxHighlight).size(), 1u);
        std::set<int> inHand;
        std::set<int> openTiles; // the stored tiles of the nine open cells
        for (const tOptimalPair& pair : OptimalBoard(demo_->DemoBoard())) {
            const tHexagon* cell = demo_->Cell(pair.Cell);
            if (cell->Style() == hxVisible) {
                EXPECT_EQ(cell->Nummer(), pair.Tile) << "face-up tile off its stored cell";
            } else {
                inHand.insert(cell->Nummer());
                openTiles.insert(pair.Tile);
            }
        }
        ASSERT_EQ(inHand.size(), 1u) << "the empty cells carry different tiles";
        EXPECT_EQ(openTiles.count(*inHand.begin()), 1u) << "the tile in hand is already laid";
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
    ExpectShown(false, "late ticks while hidden");

    demo_->ShowDemo(true, order_);
    demo_->TimerTimer();
    demo_->TimerTimer(); // the twins have swapped: BtnNeu shows
    blocked_ = true;
    demo_->ShowDemo(true, order_);
    ExpectShown(false, "refused while a board takes part");
    blocked_ = false;
    demo_->ShowDemo(true, order_);
    ExpectShown(true, "shown again once nothing blocks it");
}

TEST_F(DemoBoardTest, TicksAlternateSwapAndHighlightAndTheScoresFollowAsTheCoreEvaluates) {
    demo_->ShowDemo(true, order_);
    EXPECT_EQ(demo_->ItemIndex(), 1) << "the demonstration starts in quality";
    std::set<int> qualities;
    for (int tick = 0; tick < 30; ++tick) {
        const bool swapTick = demo_->BlinkPhase();
        tHexagon* before = Cells(hxHighlight).front();
        const bool neuBefore = !neu_->isHidden();
        demo_->TimerTimer();
        ASSERT_EQ(Cells(hxHighlight).size(), 1u);
        EXPECT_EQ(Cells(hxVisible).size(), 10u);
        EXPECT_NE(neu_->isHidden(), atn_->isHidden());
        EXPECT_EQ(neu_->isHidden() == neuBefore, swapTick) << "tick " << tick;
        EXPECT_EQ(Cells(hxHighlight).front() == before, swapTick) << "tick " << tick;
        for (int item : {0, 1}) {
            demo_->SetItemIndex(item);
            const std::uint16_t expected = EvaluateBoard(Board(), item == 0 ? 3 : 4);
            EXPECT_EQ(demo_->Total(), expected) << "tick " << tick << " item " << item;
            EXPECT_EQ(demo_->Bewertung()->title(), QString::number(expected));
        }
        qualities.insert(demo_->Total());
    }
    EXPECT_GT(qualities.size(), 1u) << "moving the highlight never changed the quality";
    demo_->findChild<QRadioButton*>(QStringLiteral("Punkte"))->click();
    EXPECT_EQ(demo_->Total(), EvaluateBoard(Board(), 3));
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
        for (std::uint16_t code : kCellCodes)
            EXPECT_EQ(demo_->Cell(code)->geometry(),
                      QRect(BoardPosition(s.h, s.w, code), QSize(s.w / 12, s.h / 7)));
        EXPECT_EQ(demo_->Stock(11)->pos(), StackPosition(s.h, s.w, 11));
        for (QWidget* child : demo_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(demo_->rect().contains(child->geometry()))
                << child->objectName().toStdString() << " at " << s.pw << "x" << s.ph;
        EXPECT_EQ(demo_->Bewertung()->x(), s.w - demo_->Bewertung()->width() - 15);
        EXPECT_EQ(demo_->Label(12)->pos(), QPoint(s.w * 85 / 100, s.h * 74 / 100)); // Ab3
        EXPECT_EQ(demo_->Label(8)->geometry().right() + 1, s.w * 55 / 100);         // Auf4
    }
}

// A panel of 1080 x 600 gives the board area 1080 x 560 (the width binds);
// the places below are the layout's percentages of that area, worked out by
// hand. Scores stay there whatever their captions become.
TEST_F(DemoBoardTest, LineLabelsStandAtTheirPlacesWhateverTheirCaptions) {
    const struct {
        const char* name;
        int left, top;
        bool upward, leftward;
    } places[] = {
        {"Hoch1", 529, 134, true, false}, {"Hoch2", 615, 78, true, false},
        {"Hoch3", 702, 28, true, false},  {"Hoch4", 788, 78, true, false},
        {"Hoch5", 874, 134, true, false}, {"Ab1", 918, 201, false, false},
        {"Ab2", 918, 308, false, false},  {"Ab3", 918, 414, false, false},
        {"Ab4", 831, 464, false, false},  {"Ab5", 745, 520, false, false},
        {"Auf1", 507, 201, false, true},  {"Auf2", 507, 308, false, true},
        {"Auf3", 507, 414, false, true},  {"Auf4", 594, 464, false, true},
        {"Auf5", 680, 520, false, true},
    };
    demo_->resize(1080, 600);
    demo_->ShowDemo(true, order_);
    EXPECT_EQ(demo_->Bewertung()->x(), 1080 - demo_->Bewertung()->width() - 15);
    std::set<int> widths;
    for (int step = 0; step < 16; ++step) {
        for (const auto& p : places) {
            auto* label = demo_->findChild<tPkteLabel*>(QString::fromLatin1(p.name));
            ASSERT_NE(label, nullptr) << p.name;
            const QPoint expected(p.left - (p.leftward ? label->width() : 0),
                                  p.top - (p.upward ? label->height() : 0));
            EXPECT_EQ(label->pos(), expected)
                << p.name << " caption " << label->text().toStdString() << " step " << step;
            widths.insert(label->width());
        }
        // Captions change with the highlight and with the rating.
        if (step % 4 == 3)
            demo_->SetItemIndex(1 - demo_->ItemIndex());
        else
            demo_->TimerTimer();
    }
    EXPECT_GT(widths.size(), 1u) << "no caption ever changed its width";
}

// A copy of the generator makes the draws that the showing must make: the
// entry 1..16, ten face-up pairs, the pair whose tile is in hand and the
// highlighted pair, each from a random start stepping past marked pairs.
TEST_F(DemoBoardTest, ShowingDrawsEntryTilesTileInHandAndHighlightByTheRule) {
    for (int showing = 0; showing < 20; ++showing) {
        tRandom probe = random_;
        demo_->ShowDemo(true, order_);
        const int entry = probe.Below(16) + 1;
        ASSERT_EQ(demo_->DemoBoard(), entry);
        std::array<bool, 19> marked{};
        auto pick = [&] {
            int k = probe.Below(19);
            while (marked[static_cast<std::size_t>(k)])
                k = (k + 1) % 19;
            return k;
        };
        for (int n = 0; n < 10; ++n)
            marked[static_cast<std::size_t>(pick())] = true;
        const int m = pick();
        const int h = pick();
        const tOptimalBoard& board = OptimalBoard(entry);
        for (int j = 0; j < 19; ++j) {
            const tHexagon* cell = demo_->Cell(board[static_cast<std::size_t>(j)].Cell);
            if (marked[static_cast<std::size_t>(j)]) {
                EXPECT_EQ(cell->Style(), hxVisible) << "pair " << j;
                EXPECT_EQ(cell->Nummer(), board[static_cast<std::size_t>(j)].Tile) << "pair " << j;
            } else {
                EXPECT_EQ(cell->Style(), j == h ? hxHighlight : hxEmpty) << "pair " << j;
                EXPECT_EQ(cell->Nummer(), board[static_cast<std::size_t>(m)].Tile) << "pair " << j;
            }
        }
    }
}

// A highlight tick draws r and walks the pairs r+1, r+2, ... r of the shown
// entry: the highlighted cell goes empty and the last empty cell met takes
// the highlight, so the old one never keeps it.
TEST_F(DemoBoardTest, HighlightJumpsToTheLastEmptyCellOfTheRotatedOrder) {
    demo_->ShowDemo(true, order_);
    int jumps = 0;
    for (int tick = 0; tick < 40; ++tick) {
        if (demo_->BlinkPhase()) { // a tick that swaps the twin buttons
            demo_->TimerTimer();
            continue;
        }
        const tOptimalBoard& board = OptimalBoard(demo_->DemoBoard());
        std::array<thxStyle, 19> before{};
        for (std::size_t j = 0; j < 19; ++j)
            before[j] = demo_->Cell(board[j].Cell)->Style();
        tRandom probe = random_;
        const int r = probe.Below(19);
        int expected = -1;
        for (int i = 1; i <= 19; ++i)
            if (before[static_cast<std::size_t>((i + r) % 19)] == hxEmpty)
                expected = (i + r) % 19;
        ASSERT_GE(expected, 0);
        demo_->TimerTimer();
        ++jumps;
        for (std::size_t j = 0; j < 19; ++j) {
            const thxStyle want = static_cast<int>(j) == expected ? hxHighlight
                                  : before[j] == hxVisible        ? hxVisible
                                                                  : hxEmpty;
            EXPECT_EQ(demo_->Cell(board[j].Cell)->Style(), want)
                << "tick " << tick << " pair " << j;
        }
    }
    EXPECT_EQ(jumps, 20);
}

TEST_F(DemoBoardTest, LineScoresStayClearOfTheRatingBox) {
    demo_->ShowDemo(true, order_);
    // The design size, the main window's smallest panel, its design panel and a large one.
    for (const QSize panel :
         {QSize(576, 337), QSize(620, 371), QSize(620, 389), QSize(1264, 840)}) {
        demo_->resize(panel);
        for (tPkteLabel* label : demo_->findChildren<tPkteLabel*>())
            EXPECT_FALSE(label->geometry().intersects(demo_->Bewertung()->geometry()))
                << label->objectName().toStdString() << " at " << panel.width() << "x"
                << panel.height();
    }
}

TEST_F(DemoBoardTest, RatingItemsLieInsideTheBoxFrame) {
    QGroupBox* box = demo_->Bewertung();
    box->ensurePolished();
    for (QRadioButton* item : box->findChildren<QRadioButton*>())
        EXPECT_TRUE(box->contentsRect().contains(item->geometry()))
            << item->objectName().toStdString();
}

TEST_F(DemoBoardTest, ApplyColorsReachesEveryControlOfThePanel) {
    const tColorSet saved = SharedColors();
    SharedColors().LineColors[6] = MakeColor(200, 10, 30);
    SharedColors().BackgroundColor = MakeColor(0, 0, 255);
    demo_->ApplyColors();
    for (tHexagon* hex : demo_->findChildren<tHexagon*>())
        EXPECT_EQ(hex->Colors(), SharedColors()) << hex->objectName().toStdString();
    for (tPkteLabel* label : demo_->findChildren<tPkteLabel*>())
        EXPECT_EQ(label->Colors(), SharedColors()) << label->objectName().toStdString();
    EXPECT_EQ(demo_->palette().color(QPalette::Window), QColor(0, 0, 255));
    SharedColors() = saved;
}

TEST_F(DemoBoardTest, RadioTextsFitAtDesignAndLargeSizesInBothLanguages) {
    const struct {
        std::uint32_t language;
        int w, h;
        const char* path;
    } shots[] = {{0x0407, 612, 392, ShotPath("demoboard_de_design.png")},
                 {0x0409, 612, 392, ShotPath("demoboard_en_design.png")},
                 {0x0407, 1264, 900, ShotPath("demoboard_de_large.png")},
                 {0x0409, 1264, 900, ShotPath("demoboard_en_large.png")}};
    for (const auto& shot : shots) {
        SetLanguage(shot.language);
        tDemoBoard demo(random_, &window_);
        demo.setGeometry(0, 0, shot.w, shot.h);
        demo.ShowDemo(true, order_);
        for (QRadioButton* item : demo.findChildren<QRadioButton*>()) {
            const QString text = QString(item->text()).remove(QLatin1Char('&'));
            EXPECT_LE(item->fontMetrics().horizontalAdvance(text) + 20, item->width()) << shot.path;
        }
        EXPECT_TRUE(demo.grab().save(QString::fromLatin1(shot.path)));
    }
}

} // namespace
