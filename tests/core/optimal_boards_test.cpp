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

TEST(OptimalBoards, EachSolutionHoldsItsPublishedRow) {
    // The published table, row by row: the tile on each cell.
    const std::uint16_t cells[kCellCount] = {113, 124, 135, 212, 223, 234, 245, 311, 322, 333,
                                             344, 355, 421, 432, 443, 454, 531, 542, 553};
    const std::uint16_t rows[kOptimalBoardCount][kCellCount] = {
        {4, 13, 19, 23, 5, 11, 26, 12, 21, 0, 15, 24, 14, 20, 8, 17, 10, 25, 7}, // 1
        {4, 16, 10, 23, 8, 11, 14, 21, 24, 0, 12, 15, 26, 20, 5, 17, 19, 22, 7}, // 2
        {4, 22, 10, 14, 5, 20, 17, 21, 12, 0, 24, 15, 23, 11, 8, 26, 19, 16, 7}, // 3
        {4, 22, 10, 23, 5, 20, 17, 12, 21, 0, 24, 15, 13, 19, 7, 25, 11, 26, 8}, // 4
        {4, 25, 10, 22, 7, 19, 13, 12, 24, 0, 21, 15, 17, 20, 5, 26, 11, 23, 8}, // 5
        {4, 25, 19, 14, 8, 20, 23, 12, 15, 0, 21, 24, 17, 11, 5, 26, 10, 13, 7}, // 6
        {5, 23, 11, 22, 4, 19, 16, 12, 21, 0, 24, 15, 14, 20, 8, 26, 10, 25, 7}, // 7
        {5, 26, 11, 23, 8, 20, 14, 12, 24, 0, 21, 15, 16, 19, 4, 25, 10, 22, 7}, // 8
        {7, 13, 10, 26, 5, 11, 17, 24, 21, 0, 15, 12, 23, 20, 8, 14, 19, 25, 4}, // 9
        {7, 16, 19, 26, 8, 11, 23, 15, 24, 0, 12, 21, 17, 20, 5, 14, 10, 22, 4}, // 10
        {7, 22, 10, 25, 4, 19, 16, 15, 21, 0, 24, 12, 14, 20, 8, 23, 11, 26, 5}, // 11
        {7, 22, 19, 17, 5, 20, 26, 15, 12, 0, 24, 21, 14, 11, 8, 23, 10, 16, 4}, // 12
        {7, 25, 10, 17, 8, 20, 14, 24, 15, 0, 21, 12, 26, 11, 5, 23, 19, 13, 4}, // 13
        {7, 25, 10, 26, 8, 20, 14, 15, 24, 0, 21, 12, 16, 19, 4, 22, 11, 23, 5}, // 14
        {8, 23, 11, 26, 5, 20, 17, 15, 21, 0, 24, 12, 13, 19, 7, 22, 10, 25, 4}, // 15
        {8, 26, 11, 25, 7, 19, 13, 15, 24, 0, 21, 12, 17, 20, 5, 23, 10, 22, 4}, // 16
    };
    for (int s = 1; s <= kOptimalBoardCount; ++s) {
        const tOptimalBoard& stored = OptimalBoard(s);
        const tBoard board = OptimalAsBoard(s);
        for (std::size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(stored[i].Cell, cells[i]) << "solution " << s;
            EXPECT_EQ(stored[i].Tile, rows[s - 1][i]) << "solution " << s << " cell " << cells[i];
            EXPECT_EQ(board.At(cells[i]), rows[s - 1][i])
                << "solution " << s << " cell " << cells[i];
        }
    }
}
