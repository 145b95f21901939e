// Datagram byte layout, field limits, own-address choice and the receive checks.
#include "core/datagram.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const tAddress kA = AddressFromOctets(192, 168, 1, 5);
const tAddress kB = AddressFromOctets(10, 0, 0, 7);

TileOrder SampleOrder() {
    TileOrder order;
    for (int i = 0; i < kTileCount; ++i)
        order.tiles[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>((i * 5 + 3) % 27);
    return order;
}

void Put(tDatagramBytes& b, std::size_t at, std::vector<std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        b[at + i] = bytes[i];
}

tDatagram DecodeBytes(const tDatagramBytes& b) {
    auto d = tDatagram::Decode(b.data(), b.size());
    EXPECT_TRUE(d.has_value());
    return d.value_or(tDatagram{});
}

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

struct LayoutCase {
    const char* what;
    tDatagram datagram;
    tDatagramBytes expected;
};

std::vector<LayoutCase> LayoutCases() {
    std::vector<LayoutCase> cases;
    const std::vector<std::uint8_t> a = {192, 168, 1, 5};
    auto simple = [&](const char* what, tDatagram d, std::uint8_t kind) {
        tDatagramBytes e{};
        e[0] = kind;
        Put(e, 4, a);
        cases.push_back({what, d, e});
    };
    simple("hello", tDatagram::Hello(kA), 0);
    simple("game running", tDatagram::GameRunning(kA), 2);
    simple("no players", tDatagram::NoPlayers(kA), 3);
    simple("request boards", tDatagram::RequestBoards(kA), 6);
    simple("present", tDatagram::Present(kA), 10);

    tDatagramBytes closed{};
    closed[0] = 4;
    Put(closed, 4, a);
    Put(closed, 8, {0x78, 0x56, 0x34, 0x12});
    cases.push_back({"board closed", tDatagram::BoardClosed(kA, 0x12345678u), closed});

    tDatagramBytes laid{};
    laid[0] = 7;
    Put(laid, 4, a);
    Put(laid, 8, {0xEF, 0xBE, 0xAD, 0xDE});
    laid[12] = 19;
    Put(laid, 14, {0x37, 0x01}); // 311
    cases.push_back({"tile laid", tDatagram::TileLaid(kA, 0xDEADBEEFu, 19, 311), laid});

    tDatagramBytes confirmed = laid;
    confirmed[0] = 5;
    confirmed[12] = 1;
    cases.push_back(
        {"tile confirmed", tDatagram::TileConfirmed(kA, 0xDEADBEEFu, 1, 311), confirmed});

    tDatagramBytes board{};
    board[0] = 8;
    const TileOrder order = SampleOrder();
    for (std::size_t i = 0; i < 27; ++i)
        Put(board, 2 + 2 * i, {static_cast<std::uint8_t>(order.tiles[i]), 0});
    Put(board, 56, a);
    Put(board, 60, {'A', 'n', 'n', 'a'});
    Put(board, 80, {0x04, 0x03, 0x02, 0x01});
    Put(board, 84, a);
    cases.push_back({"board", tDatagram::Board(order, kA, "Anna", 0x01020304u), board});

    tDatagramBytes text{};
    text[0] = 9;
    Put(text, 4, a);
    Put(text, 8, a);
    Put(text, 12, {'H', 'i', 0xE4}); // Windows-1252 bytes travel unchanged
    cases.push_back({"text", tDatagram::TextMessage(kA, "Hi\xE4"), text});

    tDatagramBytes again = board;
    again[0] = 13;
    cases.push_back({"board again", tDatagram::BoardAgain(order, kA, "Anna", 0x01020304u), again});

    std::array<std::uint8_t, kTurnsPlayed> cells{};
    cells[0] = 1;   // turn 1 on cell 111
    cells[18] = 19; // turn 19 on cell 555
    tDatagramBytes state{};
    state[0] = 11;
    Put(state, 4, a);
    Put(state, 8, {0x04, 0x03, 0x02, 0x01});
    Put(state, 12, {10, 0, 0, 9});
    state[16] = kStateClosed;
    state[20] = 1;
    state[38] = 19;
    cases.push_back({"board state",
                     tDatagram::BoardState(kA, AddressFromOctets(10, 0, 0, 9), 0x01020304u, cells,
                                           kStateClosed),
                     state});

    tDatagramBytes progress{};
    progress[0] = 12;
    Put(progress, 4, a);
    progress[8] = 2;
    progress[9] = kProgressPlaying;
    Put(progress, 12, {10, 0, 0, 9, 0x04, 0x03, 0x02, 0x01, 7, 0});
    Put(progress, 22, a);
    Put(progress, 26, {9, 0, 0, 0, 19, kStateClosed});
    cases.push_back(
        {"progress",
         tDatagram::ProgressOf(
             kA, {{AddressFromOctets(10, 0, 0, 9), 0x01020304u, 7, 0}, {kA, 9, 19, kStateClosed}},
             kProgressPlaying),
         progress});
    return cases;
}

TEST(DatagramLayout, EveryKindEncodesItsFieldsAtTheirOffsetsAndZeroElsewhere) {
    for (const LayoutCase& c : LayoutCases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.datagram.Encode(), c.expected);
    }
}

