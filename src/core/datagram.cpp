// Datagram layout, own-address choice and the window-free receive checks.
#include "core/datagram.h"

#include <algorithm>
#include <cstring>

namespace {

// Offsets of the fields. The board kinds put their sender behind the tile
// order; all other kinds start their fields at offset 4.
constexpr std::size_t kSenderAt = 4;
constexpr std::size_t kBoardIdAt = 8;
constexpr std::size_t kTurnAt = 12;
constexpr std::size_t kCellCodeAt = 14;
constexpr std::size_t kTileOrderAt = 2;
constexpr std::size_t kBoardSenderAt = 56;
constexpr std::size_t kNameAt = 60;
constexpr std::size_t kBoardBoardIdAt = 80;
constexpr std::size_t kHomeAt = 84;
constexpr std::size_t kOriginKeyAt = 8;
constexpr std::size_t kTextAt = 12;
constexpr std::size_t kStateHomeAt = 12;
constexpr std::size_t kStateFlagsAt = 16;
constexpr std::size_t kStateCellsAt = 20;
constexpr std::size_t kProgressCountAt = 8;
constexpr std::size_t kProgressFlagsAt = 9;
constexpr std::size_t kProgressAt = 12;
constexpr std::size_t kProgressEntrySize = 10;

// Addresses are held in network order, so their four bytes go out as they
// lie in memory.
void PutAddress(tDatagramBytes& b, std::size_t at, tAddress a) {
    std::memcpy(&b[at], &a, 4);
}

tAddress GetAddress(const std::uint8_t* p, std::size_t at) {
    tAddress a;
    std::memcpy(&a, p + at, 4);
    return a;
}

void PutU32(tDatagramBytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(p[at + i]) << (8 * i);
    return v;
}

void PutU16(tDatagramBytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t GetU16(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] | (p[at + 1] << 8));
}

// Writes at most maxChars bytes; the rest of the field, terminator included,
// stays zero.
void PutString(tDatagramBytes& b, std::size_t at, const std::string& s, std::size_t maxChars) {
    const std::size_t n = std::min(s.size(), maxChars);
    std::memcpy(&b[at], s.data(), n);
}

// Reads up to the first zero byte, never past the field's end.
std::string GetString(const std::uint8_t* p, std::size_t at, std::size_t fieldSize) {
    const auto* begin = reinterpret_cast<const char*>(p + at);
    const auto* end = static_cast<const char*>(std::memchr(begin, 0, fieldSize));
    return std::string(begin, end ? end : begin + fieldSize);
}

bool IsBoardKind(std::uint8_t kind) {
    return kind == nmBoard || kind == nmOwnBoard || kind == nmBoardAgain;
}

bool IsMoveKind(std::uint8_t kind) {
    return kind == nmTileLaid || kind == nmTileConfirmed;
}

tDatagram WithSender(std::uint8_t kind, tAddress sender) {
    tDatagram d;
    d.Kind = kind;
    d.SenderAddress = sender;
    return d;
}

tDatagram Move(std::uint8_t kind, tAddress sender, std::uint32_t boardId, std::uint8_t turn,
               std::uint16_t cellCode) {
    tDatagram d = WithSender(kind, sender);
    d.BoardId = boardId;
    d.Turn = turn;
    d.CellCode = cellCode;
    return d;
}

} // namespace

tDatagram tDatagram::Hello(tAddress sender) {
    return WithSender(nmHello, sender);
}
tDatagram tDatagram::GameRunning(tAddress sender) {
    return WithSender(nmGameRunning, sender);
}
tDatagram tDatagram::NoPlayers(tAddress sender) {
    return WithSender(nmNoPlayers, sender);
}
tDatagram tDatagram::RequestBoards(tAddress sender) {
    return WithSender(nmRequestBoards, sender);
}
tDatagram tDatagram::Present(tAddress sender) {
    return WithSender(nmPresent, sender);
}

tDatagram tDatagram::BoardClosed(tAddress sender, std::uint32_t boardId) {
    tDatagram d = WithSender(nmBoardClosed, sender);
    d.BoardId = boardId;
    return d;
}

