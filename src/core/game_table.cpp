// The game table: the course of a game and what each move and datagram does.
#include "core/game_table.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/computer_player.h"
#include "core/remote_move.h"
#include "core/scoring.h"
#include "core/text_codec.h"

namespace {
// How long an invitation waits for its refusal; a real answer comes within
// a round trip.
constexpr std::int64_t kInvitationAnswerMs = 10000;

template <typename T> void Append(std::vector<T>& to, std::vector<T>&& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// The first characters of a name, counted as characters, not bytes.
std::string WireName(const std::string& utf8) {
    return Utf8ToCp1252(utf8).substr(0, kNameMaxChars);
}
} // namespace

int tTableBoard::PlaceOn(std::uint16_t cellCode) const {
    if (!IsCellCode(cellCode))
        return 0;
    for (int place = 1; place <= kTileCount; ++place)
        if (CellOf[static_cast<std::size_t>(place)] == cellCode)
            return place;
    return 0;
}

int tTableBoard::ConfirmedTurns() const {
    int n = 0;
    while (n < kTurnsPlayed && Known[static_cast<std::size_t>(n + 1)] != 0)
        ++n;
    return n;
}

bool tTableBoard::OkEnabled() const {
    if (IsRemote())
        return false;
    return Turn == kLastTurn || (Turn <= kTurnsPlayed && Phase == tTilePhase::Laid);
}

tBoard tTableBoard::Cells() const {
    tBoard board;
    for (int place = 1; place <= kTileCount; ++place)
        if (const std::uint16_t cell = CellOf[static_cast<std::size_t>(place)])
            board.Lay(cell, TileAt[static_cast<std::size_t>(place)]);
    return board;
}

void tTableEffects::Merge(tTableEffects&& later) {
    Append(Sends, std::move(later.Sends));
    Append(Added, std::move(later.Added));
    Append(Changed, std::move(later.Changed));
    Append(Closed, std::move(later.Closed));
    Append(ForgottenPeers, std::move(later.ForgottenPeers));
    Append(Texts, std::move(later.Texts));
    Append(AskSilent, std::move(later.AskSilent));
    Append(PeersBack, std::move(later.PeersBack));
    Append(Log, std::move(later.Log));
    if (later.Front)
        Front = later.Front;
    if (later.NewPlayer)
        NewPlayer = later.NewPlayer;
    if (later.NextEnabled)
        NextEnabled = later.NextEnabled;
    if (later.Demo)
        Demo = later.Demo;
    if (later.InvitationAnswer)
        InvitationAnswer = std::move(later.InvitationAnswer);
    OpenMessages = OpenMessages || later.OpenMessages;
    StoreResults = StoreResults || later.StoreResults;
}

tGameTable::tGameTable(std::uint64_t seed) : FRandom(seed) {
    ShuffleTileOrder();
}

std::vector<const tTableBoard*> tGameTable::Boards() const {
    std::vector<const tTableBoard*> boards;
    boards.reserve(FBoards.size());
    for (const tTableBoard& b : FBoards)
        boards.push_back(&b);
    return boards;
}

const tTableBoard* tGameTable::Board(int key) const {
    for (const tTableBoard& b : FBoards)
        if (b.Key == key)
            return &b;
    return nullptr;
}

tTableBoard* tGameTable::Find(int key) {
    return const_cast<tTableBoard*>(Board(key));
}

bool tGameTable::IsLocal(const tTableBoard& board) const {
    return board.OwnerAddresses.Count() > 0 && OwnAddresses.Contains(board.OwnerAddresses.Items(0));
}

void tGameTable::Activate(std::optional<int> key) {
    FActive.reset();
    if (!key)
        return;
    const auto it = std::find_if(FBoards.begin(), FBoards.end(),
                                 [&](const tTableBoard& b) { return b.Key == *key; });
    if (it == FBoards.end())
        return;
    std::rotate(FBoards.begin(), it, it + 1);
    FActive = key;
}

void tGameTable::BoardShown(int key) {
    if (tTableBoard* b = Find(key))
        b->TakesPart = true;
}

tAddress tGameTable::Preferred(const tIpList& list, tAddress destination) const {
    // With one address there is nothing to choose.
    if (list.Count() > 1 && RouteSource) {
        const tAddress source = RouteSource(destination);
        if (source != 0 && list.Contains(source))
            return source;
    }
    return ::OwnAddressFor(list, destination);
}

tAddress tGameTable::OwnAddressFor(tAddress destination) const {
    return Preferred(OwnAddresses, destination);
}

tAddress tGameTable::OwnerAddressFor(const tTableBoard& board, tAddress peer) const {
    return Preferred(board.OwnerAddresses, peer);
}

void tGameTable::Send(const tDatagram& datagram, tAddress to, tTableEffects& fx) const {
    fx.Sends.push_back({datagram, to});
}

void tGameTable::SendToPeers(const tTableBoard& board, tDatagram message, tTableEffects& fx) {
    std::vector<tAddress> peers;
    for (int i = PeerPcs.Count() - 1; i >= 0; --i)
        peers.push_back(PeerPcs.Items(i));
    // A PC purged from the peers may still hold copies of this game's boards.
    if (Protocol == tProtocol::Repair)
        for (int i = 0; i < FGamePeers.Count(); ++i)
            if (!PeerPcs.Contains(FGamePeers.Items(i)))
                peers.push_back(FGamePeers.Items(i));
    const bool move = message.Kind == nmTileLaid || message.Kind == nmTileConfirmed;
    for (const tAddress peer : peers) {
        message.SenderAddress = OwnerAddressFor(board, peer);
        const tPeer* info = FindPeer(peer);
        const int turn = move ? message.Turn : kClosingTurn;
        const bool finished = message.Kind == nmBoardClosed && board.Turn == kLastTurn;
        if (Protocol == tProtocol::Repair && info && !info->Repairs && (move || finished) &&
            HoldsFor(*info, turn)) {
            PeerInfo(peer).Held.push_back(message);
            continue;
        }
        // A copy that has not yet played every turn would close without its
        // total: the repair brings it to the end first, then closes it.
        if (finished && info && info->Repairs && LagsBehind(*info, board))
            continue;
        Send(message, peer, fx);
    }
}

std::uint32_t tGameTable::NewLocalBoardId() {
    if (FNextBoardId == 0)
        FNextBoardId = static_cast<std::uint32_t>(FRandom.Below(1 << 16)) << 16 |
                       static_cast<std::uint32_t>(FRandom.Below(1 << 16));
    std::uint32_t id = FNextBoardId++;
    while (id == 0)
        id = FNextBoardId++;
    return id;
}

void tGameTable::StartGame(tTableBoard& board) {
    board.Turn = 1;
    board.AwaitingTile = true;
    board.Phase = tTilePhase::Offered;
    board.CellOf.fill(0);
    for (int place = 1; place <= kTileCount; ++place) {
        const std::uint16_t n = Order.Tile(place);
        board.TileAt[static_cast<std::size_t>(place)] =
            static_cast<thxNummer>(n < kTileCount ? n : 0);
    }
}

void tGameTable::ShuffleTileOrder() {
    Order = ::ShuffleTileOrder(FRandom);
}

tTableEffects tGameTable::AddBoard(tAddress senderAddress, tAddress homeAddress,
                                   std::uint32_t boardId, const std::string& name) {
    tTableEffects fx;
    DoAddBoard(senderAddress, homeAddress, boardId, name, fx);
    return fx;
}

void tGameTable::DoAddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                            const std::string& name, tTableEffects& fx) {
    fx.Demo = false;
    if (senderAddress != 0)
        fx.Merge(RegisterPeer(senderAddress));
    bool create = FNewPlayer;
    if (create) {
        for (tTableBoard& b : FBoards) {
            if (b.OwnerAddresses.Contains(homeAddress) && b.BoardId == boardId) {
                create = false;
                if (!b.OwnerAddresses.Contains(senderAddress))
                    b.OwnerAddresses.Add(senderAddress);
            }
        }
    }
    if (!create)
        return;
    if (FBoards.empty()) {
        // A new game: what was known of the peers' last one goes; every PC
        // known now may watch it.
        FGamePeers = PeerPcs;
        for (tPeer& peer : FPeers) {
            peer.Reached = 1;
            peer.Held.clear();
        }
    }
    FLastResult.reset();
    tTableBoard board;
    board.Key = FNextKey++;
    board.Name = name;
    StartGame(board);
    if (senderAddress != 0) {
        board.Kind = tBoardKind::Remote;
        board.Caption = "\\\\" + DottedAddress(senderAddress) + "\\" + name;
        board.BoardId = boardId;
        board.OwnerAddresses.Add(homeAddress);
        if (senderAddress != homeAddress)
            board.OwnerAddresses.Add(senderAddress);
        for (const tAddress a : {homeAddress, senderAddress})
            if (!FGamePeers.Contains(a) && !OwnAddresses.Contains(a))
                FGamePeers.Add(a);
        const bool known = std::any_of(FBoards.begin(), FBoards.end(), [&](const tTableBoard& b) {
            return b.OwnerAddresses.Contains(senderAddress);
        });
        // A PC new to this game learns of the players here.
        if (!known)
            for (const tTableBoard& local : FBoards)
                if (IsLocal(local))
                    Send(tDatagram::Board(Order, OwnAddressFor(senderAddress),
                                          WireName(local.Caption), local.BoardId),
                         senderAddress, fx);
    } else {
        board.Kind = name == "PC" ? tBoardKind::Computer : tBoardKind::Local;
        board.Caption = name;
        board.BoardId = NewLocalBoardId();
        board.OwnerAddresses = OwnAddresses;
        for (int i = PeerPcs.Count() - 1; i >= 0; --i) {
            const tAddress peer = PeerPcs.Items(i);
            if (!FGamePeers.Contains(peer))
                FGamePeers.Add(peer);
            Send(tDatagram::Board(Order, OwnAddressFor(peer), WireName(name), board.BoardId), peer,
                 fx);
        }
    }
    // A new window comes up in front.
    FBoards.insert(FBoards.begin(), std::move(board));
    FActive = FBoards.front().Key;
    fx.Added.push_back(FBoards.front().Key);
    const auto awaiting = std::count_if(FBoards.begin(), FBoards.end(),
                                        [](const tTableBoard& b) { return b.AwaitingTile; });
    FNextEnabled = awaiting >= 2;
    fx.NextEnabled = FNextEnabled;
}

