// The stored optimal boards against the game's rules, and the typed solution number.
#include <gtest/gtest.h>

#include <set>

#include "core/optimal_boards.h"

TEST(OptimalBoards, EveryBoardIsALegalFillingInCellOrder) {
    EXPECT_EQ(sizeof(OptimalBoards), 1216u);
    for (int s = 1; s <= kOptimalBoardCount; ++s) {
        const tOptimalBoard& board = OptimalBoard(s);
        std::set<int> tiles;
        for (std::size_t i = 0; i < board.size(); ++i) {
            EXPECT_EQ(board[i].Cell, kCellCodes[i]) << "solution " << s;
            EXPECT_LT(board[i].Tile, kTileCount) << "solution " << s;
            tiles.insert(board[i].Tile);
        }
        EXPECT_EQ(tiles.size(), 19u) << "solution " << s << " repeats a tile";
        EXPECT_EQ(OptimalAsBoard(s).At(333), 0) << "solution " << s;
    }
}

TEST(OptimalBoards, EveryLineIsCompleteInOneValueAndTheBoardScores307) {
    for (int s = 1; s <= kOptimalBoardCount; ++s) {
        const tBoard board = OptimalAsBoard(s);
        int total = 0;
        for (const tLine& line : kLines) {
            std::set<int> values;
            for (int i = 0; i < line.length; ++i) {
                const int tile = board.At(line.cells[static_cast<std::size_t>(i)]);
                ASSERT_GE(tile, 0);
                values.insert(StripeValue(static_cast<thxNummer>(tile), line.direction));
            }
            ASSERT_EQ(values.size(), 1u) << "solution " << s << " line " << line.name;
            total += *values.begin() * line.length;
        }
        EXPECT_EQ(total, kMaxTotal) << "solution " << s;
        EXPECT_EQ(EvaluateBoard(board, kModePoints), kMaxTotal) << "solution " << s;
        EXPECT_EQ(EvaluateBoard(board, kModeDemoPoints), kMaxTotal) << "solution " << s;
    }
}

TEST(OptimalBoards, SolutionNumbersOutsideTheTableReadTheNearestBound) {
    EXPECT_EQ(&OptimalBoard(0), &OptimalBoards[0]);
    EXPECT_EQ(&OptimalBoard(-5), &OptimalBoards[0]);
    EXPECT_EQ(&OptimalBoard(17), &OptimalBoards[15]);
    EXPECT_EQ(&OptimalBoard(7), &OptimalBoards[6]);
}

TEST(SolutionFromText, NumbersClampAndOtherTextSelectsOne) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"1", 1},
        {"16", 16},
        {"7", 7},
        {" 9 ", 9},
        {"+3", 3},
        {"0", 1},
        {"17", 16},
        {"-4", 1},
        {"-0", 1},
        {"0012", 12},
        {"x", 1},
        {"", 1},
        {"  ", 1},
        {"5x", 1},
        {"1 2", 1},
        {"-", 1},
        {"99999999999999999999999", 16},
        {"-99999999999999999999", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SolutionFromText(c.text), c.expected) << '"' << c.text << '"';
}