tDatagram tDatagram::TileLaid(tAddress sender, std::uint32_t boardId, std::uint8_t turn,
                              std::uint16_t cellCode) {
    return Move(nmTileLaid, sender, boardId, turn, cellCode);
}

tDatagram tDatagram::TileConfirmed(tAddress sender, std::uint32_t boardId, std::uint8_t turn,
                                   std::uint16_t cellCode) {
    return Move(nmTileConfirmed, sender, boardId, turn, cellCode);
}

tDatagram tDatagram::Board(const TileOrder& order, tAddress home, const std::string& name,
                           std::uint32_t boardId) {
    tDatagram d = WithSender(nmBoard, home);
    d.Order = order;
    d.HomeAddress = home;
    d.Name = name.substr(0, kNameMaxChars);
    d.BoardId = boardId;
    return d;
}

tDatagram tDatagram::TextMessage(tAddress sender, const std::string& text) {
    tDatagram d = WithSender(nmText, sender);
    d.OriginKey = sender;
    d.Text = text.substr(0, kTextMaxChars);
    return d;
}

tDatagram tDatagram::BoardState(tAddress sender, tAddress home, std::uint32_t boardId,
                                const std::array<std::uint8_t, kTurnsPlayed>& cells,
                                std::uint8_t flags) {
    tDatagram d = WithSender(nmBoardState, sender);
    d.HomeAddress = home;
    d.BoardId = boardId;
    d.Cells = cells;
    d.Flags = flags;
    return d;
}

tDatagram tDatagram::ProgressOf(tAddress sender, const std::vector<tProgressEntry>& entries,
                                std::uint8_t flags) {
    tDatagram d = WithSender(nmProgress, sender);
    d.Flags = flags;
    d.Progress.assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                             entries.size(), kProgressEntries)));
    return d;
}

tDatagram tDatagram::BoardAgain(const TileOrder& order, tAddress home, const std::string& name,
                                std::uint32_t boardId) {
    tDatagram d = Board(order, home, name, boardId);
    d.Kind = nmBoardAgain;
    return d;
}

tDatagramBytes tDatagram::Encode() const {
    tDatagramBytes b{};
    b[0] = Kind;
    if (IsBoardKind(Kind)) {
        const tTileOrderBlock block = Order.Encode();
        std::memcpy(&b[kTileOrderAt], block.data(), block.size());
        PutAddress(b, kBoardSenderAt, SenderAddress);
        PutString(b, kNameAt, Name, kNameMaxChars);
        PutU32(b, kBoardBoardIdAt, BoardId);
        PutAddress(b, kHomeAt, HomeAddress);
        return b;
    }
    if (Kind > kLastRepairKind)
        return b;
    PutAddress(b, kSenderAt, SenderAddress);
    if (Kind == nmBoardState) {
        PutU32(b, kBoardIdAt, BoardId);
        PutAddress(b, kStateHomeAt, HomeAddress);
        b[kStateFlagsAt] = Flags;
        std::memcpy(&b[kStateCellsAt], Cells.data(), Cells.size());
    }
    if (Kind == nmProgress) {
        const std::size_t n = std::min(Progress.size(), kProgressEntries);
        b[kProgressCountAt] = static_cast<std::uint8_t>(n);
        b[kProgressFlagsAt] = Flags;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = kProgressAt + i * kProgressEntrySize;
            PutAddress(b, at, Progress[i].Home);
            PutU32(b, at + 4, Progress[i].BoardId);
            b[at + 8] = Progress[i].Confirmed;
            b[at + 9] = Progress[i].Flags;
        }
    }
    if (Kind == nmBoardClosed || IsMoveKind(Kind))
        PutU32(b, kBoardIdAt, BoardId);
    if (IsMoveKind(Kind)) {
        b[kTurnAt] = Turn;
        PutU16(b, kCellCodeAt, CellCode);
    }
    if (Kind == nmText) {
        PutAddress(b, kOriginKeyAt, OriginKey);
        PutString(b, kTextAt, Text, kTextMaxChars);
    }
    return b;
}

