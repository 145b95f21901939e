// Colour set defaults and helpers.
#include "core/colors.h"

#include <algorithm>

void SetDefaultLineColors(tColorSet& set) {
    static constexpr tColor kDefaults[10] = {0,        0x808080, 0xFF00FF, 0x800080, 0xFFFF00,
                                             0x008000, 0x0000FF, 0x00FF00, 0x000080, 0x00FFFF};
    std::copy(std::begin(kDefaults), std::end(kDefaults), set.LineColors.begin());
}

void SetWindowsFrameColors(tColorSet& set) {
    set.BackgroundColor = kSysButtonFace;
    set.ShadowColor = kSysButtonShadow;
    set.LightColor = kSysButtonHighlight;
}

tColorSet DefaultColorSet() {
    tColorSet set;
    SetDefaultLineColors(set);
    SetWindowsFrameColors(set);
    return set;
}

tColorSet& SharedColors() {
    static tColorSet shared = DefaultColorSet();
    return shared;
}

tColor LightFromBackground(tColor rgb) {
    return MakeColor(std::min(RedOf(rgb) + 64, 255), std::min(GreenOf(rgb) + 64, 255),
                     std::min(BlueOf(rgb) + 64, 255));
}

tColor ShadowFromBackground(tColor rgb) {
    return MakeColor(std::max(RedOf(rgb) - 64, 0), std::max(GreenOf(rgb) - 64, 0),
                     std::max(BlueOf(rgb) - 64, 0));
}

bool IsValidColorValue(std::int64_t value) {
    if (value < 0 || value > 0xFFFFFFFFLL)
        return false;
    const auto c = static_cast<tColor>(value);
    if (IsSystemColor(c))
        return (c & 0x00FFFF00u) == 0 && SystemColorIndex(c) <= 30;
    return (c & 0xFF000000u) == 0;
}
