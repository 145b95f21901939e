// The computer player's cell choice: visiting order, tie rule, rating modes.
#include <gtest/gtest.h>

#include "core/computer_player.h"

TEST(ComputerCell, FirstVisitedCellWinsWhenAllTie) {
    // On an empty board every cell rates the same in turns 1 to 4, so the
    // pick is the first cell of the visit that begins at entry r + 1 of the
    // 64-entry component list: entries 15 to 33 are the cells in this order,
    // and a visit that begins elsewhere reaches 311 first.
    const std::uint16_t cells[19] = {311, 113, 212, 322, 421, 531, 542, 432, 333, 223,
                                     124, 234, 344, 443, 553, 454, 355, 245, 135};
    const tBoard empty;
    for (int r = 0; r < 64; ++r) {
        const int begin = (r + 1) % 64;
        const std::uint16_t expected = begin >= 15 && begin <= 33 ? cells[begin - 15] : 311;
        EXPECT_EQ(ComputerCell(empty, 0, 1, r), expected) << "start " << r;
    }
}

TEST(ComputerCell, QualityFromTurnFiveFavoursLongLines) {
    const tBoard empty;
    EXPECT_EQ(ComputerCell(empty, 26, 4, 14), 311);
    // Only the centre lies on three lines of five.
    EXPECT_EQ(ComputerCell(empty, 26, 5, 14), 333);
    EXPECT_EQ(ComputerCell(empty, 26, 5, 40), 333);
}

TEST(ComputerCell, JoinsEqualStripesAndAvoidsBreakingThem) {
    // A 9 already lies at the top of the middle vertical line (cells 3xx).
    tBoard board;
    const int nine = 2; // vertical 9, rising 2, falling 3
    ASSERT_EQ(StripeValue(static_cast<thxNummer>(nine), 0), 9);
    board.Lay(311, nine);
    const std::uint16_t cell = ComputerCell(board, static_cast<thxNummer>(nine), 5, 14);
    EXPECT_EQ(cell / 100, 3) << cell;
    // A tile with vertical 1 goes anywhere but that line.
    const std::uint16_t other = ComputerCell(board, 0, 5, 14);
    EXPECT_NE(other / 100, 3) << other;
}

TEST(ComputerCell, LastFreeCellIsTakenAndFullBoardGivesNone) {
    tBoard board;
    for (int i = 0; i < kCellCount; ++i)
        if (kCellCodes[static_cast<std::size_t>(i)] != 245)
            board.Lay(kCellCodes[static_cast<std::size_t>(i)], i);
    for (int start : {0, 20, 63})
        EXPECT_EQ(ComputerCell(board, 25, 19, start), 245);
    board.Lay(245, 25);
    EXPECT_EQ(ComputerCell(board, 26, 19, 0), 0);
}

namespace {
// The tile lying on each given cell.
tBoard BoardOf(std::initializer_list<std::pair<std::uint16_t, int>> laid) {
    tBoard board;
    for (const auto& [cell, tile] : laid)
        board.Lay(cell, tile);
    return board;
}
} // namespace

TEST(ComputerCell, TiedCellsGoToTheOneTheRotatedVisitReachesFirst) {
    // Tile 0 (1, 2, 3) in the centre; tile 26 (9, 7, 8) in turn 5 rates
    // L*k*v. Every cell on a line through the centre breaks it, so the best
    // are cells on two empty lines of four and one of three: 212 (Hoch2,
    // Auf1, Ab2) and 454 (Hoch4, Auf5, Ab4), both 4*9 + 3*7 + 4*8 = 89 above
    // the centre's 30; next come 245 and 421 with 88. 212 is component 17,
    // 454 component 30; the visit starts at r + 1.
    const tBoard board = BoardOf({{333, 0}});
    struct Case {
        int r;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {63, 212}, {0, 212},  {15, 212}, {16, 212}, // start 0..17: 212 comes first
        {17, 454}, {20, 454}, {29, 454},            // start 18..30: 454 comes first
        {30, 212}, {32, 212}, {40, 212},            // start 31..63: wraps round to 212
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputerCell(board, 26, 5, c.r), c.expected) << "r " << c.r;
}

TEST(ComputerCell, SquaredCountUpToTurnFourLineLengthFromTurnFive) {
    // Two 9s on Hoch1 (113: tile 2, 124: tile 5), one 9 on Hoch3 (311:
    // tile 8); tile 26 (9, 7, 8) to place. Worked out per cell as the change
    // of its three lines:
    //   turn 4, k*k*v: 135 completes Hoch1 (81 - 36 = 45) with empty Auf3 (7)
    //   and Ab5 (8): 60; the best on Hoch3 is 355: 27 + 7 + 8 = 42.
    //   turn 5, L*k*v: 432 opens Hoch4 (36), Auf3 (35) and Ab2 (32): 103;
    //   355 has 45 + 21 + 24 = 90 (Hoch3 36 -> 90 as with two 9s on a line
    //   of five), 135 only 27 + 35 + 24 = 86.
    const tBoard board = BoardOf({{113, 2}, {124, 5}, {311, 8}});
    struct Case {
        int turn;
        std::uint16_t expected;
    };
    const Case cases[] = {{1, 135}, {4, 135}, {5, 432}, {19, 432}};
    for (const Case& c : cases)
        for (int r : {0, 17, 33, 63})
            EXPECT_EQ(ComputerCell(board, 26, c.turn, r), c.expected)
                << "turn " << c.turn << " r " << r;
}

TEST(ComputerCell, CellsAllRatedZeroStillGetTheTile) {
    // 17 tiles on the board, 311 and 322 free, tile 19 (5, 2, 8) to place:
    // every line already holds two different values (Hoch3: 9 and 1, Auf1: 6
    // and 2, Ab1: 3 and 4, Auf2: 2 and 7, Ab2: 3 and 8, ...), so either cell
    // totals 0. The first one visited wins: 311 is component 15, 322 is 18.
    const tBoard board = BoardOf({{113, 4},
                                  {124, 18},
                                  {135, 24},
                                  {212, 2},
                                  {223, 8},
                                  {234, 3},
                                  {245, 15},
                                  {333, 14},
                                  {344, 20},
                                  {355, 12},
                                  {421, 6},
                                  {432, 21},
                                  {443, 7},
                                  {454, 0},
                                  {531, 16},
                                  {542, 17},
                                  {553, 9}});
    struct Case {
        int r;
        std::uint16_t expected;
    };
    const Case cases[] = {{0, 311}, {14, 311}, {15, 322}, {17, 322}, {18, 311}, {63, 311}};
    for (int turn : {4, 18})
        for (const Case& c : cases)
            EXPECT_EQ(ComputerCell(board, 19, turn, c.r), c.expected)
                << "turn " << turn << " r " << c.r;
}

TEST(ComputerMove, DrawsTheStartUniformlyFromTheSixtyFourComponents) {
    // Same generator state, same start: the move is the cell of start Below(64).
    const tBoard board = BoardOf({{333, 0}});
    tRandom drawn(99);
    tRandom replay(99);
    for (int i = 0; i < 50; ++i) {
        const int r = replay.Below(kBoardComponentCount);
        EXPECT_EQ(ComputerMove(board, 26, 5, drawn), r >= 17 && r <= 29 ? 454 : 212) << r;
    }
}
