// The game's vocabulary: tiles and their stripes, cells, lines and stock places.
#pragma once

#include <array>
#include <cstdint>

using thxNummer = std::uint8_t; // tile number 0..26

enum thxStyle : std::uint8_t { hxEmpty = 0, hxHidden = 1, hxVisible = 2, hxHighlight = 3 };

constexpr int kTileCount = 27;
constexpr int kCellCount = 19;
constexpr int kLineCount = 15;
constexpr int kTurnsPlayed = 19;
constexpr int kLastTurn = 27; // Turn of a board whose game is over
constexpr int kMaxTotal = 307;

// Stripe value of tile n in direction d: 1/5/9 vertical, 2/6/7 rising,
// 3/4/8 falling; every direction above 1 counts as falling.
std::uint16_t StripeValue(thxNummer n, std::uint8_t direction);

// The 19 cell codes HAB, column by column, top to bottom.
extern const std::array<std::uint16_t, kCellCount> kCellCodes;

// The cells in the component order of a board window (the computer player's
// visiting order depends on it).
extern const std::array<std::uint16_t, kCellCount> kComponentCellOrder;

bool IsCellCode(int code);
// Index of a cell code in kCellCodes, or -1.
int CellIndex(int code);

struct tLine {
    const char* name;                   // label name, "Hoch1".."Ab5"
    std::uint8_t direction;             // 0 vertical, 1 rising, 2 falling
    std::uint8_t length;                // 3, 4 or 5
    std::array<std::uint16_t, 5> cells; // in scoring order; unused entries 0
};

// Hoch1..Hoch5, Auf1..Auf5, Ab1..Ab5: the order in which a board is evaluated.
extern const std::array<tLine, kLineCount> kLines;

// The line labels in the component order of a board window.
extern const std::array<const char*, kLineCount> kComponentLabelOrder;

struct tPoint {
    int x;
    int y;
};

// Top-left corner of a cell in the 573 x 333 design layout of a board window.
tPoint CellDesignPosition(std::uint16_t code);
// Top-left corner of stock place 1..27 in the design layout.
tPoint StockDesignPosition(int place);
