// Tile order block and shuffle.
#include "core/tile_order.h"

#include <algorithm>

tTileOrderBlock TileOrder::Encode() const {
    tTileOrderBlock block{};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        block[2 * i] = static_cast<std::uint8_t>(tiles[i] & 0xFF);
        block[2 * i + 1] = static_cast<std::uint8_t>(tiles[i] >> 8);
    }
    return block;
}

TileOrder TileOrder::Decode(const std::uint8_t* block) {
    TileOrder order;
    for (std::size_t i = 0; i < order.tiles.size(); ++i)
        order.tiles[i] = static_cast<std::uint16_t>(block[2 * i] | (block[2 * i + 1] << 8));
    return order;
}

bool TileOrder::IsPermutation() const {
    std::array<bool, kTileCount> seen{};
    for (std::uint16_t t : tiles) {
        if (t >= kTileCount || seen[t])
            return false;
        seen[t] = true;
    }
    return true;
}

bool TileOrder::operator==(const TileOrder& other) const {
    return Encode() == other.Encode();
}

TileOrder ShuffleTileOrder(tRandom& random) {
    return ShuffleTileOrder([&random](int n) { return random.Below(n); });
}

TileOrder ShuffleTileOrder(const std::function<int(int)>& below) {
    TileOrder order;
    std::array<bool, kTileCount> used{};
    for (std::size_t i = 0; i < order.tiles.size(); ++i) {
        // A draw out of range would index past the marks.
        int j = std::clamp(below(kTileCount), 0, kTileCount - 1);
        while (used[static_cast<std::size_t>(j)])
            j = (j + 1) % kTileCount;
        used[static_cast<std::size_t>(j)] = true;
        order.tiles[i] = static_cast<std::uint16_t>(j);
    }
    return order;
}
