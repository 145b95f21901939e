// Tests of the settings texts of colour values and the custom colour order.
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

TEST(ColorSetTexts, KeysInWritingOrderWithTheirWidths) {
    tColorSet set = DefaultColorSet();
    set.LineColors[6] = 0x123456;
    set.BackgroundColor = 0xFF0000;
    const auto texts = ColorSetTexts(set);
    const char* const keys[] = {"Line1", "Line2", "Line3", "Line4",      "Line5",  "Line6",
                                "Line7", "Line8", "Line9", "Background", "Shadow", "Light"};
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i].Key, keys[i]);
    EXPECT_EQ(texts[0].Value, "0x808080");
    EXPECT_EQ(texts[5].Value, "0x123456");
    EXPECT_EQ(texts[8].Value, "0x00FFFF");
    EXPECT_EQ(texts[9].Value, "0x00FF0000");
    EXPECT_EQ(texts[10].Value, "0x80000010");
    EXPECT_EQ(texts[11].Value, "0x80000014");
}

TEST(CustomColorOrder, LinesOneToNineThenBackgroundShadowLight) {
    tColorSet set;
    for (std::size_t n = 1; n <= 9; ++n)
        set.LineColors[n] = static_cast<tColor>(n);
    set.BackgroundColor = 10;
    set.ShadowColor = 11;
    set.LightColor = 12;
    const auto order = CustomColorOrder(set);
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], i + 1) << "slot " << static_cast<char>('A' + i);
}

} // namespace