bool tGameTable::AcceptTileOrder(tAddress senderAddress, const TileOrder& order) {
    if (OwnAddresses.Contains(senderAddress))
        return false;
    if (FBoards.empty()) {
        Order = order;
        return true;
    }
    return order == Order;
}

bool tGameTable::PreferredOver(const tTableBoard& board, const tTableBoard& current) const {
    return board.Key != FActive && (IsLocal(board) || !IsLocal(current));
}

tTableEffects tGameTable::NextPlayerDue() {
    tTableEffects fx;
    DoNextPlayerDue(fx);
    PlayKnownMoves(fx);
    return fx;
}

void tGameTable::DoNextPlayerDue(tTableEffects& fx) {
    const auto playing = std::count_if(FBoards.begin(), FBoards.end(),
                                       [](const tTableBoard& b) { return b.TakesPart; });
    auto choose = [this](bool onlyAwaiting) {
        const tTableBoard* k = nullptr;
        for (const tTableBoard& b : FBoards) {
            if (onlyAwaiting && !(b.TakesPart && b.AwaitingTile))
                continue;
            if (!k || PreferredOver(b, *k))
                k = &b;
        }
        return k ? std::optional<int>(k->Key) : std::nullopt;
    };
    std::optional<int> k = choose(true);
    if (!k) {
        // Every board has confirmed: the turn is over.
        for (tTableBoard& b : FBoards)
            NextTile(b, fx);
        FNewPlayer = false;
        fx.NewPlayer = false;
        k = choose(false);
    }
    if (k) {
        Activate(k);
        fx.Front = k;
    }
    FNextEnabled = playing >= 2;
    fx.NextEnabled = FNextEnabled;
    const tHighScore before = HighScores;
    fx.Merge(CollectResults());
    NoteGameOver(before);
    if (playing == 0) {
        FNewPlayer = true;
        fx.NewPlayer = true;
        fx.Demo = true;
        for (int i = OwnAddresses.Count() - 1; i >= 0; --i)
            Send(tDatagram::Hello(OwnAddresses.Items(i)), kBroadcastAddress, fx);
        ShuffleTileOrder();
    }
}

