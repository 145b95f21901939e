// Line scoring in the five modes and the evaluation of whole boards.
#include <gtest/gtest.h>

#include "core/scoring.h"

namespace {
tLineTally Tally(std::initializer_list<int> values) {
    tLineTally t;
    for (int v : values)
        t.CountTile(static_cast<std::uint16_t>(v));
    return t;
}

// A tile whose stripe in the given direction has the given value (other
// stripes at their first value).
int TileWith(int direction, int value) {
    for (int n = 0; n < kTileCount; ++n) {
        if (StripeValue(static_cast<thxNummer>(n), static_cast<std::uint8_t>(direction)) == value &&
            (direction == 0 || n % 3 == 0))
            return n;
    }
    return -1;
}
} // namespace

TEST(LineScore, ModesForCompleteOpenEmptyAndBrokenLines) {
    struct Case {
        const char* what;
        tLineTally tally;
        int length;
        int expected[5];
    };
    const Case cases[] = {
        {"three sixes on a 3-line", Tally({6, 6, 6}), 3, {18, 54, 54, 18, 54}},
        {"two nines on a 5-line", Tally({9, 9}), 5, {0, 36, 90, 0, 90}},
        {"no tile", Tally({}), 4, {0, 0, 0, 0, 0}},
        {"broken full 4-line", Tally({8, 8, 8, 4}), 4, {0, 0, 0, 0, 0}},
        {"broken early", Tally({8, 4, 8}), 5, {0, 0, 0, 0, 0}},
        {"full 5-line of nines", Tally({9, 9, 9, 9, 9}), 5, {45, 225, 225, 45, 225}},
        {"one eight short of a full 5-line", Tally({8, 8, 8, 8}), 5, {0, 128, 160, 0, 160}},
        {"one six short of a full 3-line", Tally({6, 6}), 3, {0, 24, 36, 0, 36}},
    };
    for (const Case& c : cases)
        for (int mode = 0; mode < 5; ++mode)
            EXPECT_EQ(LineScore(c.tally, static_cast<std::uint16_t>(c.length),
                                static_cast<std::uint8_t>(mode)),
                      c.expected[mode])
                << c.what << " mode " << mode;
}

TEST(LineScore, BrokenStaysBrokenAndModesAboveFourScoreZero) {
    tLineTally t = Tally({5, 1, 5});
    EXPECT_EQ(t.LineValue, -1);
    EXPECT_EQ(t.k, 3);
    EXPECT_EQ(LineScore(Tally({5, 5, 5}), 3, 5), 0);
    EXPECT_EQ(LineScore(Tally({5, 5, 5}), 3, 255), 0);
}

TEST(RatingMode, PointsAlwaysModeZeroQualitySwitchesAfterTurnFour) {
    EXPECT_EQ(RatingMode(0, 1), 0);
    EXPECT_EQ(RatingMode(0, 19), 0);
    EXPECT_EQ(RatingMode(1, 4), 1);
    EXPECT_EQ(RatingMode(1, 5), 2);
    EXPECT_EQ(RatingMode(1, 27), 2);
}

TEST(EvaluateBoard, EmptyBoardScoresNothing) {
    EXPECT_EQ(EvaluateBoard(tBoard(), 0), 0);
    EXPECT_EQ(EvaluateBoard(tBoard(), 2), 0);
}

TEST(EvaluateBoard, AFullBoardOfOneTileScoresEveryLine) {
    // Not a real game (a tile occurs once), but the sum of all lines: every
    // line is complete and uniform. Tile 26 shows 9, 7 and 8.
    tBoard board;
    for (int code : kCellCodes)
        board.Lay(static_cast<std::uint16_t>(code), 26);
    EXPECT_EQ(EvaluateBoard(board, 0), 19 * 9 + 19 * 7 + 19 * 8);
}

TEST(EvaluateBoard, OpenLinesCountOnlyInQuality) {
    tBoard board;
    const int nine = TileWith(0, 9);
    board.Lay(311, nine);
    board.Lay(322, nine);
    // Hoch3 holds two nines; the other lines through those cells hold one
    // tile each: Auf1 (311) and Ab1 (311), Auf2 (322) and Ab2 (322).
    const int rising = StripeValue(static_cast<thxNummer>(nine), 1);
    const int falling = StripeValue(static_cast<thxNummer>(nine), 2);
    EXPECT_EQ(EvaluateBoard(board, 0), 0);
    EXPECT_EQ(EvaluateBoard(board, 1), 2 * 2 * 9 + 2 * (rising + falling));
    EXPECT_EQ(EvaluateBoard(board, 2), 5 * 2 * 9 + 3 * (rising + falling) + 4 * (rising + falling));
}

TEST(EvaluateBoard, UnknownCellsAreIgnored) {
    tBoard board;
    board.Lay(999, 3);
    EXPECT_EQ(board.At(999), -1);
    EXPECT_EQ(EvaluateBoard(board, 1), 0);
}
