// Widget tests of the line label: scores and appearance per line state and mode.
#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "core/scoring.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"

namespace {

// Five cells of a line with a tile for each, laid as a board window does.
class LineBoard {
public:
    LineBoard() {
        for (int i = 0; i < 5; ++i) {
            cells[i] = new tHexagon(&window);
            tiles[i] = new tHexagon(&window);
            tiles[i]->SetStyle(hxVisible);
        }
    }
    void Lay(int cell, thxNummer tile) {
        tiles[cell]->SetNummer(tile);
        cells[cell]->Occupy(tiles[cell]);
        tiles[cell]->Occupy(cells[cell]);
    }
    // Calculates over the first `length` cells.
    std::uint16_t Score(tPkteLabel& label, int length, std::uint8_t direction, std::uint8_t mode) {
        return label.Calculate(cells[0], cells[1], cells[2], length > 3 ? cells[3] : nullptr,
                               length > 4 ? cells[4] : nullptr, direction, mode);
    }

    QWidget window;
    tHexagon* cells[5];
    tHexagon* tiles[5];
};

// Tiles by their stripe values: vertical 1/5/9, rising 2/6/7, falling 3/4/8.
constexpr thxNummer kRising6 = 3, kRising6b = 4, kRising6c = 12; // 5 6 3, 9 6 3, 1 6 4
constexpr thxNummer kVertical9 = 2, kVertical9b = 26;
constexpr thxNummer kFalling8 = 18, kFalling8b = 22, kFalling8c = 26, kFalling4 = 9;

struct Appearance {
    QString caption;
    bool italic;
    tColor font;
    tColor back;
};

void ExpectAppearance(tPkteLabel& label, const Appearance& want, const char* what) {
    EXPECT_EQ(label.text(), want.caption) << what;
    EXPECT_TRUE(label.font().bold()) << what;
    EXPECT_EQ(label.font().italic(), want.italic) << what;
    EXPECT_EQ(label.palette().color(QPalette::WindowText), ToQColor(want.font)) << what;
    EXPECT_EQ(label.palette().color(QPalette::Window), ToQColor(want.back)) << what;
    const QImage image = label.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), ToQColor(want.back)) << what << ": painted background";
}

} // namespace

TEST(PkteLabel, NewLabelShowsZeroBoldItalicAtEightPoints) {
    tPkteLabel label;
    EXPECT_EQ(label.LineValue, 0);
    EXPECT_EQ(label.font().pointSize(), 8);
    ExpectAppearance(label, {"0", true, kSysWindowText, SharedColors().BackgroundColor}, "new");
    EXPECT_EQ(label.size(), label.sizeHint());
}

TEST(PkteLabel, LineStatesScoreAndLookAsTheyShould) {
    const tColorSet& c = SharedColors();
    struct Case {
        const char* what;
        std::uint8_t direction;
        int length;
        std::vector<int> tiles; // per cell, -1 free
        std::uint8_t mode;
        std::uint16_t score;
        std::int32_t lineValue;
        Appearance look;
    };
    const Case cases[] = {
        {"complete 6s",
         1,
         3,
         {kRising6, kRising6b, kRising6c},
         kModePoints,
         18,
         6,
         {"18", false, c.LineColors[6], c.BackgroundColor}},
        {"complete 6s, quality",
         1,
         3,
         {kRising6, kRising6b, kRising6c},
         kModeQualityLate,
         54,
         6,
         {"54", false, c.LineColors[6], c.BackgroundColor}},
        {"open 9s, points",
         0,
         5,
         {kVertical9, -1, kVertical9b, -1, -1},
         kModePoints,
         0,
         9,
         {"0", true, c.LineColors[9], c.BackgroundColor}},
        {"open 9s, early quality",
         0,
         5,
         {kVertical9, -1, kVertical9b, -1, -1},
         kModeQualityEarly,
         36,
         9,
         {"36", true, c.LineColors[9], c.BackgroundColor}},
        {"open 9s, late quality",
         0,
         5,
         {-1, -1, kVertical9, -1, kVertical9b},
         kModeQualityLate,
         90,
         9,
         {"90", true, c.LineColors[9], c.BackgroundColor}},
        {"empty, points",
         2,
         4,
         {-1, -1, -1, -1},
         kModePoints,
         0,
         0,
         {"0", true, kSysWindowText, c.BackgroundColor}},
        {"empty, quality",
         2,
         5,
         {-1, -1, -1, -1, -1},
         kModeQualityLate,
         0,
         0,
         {"0", true, kSysWindowText, c.BackgroundColor}},
        {"broken, points",
         2,
         4,
         {kFalling8, kFalling8b, kFalling4, kFalling8c},
         kModePoints,
         0,
         -1,
         {"0", false, kSysWindowText, c.LightColor}},
        {"broken, early quality",
         2,
         4,
         {kFalling8, kFalling8b, kFalling4, kFalling8c},
         kModeQualityEarly,
         0,
         -1,
         {"0", false, kSysWindowText, c.LightColor}},
        {"broken, late quality",
         2,
         4,
         {kFalling8, -1, kFalling4, -1},
         kModeQualityLate,
         0,
         -1,
         {"0", false, kSysWindowText, c.LightColor}},
        {"complete 8s of four",
         2,
         4,
         {kFalling8, kFalling8b, kFalling8c, 19},
         kModePoints,
         32,
         8,
         {"32", false, c.LineColors[8], c.BackgroundColor}},
        {"mode above 4",
         1,
         3,
         {kRising6, kRising6b, kRising6c},
         5,
         0,
         6,
         {"0", false, c.LineColors[6], c.BackgroundColor}},
    };
    // One label runs through all cases as well, so that nothing of an earlier
    // line's look survives into the next.
    tPkteLabel reused;
    for (const Case& k : cases) {
        LineBoard board;
        for (int i = 0; i < static_cast<int>(k.tiles.size()); ++i)
            if (k.tiles[static_cast<std::size_t>(i)] >= 0)
                board.Lay(i, static_cast<thxNummer>(k.tiles[static_cast<std::size_t>(i)]));
        tPkteLabel fresh(&board.window);
        EXPECT_EQ(board.Score(fresh, k.length, k.direction, k.mode), k.score) << k.what;
        EXPECT_EQ(fresh.LineValue, k.lineValue) << k.what;
        ExpectAppearance(fresh, k.look, k.what);

        EXPECT_EQ(board.Score(reused, k.length, k.direction, k.mode), k.score) << k.what;
        ExpectAppearance(reused, k.look, k.what);
        EXPECT_EQ(reused.size(), reused.sizeHint()) << k.what << ": sized to its caption";
    }
}