void tGameTable::NoteGameOver(const tHighScore& before) {
    const bool over =
        !FBoards.empty() && std::all_of(FBoards.begin(), FBoards.end(),
                                        [](const tTableBoard& b) { return b.Turn == kLastTurn; });
    if (!over || FLastResult)
        return;
    tGameResult result;
    for (const tTableBoard& b : FBoards)
        result.Totals.push_back({b.Name, b.Total});
    std::stable_sort(result.Totals.begin(), result.Totals.end(),
                     [](const tGameResult::tScore& a, const tGameResult::tScore& b) {
                         return a.Points > b.Points;
                     });
    for (std::size_t i = 0; i < HighScores.size(); ++i)
        if (!HighScores[i].Name.empty() &&
            std::find(before.begin(), before.end(), HighScores[i]) == before.end())
            result.NewHighScores.push_back({HighScores[i].Name, static_cast<int>(i) + 1});
    FLastResult = std::move(result);
}

std::optional<std::int64_t> tGameTable::LastHeardMs(tAddress address) const {
    const tPeer* peer = FindPeer(address);
    return peer ? peer->HeardMs : std::nullopt;
}

void tGameTable::NextTile(tTableBoard& board, tTableEffects& fx) {
    fx.Changed.push_back(board.Key);
    if (board.Turn >= kTurnsPlayed) {
        // The board is full: its stock is revealed and the game is over.
        board.Turn = kLastTurn;
        board.Phase = tTilePhase::Confirmed;
        Evaluate(board);
        return;
    }
    ++board.Turn;
    board.Phase = tTilePhase::Offered;
    // The quality rating counts lines differently from turn 5 on.
    Evaluate(board);
    if (board.IsComputer())
        fx.Merge(ComputerMove(board.Key));
    board.AwaitingTile = true;
    if (board.IsRemote() && board.Known[board.Turn] != 0)
        FKnownDue.push_back(board.Key);
}

