// The colour set: nine line colours and the frame colours of tiles and cells,
// as 32-bit values (00BBGGRR plain, 800000nn a system colour with index nn).
#pragma once

#include <array>
#include <cstdint>

using tColor = std::uint32_t;

constexpr tColor kSysButtonFace = 0x8000000F;
constexpr tColor kSysButtonShadow = 0x80000010;
constexpr tColor kSysButtonHighlight = 0x80000014;
constexpr tColor kSysWindowText = 0x80000008;

struct tColorSet {
    std::array<tColor, 10> LineColors{}; // index 1..9; entry 0 unused
    tColor BackgroundColor = kSysButtonFace;
    tColor ShadowColor = kSysButtonShadow;
    tColor LightColor = kSysButtonHighlight;

    bool operator==(const tColorSet& o) const {
        return LineColors == o.LineColors && BackgroundColor == o.BackgroundColor &&
               ShadowColor == o.ShadowColor && LightColor == o.LightColor;
    }
};

void SetDefaultLineColors(tColorSet& set);
void SetWindowsFrameColors(tColorSet& set);
// Both defaults: what a program without a settings file uses.
tColorSet DefaultColorSet();

// The program-wide colour set; every drawing control keeps its own copy.
tColorSet& SharedColors();

inline bool IsSystemColor(tColor c) {
    return (c & 0xFF000000u) == 0x80000000u;
}
inline int SystemColorIndex(tColor c) {
    return static_cast<int>(c & 0xFFu);
}
inline int RedOf(tColor c) {
    return static_cast<int>(c & 0xFF);
}
inline int GreenOf(tColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int BlueOf(tColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline tColor MakeColor(int red, int green, int blue) {
    return static_cast<tColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Edge colours derived from a background's RGB value: each channel +64
// (capped at 255) for the light edge, -64 (floored at 0) for the shadow.
tColor LightFromBackground(tColor rgb);
tColor ShadowFromBackground(tColor rgb);

// A colour value read from the settings file is usable when it is a plain
// colour or one of the system colour indexes; anything else (stray high
// bytes) would paint an arbitrary colour and is refused by the reader.
bool IsValidColorValue(std::int64_t value);
