// The 88-byte datagram between PCs: message kinds, byte layout, receive rules.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ip_list.h"
#include "core/tile_order.h"

enum tMessageKind : std::uint8_t {
    nmHello = 0,
    nmOwnBoard = 1,
    nmGameRunning = 2,
    nmNoPlayers = 3,
    nmBoardClosed = 4,
    nmTileConfirmed = 5,
    nmRequestBoards = 6,
    nmTileLaid = 7,
    nmBoard = 8,
    nmText = 9,
    nmPresent = 10,
    // Spoken only between PCs that run this program; the others ignore kinds above 10.
    nmBoardState = 11, // a board's confirmed cells, or that it has left the game
    nmProgress = 12,   // what a PC holds of the boards of a game: acknowledgement and heartbeat
    nmBoardAgain = 13, // an announcement repeated to a PC whose progress lacks the board
};

constexpr std::uint8_t kLastMessageKind = nmPresent;
constexpr std::uint8_t kLastRepairKind = nmBoardAgain;
// Progress entries that fit one datagram.
constexpr std::size_t kProgressEntries = 7;
// Flags of nmBoardState and of progress entries: the board has left the
// game; (progress only) the copy has played its last turn.
constexpr std::uint8_t kStateClosed = 1;
constexpr std::uint8_t kStateEnded = 2;
// Flags of nmProgress: the sender plays a game, which a PC that missed its
// boards' announcements learns from here.
constexpr std::uint8_t kProgressPlaying = 1;
constexpr std::size_t kDatagramSize = 88;
// Characters before the terminating zero; the fields are one byte longer.
constexpr std::size_t kNameMaxChars = 19;
constexpr std::size_t kTextMaxChars = 59;

using tDatagramBytes = std::array<std::uint8_t, kDatagramSize>;

// One datagram as its fields. Which fields travel depends on Kind; the others
// are zero on the wire and left at their defaults by Decode. Name and Text are
// 8-bit strings in the peers' code page (Windows-1252); callers convert.
struct tDatagram {
    std::uint8_t Kind = nmHello; // raw: a received datagram may carry any value
    tAddress SenderAddress = 0;
    std::uint32_t BoardId = 0;
    std::uint8_t Turn = 0;
    std::uint16_t CellCode = 0;
    TileOrder Order;
    std::string Name;
    tAddress HomeAddress = 0;
    tAddress OriginKey = 0;
    std::string Text;
    // nmBoardState: HomeAddress, BoardId, Flags and the cell of each turn's
    // confirmed tile as its index in kCellCodes plus 1, 0 where not known.
    std::uint8_t Flags = 0;
    std::array<std::uint8_t, kTurnsPlayed> Cells{};
    // nmProgress: Flags, and each board the sender holds, as far as it has confirmed it.
    struct tProgressEntry {
        tAddress Home = 0;
        std::uint32_t BoardId = 0;
        std::uint8_t Confirmed = 0; // turns confirmed without a gap
        std::uint8_t Flags = 0;
        bool operator==(const tProgressEntry& o) const {
            return Home == o.Home && BoardId == o.BoardId && Confirmed == o.Confirmed &&
                   Flags == o.Flags;
        }
    };
    std::vector<tProgressEntry> Progress; // at most kProgressEntries

    static tDatagram Hello(tAddress sender);
    static tDatagram GameRunning(tAddress sender);
    static tDatagram NoPlayers(tAddress sender);
    static tDatagram RequestBoards(tAddress sender);
    static tDatagram Present(tAddress sender);
    static tDatagram BoardClosed(tAddress sender, std::uint32_t boardId);
    static tDatagram TileLaid(tAddress sender, std::uint32_t boardId, std::uint8_t turn,
                              std::uint16_t cellCode);
    static tDatagram TileConfirmed(tAddress sender, std::uint32_t boardId, std::uint8_t turn,
                                   std::uint16_t cellCode);
    // A board as its home PC is known to the receiver: both address fields
    // carry that address. Names longer than 19 bytes are cut.
    static tDatagram Board(const TileOrder& order, tAddress home, const std::string& name,
                           std::uint32_t boardId);
    // Texts longer than 59 bytes are cut; the origin key is the sender.
    static tDatagram TextMessage(tAddress sender, const std::string& text);
    static tDatagram BoardState(tAddress sender, tAddress home, std::uint32_t boardId,
                                const std::array<std::uint8_t, kTurnsPlayed>& cells,
                                std::uint8_t flags);
    // Entries past kProgressEntries are left out.
    static tDatagram ProgressOf(tAddress sender, const std::vector<tProgressEntry>& entries,
                                std::uint8_t flags = 0);
    static tDatagram BoardAgain(const TileOrder& order, tAddress home, const std::string& name,
                                std::uint32_t boardId);

    // Exactly 88 bytes; bytes no field of the kind uses are zero.
    tDatagramBytes Encode() const;
    // Refuses a buffer that is not exactly 88 bytes long. Any kind byte is
    // accepted; fields are read only for the kinds 0..13.
    static std::optional<tDatagram> Decode(const std::uint8_t* data, std::size_t length);
};

// What the main thread is to do with a received datagram.
enum tReceiveAction : std::uint8_t {
    raIgnore,
    raAnswerHello,      // AnswerHello(SenderAddress, false)
    raAnswerRequest,    // AnswerHello(SenderAddress, true)
    raShowGameRunning,  // message about SenderAddress
    raShowNoPlayers,    // message about SenderAddress
    raCloseRemoteBoard, // CloseRemoteBoard(SenderAddress, BoardId)
    raTileLaid,         // ApplyRemoteMove(SenderAddress, BoardId, false, CellCode, Turn)
    raTileConfirmed,    // ApplyRemoteMove(SenderAddress, BoardId, true, CellCode, Turn)
    raAddBoard,         // if AcceptTileOrder(SenderAddress, Order):
                        //     AddBoard(SenderAddress, HomeAddressOf(d), BoardId, Name)
    raShowText,         // ShowText(SenderAddress, OriginKey, Text)
    raRegisterPeer,     // RegisterPeer(SenderAddress)
    raBoardState,       // a copy merges the confirmed cells
    raProgress,         // the sender's acknowledgement
    raAddBoardAgain,    // as raAddBoard, from a PC that runs this program
};

// The checks of the receiving rules that need no window: zero senders (and
// zero home addresses of boards), unknown kinds, the PC's own broadcasts
// where the handler would ignore them anyway, and board announcements whose
// tile order is no permutation of the 27 tiles (taking one over would break
// the game).
tReceiveAction ReceiveActionFor(const tDatagram& d, const tIpList& own);

// The home address of an announced board: nmOwnBoard names it only once, at
// the sender field.
tAddress HomeAddressOf(const tDatagram& d);