void tGameTable::PlayKnownMoves(tTableEffects& fx) {
    while (!FKnownDue.empty()) {
        const int key = FKnownDue.front();
        FKnownDue.erase(FKnownDue.begin());
        tTableBoard* board = Find(key);
        if (board && board->Turn <= kTurnsPlayed && board->Known[board->Turn] != 0)
            Learn(*board, board->Turn, board->Known[board->Turn] - 1, fx);
    }
}

void tGameTable::Evaluate(tTableBoard& board) {
    board.Total = EvaluateBoard(board.Cells(), RatingMode(board.RatingItem, board.Turn));
}

void tGameTable::SetRatingItem(int key, int item) {
    tTableBoard* board = Find(key);
    if (!board || (item != 0 && item != 1))
        return;
    board->RatingItem = item;
    Evaluate(*board);
}

tTableEffects tGameTable::ComputerMove(int key) {
    tTableEffects fx;
    tTableBoard* board = Find(key);
    if (!board || board->Turn > kTurnsPlayed)
        return fx;
    // A tile already lying somewhere competes for every free cell again.
    tBoard cells;
    for (int place = 1; place <= kTileCount; ++place)
        if (place != board->Turn && board->CellOf[static_cast<std::size_t>(place)])
            cells.Lay(board->CellOf[static_cast<std::size_t>(place)],
                      board->TileAt[static_cast<std::size_t>(place)]);
    const std::uint16_t chosen = ::ComputerMove(
        cells, board->TileAt[static_cast<std::size_t>(board->Turn)], board->Turn, FRandom);
    if (IsCellCode(chosen))
        Lay(*board, board->Turn, chosen, fx);
    return fx;
}

