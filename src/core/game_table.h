// The game table of one PC: its boards as data, the course of a game and the protocol.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/datagram.h"
#include "core/high_score.h"
#include "core/ip_list.h"
#include "core/random.h"
#include "core/tile_order.h"
#include "core/tiles.h"

enum class tBoardKind : std::uint8_t { Local, Computer, Remote };
// The current tile of a board: offered on no cell, laid on one, or confirmed there.
enum class tTilePhase : std::uint8_t { Offered, Laid, Confirmed };

// One board as data. Key names it within its table for the views; it is
// never reused.
struct tTableBoard {
    int Key = 0;
    tBoardKind Kind = tBoardKind::Local;
    std::string Name;    // the player's name (UTF-8)
    std::string Caption; // the window caption: the name, or "\\" sender "\" name for a remote board
    std::uint32_t BoardId = 0;
    tIpList OwnerAddresses; // entry 0 names the home PC
    std::uint16_t Turn = 1;
    tTilePhase Phase = tTilePhase::Offered;
    // CellOf[place]: the cell code the tile of stock place 1..27 lies on, 0 for none.
    std::array<std::uint16_t, kTileCount + 1> CellOf{};
    std::array<thxNummer, kTileCount + 1> TileAt{}; // tile number of each stock place
    bool TakesPart = false;
    bool AwaitingTile = true;
    int RatingItem = 0; // 0 points, 1 quality
    std::uint16_t Total = 0;
    // The cell of each turn's confirmed tile as far as this PC knows it, as
    // its index in kCellCodes plus 1; 0 where not known. A copy learns turns
    // ahead of its own from moves that overtake others and from repairs, and
    // plays them once it gets there.
    std::array<std::uint8_t, kTurnsPlayed + 1> Known{};

    bool IsRemote() const { return Kind == tBoardKind::Remote; }
    bool IsComputer() const { return Kind == tBoardKind::Computer; }
    bool IsLocalHuman() const { return Kind == tBoardKind::Local; }
    // The stock place lying on a cell, 0 when the cell is free or no cell.
    int PlaceOn(std::uint16_t cellCode) const;
    bool CellFree(std::uint16_t cellCode) const {
        return IsCellCode(cellCode) && !PlaceOn(cellCode);
    }
    // The board window's Ok: a laid tile waits for it, and a finished board closes with it.
    bool OkEnabled() const;
    // Turns confirmed from the first on without a gap.
    int ConfirmedTurns() const;
    // The cells as the scoring sees them, the current tile included.
    struct tBoard Cells() const;
};

struct tSend {
    tDatagram Datagram;
    tAddress To = 0;
};

struct tShownText {
    tAddress Sender = 0;
    tAddress Key = 0;
    std::string Text; // UTF-8
};

// What an operation caused, for the views to show and the send path to send.
struct tTableEffects {
    std::vector<tSend> Sends;      // in order
    std::vector<int> Added;        // boards that need a window
    std::vector<int> Changed;      // boards whose state changed
    std::vector<int> Closed;       // boards that left the table: their windows close
    std::optional<int> Front;      // the board to restore and bring to the front
    std::optional<bool> NewPlayer; // the new-player commands enabled or disabled
    std::optional<bool> NextEnabled;
    std::optional<bool> Demo;             // ShowDemo(show)
    bool OpenMessages = false;            // a peer registered: the messages window opens
    std::vector<tAddress> ForgottenPeers; // to leave the messages window's address box
    std::vector<tShownText> Texts;
    // PCs that run this program and have kept a game waiting for 30 s: ask the
    // player whether to go on without them. PeersBack: such a PC spoke again.
    std::vector<tAddress> AskSilent;
    std::vector<tAddress> PeersBack;
    std::vector<std::string> Log; // faults worth a line in the log
    // An answer to this PC's invitation: the kind (nmGameRunning or
    // nmNoPlayers) and who sent it.
    std::optional<tDatagram> InvitationAnswer;
    bool StoreResults = false; // the high-score list and the placement are to be saved

    void Merge(tTableEffects&& later);
};

// The end of a game as the players are told: every board's points, best
// first, and the entries it brought into the high-score list.
struct tGameResult {
    struct tScore {
        std::string Name;
        std::uint16_t Points = 0;
    };
    std::vector<tScore> Totals;
    struct tNewEntry {
        std::string Name;
        int Place = 0; // 1..5
    };
    std::vector<tNewEntry> NewHighScores;
};

// Base: the protocol of the system alone, as a PC without repair plays it.
// Repair: also kinds 11..13 between PCs that speak them, and towards the
// others only what their remote-move rules accept.
enum class tProtocol : std::uint8_t { Base, Repair };

