// The game table's repairs: lost, repeated and late datagrams, silent PCs, PCs without repair.
#include <algorithm>
#include <utility>

#include "core/game_table.h"
#include "core/text_codec.h"

namespace {
// A PC that runs this program says what it holds this often during a game;
// that is its heartbeat too.
constexpr std::int64_t kProgressMs = 1000;
// Silence for this long while a game waits for a PC makes the player decide.
constexpr std::int64_t kSilentMs = 30000;
// A board that left the game is repeated as closed at most this long.
constexpr std::int64_t kGoneMs = 60000;
// A PC that has heard from a game this recently keeps saying what it holds.
constexpr std::int64_t kGameNearMs = 5000;

bool IsMove(const tDatagram& d) {
    return d.Kind == nmTileLaid || d.Kind == nmTileConfirmed;
}
} // namespace

tGameTable::tPeer& tGameTable::PeerInfo(tAddress address) {
    for (tPeer& peer : FPeers)
        if (peer.Address == address)
            return peer;
    FPeers.push_back({});
    FPeers.back().Address = address;
    return FPeers.back();
}

const tGameTable::tPeer* tGameTable::FindPeer(tAddress address) const {
    for (const tPeer& peer : FPeers)
        if (peer.Address == address)
            return &peer;
    return nullptr;
}

bool tGameTable::Repairs(tAddress peer) const {
    const tPeer* info = FindPeer(peer);
    return info && info->Repairs;
}

void tGameTable::Gone(const tTableBoard& board, bool authority) {
    tGone g;
    g.Home = board.OwnerAddresses.Items(0);
    g.BoardId = board.BoardId;
    g.SinceMs = FNowMs;
    g.Authority = authority;
    g.Finished = board.Turn == kLastTurn;
    std::copy(board.Known.begin() + 1, board.Known.end(), g.Cells.begin());
    FGone.push_back(g);
}

bool tGameTable::LagsBehind(const tPeer& peer, const tTableBoard& board) const {
    for (const auto& h : peer.Holds)
        if (h.Home == board.OwnerAddresses.Items(0) && h.BoardId == board.BoardId)
            return !(h.Flags & (kStateClosed | kStateEnded));
    return false;
}

tTableBoard* tGameTable::FindCopy(tAddress home, std::uint32_t boardId) {
    for (tTableBoard& b : FBoards)
        if (b.BoardId == boardId && b.OwnerAddresses.Contains(home))
            return &b;
    return nullptr;
}

// A PC without repair takes a move only for the turn its copy has reached,
// which it shows by the moves of its own boards. A PC without boards of its
// own shows nothing and gets every move at once, as always.
bool tGameTable::HoldsFor(const tPeer& peer, int turn) const {
    const bool hasBoards = std::any_of(FBoards.begin(), FBoards.end(), [&](const tTableBoard& b) {
        return b.OwnerAddresses.Items(0) == peer.Address;
    });
    return hasBoards && turn > peer.Reached;
}

void tGameTable::Heard(tAddress sender, tTableEffects& fx) {
    tPeer& peer = PeerInfo(sender);
    peer.HeardMs = FNowMs;
    if (peer.Asking) {
        peer.Asking = false;
        fx.PeersBack.push_back(sender);
    }
}

void tGameTable::ReachedTurn(tAddress sender, int turn, tTableEffects& fx) {
    tPeer& peer = PeerInfo(sender);
    if (turn <= peer.Reached)
        return;
    peer.Reached = std::min(turn, kTurnsPlayed + 1);
    FlushHeld(peer, false, fx);
}

// Sends the held moves the peer can take now, in their order; of a turn's
// moves of a board only the last counts, and after a confirmation none.
void tGameTable::FlushHeld(tPeer& peer, bool all, tTableEffects& fx) {
    std::vector<tDatagram> keep;
    const std::vector<tDatagram> held = std::exchange(peer.Held, {});
    for (std::size_t i = 0; i < held.size(); ++i) {
        const tDatagram& d = held[i];
        const int turn = IsMove(d) ? d.Turn : kClosingTurn;
        if (!all && turn > peer.Reached) {
            keep.push_back(d);
            continue;
        }
        const bool superseded =
            d.Kind == nmTileLaid && std::any_of(held.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                held.end(), [&](const tDatagram& later) {
                                                    return IsMove(later) &&
                                                           later.BoardId == d.BoardId &&
                                                           later.Turn == d.Turn;
                                                });
        if (!superseded)
            Send(d, peer.Address, fx);
    }
    peer.Held = std::move(keep);
}