void tGameTable::Lay(tTableBoard& board, int place, std::uint16_t cellCode, tTableEffects& fx) {
    board.CellOf[static_cast<std::size_t>(place)] = cellCode;
    board.Phase = tTilePhase::Laid;
    if (IsLocal(board))
        SendToPeers(
            board,
            tDatagram::TileLaid(0, board.BoardId, static_cast<std::uint8_t>(board.Turn), cellCode),
            fx);
    Evaluate(board);
    fx.Changed.push_back(board.Key);
}

bool tGameTable::CanMoveTile(int key, int place) const {
    const tTableBoard* board = Board(key);
    return board && board->IsLocalHuman() && place == board->Turn && board->Turn >= 1 &&
           board->Turn <= kTurnsPlayed && board->Phase != tTilePhase::Confirmed;
}

tTableEffects tGameTable::PlaceTile(int key, std::uint16_t cellCode) {
    tTableEffects fx;
    tTableBoard* board = Find(key);
    if (board && CanMoveTile(key, board->Turn) && board->CellFree(cellCode))
        Lay(*board, board->Turn, cellCode, fx);
    return fx;
}

tTableEffects tGameTable::ConfirmTile(int key) {
    tTableEffects fx;
    tTableBoard* board = Find(key);
    if (!board || !board->OkEnabled())
        return fx;
    Confirm(*board, fx);
    PlayKnownMoves(fx);
    return fx;
}

void tGameTable::Confirm(tTableBoard& board, tTableEffects& fx) {
    if (board.Turn > kTurnsPlayed) {
        DoLeaveGame(board.Key, fx);
        return;
    }
    const std::uint16_t cell = board.CellOf[static_cast<std::size_t>(board.Turn)];
    if (!cell)
        return; // nothing laid yet: there is nothing to confirm
    board.AwaitingTile = false;
    board.Phase = tTilePhase::Confirmed;
    board.Known[board.Turn] = static_cast<std::uint8_t>(CellIndex(cell) + 1);
    fx.Changed.push_back(board.Key);
    if (IsLocal(board))
        SendToPeers(
            board,
            tDatagram::TileConfirmed(0, board.BoardId, static_cast<std::uint8_t>(board.Turn), cell),
            fx);
    DoNextPlayerDue(fx);
}

tTableEffects tGameTable::LeaveGame(int key) {
    tTableEffects fx;
    DoLeaveGame(key, fx);
    PlayKnownMoves(fx);
    return fx;
}

void tGameTable::DoLeaveGame(int key, tTableEffects& fx) {
    const auto it = std::find_if(FBoards.begin(), FBoards.end(),
                                 [key](const tTableBoard& b) { return b.Key == key; });
    if (it == FBoards.end())
        return;
    // The window has left the list of the frame's children when its close
    // is handled, but its owners still count for the purge.
    const tTableBoard board = std::move(*it);
    FBoards.erase(it);
    if (FActive == key)
        FActive.reset();
    fx.Closed.push_back(key);
    FClosingOwners.push_back(board.OwnerAddresses);
    DoNextPlayerDue(fx);
    if (IsLocal(board) && OwnAddresses.Count() > 0) {
        SendToPeers(board, tDatagram::BoardClosed(0, board.BoardId), fx);
        if (Protocol == tProtocol::Repair)
            Gone(board, true);
    }
    PurgePeers();
    FClosingOwners.pop_back();
    fx.Demo = true;
}

