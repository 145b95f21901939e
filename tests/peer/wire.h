// The stand-in PC's own reading and writing of the game's 88-byte datagram,
// made from the protocol's byte table alone: offsets, sizes, little-endian
// numbers, addresses first octet first, zero-terminated Windows-1252 texts.
// It shares no code with the program, so a layout fault made the same way in
// both directions of the program's own encoder still shows up here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace wire {

constexpr std::size_t kSize = 88;
using tBytes = std::array<std::uint8_t, kSize>;

enum tKind : std::uint8_t {
    kHello = 0,
    kOwnBoard = 1,
    kGameRunning = 2,
    kNoPlayers = 3,
    kBoardClosed = 4,
    kTileConfirmed = 5,
    kRequestBoards = 6,
    kTileLaid = 7,
    kBoard = 8,
    kText = 9,
    kPresent = 10,
};
constexpr std::uint8_t kLastKind = kPresent;
constexpr std::size_t kOrderTiles = 27;
constexpr std::size_t kNameBytes = 20; // at most 19 characters and a zero byte
constexpr std::size_t kTextBytes = 60; // at most 59 characters and a zero byte

// One datagram's fields. Addresses are as the socket calls hold them (network
// order in memory); name and text are UTF-8 here and Windows-1252 on the wire.
struct tMessage {
    std::uint8_t kind = kHello;
    std::uint32_t sender = 0;
    std::uint32_t boardId = 0;
    std::uint8_t turn = 0;
    std::uint16_t cell = 0;
    std::array<std::uint16_t, kOrderTiles> order{};
    std::string name;
    std::uint32_t home = 0;
    std::uint32_t origin = 0;
    std::string text;
};

tBytes Encode(const tMessage& m);
// Nothing for any length but 88; a kind above 10 comes back with only its kind.
std::optional<tMessage> Decode(const std::uint8_t* data, std::size_t size);

// UTF-8 to Windows-1252 and back; a character the code page lacks becomes "?".
std::string ToCp1252(const std::string& utf8);
std::string FromCp1252(const std::string& bytes);

// Checks the codec against byte images worked out by hand from the table;
// prints each mismatch and returns their number.
int SelfTest();

} // namespace wire