TEST(DatagramLayout, EveryKindDecodesBackToItsFields) {
    for (const LayoutCase& c : LayoutCases()) {
        SCOPED_TRACE(c.what);
        const tDatagram d = DecodeBytes(c.expected);
        const tDatagram& w = c.datagram;
        EXPECT_EQ(d.Kind, w.Kind);
        EXPECT_EQ(d.SenderAddress, w.SenderAddress);
        EXPECT_EQ(d.BoardId, w.BoardId);
        EXPECT_EQ(d.Turn, w.Turn);
        EXPECT_EQ(d.CellCode, w.CellCode);
        EXPECT_EQ(d.Order, w.Order);
        EXPECT_EQ(d.Name, w.Name);
        EXPECT_EQ(d.HomeAddress, w.HomeAddress);
        EXPECT_EQ(d.OriginKey, w.OriginKey);
        EXPECT_EQ(d.Text, w.Text);
        EXPECT_EQ(d.Flags, w.Flags);
        EXPECT_EQ(d.Cells, w.Cells);
        EXPECT_EQ(d.Progress, w.Progress);
    }
}

TEST(DatagramLayout, OwnBoardUsesTheBoardLayout) {
    tDatagram d = tDatagram::Board(SampleOrder(), kA, "Bo", 7);
    d.Kind = nmOwnBoard;
    d.HomeAddress = kB;
    const tDatagramBytes b = d.Encode();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(DecodeBytes(b).SenderAddress, kA);
    EXPECT_EQ(DecodeBytes(b).HomeAddress, kB);
    EXPECT_EQ(DecodeBytes(b).Name, "Bo");
}

TEST(DatagramFields, NamesAreCutToNineteenCharacters) {
    const std::string name25 = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const std::string name19 = name25.substr(0, 19);
    const tDatagramBytes b25 = tDatagram::Board(SampleOrder(), kA, name25, 1).Encode();
    EXPECT_EQ(DecodeBytes(b25).Name, name19);
    EXPECT_EQ(b25[79], 0) << "the terminating zero is kept";
    EXPECT_EQ(DecodeBytes(tDatagram::Board(SampleOrder(), kA, name19, 1).Encode()).Name, name19);
}

TEST(DatagramFields, NameCutInEncodeEvenWhenSetDirectly) {
    tDatagram d = tDatagram::Board(SampleOrder(), kA, "x", 0x11111111u);
    d.Name = Repeat('N', 40);
    const tDatagramBytes b = d.Encode();
    EXPECT_EQ(b[79], 0);
    EXPECT_EQ(DecodeBytes(b).BoardId, 0x11111111u) << "a long name must not overwrite BoardId";
}

TEST(DatagramFields, TextOfFiftyNineCharactersArrivesWhole) {
    const std::string text59 = Repeat('t', 59);
    EXPECT_EQ(DecodeBytes(tDatagram::TextMessage(kA, text59).Encode()).Text, text59);
    EXPECT_EQ(DecodeBytes(tDatagram::TextMessage(kA, text59 + "overflow").Encode()).Text, text59);
}

TEST(DatagramFields, NameWithoutZeroIsReadToTheFieldEndOnly) {
    tDatagramBytes b{};
    b[0] = nmBoard;
    for (std::size_t i = 60; i < 88; ++i)
        b[i] = 'Z';
    for (std::size_t i = 60; i < 80; ++i)
        b[i] = 'n';
    EXPECT_EQ(DecodeBytes(b).Name, Repeat('n', 20));
}