void tGameTable::Conflict(tTableBoard& board, const std::string& what, tTableEffects& fx) {
    fx.Log.push_back("board " + std::to_string(board.BoardId) + " of PC " +
                     DottedAddress(board.OwnerAddresses.Items(0)) + " leaves the game: " + what);
    DoLeaveGame(board.Key, fx);
}

// A confirmed cell never changes: what a copy learns must agree with what it
// knows; a turn it has reached is played at once, a later one when it gets there.
void tGameTable::Learn(tTableBoard& board, int turn, int cellIndex, tTableEffects& fx) {
    std::uint8_t& known = board.Known[static_cast<std::size_t>(turn)];
    const auto cell = kCellCodes[static_cast<std::size_t>(cellIndex)];
    if (known != 0 && known != cellIndex + 1) {
        Conflict(board, "turn " + std::to_string(turn) + " confirmed on two cells", fx);
        return;
    }
    known = static_cast<std::uint8_t>(cellIndex + 1);
    const bool played =
        turn < board.Turn || (turn == board.Turn && board.Phase == tTilePhase::Confirmed);
    if (played) {
        if (board.CellOf[static_cast<std::size_t>(turn)] != cell)
            Conflict(board, "turn " + std::to_string(turn) + " lies elsewhere", fx);
        return;
    }
    if (turn != board.Turn)
        return;
    const int on = board.PlaceOn(cell);
    if (on != 0 && on != turn) {
        Conflict(board, "turn " + std::to_string(turn) + " on an occupied cell", fx);
        return;
    }
    if (on != turn)
        Lay(board, turn, cell, fx);
    Confirm(board, fx);
}

void tGameTable::DoRepairMove(tTableBoard& board, int turn, std::uint16_t cellCode, bool confirm,
                              tTableEffects& fx) {
    const int cell = CellIndex(cellCode);
    if (cell < 0 || turn < 1 || turn > kTurnsPlayed) {
        // No course has such a move: it comes from a broken or hostile sender.
        DoLeaveGame(board.Key, fx);
        return;
    }
    if (confirm) {
        Learn(board, turn, cell, fx);
        return;
    }
    // A laid tile only moves the tile in play; an older or a later one says nothing.
    if (turn != board.Turn || board.Phase == tTilePhase::Confirmed)
        return;
    const int on = board.PlaceOn(cellCode);
    if (on != 0 && on != turn)
        Conflict(board, "turn " + std::to_string(turn) + " laid on an occupied cell", fx);
    else if (on != turn)
        Lay(board, turn, cellCode, fx);
}

void tGameTable::MergeState(const tDatagram& d, tTableEffects& fx) {
    tTableBoard* copy = FindCopy(d.HomeAddress, d.BoardId);
    if (!copy || IsLocal(*copy))
        return;
    if (d.Flags & kStateClosed) {
        Gone(*copy, false);
        DoLeaveGame(copy->Key, fx);
        return;
    }
    const int key = copy->Key;
    for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
        const int known = d.Cells[static_cast<std::size_t>(turn - 1)];
        if (known < 1 || known > kCellCount)
            continue;
        tTableBoard* board = Find(key);
        if (!board)
            return;
        Learn(*board, turn, known - 1, fx);
    }
}

void tGameTable::TakeProgress(const tDatagram& d) {
    tPeer& peer = PeerInfo(d.SenderAddress);
    if ((d.Flags & kProgressPlaying) ||
        std::any_of(d.Progress.begin(), d.Progress.end(),
                    [](const auto& e) { return !(e.Flags & kStateClosed); }))
        peer.PlayingMs = FNowMs;
    for (const tDatagram::tProgressEntry& e : d.Progress) {
        const auto it = std::find_if(peer.Holds.begin(), peer.Holds.end(), [&](const auto& h) {
            return h.Home == e.Home && h.BoardId == e.BoardId;
        });
        if (it != peer.Holds.end())
            *it = e;
        else
            peer.Holds.push_back(e);
    }
}

bool tGameTable::RepairsFor(tAddress home) const {
    return OwnAddresses.Contains(home) || Repairs(home);
}

std::vector<tDatagram::tProgressEntry> tGameTable::ProgressEntries(tAddress to) const {
    std::vector<tDatagram::tProgressEntry> entries;
    for (const tTableBoard& b : FBoards) {
        const tAddress home = b.OwnerAddresses.Items(0);
        if (home == to || !RepairsFor(home))
            entries.push_back({home, b.BoardId, static_cast<std::uint8_t>(b.ConfirmedTurns()),
                               b.Turn == kLastTurn ? kStateEnded : std::uint8_t{0}});
    }
    for (const tGone& g : FGone)
        if (g.Home == to || !RepairsFor(g.Home))
            entries.push_back({g.Home, g.BoardId, 0, kStateClosed});
    return entries;
}

