// The computer player's cell choice: visiting order, tie rule, rating modes.
#include <gtest/gtest.h>

#include "core/computer_player.h"

TEST(ComputerCell, FirstVisitedCellWinsWhenAllTie) {
    // On an empty board every cell rates the same in turns 1 to 4.
    struct Case {
        int start;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {63, 311}, // visit begins at the first line label
        {0, 311},  {14, 311}, {15, 113}, {16, 212}, {32, 135}, // begins at the last cell
        {33, 311}, // begins at the first stock place and wraps round
        {40, 311},
    };
    const tBoard empty;
    for (const Case& c : cases)
        EXPECT_EQ(ComputerCell(empty, 0, 1, c.start), c.expected) << "start " << c.start;
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
