// The computer player's choice of a cell.
#include "core/computer_player.h"

std::uint16_t ComputerCell(const tBoard& board, thxNummer tile, int turn, int start) {
    const std::uint8_t mode = RatingMode(1, turn);
    int best = -1;
    std::uint16_t bestCell = 0;
    tBoard trial = board;
    for (int i = 0; i < kBoardComponentCount; ++i) {
        const int component =
            ((start + 1 + i) % kBoardComponentCount + kBoardComponentCount) % kBoardComponentCount;
        const int cellEntry = component - kFirstCellComponent;
        if (cellEntry < 0 || cellEntry >= kCellCount)
            continue;
        const std::uint16_t code = kComponentCellOrder[static_cast<std::size_t>(cellEntry)];
        if (board.At(code) >= 0)
            continue;
        trial.Lay(code, tile);
        const int total = EvaluateBoard(trial, mode);
        if (total > best) {
            best = total;
            bestCell = code;
        }
        trial.Lay(code, -1);
    }
    return bestCell;
}

std::uint16_t ComputerMove(const tBoard& board, thxNummer tile, int turn, tRandom& random) {
    return ComputerCell(board, tile, turn, random.Below(kBoardComponentCount));
}
