// The sixteen stored boards of 307 points and the solution number rule of their window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/scoring.h"
#include "core/tiles.h"

constexpr int kOptimalBoardCount = 16;

// One entry of a stored board: a cell code and the tile lying on it.
struct tOptimalPair {
    std::uint16_t Cell;
    std::uint16_t Tile;
};

// A complete board, its cells in the order of kCellCodes.
using tOptimalBoard = std::array<tOptimalPair, kCellCount>;

// OptimalBoards[s - 1] is solution s (1..16).
extern const std::array<tOptimalBoard, kOptimalBoardCount> OptimalBoards;

// Solution s; a number outside 1..16 reads the nearest bound, so no other
// row is ever read.
const tOptimalBoard& OptimalBoard(int solution);
int ClampSolution(long long solution);

// The solution a typed text selects: a decimal number (blanks around it
// allowed) clamped to 1..16; text that is not a number selects 1.
int SolutionFromText(const std::string& text);

// Solution s as plain board data, for the core evaluation.
tBoard OptimalAsBoard(int solution);
