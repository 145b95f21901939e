// Whether a move reported by a board's owner PC fits the board's course.
#pragma once

#include <array>
#include <cstdint>

#include "core/tiles.h"

// What a remote board does with a move of its owner PC.
enum class tRemoteAction : std::uint8_t {
    Lay,           // lay the tile of the turn on the named cell
    LayAndConfirm, // lay it and confirm the turn
    Ignore,        // a repeat about a tile already confirmed on that cell
    Early,         // the next turn's move, come before this PC offered that tile:
                   // held until the board moves on to it
    Leave,         // the move does not fit: the board leaves the game
};

// A remote board as far as the check needs it.
struct tRemoteBoard {
    int Turn = 0;               // the board's turn: its current stock place
    bool TurnConfirmed = false; // the tile of Turn is no longer the one in play
    // The stock place (1..27) of the tile lying on each cell, in the order of
    // kCellCodes; 0 for a free cell.
    std::array<std::uint8_t, kCellCount> PlaceOn{};
};

// turn: the move's turn (a signed byte on the wire); cellCode: the cell it
// names; confirm: an nmTileConfirmed rather than an nmTileLaid. A cell code
// that names no cell, or a cell carrying another tile, does not fit.
tRemoteAction CheckRemoteMove(const tRemoteBoard& board, int turn, std::uint16_t cellCode,
                              bool confirm);
