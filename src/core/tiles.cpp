// Tiles, cells, lines and stock places as fixed tables.
#include "core/tiles.h"

std::uint16_t StripeValue(thxNummer n, std::uint8_t direction) {
    if (direction == 0)
        return static_cast<std::uint16_t>((n % 3) * 4 + 1);
    if (direction == 1) {
        static constexpr std::uint16_t kRising[3] = {2, 6, 7};
        return kRising[(n / 3) % 3];
    }
    static constexpr std::uint16_t kFalling[3] = {3, 4, 8};
    return kFalling[(n / 9) % 3];
}

const std::array<std::uint16_t, kCellCount> kCellCodes = {
    113, 124, 135, 212, 223, 234, 245, 311, 322, 333, 344, 355, 421, 432, 443, 454, 531, 542, 553};

const std::array<std::uint16_t, kCellCount> kComponentCellOrder = {
    311, 113, 212, 322, 421, 531, 542, 432, 333, 223, 124, 234, 344, 443, 553, 454, 355, 245, 135};

int CellIndex(int code) {
    // Looked up for every line of every board the computer weighs: a table,
    // not a search.
    constexpr int kCodes = 556;
    static const std::array<std::int8_t, kCodes> index = [] {
        std::array<std::int8_t, kCodes> a{};
        a.fill(-1);
        for (int i = 0; i < kCellCount; ++i)
            a[kCellCodes[static_cast<std::size_t>(i)]] = static_cast<std::int8_t>(i);
        return a;
    }();
    return code >= 0 && code < kCodes ? index[static_cast<std::size_t>(code)] : -1;
}

bool IsCellCode(int code) {
    return CellIndex(code) >= 0;
}

const std::array<tLine, kLineCount> kLines = {{
    {"Hoch1", 0, 3, {113, 124, 135, 0, 0}},
    {"Hoch2", 0, 4, {212, 223, 234, 245, 0}},
    {"Hoch3", 0, 5, {311, 322, 333, 344, 355}},
    {"Hoch4", 0, 4, {421, 432, 443, 454, 0}},
    {"Hoch5", 0, 3, {531, 542, 553, 0, 0}},
    {"Auf1", 1, 3, {113, 212, 311, 0, 0}},
    {"Auf2", 1, 4, {124, 223, 322, 421, 0}},
    {"Auf3", 1, 5, {135, 234, 333, 432, 531}},
    {"Auf4", 1, 4, {245, 344, 443, 542, 0}},
    {"Auf5", 1, 3, {355, 454, 553, 0, 0}},
    {"Ab1", 2, 3, {311, 421, 531, 0, 0}},
    {"Ab2", 2, 4, {212, 322, 432, 542, 0}},
    {"Ab3", 2, 5, {113, 223, 333, 443, 553}},
    {"Ab4", 2, 4, {124, 234, 344, 454, 0}},
    {"Ab5", 2, 3, {135, 245, 355, 0, 0}},
}};

const std::array<const char*, kLineCount> kComponentLabelOrder = {
    "Hoch3", "Hoch2", "Hoch1", "Hoch4", "Hoch5", "Ab1",  "Ab2", "Ab3",
    "Ab4",   "Ab5",   "Auf5",  "Auf4",  "Auf3",  "Auf2", "Auf1"};

tPoint CellDesignPosition(std::uint16_t code) {
    const int h = code / 100;
    const int a = (code / 10) % 10;
    const int b = code % 10;
    return {280 + 48 * (h - 1), 16 + 32 * (a + b - 2)};
}

tPoint StockDesignPosition(int place) {
    // Six columns; odd columns hold four places, even ones five, numbered
    // bottom to top.
    static constexpr int kColumnX[6] = {8, 48, 88, 128, 168, 208};
    static constexpr int kFourY[4] = {240, 176, 112, 48};
    static constexpr int kFiveY[5] = {272, 208, 144, 80, 16};
    int index = place - 1;
    for (int column = 0; column < 6; ++column) {
        const int size = column % 2 == 0 ? 4 : 5;
        if (index < size)
            return {kColumnX[column], size == 4 ? kFourY[index] : kFiveY[index]};
        index -= size;
    }
    return {0, 0};
}