tTableEffects tGameTable::CollectResults() {
    tTableEffects fx;
    for (tTableBoard& b : FBoards) {
        if (b.Turn != kLastTurn)
            continue;
        b.RatingItem = 0;
        Evaluate(b);
        AddHighScore(HighScores, b.Caption, b.Total);
        fx.Changed.push_back(b.Key);
    }
    fx.StoreResults = true;
    return fx;
}

tTableEffects tGameTable::RegisterPeer(tAddress address) {
    tTableEffects fx;
    if (OwnAddresses.Contains(address))
        return fx;
    if (!PeerPcs.Contains(address))
        PeerPcs.Add(address);
    if (!FBoards.empty() && !FGamePeers.Contains(address))
        FGamePeers.Add(address);
    fx.OpenMessages = true;
    return fx;
}

tTableEffects tGameTable::ForgetPeer(tAddress address) {
    tTableEffects fx;
    if (!PeerPcs.Contains(address))
        return fx;
    PeerPcs.Remove(address);
    fx.ForgottenPeers.push_back(address);
    return fx;
}

void tGameTable::PurgePeers() {
    auto listed = [this](tAddress peer) {
        return std::any_of(
                   FBoards.begin(), FBoards.end(),
                   [peer](const tTableBoard& b) { return b.OwnerAddresses.Contains(peer); }) ||
               std::any_of(FClosingOwners.begin(), FClosingOwners.end(),
                           [peer](const tIpList& owners) { return owners.Contains(peer); });
    };
    for (int i = PeerPcs.Count() - 1; i >= 0; --i)
        if (!listed(PeerPcs.Items(i)))
            PeerPcs.Remove(PeerPcs.Items(i));
}

tTableEffects tGameTable::BroadcastHello() {
    tTableEffects fx;
    if (!FNewPlayer)
        return fx;
    for (int i = 0; i < OwnAddresses.Count(); ++i)
        Send(tDatagram::Hello(OwnAddresses.Items(i)), kBroadcastAddress, fx);
    return fx;
}

tTableEffects tGameTable::AnswerHello(tAddress sender, bool request) {
    tTableEffects fx;
    if (OwnAddresses.Contains(sender))
        return fx;
    fx.Merge(RegisterPeer(sender));
    const tAddress own = OwnAddressFor(sender);
    if (FNewPlayer) {
        bool announced = false;
        for (const tTableBoard& b : FBoards) {
            if (request || IsLocal(b)) {
                fx.Merge(AnnounceTo(b.Key, sender));
                announced = true;
            }
        }
        if (!announced)
            Send(request ? tDatagram::NoPlayers(own) : tDatagram::Present(own), sender, fx);
    } else if (request) {
        Send(tDatagram::GameRunning(own), sender, fx);
    }
    return fx;
}

tTableEffects tGameTable::AnnounceTo(int key, tAddress peer) {
    tTableEffects fx;
    const tTableBoard* board = Board(key);
    if (!board)
        return fx;
    // Whoever learns of a board of this PC holds a copy, and hears its closing.
    if (IsLocal(*board) && !FGamePeers.Contains(peer) && !OwnAddresses.Contains(peer))
        FGamePeers.Add(peer);
    const tAddress owner = OwnerAddressFor(*board, peer);
    const tDatagram announcement =
        tDatagram::Board(Order, owner, WireName(board->Name), board->BoardId);
    for (int i = 0; i < board->OwnerAddresses.Count(); ++i)
        Send(announcement, peer, fx);
    if (const std::uint16_t cell = board->CellOf[1])
        Send(tDatagram::TileLaid(owner, board->BoardId, 1, cell), peer, fx);
    return fx;
}

