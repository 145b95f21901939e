// Tile order, colour set, high-score list, address list and socket error texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/colors.h"
#include "core/high_score.h"
#include "core/ip_list.h"
#include "core/tile_order.h"
#include "core/winsock_errors.h"

TEST(TileOrder, ShuffleDrawsAPermutationReproduciblyFromASeed) {
    tRandom a(42), b(42), c(43);
    const TileOrder first = ShuffleTileOrder(a);
    EXPECT_TRUE(first.IsPermutation());
    EXPECT_EQ(first, ShuffleTileOrder(b));
    int differing = 0;
    for (int i = 0; i < 20; ++i)
        differing += ShuffleTileOrder(c) != first;
    EXPECT_GT(differing, 0);
}

TEST(TileOrder, BlockIsLittleEndianWordsAndRoundTrips) {
    tRandom random(7);
    const TileOrder order = ShuffleTileOrder(random);
    const tTileOrderBlock block = order.Encode();
    for (int i = 1; i <= 27; ++i) {
        EXPECT_EQ(block[static_cast<std::size_t>(2 * (i - 1))], order.Tile(i));
        EXPECT_EQ(block[static_cast<std::size_t>(2 * (i - 1) + 1)], 0);
    }
    EXPECT_EQ(TileOrder::Decode(block.data()), order);
}

TEST(TileOrder, EqualOnlyWhenAllBytesAreEqual) {
    tRandom random(9);
    const TileOrder order = ShuffleTileOrder(random);
    tTileOrderBlock block = order.Encode();
    block[53] = 1; // high byte of the last word
    const TileOrder other = TileOrder::Decode(block.data());
    EXPECT_NE(other, order);
    EXPECT_FALSE(other.IsPermutation());
    TileOrder repeated = order;
    repeated.tiles[0] = repeated.tiles[1];
    EXPECT_FALSE(repeated.IsPermutation());
    TileOrder outside = order;
    for (std::uint16_t& t : outside.tiles)
        if (t == 26)
            t = 27; // one past the last tile, every number still once
    EXPECT_FALSE(outside.IsPermutation());
}

TEST(TileOrder, ATakenDrawStepsOnToTheNextFreeNumberAndWrapsFrom26To0) {
    // Each row: the draws in turn, then the first tiles of the order.
    struct Case {
        std::vector<int> draws;
        std::vector<std::uint16_t> first;
    };
    const Case cases[] = {
        {{0}, {0, 1, 2, 3, 4, 5}},          // every draw 0: 0, then always one on
        {{26}, {26, 0, 1, 2, 3, 4}},        // 26 taken steps round to 0
        {{3, 3, 2, 4, 3}, {3, 4, 2, 5, 6}}, // 3 taken -> 4; 4 taken -> 5; 3..5 taken -> 6
        {{25, 25, 25, 0}, {25, 26, 0, 1}},
    };
    for (const Case& c : cases) {
        std::size_t next = 0;
        const TileOrder order = ShuffleTileOrder([&](int n) {
            EXPECT_EQ(n, 27);
            const int draw = c.draws[std::min(next, c.draws.size() - 1)];
            ++next;
            return draw;
        });
        EXPECT_TRUE(order.IsPermutation());
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(order.Tile(static_cast<int>(i) + 1), c.first[i])
                << "draws from " << c.draws.front() << ", turn " << i + 1;
    }
}

TEST(Colors, DefaultsAndTheTwoRoutines) {
    tColorSet set;
    set.LineColors.fill(0x123456);
    set.BackgroundColor = set.LightColor = set.ShadowColor = 0;
    SetDefaultLineColors(set);
    EXPECT_EQ(set.LineColors[1], 0x808080u); // grey
    EXPECT_EQ(set.LineColors[4], 0xFFFF00u); // cyan: blue and green full
    EXPECT_EQ(set.LineColors[6], 0x0000FFu); // red
    EXPECT_EQ(set.LineColors[9], 0x00FFFFu); // yellow
    EXPECT_EQ(set.BackgroundColor, 0u);
    SetWindowsFrameColors(set);
    EXPECT_EQ(set.BackgroundColor, 0x8000000Fu);
    EXPECT_EQ(set.ShadowColor, 0x80000010u);
    EXPECT_EQ(set.LightColor, 0x80000014u);
    EXPECT_EQ(set, DefaultColorSet());
}

TEST(Colors, EdgeColoursDerivedFromABackground) {
    const tColor blue = MakeColor(0, 0, 255);
    EXPECT_EQ(LightFromBackground(blue), MakeColor(64, 64, 255));
    EXPECT_EQ(ShadowFromBackground(blue), MakeColor(0, 0, 191));
    EXPECT_EQ(RedOf(0x0000FF), 255);
    EXPECT_EQ(BlueOf(0xFF0000), 255);
}

TEST(Colors, OnlyPlainAndSystemColourValuesAreValid) {
    EXPECT_TRUE(IsValidColorValue(0x00FFFFFF));
    EXPECT_TRUE(IsValidColorValue(0x8000000F));
    EXPECT_FALSE(IsValidColorValue(0x01000000));
    EXPECT_FALSE(IsValidColorValue(0x80FF000F));
    EXPECT_FALSE(IsValidColorValue(-1));
    EXPECT_FALSE(IsValidColorValue(0x100000000LL));
}