tDatagram tGameTable::StateOf(const tTableBoard& board, tAddress to) const {
    std::array<std::uint8_t, kTurnsPlayed> cells{};
    std::copy(board.Known.begin() + 1, board.Known.end(), cells.begin());
    return tDatagram::BoardState(OwnAddressFor(to), board.OwnerAddresses.Items(0), board.BoardId,
                                 cells, 0);
}

// What a PC that runs this program lacks, after its progress: boards it has
// not heard of while players may join, confirmed turns, and closings.
void tGameTable::RepairPeer(const tPeer& peer, tTableEffects& fx) {
    if (Protocol != tProtocol::Repair)
        return;
    auto holds = [&](tAddress home, std::uint32_t id) -> const tDatagram::tProgressEntry* {
        for (const auto& h : peer.Holds)
            if (h.Home == home && h.BoardId == id)
                return &h;
        return nullptr;
    };
    const tAddress own = OwnAddressFor(peer.Address);
    for (const tTableBoard& b : FBoards) {
        const tAddress home = b.OwnerAddresses.Items(0);
        // Each PC that repairs speaks for its own boards; the boards of the
        // others are worth passing on by anyone who saw their moves.
        if (home == peer.Address || (!OwnAddresses.Contains(home) && RepairsFor(home)))
            continue;
        const tDatagram::tProgressEntry* h = holds(home, b.BoardId);
        if (!h) {
            if (IsLocal(b) && FNewPlayer)
                Send(tDatagram::BoardAgain(
                         Order, own, Utf8ToCp1252(b.Name).substr(0, kNameMaxChars), b.BoardId),
                     peer.Address, fx);
            continue;
        }
        if (!(h->Flags & kStateClosed) && h->Confirmed < b.ConfirmedTurns())
            Send(StateOf(b, peer.Address), peer.Address, fx);
    }
    for (const tGone& g : FGone) {
        const tDatagram::tProgressEntry* h = holds(g.Home, g.BoardId);
        if (!g.Authority || g.Home == peer.Address || !h || (h->Flags & kStateClosed))
            continue;
        // A finished board closes at a PC only once that PC's game has ended
        // too, or the copy would leave without its total.
        if (g.Finished && !(h->Flags & kStateEnded)) {
            if (h->Confirmed < kTurnsPlayed)
                Send(tDatagram::BoardState(own, g.Home, g.BoardId, g.Cells, 0), peer.Address, fx);
            continue;
        }
        Send(tDatagram::BoardState(own, g.Home, g.BoardId, {}, kStateClosed), peer.Address, fx);
    }
}

bool tGameTable::NeedsTicks() const {
    if (Protocol != tProtocol::Repair)
        return false;
    if (!FBoards.empty() || !FGone.empty())
        return true;
    // A PC that heard of a game lately answers what it holds, so that a board
    // whose announcement it missed can still reach it.
    return std::any_of(FPeers.begin(), FPeers.end(), [this](const tPeer& p) {
        return p.PlayingMs && FNowMs - *p.PlayingMs < kGameNearMs;
    });
}