class tGameTable {
public:
    explicit tGameTable(std::uint64_t seed = 0);

    // The own addresses and peers; the view fills the own ones from the network start.
    tIpList OwnAddresses;
    tIpList PeerPcs;
    tHighScore HighScores;
    TileOrder Order;
    tProtocol Protocol = tProtocol::Repair;

    // The address a datagram to a destination leaves from, 0 when unknown;
    // the platform knows the routes, a simulation leaves it unset.
    std::function<tAddress(tAddress destination)> RouteSource;

    tRandom& Random() { return FRandom; }
    // The boards in child order: index 0 is the front one.
    std::vector<const tTableBoard*> Boards() const;
    const tTableBoard* Board(int key) const;
    std::optional<int> ActiveBoard() const { return FActive; }
    bool NewPlayerEnabled() const { return FNewPlayer; }
    bool NextEnabled() const { return FNextEnabled; }
    bool IsLocal(const tTableBoard& board) const;
    // The game that ended last, kept until the next board is added.
    const std::optional<tGameResult>& LastResult() const { return FLastResult; }
    // When a PC was last heard from (the clock of ReceiveDatagram); nullopt: never.
    std::optional<std::int64_t> LastHeardMs(tAddress address) const;

    // The views tell the table what the user did to the windows.
    void Activate(std::optional<int> key);
    // A board takes part from its first showing on.
    void BoardShown(int key);

    // The game flow.
    tTableEffects AddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                           const std::string& name);
    bool AcceptTileOrder(tAddress senderAddress, const TileOrder& order);
    tTableEffects NextPlayerDue();
    tTableEffects ComputerMove(int key);
    // A move of the user: refused (no effects) where the rules allow none.
    tTableEffects PlaceTile(int key, std::uint16_t cellCode);
    tTableEffects ConfirmTile(int key);
    // The board window closes (by the user, or as the table asked).
    tTableEffects LeaveGame(int key);
    tTableEffects CollectResults();
    void ShuffleTileOrder();
    void SetRatingItem(int key, int item);
    // Whether the user may take the board's current tile in hand.
    bool CanMoveTile(int key, int place) const;

    // The protocol.
    tTableEffects RegisterPeer(tAddress address);
    tTableEffects ForgetPeer(tAddress address);
    void PurgePeers();
    tAddress OwnAddressFor(tAddress destination) const;
    // The same choice among a board's owner addresses.
    tAddress OwnerAddressFor(const tTableBoard& board, tAddress peer) const;
    tTableEffects BroadcastHello();
    tTableEffects AnswerHello(tAddress sender, bool request);
    tTableEffects CloseRemoteBoard(tAddress sender, std::uint32_t boardId);
    tTableEffects ApplyRemoteMove(tAddress sender, std::uint32_t boardId, bool confirmed,
                                  std::uint16_t cellCode, int turn);
    tTableEffects RemoteMove(int key, int turn, std::uint16_t cellCode, bool confirm);
    tTableEffects AnnounceTo(int key, tAddress peer);
    // The protocol part of an invitation of the PC at address; nowMs: a steady clock.
    tTableEffects Invite(tAddress address, std::int64_t nowMs);
    tTableEffects ReceiveDatagram(const tDatagram& datagram, std::int64_t nowMs);
    // Repairs and heartbeats, on a clock that ticks a few times a second
    // while NeedsTicks holds.
    tTableEffects Tick(std::int64_t nowMs);
    bool NeedsTicks() const;
    // The player's answer about a silent PC. goOn: its boards leave the game
    // here and at the other PCs that run this program; otherwise ask again
    // after another while.
    tTableEffects AnswerSilent(tAddress peer, bool goOn, std::int64_t nowMs);
    // The main window closes during a game: the peers hear that its boards leave.
    tTableEffects CloseAll();
    // Whether a PC has shown that it speaks the repair kinds.
    bool Repairs(tAddress peer) const;