tTableEffects tGameTable::CloseRemoteBoard(tAddress sender, std::uint32_t boardId) {
    tTableEffects fx;
    if (OwnAddresses.Contains(sender))
        return fx;
    std::vector<int> keys;
    for (auto it = FBoards.rbegin(); it != FBoards.rend(); ++it)
        if (it->OwnerAddresses.Contains(sender) && it->BoardId == boardId) {
            keys.push_back(it->Key);
            // A PC whose board has finished has played every turn.
            if (it->Turn == kLastTurn)
                ReachedTurn(it->OwnerAddresses.Items(0), kTurnsPlayed + 1, fx);
            // The closing of a PC without repair reaches only the PCs it
            // still lists; those that heard it pass it on.
            if (Protocol == tProtocol::Repair)
                Gone(*it, !RepairsFor(it->OwnerAddresses.Items(0)));
        }
    for (int key : keys)
        DoLeaveGame(key, fx);
    PlayKnownMoves(fx);
    return fx;
}

tTableEffects tGameTable::ApplyRemoteMove(tAddress sender, std::uint32_t boardId, bool confirmed,
                                          std::uint16_t cellCode, int turn) {
    // Only copies of boards played elsewhere take moves from the network: a
    // datagram naming one of this PC's own boards would otherwise play it.
    if (OwnAddresses.Contains(sender))
        return {};
    std::optional<int> target;
    for (const tTableBoard& b : FBoards)
        if (b.OwnerAddresses.Contains(sender) && b.BoardId == boardId && !IsLocal(b))
            target = b.Key;
    if (!target)
        return {};
    tTableEffects fx;
    // Evidence of the turn the home PC has reached, whichever of its addresses it sent from.
    ReachedTurn(Board(*target)->OwnerAddresses.Items(0), turn, fx);
    fx.Merge(RemoteMove(*target, turn, cellCode, confirmed));
    return fx;
}

tTableEffects tGameTable::RemoteMove(int key, int turn, std::uint16_t cellCode, bool confirm) {
    tTableEffects fx;
    if (tTableBoard* board = Find(key))
        DoRemoteMove(*board, turn, cellCode, confirm, fx);
    PlayKnownMoves(fx);
    return fx;
}

void tGameTable::DoRemoteMove(tTableBoard& board, int turn, std::uint16_t cellCode, bool confirm,
                              tTableEffects& fx) {
    tRemoteBoard seen;
    seen.Turn = board.Turn;
    seen.TurnConfirmed = board.Turn > kTurnsPlayed || board.Phase == tTilePhase::Confirmed;
    for (std::size_t i = 0; i < kCellCodes.size(); ++i)
        seen.PlaceOn[i] = static_cast<std::uint8_t>(board.PlaceOn(kCellCodes[i]));
    if (Protocol == tProtocol::Repair) {
        DoRepairMove(board, turn, cellCode, confirm, fx);
        return;
    }
    switch (CheckRemoteMove(seen, turn, cellCode, confirm)) {
    case tRemoteAction::Lay:
        Lay(board, turn, cellCode, fx);
        break;
    case tRemoteAction::LayAndConfirm:
        Lay(board, turn, cellCode, fx);
        Confirm(board, fx);
        break;
    case tRemoteAction::Ignore:
        break;
    case tRemoteAction::Early: // the rules alone hold nothing back
    case tRemoteAction::Leave:
        DoLeaveGame(board.Key, fx);
        break;
    }
}

tTableEffects tGameTable::Invite(tAddress address, std::int64_t nowMs) {
    tTableEffects fx = RegisterPeer(address);
    if (FBoards.empty()) {
        DropOldInvitations(nowMs);
        FInvitations.push_back({address, nowMs});
        Send(tDatagram::RequestBoards(OwnAddressFor(address)), address, fx);
        return fx;
    }
    for (const tTableBoard& b : FBoards)
        fx.Merge(AnnounceTo(b.Key, address));
    return fx;
}

void tGameTable::DropOldInvitations(std::int64_t nowMs) {
    FInvitations.erase(std::remove_if(FInvitations.begin(), FInvitations.end(),
                                      [nowMs](const tPendingInvitation& i) {
                                          return nowMs - i.sentMs > kInvitationAnswerMs;
                                      }),
                       FInvitations.end());
}