TEST(DatagramFields, TextWithoutZeroIsReadToTheEndOfTheDatagramOnly) {
    tDatagramBytes b{};
    b.fill('t');
    b[0] = nmText;
    const tDatagram d = DecodeBytes(b);
    EXPECT_EQ(d.Text, Repeat('t', 60));
}

TEST(DatagramFields, TextStopsAtTheFirstZeroByte) {
    tDatagramBytes b{};
    b[0] = nmText;
    Put(b, 12, {'a', 'b', 0, 'c', 'd'});
    EXPECT_EQ(DecodeBytes(b).Text, "ab");
}

TEST(DatagramDecode, RefusesEveryLengthButEightyEight) {
    const std::vector<std::uint8_t> buffer(200, 0);
    for (std::size_t length :
         {std::size_t{0}, std::size_t{1}, std::size_t{87}, std::size_t{89}, std::size_t{176}}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(tDatagram::Decode(buffer.data(), length).has_value());
    }
    EXPECT_TRUE(tDatagram::Decode(buffer.data(), 88).has_value());
    EXPECT_FALSE(tDatagram::Decode(nullptr, 88).has_value());
}

TEST(DatagramDecode, RandomBuffersDecodeWithinTheirFieldsAndReencodeStably) {
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> byte(0, 255);
    tDatagramBytes b{};
    for (int round = 0; round < 4000; ++round) {
        for (auto& x : b)
            x = static_cast<std::uint8_t>(byte(random));
        // Bias the kind towards the known ones so that every layout is hit.
        if (round % 4 != 0)
            b[0] = static_cast<std::uint8_t>(round % 11);
        const auto d = tDatagram::Decode(b.data(), b.size());
        ASSERT_TRUE(d.has_value());
        ASSERT_LE(d->Name.size(), 20u);
        ASSERT_LE(d->Text.size(), 60u);
        const tDatagramBytes again = d->Encode();
        const auto d2 = tDatagram::Decode(again.data(), again.size());
        ASSERT_TRUE(d2.has_value());
        // Names of 20 bytes without a zero come back cut to 19, texts to 59.
        ASSERT_EQ(d2->Name, d->Name.substr(0, 19));
        ASSERT_EQ(d2->Text, d->Text.substr(0, 59));
        ASSERT_EQ(d2->SenderAddress, d->SenderAddress);
        ASSERT_EQ(d2->BoardId, d->BoardId);
        ASSERT_EQ(d2->HomeAddress, d->HomeAddress);
        ASSERT_EQ(d2->CellCode, d->CellCode);
        ASSERT_EQ(d2->Order, d->Order);
    }
}

tIpList List(std::vector<tAddress> addresses) {
    tIpList list;
    for (tAddress a : addresses)
        list.Add(a);
    return list;
}

