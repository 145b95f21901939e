// The table of optimal boards and the reading of a typed solution number.
#include "core/optimal_boards.h"

#include <cctype>

namespace {

// One row per solution: the tiles on the cells 113, 124, 135, 212, 223, 234,
// 245, 311, 322, 333, 344, 355, 421, 432, 443, 454, 531, 542, 553.
constexpr std::uint16_t kRows[kOptimalBoardCount][kCellCount] = {
    {4, 13, 19, 23, 5, 11, 26, 12, 21, 0, 15, 24, 14, 20, 8, 17, 10, 25, 7},
    {4, 16, 10, 23, 8, 11, 14, 21, 24, 0, 12, 15, 26, 20, 5, 17, 19, 22, 7},
    {4, 22, 10, 14, 5, 20, 17, 21, 12, 0, 24, 15, 23, 11, 8, 26, 19, 16, 7},
    {4, 22, 10, 23, 5, 20, 17, 12, 21, 0, 24, 15, 13, 19, 7, 25, 11, 26, 8},
    {4, 25, 10, 22, 7, 19, 13, 12, 24, 0, 21, 15, 17, 20, 5, 26, 11, 23, 8},
    {4, 25, 19, 14, 8, 20, 23, 12, 15, 0, 21, 24, 17, 11, 5, 26, 10, 13, 7},
    {5, 23, 11, 22, 4, 19, 16, 12, 21, 0, 24, 15, 14, 20, 8, 26, 10, 25, 7},
    {5, 26, 11, 23, 8, 20, 14, 12, 24, 0, 21, 15, 16, 19, 4, 25, 10, 22, 7},
    {7, 13, 10, 26, 5, 11, 17, 24, 21, 0, 15, 12, 23, 20, 8, 14, 19, 25, 4},
    {7, 16, 19, 26, 8, 11, 23, 15, 24, 0, 12, 21, 17, 20, 5, 14, 10, 22, 4},
    {7, 22, 10, 25, 4, 19, 16, 15, 21, 0, 24, 12, 14, 20, 8, 23, 11, 26, 5},
    {7, 22, 19, 17, 5, 20, 26, 15, 12, 0, 24, 21, 14, 11, 8, 23, 10, 16, 4},
    {7, 25, 10, 17, 8, 20, 14, 24, 15, 0, 21, 12, 26, 11, 5, 23, 19, 13, 4},
    {7, 25, 10, 26, 8, 20, 14, 15, 24, 0, 21, 12, 16, 19, 4, 22, 11, 23, 5},
    {8, 23, 11, 26, 5, 20, 17, 15, 21, 0, 24, 12, 13, 19, 7, 22, 10, 25, 4},
    {8, 26, 11, 25, 7, 19, 13, 15, 24, 0, 21, 12, 17, 20, 5, 23, 10, 22, 4},
};

std::array<tOptimalBoard, kOptimalBoardCount> MakeOptimalBoards() {
    std::array<tOptimalBoard, kOptimalBoardCount> boards{};
    for (std::size_t s = 0; s < boards.size(); ++s)
        for (std::size_t i = 0; i < kCellCodes.size(); ++i)
            boards[s][i] = {kCellCodes[i], kRows[s][i]};
    return boards;
}

} // namespace

static_assert(sizeof(tOptimalPair) == 4, "an entry is two 16-bit numbers");

const std::array<tOptimalBoard, kOptimalBoardCount> OptimalBoards = MakeOptimalBoards();

int ClampSolution(long long solution) {
    if (solution < 1)
        return 1;
    if (solution > kOptimalBoardCount)
        return kOptimalBoardCount;
    return static_cast<int>(solution);
}

const tOptimalBoard& OptimalBoard(int solution) {
    return OptimalBoards[static_cast<std::size_t>(ClampSolution(solution) - 1)];
}

int SolutionFromText(const std::string& text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    while (end > i && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == end)
        return 1;
    // Any long run of digits is far outside the range; stop counting early so
    // that the value cannot overflow.
    long long value = 0;
    for (; i < end; ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9')
            return 1;
        if (value < 1000)
            value = value * 10 + (ch - '0');
    }
    return ClampSolution(negative ? -value : value);
}

tBoard OptimalAsBoard(int solution) {
    tBoard board;
    for (const tOptimalPair& pair : OptimalBoard(solution))
        board.Lay(pair.Cell, pair.Tile);
    return board;
}