private:
    tTableBoard* Find(int key);
    void SendToPeers(const tTableBoard& board, tDatagram message, tTableEffects& fx);
    void Send(const tDatagram& datagram, tAddress to, tTableEffects& fx) const;
    void StartGame(tTableBoard& board);
    void NextTile(tTableBoard& board, tTableEffects& fx);
    void Evaluate(tTableBoard& board);
    void Lay(tTableBoard& board, int place, std::uint16_t cellCode, tTableEffects& fx);
    void Confirm(tTableBoard& board, tTableEffects& fx);
    bool PreferredOver(const tTableBoard& board, const tTableBoard& current) const;
    bool TakeInvitationAnswer(tAddress sender, std::int64_t nowMs);
    void DropOldInvitations(std::int64_t nowMs);
    std::uint32_t NewLocalBoardId();
    tAddress Preferred(const tIpList& list, tAddress destination) const;
    // Turns a copy learnt before it got there are played once the operation
    // that moved it on is done, as a queued call would.
    void PlayKnownMoves(tTableEffects& fx);
    void DoNextPlayerDue(tTableEffects& fx);
    void DoLeaveGame(int key, tTableEffects& fx);
    void DoRemoteMove(tTableBoard& board, int turn, std::uint16_t cellCode, bool confirm,
                      tTableEffects& fx);
    void NoteGameOver(const tHighScore& before);
    void DoAddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                    const std::string& name, tTableEffects& fx);

    tRandom FRandom;
    std::vector<tTableBoard> FBoards; // in child order
    std::optional<int> FActive;
    int FNextKey = 1;
    std::uint32_t FNextBoardId = 0;
    bool FNewPlayer = true;
    bool FNextEnabled = false;
    // Owners of boards closing right now: they still count for PurgePeers.
    std::vector<tIpList> FClosingOwners;
    std::vector<int> FKnownDue; // copies that reached a turn they already know
    std::optional<tGameResult> FLastResult;

    // What this PC knows of each peer, for repairs and for silence.
    struct tPeer {
        tAddress Address = 0;
        std::optional<std::int64_t> HeardMs;
        bool Repairs = false;                         // it sent a kind above 10
        std::vector<tDatagram::tProgressEntry> Holds; // its last progress
        std::optional<std::int64_t> PlayingMs; // its last progress naming a board still in play
        std::int64_t AskedMs = -1;             // when the player was last asked about it
        bool Asking = false;                   // the question is open
        int Reached = 1;             // a PC without repair: the turn its own boards showed
        std::vector<tDatagram> Held; // moves held for it until it reaches their turn
    };
    std::vector<tPeer> FPeers;
    tPeer& PeerInfo(tAddress address);
    const tPeer* FindPeer(tAddress address) const;
    // Boards of this PC that have left the game, until every peer that held
    // a copy has acknowledged it.
    struct tGone {
        tAddress Home = 0;
        std::uint32_t BoardId = 0;
        std::int64_t SinceMs = 0;
        // This PC let the board go (its own, or a silent PC's), rather than
        // heard of it: only then does it tell the others.
        bool Authority = false;
        bool Finished = false; // it had played every turn; the cells it confirmed
        std::array<std::uint8_t, kTurnsPlayed> Cells{};
        std::vector<tAddress> ToldOld; // PCs without repair told of the closing
    };
    void Gone(const tTableBoard& board, bool authority);
    bool LagsBehind(const tPeer& peer, const tTableBoard& board) const;
    std::vector<tGone> FGone;
    // PCs that held boards of the running game: each hears every closing,
    // also once no board lists it any more.
    tIpList FGamePeers;
    std::int64_t FNowMs = 0;
    std::int64_t FLastProgressMs = -1;

    tTableBoard* FindCopy(tAddress home, std::uint32_t boardId);
    bool HoldsFor(const tPeer& peer, int turn) const;
    // The turn a closing of a finished board waits for at a PC without
    // repair: past every turn, so it waits until that PC's boards have all
    // left, since the PC forgets a peer as soon as its last board goes.
    static constexpr int kClosingTurn = kTurnsPlayed + 2;
    void Heard(tAddress sender, tTableEffects& fx);
    void ReachedTurn(tAddress sender, int turn, tTableEffects& fx);
    void Learn(tTableBoard& board, int turn, int cellIndex, tTableEffects& fx);
    void Conflict(tTableBoard& board, const std::string& what, tTableEffects& fx);
    void DoRepairMove(tTableBoard& board, int turn, std::uint16_t cellCode, bool confirm,
                      tTableEffects& fx);
    void MergeState(const tDatagram& d, tTableEffects& fx);
    void TakeProgress(const tDatagram& d);
    // What one peer needs to hear of: its own boards, and the boards of PCs
    // that cannot repair for themselves.
    std::vector<tDatagram::tProgressEntry> ProgressEntries(tAddress to) const;
    bool RepairsFor(tAddress home) const;
    tDatagram StateOf(const tTableBoard& board, tAddress to) const;
    void RepairPeer(const tPeer& peer, tTableEffects& fx);
    void FlushHeld(tPeer& peer, bool all, tTableEffects& fx);
    struct tPendingInvitation {
        tAddress address;
        std::int64_t sentMs;
    };
    std::vector<tPendingInvitation> FInvitations;
};