TEST(OwnAddressFor, PicksTheSmallestExclusiveOrDistance) {
    struct Case {
        const char* what;
        std::vector<tAddress> own;
        tAddress destination;
        tAddress expected;
    };
    const Case cases[] = {
        {"same network wins", {kA, kB}, AddressFromOctets(192, 168, 1, 9), kA},
        {"same network wins, other order", {kB, kA}, AddressFromOctets(192, 168, 1, 9), kA},
        {"one address always", {kB}, AddressFromOctets(192, 168, 1, 9), kB},
        {"one address, broadcast", {kB}, kBroadcastAddress, kB},
        // Read with the first octet least significant, 2.0.0.1 is nearer to
        // 1.0.0.1 than 1.0.0.2 is.
        {"first octet least significant",
         {AddressFromOctets(1, 0, 0, 2), AddressFromOctets(2, 0, 0, 1)},
         AddressFromOctets(1, 0, 0, 1),
         AddressFromOctets(2, 0, 0, 1)},
        // With the other octets alike, the first octet still decides.
        {"first octet decides a tie of the rest",
         {AddressFromOctets(11, 0, 0, 1), AddressFromOctets(10, 0, 0, 1)},
         AddressFromOctets(10, 0, 0, 9),
         AddressFromOctets(10, 0, 0, 1)},
        {"all-ones distance still yields the first",
         {AddressFromOctets(254, 253, 252, 251)},
         AddressFromOctets(1, 2, 3, 4),
         AddressFromOctets(254, 253, 252, 251)},
        {"empty list gives no address", {}, kA, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(OwnAddressFor(List(c.own), c.destination), c.expected);
    }
}

TEST(ReceiveRules, ActionsByKindAndSender) {
    const tIpList own = List({kA});
    const tAddress peer = AddressFromOctets(192, 168, 1, 20);
    tDatagram board = tDatagram::Board(SampleOrder(), peer, "P", 9);
    tDatagram boardNoHome = board;
    boardNoHome.HomeAddress = 0;
    tDatagram ownBoardNoHome = boardNoHome;
    ownBoardNoHome.Kind = nmOwnBoard;
    tDatagram badOrder = board;
    badOrder.Order.tiles[3] = 27;
    tDatagram duplicateOrder = board;
    duplicateOrder.Order.tiles[3] = duplicateOrder.Order.tiles[4];
    tDatagram unknown = tDatagram::Hello(peer);
    unknown.Kind = 14;
    tDatagram last = tDatagram::Hello(peer);
    last.Kind = 255;

    struct Case {
        const char* what;
        tDatagram d;
        tReceiveAction expected;
    };
    const Case cases[] = {
        {"hello", tDatagram::Hello(peer), raAnswerHello},
        {"hello, zero sender", tDatagram::Hello(0), raIgnore},
        {"hello, own broadcast", tDatagram::Hello(kA), raIgnore},
        {"request", tDatagram::RequestBoards(peer), raAnswerRequest},
        {"request from self", tDatagram::RequestBoards(kA), raIgnore},
        {"game running", tDatagram::GameRunning(peer), raShowGameRunning},
        {"game running, zero sender", tDatagram::GameRunning(0), raShowGameRunning},
        {"no players, zero sender", tDatagram::NoPlayers(0), raShowNoPlayers},
        {"board closed", tDatagram::BoardClosed(peer, 1), raCloseRemoteBoard},
        {"board closed from self", tDatagram::BoardClosed(kA, 1), raIgnore},
        {"board closed, zero sender", tDatagram::BoardClosed(0, 1), raIgnore},
        {"tile laid", tDatagram::TileLaid(peer, 1, 2, 311), raTileLaid},
        {"tile laid, zero sender", tDatagram::TileLaid(0, 1, 2, 311), raIgnore},
        {"tile confirmed", tDatagram::TileConfirmed(peer, 1, 2, 311), raTileConfirmed},
        {"board", board, raAddBoard},
        {"board from self", tDatagram::Board(SampleOrder(), kA, "P", 9), raIgnore},
        {"board, zero sender", tDatagram::Board(SampleOrder(), 0, "P", 9), raIgnore},
        {"board, zero home", boardNoHome, raIgnore},
        {"own board ignores offset 84", ownBoardNoHome, raAddBoard},
        {"board with a tile above 26", badOrder, raIgnore},
        {"board with a repeated tile", duplicateOrder, raIgnore},
        {"text", tDatagram::TextMessage(peer, "hi"), raShowText},
        {"text, zero sender", tDatagram::TextMessage(0, "hi"), raIgnore},
        {"present", tDatagram::Present(peer), raRegisterPeer},
        {"present from self", tDatagram::Present(kA), raIgnore},
        {"board state", tDatagram::BoardState(peer, peer, 1, {}, 0), raBoardState},
        {"board state from self", tDatagram::BoardState(kA, peer, 1, {}, 0), raIgnore},
        {"board state, zero home", tDatagram::BoardState(peer, 0, 1, {}, 0), raIgnore},
        {"progress", tDatagram::ProgressOf(peer, {}), raProgress},
        {"progress from self", tDatagram::ProgressOf(kA, {}), raIgnore},
        {"board again", tDatagram::BoardAgain(SampleOrder(), peer, "P", 9), raAddBoardAgain},
        {"board again, bad order",
         [&] {
             tDatagram d = badOrder;
             d.Kind = nmBoardAgain;
             return d;
         }(),
         raIgnore},
        {"kind 14", unknown, raIgnore},
        {"kind 255", last, raIgnore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReceiveActionFor(c.d, own), c.expected);
    }
}

TEST(ReceiveRules, OwnBoardTakesItsHomeFromTheSenderField) {
    tDatagramBytes b = tDatagram::Board(SampleOrder(), kB, "P", 9).Encode();
    b[0] = nmOwnBoard;
    Put(b, 84, {1, 2, 3, 4});
    const tDatagram d = DecodeBytes(b);
    EXPECT_EQ(HomeAddressOf(d), kB);
    EXPECT_EQ(HomeAddressOf(tDatagram::Board(SampleOrder(), kB, "P", 9)), kB);
}

} // namespace
