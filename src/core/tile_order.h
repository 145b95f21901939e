// The tile order of a game, its 54-byte block and the shuffle that draws it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/random.h"
#include "core/tiles.h"

constexpr int kTileOrderBytes = 54;
using tTileOrderBlock = std::array<std::uint8_t, kTileOrderBytes>;

struct TileOrder {
    std::array<std::uint16_t, kTileCount> tiles{}; // tiles[i - 1]: the tile of turn i

    // The tile drawn in turn 1..27.
    std::uint16_t Tile(int turn) const { return tiles[static_cast<std::size_t>(turn - 1)]; }
    tTileOrderBlock Encode() const;
    static TileOrder Decode(const std::uint8_t* block);
    bool IsPermutation() const;
    bool operator==(const TileOrder& other) const;
    bool operator!=(const TileOrder& other) const { return !(*this == other); }
};

// Draws a permutation of 0..26: a random start, stepping on to the next
// unused number (26 wraps to 0) when it is taken.
TileOrder ShuffleTileOrder(tRandom& random);
// The same with the draws given: below(n) is a number 0..n-1.
TileOrder ShuffleTileOrder(const std::function<int(int)>& below);