bool tGameTable::TakeInvitationAnswer(tAddress sender, std::int64_t nowMs) {
    DropOldInvitations(nowMs);
    const auto it =
        std::find_if(FInvitations.begin(), FInvitations.end(),
                     [sender](const tPendingInvitation& i) { return i.address == sender; });
    if (it == FInvitations.end())
        return false;
    // One invitation, one answer: a repeat shows nothing.
    FInvitations.erase(it);
    return true;
}

tTableEffects tGameTable::ReceiveDatagram(const tDatagram& d, std::int64_t nowMs) {
    tTableEffects fx;
    FNowMs = nowMs;
    // The system's receivers ignore the kinds above 10.
    if (Protocol == tProtocol::Base && d.Kind > kLastMessageKind)
        return fx;
    if (d.SenderAddress != 0 && !OwnAddresses.Contains(d.SenderAddress) &&
        d.Kind <= kLastRepairKind && d.Kind != nmGameRunning && d.Kind != nmNoPlayers) {
        Heard(d.SenderAddress, fx);
        if (d.Kind > kLastMessageKind)
            PeerInfo(d.SenderAddress).Repairs = true;
    }
    switch (ReceiveActionFor(d, OwnAddresses)) {
    case raIgnore:
        break;
    case raAnswerHello:
        // A PC greets when its game is over: its finished boards have left,
        // though a PC without repair may have forgotten to say so. (A greeting
        // from the start of the game, come late, finds no finished board.)
        if (Protocol == tProtocol::Repair) {
            std::vector<int> keys;
            for (const tTableBoard& b : FBoards)
                if (b.OwnerAddresses.Items(0) == d.SenderAddress && !IsLocal(b) &&
                    b.Turn == kLastTurn) {
                    keys.push_back(b.Key);
                    Gone(b, !RepairsFor(d.SenderAddress));
                }
            for (int key : keys)
                DoLeaveGame(key, fx);
        }
        fx.Merge(AnswerHello(d.SenderAddress, false));
        break;
    case raAnswerRequest:
        fx.Merge(AnswerHello(d.SenderAddress, true));
        break;
    case raShowGameRunning:
    case raShowNoPlayers:
        // Any host may send these; only the invited PC's answer is shown.
        if (TakeInvitationAnswer(d.SenderAddress, nowMs))
            fx.InvitationAnswer = d;
        break;
    case raCloseRemoteBoard:
        fx.Merge(CloseRemoteBoard(d.SenderAddress, d.BoardId));
        break;
    case raTileLaid:
        fx.Merge(ApplyRemoteMove(d.SenderAddress, d.BoardId, false, d.CellCode, d.Turn));
        break;
    case raTileConfirmed:
        fx.Merge(ApplyRemoteMove(d.SenderAddress, d.BoardId, true, d.CellCode, d.Turn));
        break;
    case raAddBoardAgain:
        // Only a board this PC lacks; a known one has been announced already.
        if (FindCopy(HomeAddressOf(d), d.BoardId))
            break;
        [[fallthrough]];
    case raAddBoard: {
        // A board claiming to be played at this PC is none of ours: ours are
        // never announced back to us by their own address.
        const tAddress home = HomeAddressOf(d);
        if (!OwnAddresses.Contains(home) && AcceptTileOrder(d.SenderAddress, d.Order))
            DoAddBoard(d.SenderAddress, home, d.BoardId, Cp1252ToUtf8(d.Name), fx);
        break;
    }
    case raShowText:
        fx.Texts.push_back({d.SenderAddress, d.OriginKey, Cp1252ToUtf8(d.Text)});
        break;
    case raRegisterPeer:
        fx.Merge(RegisterPeer(d.SenderAddress));
        break;
    case raBoardState:
        MergeState(d, fx);
        PlayKnownMoves(fx);
        break;
    case raProgress:
        TakeProgress(d);
        RepairPeer(PeerInfo(d.SenderAddress), fx);
        break;
    }
    return fx;
}
