// The datagram byte table, written out field by field.
#include "wire.h"

#include <cstdio>
#include <cstring>

namespace wire {
namespace {

// The code points of 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<std::uint16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void PutAddress(tBytes& b, std::size_t at, std::uint32_t address) {
    // Held in network order already: its bytes in memory are the octets.
    std::memcpy(&b[at], &address, 4);
}

std::uint32_t GetAddress(const std::uint8_t* d, std::size_t at) {
    std::uint32_t address = 0;
    std::memcpy(&address, d + at, 4);
    return address;
}

void Put16(tBytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(tBytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t Get16(const std::uint8_t* d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t Get32(const std::uint8_t* d, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(d[at + i]) << (8 * i);
    return v;
}

// The text cut to field - 1 characters and ended by a zero byte.
void PutText(tBytes& b, std::size_t at, std::size_t field, const std::string& utf8) {
    const std::string bytes = ToCp1252(utf8).substr(0, field - 1);
    std::memcpy(&b[at], bytes.data(), bytes.size());
    b[at + bytes.size()] = 0;
}

std::string GetText(const std::uint8_t* d, std::size_t at, std::size_t field) {
    std::size_t n = 0;
    while (n < field && d[at + n] != 0)
        ++n;
    return FromCp1252(std::string(reinterpret_cast<const char*>(d + at), n));
}

bool IsBoard(std::uint8_t kind) {
    return kind == kBoard || kind == kOwnBoard;
}

bool CarriesMove(std::uint8_t kind) {
    return kind == kTileConfirmed || kind == kTileLaid;
}

} // namespace

tBytes Encode(const tMessage& m) {
    tBytes b{};
    b[0] = m.kind;
    if (IsBoard(m.kind)) {
        for (std::size_t i = 0; i < kOrderTiles; ++i)
            Put16(b, 2 + 2 * i, m.order[i]);
        PutAddress(b, 56, m.sender);
        PutText(b, 60, kNameBytes, m.name);
        Put32(b, 80, m.boardId);
        PutAddress(b, 84, m.home);
        return b;
    }
    PutAddress(b, 4, m.sender);
    if (m.kind == kBoardClosed || CarriesMove(m.kind))
        Put32(b, 8, m.boardId);
    if (CarriesMove(m.kind)) {
        b[12] = m.turn;
        Put16(b, 14, m.cell);
    }
    if (m.kind == kText) {
        PutAddress(b, 8, m.origin);
        PutText(b, 12, kTextBytes, m.text);
    }
    return b;
}

std::optional<tMessage> Decode(const std::uint8_t* d, std::size_t size) {
    if (size != kSize)
        return std::nullopt;
    tMessage m;
    m.kind = d[0];
    if (m.kind > kLastKind)
        return m;
    if (IsBoard(m.kind)) {
        for (std::size_t i = 0; i < kOrderTiles; ++i)
            m.order[i] = Get16(d, 2 + 2 * i);
        m.sender = GetAddress(d, 56);
        m.name = GetText(d, 60, kNameBytes);
        m.boardId = Get32(d, 80);
        // An own board names its home once, as the sender.
        m.home = m.kind == kOwnBoard ? m.sender : GetAddress(d, 84);
        return m;
    }
    m.sender = GetAddress(d, 4);
    if (m.kind == kBoardClosed || CarriesMove(m.kind))
        m.boardId = Get32(d, 8);
    if (CarriesMove(m.kind)) {
        m.turn = d[12];
        m.cell = Get16(d, 14);
    }
    if (m.kind == kText) {
        m.origin = GetAddress(d, 8);
        m.text = GetText(d, 12, kTextBytes);
    }
    return m;
}

std::string ToCp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = c;
        std::size_t len = 1;
        if (c >= 0xC0 && c < 0xE0)
            len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c < 0xF0)
            len = 3, cp = c & 0x0F;
        else if (c >= 0xF0)
            len = 4, cp = c & 0x07;
        if (i + len > utf8.size())
            len = utf8.size() - i;
        for (std::size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        char byte = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
            byte = static_cast<char>(cp);
        for (std::size_t k = 0; k < kHigh.size(); ++k)
            if (kHigh[k] != 0 && kHigh[k] == cp)
                byte = static_cast<char>(0x80 + k);
        out += byte;
    }
    return out;
}

std::string FromCp1252(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        std::uint32_t cp = c;
        if (c >= 0x80 && c < 0xA0)
            cp = kHigh[c - 0x80] != 0 ? kHigh[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

int SelfTest() {
    int faults = 0;
    const auto expect = [&](const char* what, const tBytes& got,
                            std::initializer_list<std::pair<std::size_t, std::uint8_t>> set) {
        tBytes want{};
        for (const auto& [at, value] : set)
            want[at] = value;
        for (std::size_t i = 0; i < kSize; ++i)
            if (got[i] != want[i]) {
                std::printf("%s: byte %zu is %u, not %u\n", what, i, got[i], want[i]);
                ++faults;
            }
    };
    // 198.51.100.13 as the socket calls hold it: its octets in memory order.
    const std::uint8_t octets[4] = {198, 51, 100, 13};
    std::uint32_t address = 0;
    std::memcpy(&address, octets, 4);

    tMessage move;
    move.kind = kTileLaid;
    move.sender = address;
    move.boardId = 0x01020304;
    move.turn = 19;
    move.cell = 311; // 0x0137
    expect("tile laid", Encode(move),
           {{0, 7},
            {4, 198},
            {5, 51},
            {6, 100},
            {7, 13},
            {8, 4},
            {9, 3},
            {10, 2},
            {11, 1},
            {12, 19},
            {14, 0x37},
            {15, 0x01}});

    tMessage board;
    board.kind = kBoard;
    board.sender = address;
    board.home = address;
    board.order[0] = 0x0102;
    board.order[26] = 26;
    board.boardId = 1001;                   // 0x03E9
    board.name = "Zoë and a name too long"; // cut to 19 characters
    std::initializer_list<std::pair<std::size_t, std::uint8_t>> boardBytes = {
        {0, 8},     {2, 0x02}, {3, 0x01}, {54, 26},   {56, 198}, {57, 51},  {58, 100},
        {59, 13},   {60, 'Z'}, {61, 'o'}, {62, 0xEB}, {63, ' '}, {64, 'a'}, {65, 'n'},
        {66, 'd'},  {67, ' '}, {68, 'a'}, {69, ' '},  {70, 'n'}, {71, 'a'}, {72, 'm'},
        {73, 'e'},  {74, ' '}, {75, 't'}, {76, 'o'},  {77, 'o'}, {78, ' '}, {80, 0xE9},
        {81, 0x03}, {84, 198}, {85, 51},  {86, 100},  {87, 13}};
    expect("board", Encode(board), boardBytes);

    tMessage text;
    text.kind = kText;
    text.sender = address;
    text.origin = address;
    text.text = "\xE2\x82\xAC 5"; // the euro sign is 0x80 in the code page
    expect("text", Encode(text),
           {{0, 9},
            {4, 198},
            {5, 51},
            {6, 100},
            {7, 13},
            {8, 198},
            {9, 51},
            {10, 100},
            {11, 13},
            {12, 0x80},
            {13, ' '},
            {14, '5'}});

    // Reading back: every field, the own board's home from offset 56, and
    // nothing for any other length.
    const tBytes boardImage = Encode(board);
    tBytes own = boardImage;
    own[0] = kOwnBoard;
    own[84] = 0;
    const std::optional<tMessage> b = Decode(boardImage.data(), kSize);
    const std::optional<tMessage> o = Decode(own.data(), kSize);
    const std::optional<tMessage> t = Decode(Encode(text).data(), kSize);
    const std::optional<tMessage> l = Decode(Encode(move).data(), kSize);
    const bool readBack = b && b->name == "Zoë and a name too " && b->order[0] == 0x0102 &&
                          b->boardId == 1001 && b->home == address && o && o->home == address &&
                          t && t->text == "\xE2\x82\xAC 5" && t->origin == address && l &&
                          l->turn == 19 && l->cell == 311 && l->boardId == 0x01020304 &&
                          !Decode(boardImage.data(), 87);
    if (!readBack) {
        std::printf("decoding does not give the fields back\n");
        ++faults;
    }
    std::printf("wire self-test: %d fault(s)\n", faults);
    return faults;
}

} // namespace wire
