// Settings texts of colour values and the custom colour order.
#include "core/color_texts.h"

#include <algorithm>
#include <cstdio>

std::string ColorValueText(tColor value, int digits) {
    char buffer[16];
    const int width = std::clamp(digits, 1, 8);
    std::snprintf(buffer, sizeof buffer, "0x%0*X", width, static_cast<unsigned>(value));
    return buffer;
}

std::array<tColorEntryText, 12> ColorSetTexts(const tColorSet& set) {
    std::array<tColorEntryText, 12> texts;
    for (int n = 1; n <= 9; ++n)
        texts[static_cast<std::size_t>(n - 1)] = {
            "Line" + std::to_string(n),
            ColorValueText(set.LineColors[static_cast<std::size_t>(n)], 6)};
    texts[9] = {"Background", ColorValueText(set.BackgroundColor, 8)};
    texts[10] = {"Shadow", ColorValueText(set.ShadowColor, 8)};
    texts[11] = {"Light", ColorValueText(set.LightColor, 8)};
    return texts;
}

std::array<tColor, 12> CustomColorOrder(const tColorSet& set) {
    std::array<tColor, 12> order{};
    for (std::size_t n = 1; n <= 9; ++n)
        order[n - 1] = set.LineColors[n];
    order[9] = set.BackgroundColor;
    order[10] = set.ShadowColor;
    order[11] = set.LightColor;
    return order;
}