tTableEffects tGameTable::Tick(std::int64_t nowMs) {
    tTableEffects fx;
    FNowMs = nowMs;
    if (Protocol != tProtocol::Repair)
        return fx;
    // A closing is told until every PC that held the board has let it go.
    auto settled = [this, nowMs](const tGone& g) {
        if (nowMs - g.SinceMs > kGoneMs)
            return true;
        if (nowMs - g.SinceMs < kProgressMs * 2)
            return false;
        return std::none_of(FPeers.begin(), FPeers.end(), [&](const tPeer& p) {
            return p.Repairs && std::any_of(p.Holds.begin(), p.Holds.end(), [&](const auto& h) {
                       return h.Home == g.Home && h.BoardId == g.BoardId &&
                              !(h.Flags & kStateClosed);
                   });
        });
    };
    FGone.erase(std::remove_if(FGone.begin(), FGone.end(), settled), FGone.end());
    for (tPeer& peer : FPeers) {
        if (!peer.Held.empty() && !HoldsFor(peer, kClosingTurn))
            FlushHeld(peer, true, fx);
        const bool waits = std::any_of(FBoards.begin(), FBoards.end(), [&](const tTableBoard& b) {
            return b.OwnerAddresses.Items(0) == peer.Address;
        });
        if (peer.Repairs && waits && peer.HeardMs && nowMs - *peer.HeardMs >= kSilentMs &&
            !peer.Asking && (peer.AskedMs < 0 || nowMs - peer.AskedMs >= kSilentMs)) {
            peer.Asking = true;
            peer.AskedMs = nowMs;
            fx.AskSilent.push_back(peer.Address);
        }
    }
    if (FLastProgressMs >= 0 && nowMs - FLastProgressMs < kProgressMs)
        return fx;
    FLastProgressMs = nowMs;
    if (!NeedsTicks())
        return fx;
    std::vector<tAddress> peers;
    for (int i = 0; i < PeerPcs.Count(); ++i)
        peers.push_back(PeerPcs.Items(i));
    for (int i = 0; i < FGamePeers.Count(); ++i)
        if (!PeerPcs.Contains(FGamePeers.Items(i)))
            peers.push_back(FGamePeers.Items(i));
    for (const tAddress to : peers) {
        const std::vector<tDatagram::tProgressEntry> entries = ProgressEntries(to);
        // The other PCs ignore what they do not speak.
        std::size_t at = 0;
        do {
            const std::vector<tDatagram::tProgressEntry> chunk(
                entries.begin() + static_cast<std::ptrdiff_t>(at),
                entries.begin() +
                    static_cast<std::ptrdiff_t>(std::min(entries.size(), at + kProgressEntries)));
            Send(tDatagram::ProgressOf(OwnAddressFor(to), chunk,
                                       FBoards.empty() ? 0 : kProgressPlaying),
                 to, fx);
            at += kProgressEntries;
        } while (at < entries.size());
        // A PC without repair forgets the PCs whose boards have all left, and
        // so never tells them its own closings: pass them on, in its name, to
        // a PC without repair that has played every turn.
        const tPeer* info = FindPeer(to);
        const bool done = info && (info->Reached >= kTurnsPlayed || !HoldsFor(*info, kClosingTurn));
        if (info && !info->Repairs && done)
            for (tGone& g : FGone)
                if (g.Finished && g.Home != to && !RepairsFor(g.Home) &&
                    nowMs - g.SinceMs >= kProgressMs &&
                    std::find(g.ToldOld.begin(), g.ToldOld.end(), to) == g.ToldOld.end()) {
                    g.ToldOld.push_back(to);
                    Send(tDatagram::BoardClosed(g.Home, g.BoardId), to, fx);
                }
        // A PC without repair tolerates our confirmation of the turn it has
        // reached, again and again; it may have lost it.
        if (!info || info->Repairs || !HoldsFor(*info, kClosingTurn))
            continue;
        const int turn = std::min(info->Reached, kTurnsPlayed);
        for (const tTableBoard& b : FBoards)
            if (IsLocal(b) && b.Known[static_cast<std::size_t>(turn)] != 0)
                Send(tDatagram::TileConfirmed(
                         OwnerAddressFor(b, to), b.BoardId, static_cast<std::uint8_t>(turn),
                         kCellCodes[b.Known[static_cast<std::size_t>(turn)] - 1u]),
                     to, fx);
    }
    return fx;
}

tTableEffects tGameTable::AnswerSilent(tAddress peer, bool goOn, std::int64_t nowMs) {
    tTableEffects fx;
    FNowMs = nowMs;
    tPeer& info = PeerInfo(peer);
    info.Asking = false;
    info.AskedMs = nowMs;
    if (!goOn)
        return fx;
    std::vector<int> keys;
    for (const tTableBoard& b : FBoards)
        if (b.OwnerAddresses.Items(0) == peer) {
            keys.push_back(b.Key);
            // The other PCs that run this program let the boards go as well.
            Gone(b, true);
        }
    for (int key : keys)
        DoLeaveGame(key, fx);
    PlayKnownMoves(fx);
    return fx;
}

tTableEffects tGameTable::CloseAll() {
    tTableEffects fx;
    if (OwnAddresses.Count() == 0)
        return fx;
    // Nothing will be sent later: what was held goes now, before the closings.
    for (tPeer& peer : FPeers)
        FlushHeld(peer, true, fx);
    std::vector<tAddress> peers;
    for (int i = PeerPcs.Count() - 1; i >= 0; --i)
        peers.push_back(PeerPcs.Items(i));
    for (int i = 0; i < FGamePeers.Count(); ++i)
        if (!PeerPcs.Contains(FGamePeers.Items(i)))
            peers.push_back(FGamePeers.Items(i));
    for (const tTableBoard& b : FBoards)
        if (IsLocal(b) && b.TakesPart)
            for (const tAddress peer : peers)
                Send(tDatagram::BoardClosed(OwnerAddressFor(b, peer), b.BoardId), peer, fx);
    return fx;
}
