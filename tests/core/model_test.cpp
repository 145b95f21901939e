// Tiles, cells, lines and stock places.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "core/tiles.h"

TEST(Tiles, StripeValuesOfTheNamedTiles) {
    struct Case {
        int tile, v0, v1, v2;
    };
    for (const Case c : {Case{0, 1, 2, 3}, Case{13, 5, 6, 4}, Case{26, 9, 7, 8}, Case{2, 9, 2, 3},
                         Case{9, 1, 2, 4}, Case{5, 9, 6, 3}}) {
        EXPECT_EQ(StripeValue(static_cast<thxNummer>(c.tile), 0), c.v0) << c.tile;
        EXPECT_EQ(StripeValue(static_cast<thxNummer>(c.tile), 1), c.v1) << c.tile;
        EXPECT_EQ(StripeValue(static_cast<thxNummer>(c.tile), 2), c.v2) << c.tile;
    }
}

TEST(Tiles, EveryDirectionAboveOneCountsAsFalling) {
    for (int n = 0; n < kTileCount; ++n) {
        EXPECT_EQ(StripeValue(static_cast<thxNummer>(n), 3),
                  StripeValue(static_cast<thxNummer>(n), 2));
        EXPECT_EQ(StripeValue(static_cast<thxNummer>(n), 255),
                  StripeValue(static_cast<thxNummer>(n), 2));
    }
}

TEST(Tiles, TwentySevenDifferentTriplesFromTheValueLists) {
    std::set<std::tuple<int, int, int>> triples;
    for (int n = 0; n < kTileCount; ++n) {
        const auto t = static_cast<thxNummer>(n);
        const int v0 = StripeValue(t, 0), v1 = StripeValue(t, 1), v2 = StripeValue(t, 2);
        EXPECT_TRUE(v0 == 1 || v0 == 5 || v0 == 9);
        EXPECT_TRUE(v1 == 2 || v1 == 6 || v1 == 7);
        EXPECT_TRUE(v2 == 3 || v2 == 4 || v2 == 8);
        triples.insert({v0, v1, v2});
    }
    EXPECT_EQ(triples.size(), 27u);
}

TEST(Cells, CodesSatisfyTheLineRuleAndNothingElseIsACell) {
    std::set<int> codes(kCellCodes.begin(), kCellCodes.end());
    EXPECT_EQ(codes.size(), 19u);
    for (int code : codes)
        EXPECT_EQ(code / 100 - (code / 10) % 10 + code % 10, 3) << code;
    int found = 0;
    for (int code = 0; code < 1000; ++code) {
        const int h = code / 100, a = (code / 10) % 10, b = code % 10;
        const bool valid =
            h >= 1 && h <= 5 && a >= 1 && a <= 5 && b >= 1 && b <= 5 && h - a + b == 3;
        EXPECT_EQ(IsCellCode(code), valid) << code;
        found += IsCellCode(code);
    }
    EXPECT_EQ(found, 19);
    EXPECT_FALSE(IsCellCode(-1));
    EXPECT_FALSE(IsCellCode(65535));
}

TEST(Cells, ComponentOrderHoldsEveryCellOnce) {
    std::set<int> a(kCellCodes.begin(), kCellCodes.end());
    std::set<int> b(kComponentCellOrder.begin(), kComponentCellOrder.end());
    EXPECT_EQ(a, b);
    EXPECT_EQ(kComponentCellOrder.front(), 311);
}

TEST(Lines, EachCellLiesOnOneLineOfEachDirectionNamedByItsDigit) {
    for (int code : kCellCodes) {
        const int digit[3] = {code / 100, (code / 10) % 10, code % 10};
        for (int d = 0; d < 3; ++d) {
            int count = 0;
            for (const tLine& line : kLines) {
                if (line.direction != d)
                    continue;
                for (int i = 0; i < line.length; ++i) {
                    if (line.cells[static_cast<std::size_t>(i)] == code) {
                        ++count;
                        EXPECT_EQ(std::string(line.name).back() - '0', digit[d]) << line.name;
                    }
                }
            }
            EXPECT_EQ(count, 1) << code << " direction " << d;
        }
    }
}

TEST(Lines, LengthsPerDirectionAndAscendingColumns) {
    for (int d = 0; d < 3; ++d) {
        int lengths[5];
        for (int i = 0; i < 5; ++i) {
            const tLine& line = kLines[static_cast<std::size_t>(d * 5 + i)];
            EXPECT_EQ(line.direction, d);
            lengths[i] = line.length;
            for (int c = 1; c < line.length; ++c)
                EXPECT_LE(line.cells[static_cast<std::size_t>(c - 1)] / 100,
                          line.cells[static_cast<std::size_t>(c)] / 100)
                    << line.name;
            for (int c = line.length; c < 5; ++c)
                EXPECT_EQ(line.cells[static_cast<std::size_t>(c)], 0) << line.name;
        }
        EXPECT_EQ(lengths[0], 3);
        EXPECT_EQ(lengths[1], 4);
        EXPECT_EQ(lengths[2], 5);
        EXPECT_EQ(lengths[3], 4);
        EXPECT_EQ(lengths[4], 3);
    }
    EXPECT_STREQ(kLines[5].name, "Auf1");
    EXPECT_STREQ(kLines[10].name, "Ab1");
}

TEST(Layout, DesignPositionsOfCellsAndStockPlaces) {
    EXPECT_EQ(CellDesignPosition(113).x, 280);
    EXPECT_EQ(CellDesignPosition(113).y, 16 + 32 * 2);
    EXPECT_EQ(CellDesignPosition(311).y, 16);
    EXPECT_EQ(CellDesignPosition(355).y, 16 + 32 * 8);
    EXPECT_EQ(CellDesignPosition(553).x, 280 + 48 * 4);
    struct Case {
        int place, x, y;
    };
    for (const Case c : {Case{1, 8, 240}, Case{4, 8, 48}, Case{5, 48, 272}, Case{9, 48, 16},
                         Case{10, 88, 240}, Case{14, 128, 272}, Case{19, 168, 240},
                         Case{22, 168, 48}, Case{23, 208, 272}, Case{27, 208, 16}}) {
        EXPECT_EQ(StockDesignPosition(c.place).x, c.x) << c.place;
        EXPECT_EQ(StockDesignPosition(c.place).y, c.y) << c.place;
    }
}
