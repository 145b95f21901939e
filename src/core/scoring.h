// Line scoring in the five modes and the evaluation of a whole board.
#pragma once

#include <array>
#include <cstdint>

#include "core/tiles.h"

// Modes: 0 points (tiles on cells), 1 quality k*k*v, 2 quality L*k*v,
// 3 points and 4 quality over elements that show tiles themselves.
constexpr std::uint8_t kModePoints = 0;
constexpr std::uint8_t kModeQualityEarly = 1;
constexpr std::uint8_t kModeQualityLate = 2;
constexpr std::uint8_t kModeDemoPoints = 3;
constexpr std::uint8_t kModeDemoQuality = 4;

// Running state of one line while its tiles are counted.
struct tLineTally {
    std::int32_t LineValue = 0; // 0 none yet, 1..9 common value, -1 broken
    std::uint16_t k = 0;        // tiles counted

    void CountTile(std::uint16_t stripeValue);
    bool Broken() const { return LineValue == -1; }
};

// Score of a line of length L with the given tally, in 16-bit arithmetic.
std::uint16_t LineScore(const tLineTally& tally, std::uint16_t length, std::uint8_t mode);

// The evaluation mode for a board window's rating item (0 points, 1 quality)
// in the given turn: quality counts k*k*v up to turn 4, L*k*v from turn 5 on.
std::uint8_t RatingMode(int ratingItem, int turn);

// A board as plain data: the tile lying on each cell (index as in kCellCodes),
// or -1 for a free cell.
struct tBoard {
    std::array<std::int8_t, kCellCount> tiles;
    tBoard() { tiles.fill(-1); }
    std::int8_t At(std::uint16_t code) const;
    void Lay(std::uint16_t code, int tile);
};

// Sum of the 15 line scores of a board in the given mode (0 to 2).
std::uint16_t EvaluateBoard(const tBoard& board, std::uint8_t mode);
