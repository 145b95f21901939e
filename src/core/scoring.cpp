// Line scoring and board evaluation.
#include "core/scoring.h"

void tLineTally::CountTile(std::uint16_t stripeValue) {
    ++k;
    if (LineValue == 0)
        LineValue = stripeValue;
    else if (LineValue != static_cast<std::int32_t>(stripeValue))
        LineValue = -1;
}

std::uint16_t LineScore(const tLineTally& tally, std::uint16_t length, std::uint8_t mode) {
    if (tally.LineValue <= 0 || mode > kModeDemoQuality)
        return 0;
    const auto v = static_cast<std::uint16_t>(tally.LineValue);
    const std::uint16_t k = tally.k;
    switch (mode) {
    case kModePoints:
    case kModeDemoPoints:
        return k == length ? static_cast<std::uint16_t>(k * v) : 0;
    case kModeQualityEarly:
        return static_cast<std::uint16_t>(k * k * v);
    default:
        return static_cast<std::uint16_t>(length * k * v);
    }
}

std::uint8_t RatingMode(int ratingItem, int turn) {
    if (ratingItem != 1)
        return kModePoints;
    return turn <= 4 ? kModeQualityEarly : kModeQualityLate;
}

std::int8_t tBoard::At(std::uint16_t code) const {
    const int index = CellIndex(code);
    return index < 0 ? -1 : tiles[static_cast<std::size_t>(index)];
}

void tBoard::Lay(std::uint16_t code, int tile) {
    const int index = CellIndex(code);
    if (index >= 0)
        tiles[static_cast<std::size_t>(index)] = static_cast<std::int8_t>(tile);
}

namespace {
// The cells of every line as indexes into a board, looked up once: the
// computer player evaluates boards many times per move.
using tLineCellIndexes = std::array<std::array<std::int8_t, 5>, kLineCount>;

tLineCellIndexes MakeLineCellIndexes() {
    tLineCellIndexes indexes{};
    for (std::size_t l = 0; l < kLines.size(); ++l)
        for (std::size_t i = 0; i < 5; ++i)
            indexes[l][i] = static_cast<std::int8_t>(CellIndex(kLines[l].cells[i]));
    return indexes;
}
} // namespace

std::uint16_t EvaluateBoard(const tBoard& board, std::uint8_t mode) {
    static const tLineCellIndexes kIndexes = MakeLineCellIndexes();
    std::uint16_t total = 0;
    for (std::size_t l = 0; l < kLines.size(); ++l) {
        const tLine& line = kLines[l];
        tLineTally tally;
        for (std::size_t i = 0; i < line.length; ++i) {
            const std::int8_t tile = board.tiles[static_cast<std::size_t>(kIndexes[l][i])];
            if (tile >= 0)
                tally.CountTile(StripeValue(static_cast<thxNummer>(tile), line.direction));
        }
        total = static_cast<std::uint16_t>(total + LineScore(tally, line.length, mode));
    }
    return total;
}