std::optional<tDatagram> tDatagram::Decode(const std::uint8_t* data, std::size_t length) {
    if (data == nullptr || length != kDatagramSize)
        return std::nullopt;
    tDatagram d;
    d.Kind = data[0];
    if (IsBoardKind(d.Kind)) {
        d.Order = TileOrder::Decode(data + kTileOrderAt);
        d.SenderAddress = GetAddress(data, kBoardSenderAt);
        d.Name = GetString(data, kNameAt, kNameMaxChars + 1);
        d.BoardId = GetU32(data, kBoardBoardIdAt);
        d.HomeAddress = GetAddress(data, kHomeAt);
        return d;
    }
    if (d.Kind > kLastRepairKind)
        return d;
    d.SenderAddress = GetAddress(data, kSenderAt);
    if (d.Kind == nmBoardState) {
        d.BoardId = GetU32(data, kBoardIdAt);
        d.HomeAddress = GetAddress(data, kStateHomeAt);
        d.Flags = data[kStateFlagsAt];
        std::memcpy(d.Cells.data(), data + kStateCellsAt, d.Cells.size());
    }
    if (d.Kind == nmProgress) {
        // A count past what fits is cut to it.
        const std::size_t n = std::min<std::size_t>(data[kProgressCountAt], kProgressEntries);
        d.Flags = data[kProgressFlagsAt];
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = kProgressAt + i * kProgressEntrySize;
            d.Progress.push_back(
                {GetAddress(data, at), GetU32(data, at + 4), data[at + 8], data[at + 9]});
        }
    }
    if (d.Kind == nmBoardClosed || IsMoveKind(d.Kind))
        d.BoardId = GetU32(data, kBoardIdAt);
    if (IsMoveKind(d.Kind)) {
        d.Turn = data[kTurnAt];
        d.CellCode = GetU16(data, kCellCodeAt);
    }
    if (d.Kind == nmText) {
        d.OriginKey = GetAddress(data, kOriginKeyAt);
        d.Text = GetString(data, kTextAt, kTextMaxChars + 1);
    }
    return d;
}

tAddress HomeAddressOf(const tDatagram& d) {
    return d.Kind == nmOwnBoard ? d.SenderAddress : d.HomeAddress;
}

tReceiveAction ReceiveActionFor(const tDatagram& d, const tIpList& own) {
    // These two only show a message, whatever the sender field holds.
    if (d.Kind == nmGameRunning)
        return raShowGameRunning;
    if (d.Kind == nmNoPlayers)
        return raShowNoPlayers;
    if (d.Kind > kLastRepairKind || d.SenderAddress == 0)
        return raIgnore;
    const bool fromSelf = own.Contains(d.SenderAddress);
    switch (d.Kind) {
    case nmHello:
        return fromSelf ? raIgnore : raAnswerHello;
    case nmRequestBoards:
        return fromSelf ? raIgnore : raAnswerRequest;
    case nmBoardClosed:
        return fromSelf ? raIgnore : raCloseRemoteBoard;
    case nmTileLaid:
        return raTileLaid;
    case nmTileConfirmed:
        return raTileConfirmed;
    case nmBoard:
    case nmOwnBoard:
        if (fromSelf || HomeAddressOf(d) == 0 || !d.Order.IsPermutation())
            return raIgnore;
        return raAddBoard;
    case nmText:
        return raShowText;
    case nmPresent:
        return fromSelf ? raIgnore : raRegisterPeer;
    case nmBoardState:
        return fromSelf || d.HomeAddress == 0 ? raIgnore : raBoardState;
    case nmProgress:
        return fromSelf ? raIgnore : raProgress;
    case nmBoardAgain:
        if (fromSelf || HomeAddressOf(d) == 0 || !d.Order.IsPermutation())
            return raIgnore;
        return raAddBoardAgain;
    default:
        return raIgnore;
    }
}
