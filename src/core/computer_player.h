// The computer player's choice of a cell, on a board held as plain data.
#pragma once

#include <cstdint>

#include "core/random.h"
#include "core/scoring.h"
#include "core/tiles.h"

// A board window lists 64 components: 15 line labels, the 19 cells (in
// kComponentCellOrder), 27 stock places, the Ok button, the rating selector
// and the picture button. The computer visits them in that order.
constexpr int kBoardComponentCount = 64;
constexpr int kFirstCellComponent = 15;

// The free cell on which the computer lays tile in turn (1..19): the visit
// starts at component (start + 1) mod 64 and goes round once; each free cell
// is tried with the quality rating of that turn, and the first strictly best
// one wins. 0 when the board has no free cell.
std::uint16_t ComputerCell(const tBoard& board, thxNummer tile, int turn, int start);

// The move a computer board makes: the start drawn uniformly from 0..63.
std::uint16_t ComputerMove(const tBoard& board, thxNummer tile, int turn, tRandom& random);
