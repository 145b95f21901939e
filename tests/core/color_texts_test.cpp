// Tests of the settings texts of colour values.
#include "core/color_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorValueText, PadsToTheDigitsAndKeepsLongerValuesWhole) {
    EXPECT_EQ(ColorValueText(0x0000FF, 6), "0x0000FF");
    EXPECT_EQ(ColorValueText(0x808080, 6), "0x808080");
    EXPECT_EQ(ColorValueText(0xabcdef, 6), "0xABCDEF");
    EXPECT_EQ(ColorValueText(0x8000000F, 8), "0x8000000F");
    EXPECT_EQ(ColorValueText(0x00FF00, 8), "0x0000FF00");
    // A system colour in a six-digit key must not shrink to a plain colour.
    EXPECT_EQ(ColorValueText(0x80000008, 6), "0x80000008");
}

} // namespace