namespace {
tHighScore Scores(std::initializer_list<std::pair<const char*, int>> entries) {
    tHighScore list;
    for (const auto& e : entries)
        AddHighScore(list, e.first, static_cast<unsigned>(e.second));
    return list;
}
} // namespace

TEST(HighScore, NetworkCaptionsLeaveThePlayerName) {
    EXPECT_EQ(HighScoreName("\\\\10.0.0.2\\Anna"), "Anna");
    EXPECT_EQ(HighScoreName("\\\\pcB"), "pcB");
    EXPECT_EQ(HighScoreName("Bo\\b"), "b");
    EXPECT_EQ(HighScoreName("PC"), "PC");
}

TEST(HighScore, LimitsAndOneEntryPerName) {
    tHighScore list = Scores({{"A", 0}, {"B", 308}, {"C", 307}, {"D", 1}});
    EXPECT_EQ(list[0], (tHighScoreEntry{"C", 307}));
    EXPECT_EQ(list[1], (tHighScoreEntry{"D", 1}));
    EXPECT_EQ(list[2].Points, 0);
    AddHighScore(list, "D", 1);
    AddHighScore(list, "D", 0);
    EXPECT_EQ(list[1], (tHighScoreEntry{"D", 1}));
    AddHighScore(list, "D", 200);
    EXPECT_EQ(list[1], (tHighScoreEntry{"D", 200}));
    EXPECT_EQ(list[2].Name, "");
}

TEST(HighScore, ImprovedNameMovesUpAndStaysUnique) {
    tHighScore list = Scores({{"A", 200}, {"B", 180}, {"C", 150}});
    AddHighScore(list, "C", 190);
    EXPECT_EQ(list[0].Name, "A");
    EXPECT_EQ(list[1], (tHighScoreEntry{"C", 190}));
    EXPECT_EQ(list[2], (tHighScoreEntry{"B", 180}));
    EXPECT_EQ(list[3].Name, "");
}

TEST(HighScore, TiesGoBelowAndSlotFiveTiesDoNotEnter) {
    tHighScore list = Scores({{"A", 200}, {"B", 180}, {"C", 150}, {"D", 150}, {"E", 100}});
    tHighScore same = list;
    AddHighScore(same, "F", 100);
    EXPECT_EQ(same, list);
    AddHighScore(list, "F", 150);
    EXPECT_EQ(list[2].Name, "C");
    EXPECT_EQ(list[3].Name, "D");
    EXPECT_EQ(list[4], (tHighScoreEntry{"F", 150}));
}

TEST(HighScore, RepeatedOffersChangeNothing) {
    tHighScore list = Scores({{"A", 200}, {"\\\\pc\\B", 180}});
    const tHighScore before = list;
    for (int i = 0; i < 3; ++i) {
        AddHighScore(list, "A", 200);
        AddHighScore(list, "\\\\other\\B", 180);
    }
    EXPECT_EQ(list, before);
}

TEST(IpList, RemoveDropsEveryCopyAndKeepsOrder) {
    tIpList list;
    list.Add(1);
    list.Add(2);
    list.Add(1);
    list.Add(3);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf(1), 0);
    list.Remove(1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), 2u);
    EXPECT_EQ(list.Items(1), 3u);
    EXPECT_EQ(list.IndexOf(1), -1);
    list.Clear();
    list.Add(9);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.IndexOf(9), 0);
}

TEST(IpList, DottedNotationFirstOctetFirst) {
    const tAddress a = AddressFromOctets(198, 51, 100, 7);
    EXPECT_EQ(DottedAddress(a), "198.51.100.7");
    EXPECT_EQ(DottedAddress(kBroadcastAddress), "255.255.255.255");
}

TEST(WinSockErrorText, TableEntriesBareNamesAndFallback) {
    EXPECT_EQ(WinSockErrorText(10048), "wsaEAddrInUse - Address already in use.");
    EXPECT_EQ(WinSockErrorText(10009), "wsaEBadF");
    EXPECT_EQ(WinSockErrorText(11001), "wsaHost_not_found");
    EXPECT_EQ(WinSockErrorText(10013), "wsaEAcces - Permission denied.");
    EXPECT_EQ(WinSockErrorText(0), "Error 0 in WinSock call.");
    EXPECT_EQ(WinSockErrorText(-1), "Error -1 in WinSock call.");
    EXPECT_EQ(WinSockErrorText(10005), "Error 10005 in WinSock call.");
    EXPECT_EQ(WinSockErrorText(1), "Error 1 in WinSock call.");
}

TEST(WinSockErrorText, FatalHintsNameTheNetworkMenu) {
    EXPECT_EQ(FatalSocketHint(true),
              "Starten Sie nach Beheben des Fehlers das Menue \"Einstellung - Netzwerk\"");
    EXPECT_EQ(FatalSocketHint(false),
              "After fixing the problem call the menu \"Settings - Network\"");
}
