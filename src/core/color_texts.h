// Colour values as the settings file writes them, and the colour dialog's custom colour order.
#pragma once

#include <array>
#include <string>

#include "core/colors.h"

// "0x" and at least `digits` upper-case hexadecimal digits; more when the
// value needs them, so a system colour never loses its high byte.
std::string ColorValueText(tColor value, int digits);

// One "Colors" key of the settings file and its text.
struct tColorEntryText {
    std::string Key;
    std::string Value;
};
// The twelve keys in writing order: "Line1".."Line9" (6 digits), then
// "Background", "Shadow", "Light" (8 digits).
std::array<tColorEntryText, 12> ColorSetTexts(const tColorSet& set);

// The custom colours the colour dialog carries, slots A..L: line colours
// 1..9, background, shadow, light. Values are as stored; the caller resolves
// system colours to what they show now.
std::array<tColor, 12> CustomColorOrder(const tColorSet& set);