TEST(PkteLabel, PlayerBoardModesCountOnlyTilesLyingOnTheCells) {
    LineBoard board;
    for (tHexagon* cell : board.cells)
        cell->Init(kRising6, hxVisible); // a cell's own tile number means nothing here
    tPkteLabel label;
    for (const std::uint8_t mode : {kModePoints, kModeQualityEarly, kModeQualityLate}) {
        EXPECT_EQ(board.Score(label, 3, 1, mode), 0) << int(mode);
        EXPECT_EQ(label.LineValue, 0) << int(mode);
    }
    board.Lay(0, kRising6);
    EXPECT_EQ(board.Score(label, 3, 1, kModeQualityEarly), 6);
}

TEST(PkteLabel, DemonstrationModesCountShownTilesAndSkipEmptyCells) {
    LineBoard board;
    board.cells[0]->Init(kFalling8, hxHidden);
    board.cells[1]->Init(kFalling8b, hxVisible);
    board.cells[2]->Init(kFalling8c, hxHighlight);
    tPkteLabel label;
    EXPECT_EQ(board.Score(label, 3, 2, kModeDemoPoints), 24);
    EXPECT_EQ(board.Score(label, 3, 2, kModeDemoQuality), 72);
    ExpectAppearance(label,
                     {"72", false, SharedColors().LineColors[8], SharedColors().BackgroundColor},
                     "three shown 8s");

    board.cells[1]->SetStyle(hxEmpty);
    EXPECT_EQ(board.Score(label, 3, 2, kModeDemoPoints), 0);
    EXPECT_EQ(board.Score(label, 3, 2, kModeDemoQuality), 3 * 2 * 8);
    EXPECT_TRUE(label.font().italic()) << "an empty cell leaves the line open";

    board.Lay(1, kFalling4); // occupations play no part in these modes
    EXPECT_EQ(board.Score(label, 3, 2, kModeDemoQuality), 48);
}

TEST(PkteLabel, MissingElementsAreSkippedNotDereferenced) {
    LineBoard board;
    board.Lay(1, kRising6);
    tPkteLabel label;
    EXPECT_EQ(
        label.Calculate(nullptr, board.cells[1], nullptr, nullptr, nullptr, 1, kModeQualityEarly),
        6);
    EXPECT_EQ(label.Calculate(nullptr, nullptr, nullptr, nullptr, nullptr, 1, kModeDemoPoints), 0);
}

TEST(PkteLabel, NewColorsTakesTheSharedSetAndRecolours) {
    const tColorSet saved = SharedColors();
    LineBoard board;
    board.Lay(0, kRising6);
    board.Lay(1, kRising6b);
    board.Lay(2, kRising6c);
    tPkteLabel complete, broken;
    board.Score(complete, 3, 1, kModePoints);
    board.Lay(2, 0); // rising 2
    board.Score(broken, 3, 1, kModePoints);

    SharedColors().LineColors[6] = MakeColor(11, 22, 33);
    SharedColors().BackgroundColor = MakeColor(200, 190, 180);
    SharedColors().LightColor = MakeColor(250, 240, 230);
    EXPECT_EQ(complete.palette().color(QPalette::WindowText), ToQColor(saved.LineColors[6]))
        << "the label keeps its copy until told";

    complete.NewColors();
    broken.NewColors();
    const tColorSet changed = SharedColors();
    SharedColors() = saved;
    ExpectAppearance(complete, {"18", false, changed.LineColors[6], changed.BackgroundColor},
                     "complete after NewColors");
    ExpectAppearance(broken, {"0", false, kSysWindowText, changed.LightColor},
                     "broken after NewColors");
}

// A score stays next to the end of its line: rising lines end at the label's
// right edge; the board's layout gives the others their left edge.
TEST(PkteLabel, CaptionGrowsAwayFromTheAlignedEdge) {
    LineBoard board;
    board.Lay(0, kRising6);
    board.Lay(1, kRising6b);
    board.Lay(2, kRising6c);
    const struct {
        std::uint8_t direction;
        const char* what;
    } cases[] = {{0, "centred"}, {1, "right-aligned"}, {2, "left-aligned"}};
    for (const auto& c : cases) {
        tPkteLabel label(&board.window);
        label.SetLineAlignment(c.direction);
        label.move(100, 50);
        const QRect before = label.geometry();
        board.Score(label, 3, 1, kModeQualityLate); // "54"
        const QRect after = label.geometry();
        ASSERT_GT(after.width(), before.width()) << c.what;
        EXPECT_EQ(after.top(), before.top()) << c.what;
        if (c.direction == 1)
            EXPECT_EQ(after.right(), 100 + before.width() - 1) << c.what;
        else
            EXPECT_EQ(after.left(), 100) << c.what;
    }
}
