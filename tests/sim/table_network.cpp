// Whole games between several PCs' game tables over a simulated network, in virtual time.
#include "sim/table_network.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <queue>
#include <random>
#include <utility>

#include "core/scoring.h"

namespace {

// Virtual time counts microseconds from the start of the game.
constexpr std::int64_t kMs = 1000;
constexpr std::int64_t kBaseDelayUs = 1 * kMs;
// Every PC's players join within this time after the PCs have greeted each other.
constexpr std::int64_t kJoinWindowUs = 100 * kMs;
// Players confirm their first tile only once everybody has had time to join.
constexpr std::int64_t kGatheringUs = 1000 * kMs;
constexpr std::int64_t kGameEndUs = 30 * 60 * 1000 * kMs;
// The main window's tick timer.
constexpr std::int64_t kTickUs = 250 * kMs;
// How long after a game every PC's clock must have stopped.
constexpr std::int64_t kQuietUs = 3 * 60 * 1000 * kMs;
// How long a player looks at the question about a silent PC.
constexpr std::int64_t kAnswerUs = 5000 * kMs;
// A human lays the tile somewhere else before confirming in one turn of four.
constexpr int kMovePercent = 25;
// One board in three is the computer's.
constexpr int kComputerPercent = 33;

// SplitMix64: independent seeds for the parts of one game from its seed.
std::uint64_t Mix(std::uint64_t seed, std::uint64_t stream) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (stream + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string KindName(std::uint8_t kind) {
    static const char* const names[] = {
        "nmHello",         "nmOwnBoard",      "nmGameRunning", "nmNoPlayers", "nmBoardClosed",
        "nmTileConfirmed", "nmRequestBoards", "nmTileLaid",    "nmBoard",     "nmText",
        "nmPresent",       "nmBoardState",    "nmProgress",    "nmBoardAgain"};
    return kind < std::size(names) ? names[kind] : "kind " + std::to_string(kind);
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

std::string Ms(std::int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms", static_cast<double>(us) / kMs);
    return text;
}

class tTableModel final : public tSimModel {
public:
    tTableModel(std::uint64_t seed, tAddress address, tProtocol protocol) : Table(seed) {
        Table.OwnAddresses.Add(address);
        Table.Protocol = protocol;
    }
    tTableEffects BroadcastHello() override { return Table.BroadcastHello(); }
    tTableEffects AddLocalBoard(const std::string& name) override {
        return Table.AddBoard(0, 0, 0, name);
    }
    tTableEffects ComputerMove(int key) override { return Table.ComputerMove(key); }
    void BoardShown(int key) override { Table.BoardShown(key); }
    tTableEffects PlaceTile(int key, std::uint16_t cellCode) override {
        return Table.PlaceTile(key, cellCode);
    }
    tTableEffects ConfirmTile(int key) override { return Table.ConfirmTile(key); }
    tTableEffects Receive(const tDatagram& datagram, std::int64_t nowMs) override {
        return Table.ReceiveDatagram(datagram, nowMs);
    }
    tTableEffects Tick(std::int64_t nowMs) override { return Table.Tick(nowMs); }
    bool NeedsTicks() const override { return Table.NeedsTicks(); }
    tTableEffects AnswerSilent(tAddress peer, bool goOn, std::int64_t nowMs) override {
        return Table.AnswerSilent(peer, goOn, nowMs);
    }
    const tTableBoard* Board(int key) const override { return Table.Board(key); }
    std::vector<const tTableBoard*> Boards() const override { return Table.Boards(); }
    bool Idle() const override { return Table.NewPlayerEnabled(); }

private:
    tGameTable Table;
};

// A board across PCs: its home address and its id there.
using tBoardName = std::pair<tAddress, std::uint32_t>;

struct tBoardRecord {
    std::string Name;
    std::vector<int> Holders;            // PCs that showed the board, its home PC included
    std::map<int, std::uint16_t> Totals; // per PC, once the copy reached the game's end
    std::map<int, tBoard> Cells;
    std::optional<std::uint16_t> Expected; // the points of the home board's cells
    int HomePc = -1;
    bool ClosedAtHome = false; // its player closed it: the copies may follow
};

// A board as one PC shows it.
struct tCopy {
    tBoardName Name;
    bool Shown = false;
    bool Local = false;
    bool Recorded = false;
};

enum class tAct : std::uint8_t { Place, Move, Confirm, Ok };

const char* ActName(tAct act) {
    switch (act) {
    case tAct::Place:
        return "lays";
    case tAct::Move:
        return "moves";
    case tAct::Confirm:
        return "confirms";
    case tAct::Ok:
        return "closes";
    }
    return "?";
}

// The user at a local board: a human, or the one who confirms the computer's moves.
struct tPlayer {
    int Pc = 0;
    int Key = 0;
    bool Computer = false;
    bool Busy = false;   // an action is scheduled
    int DecidedTurn = 0; // whether to move the tile is decided once a turn
};

struct tPc {
    tAddress Address = 0;
    std::unique_ptr<tSimModel> Model;
    std::vector<std::string> Joining; // names of the players still to join
    std::vector<tCopy> Copies;        // by key; keys are small and never reused
    int Shown = 0;                    // boards shown now
    std::vector<int> Players;         // indexes of the players at this PC
    int Turn = 0;
    std::int64_t TurnStartUs = -1;
    bool Ticking = false;
    int TickGeneration = 0; // a tick of an earlier generation was stopped
};

// The table asked its player about a silent PC; the box is open until answered or withdrawn.
struct tQuestion {
    int Pc = 0;
    tAddress Peer = 0;
    bool Open = true;
};

enum class tEventKind : std::uint8_t { Hello, Join, Deliver, Act, Tick, Answer };

struct tEvent {
    std::int64_t At = 0;
    std::uint64_t Seq = 0;
    tEventKind Kind = tEventKind::Hello;
    tAct Act = tAct::Place;
    int Pc = 0;
    // The player, the name of the board to join, the datagram in FInFlight,
    // the tick generation or the question.
    int Index = 0;

    bool operator>(const tEvent& o) const { return At != o.At ? At > o.At : Seq > o.Seq; }
};

// Why the table ran an operation: a board may close only for its own reason.
struct tCause {
    const tDatagram* Datagram = nullptr;
    const tPlayer* Player = nullptr;
    tAct Act = tAct::Place;
};

class tGame {
public:
    tGame(const tSimOptions& options, std::uint64_t seed)
        : FOptions(options), FNet(Mix(seed, 1)), FPlay(Mix(seed, 2)) {
        std::mt19937_64 setup(Mix(seed, 3));
        FRun.Seed = seed;
        FPcs.resize(static_cast<std::size_t>(options.Pcs));
        for (int i = 0; i < options.Pcs; ++i) {
            tPc& pc = FPcs[static_cast<std::size_t>(i)];
            pc.Address = AddressFromOctets(192, 0, 2, i + 1);
            pc.Model = std::make_unique<tTableModel>(
                Mix(seed, 100 + static_cast<std::uint64_t>(i)), pc.Address,
                i < options.Old ? tProtocol::Base : tProtocol::Repair);
            const int boards = Uniform(setup, options.BoardsMin, options.BoardsMax);
            for (int b = 0; b < boards; ++b) {
                const bool computer = Uniform(setup, 0, 99) < kComputerPercent;
                pc.Joining.push_back(computer ? "PC"
                                              : "Player " + std::to_string(i + 1) +
                                                    static_cast<char>('a' + b));
            }
        }
        for (int i = 0; i < options.Pcs; ++i) {
            tEvent hello;
            hello.Kind = tEventKind::Hello;
            hello.Pc = i;
            Push(hello);
        }
        for (int i = 0; i < options.Pcs; ++i)
            for (std::size_t b = 0; b < FPcs[static_cast<std::size_t>(i)].Joining.size(); ++b) {
                tEvent join;
                join.Kind = tEventKind::Join;
                join.At = Uniform(setup, std::int64_t{0}, kJoinWindowUs);
                join.Pc = i;
                join.Index = static_cast<int>(b);
                Push(join);
                ++FJoinsLeft;
            }
    }

    tGameRun Play() {
        std::int64_t idleSince = -1;
        while (!FEvents.empty() && FEvents.top().At <= kGameEndUs) {
            const tEvent event = FEvents.top();
            FEvents.pop();
            FNow = event.At;
            FRun.LastEventUs = FNow;
            Run(event);
            if (FJoinsLeft > 0 || !AllIdle()) {
                idleSince = -1;
                continue;
            }
            // Nothing but the clocks can happen any more.
            if (!FOptions.CheckQuiet)
                break;
            if (idleSince < 0)
                idleSince = FNow;
            if (std::none_of(FPcs.begin(), FPcs.end(), [](const tPc& pc) { return pc.Ticking; }))
                break;
            if (FNow - idleSince > kQuietUs) {
                FRun.Quiet = false;
                for (std::size_t i = 0; i < FPcs.size(); ++i)
                    if (FPcs[i].Ticking)
                        Fault("PC" + std::to_string(i + 1) + " still ticks " +
                              Ms(FNow - idleSince) + " after the game");
                break;
            }
        }
        Judge();
        return std::move(FRun);
    }

private:
    bool AllIdle() const {
        return std::all_of(FPcs.begin(), FPcs.end(),
                           [](const tPc& pc) { return pc.Shown == 0 && pc.Model->Idle(); });
    }

    static int Uniform(std::mt19937_64& random, int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    }
    static std::int64_t Uniform(std::mt19937_64& random, std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(random);
    }
    bool Chance(std::mt19937_64& random, double percent) {
        return percent > 0 && std::uniform_real_distribution<double>(0, 100)(random) < percent;
    }
    // How long a player takes, mostly lo..hi ms; now and then a player is
    // quick, which lets PCs act at nearly the same moment.
    std::int64_t Think(int lo, int hi) {
        if (Uniform(FPlay, 0, 9) == 0)
            return Uniform(FPlay, std::int64_t{0}, 20 * kMs);
        return Uniform(FPlay, lo * kMs, hi * kMs);
    }

    void Push(tEvent event) {
        event.Seq = FSeq++;
        FEvents.push(event);
    }

    void Trace(const std::string& line) {
        if (FOptions.Trace)
            FOptions.Trace(Ms(FNow) + " PC" + std::to_string(FCurrentPc + 1) + " " + line);
    }

    void Run(const tEvent& event) {
        FCurrentPc = event.Pc;
        tPc& pc = FPcs[static_cast<std::size_t>(event.Pc)];
        switch (event.Kind) {
        case tEventKind::Hello:
            Trace("greets the network");
            Apply(event.Pc, pc.Model->BroadcastHello(), {});
            break;
        case tEventKind::Join:
            Join(event.Pc, pc.Joining[static_cast<std::size_t>(event.Index)]);
            break;
        case tEventKind::Deliver: {
            const std::optional<tDatagram> d = tDatagram::Decode(
                FInFlight[static_cast<std::size_t>(event.Index)].data(), kDatagramSize);
            FFreeSlots.push_back(event.Index);
            if (!d)
                return;
            if (FOptions.Trace)
                Trace("<- " + KindName(d->Kind) + " from " + DottedAddress(d->SenderAddress) +
                      " board " + Hex(d->BoardId) + " turn " + std::to_string(d->Turn) + " cell " +
                      std::to_string(d->CellCode));
            tCause cause;
            cause.Datagram = &*d;
            Apply(event.Pc, pc.Model->Receive(*d, FNow / kMs), cause);
            break;
        }
        case tEventKind::Act:
            Act(FPlayers[static_cast<std::size_t>(event.Index)], event.Act);
            break;
        case tEventKind::Tick:
            if (event.Index != pc.TickGeneration)
                return;
            // A periodic timer: the next tick is due unless this one stops it.
            Push(TickEvent(event.Pc, event.At + kTickUs));
            Apply(event.Pc, pc.Model->Tick(FNow / kMs), {});
            break;
        case tEventKind::Answer: {
            tQuestion& question = FQuestions[static_cast<std::size_t>(event.Index)];
            if (!question.Open)
                return;
            question.Open = false;
            Trace("answers: wait for " + DottedAddress(question.Peer));
            Apply(event.Pc, pc.Model->AnswerSilent(question.Peer, false, FNow / kMs), {});
            break;
        }
        }
    }

    tEvent TickEvent(int pcIndex, std::int64_t at) const {
        tEvent tick;
        tick.Kind = tEventKind::Tick;
        tick.At = at;
        tick.Pc = pcIndex;
        tick.Index = FPcs[static_cast<std::size_t>(pcIndex)].TickGeneration;
        return tick;
    }

    void Join(int pcIndex, const std::string& name) {
        tPc& pc = FPcs[static_cast<std::size_t>(pcIndex)];
        --FJoinsLeft;
        Trace("joins: " + name);
        tTableEffects fx = pc.Model->AddLocalBoard(name);
        std::optional<int> key;
        for (int added : fx.Added)
            if (const tTableBoard* b = pc.Model->Board(added); b && !b->IsRemote())
                key = added;
        if (key) {
            tPlayer player;
            player.Pc = pcIndex;
            player.Key = *key;
            player.Computer = name == "PC";
            pc.Players.push_back(static_cast<int>(FPlayers.size()));
            FPlayers.push_back(player);
            ++FRun.Boards;
        } else {
            Fault("PC" + std::to_string(pcIndex + 1) + " refused the new player " + name);
        }
        Apply(pcIndex, std::move(fx), {});
        // The window lays the computer's first tile right after it is shown.
        if (key && name == "PC")
            Apply(pcIndex, pc.Model->ComputerMove(*key), {});
    }

    void Act(tPlayer& player, tAct act) {
        player.Busy = false;
        tPc& pc = FPcs[static_cast<std::size_t>(player.Pc)];
        const tTableBoard* b = pc.Model->Board(player.Key);
        if (!b)
            return;
        tTableEffects fx;
        bool acted = false;
        switch (act) {
        case tAct::Place:
        case tAct::Move:
            if (b->Turn <= kTurnsPlayed &&
                b->Phase == (act == tAct::Place ? tTilePhase::Offered : tTilePhase::Laid)) {
                if (const std::uint16_t cell = FreeCell(*b)) {
                    Trace(b->Name + " " + ActName(act) + " tile " + std::to_string(b->Turn) +
                          " on " + std::to_string(cell));
                    fx = pc.Model->PlaceTile(player.Key, cell);
                    acted = true;
                }
            }
            break;
        case tAct::Confirm:
            if (b->Turn <= kTurnsPlayed && b->Phase == tTilePhase::Laid) {
                Trace(b->Name + " confirms tile " + std::to_string(b->Turn));
                fx = pc.Model->ConfirmTile(player.Key);
                acted = true;
            }
            break;
        case tAct::Ok:
            if (b->Turn == kLastTurn) {
                Trace(b->Name + " closes the finished board");
                fx = pc.Model->ConfirmTile(player.Key);
                acted = true;
            }
            break;
        }
        tCause cause;
        cause.Player = &player;
        cause.Act = act;
        if (acted)
            Apply(player.Pc, std::move(fx), cause);
        else
            Decide(player);
    }

    std::uint16_t FreeCell(const tTableBoard& board) {
        std::vector<std::uint16_t> free;
        for (std::uint16_t code : kCellCodes)
            if (board.CellFree(code))
                free.push_back(code);
        if (free.empty())
            return 0;
        return free[static_cast<std::size_t>(Uniform(FPlay, 0, static_cast<int>(free.size()) - 1))];
    }

    // What the player does next about the board as it stands now.
    void Decide(tPlayer& player) {
        if (player.Busy)
            return;
        const tTableBoard* b = FPcs[static_cast<std::size_t>(player.Pc)].Model->Board(player.Key);
        if (!b)
            return;
        tAct act;
        std::int64_t at;
        if (b->Turn == kLastTurn) {
            act = tAct::Ok;
            at = FNow + Think(500, 5000);
        } else if (b->Turn > kTurnsPlayed) {
            return;
        } else if (b->Phase == tTilePhase::Offered) {
            // The computer's table lays its tile itself.
            if (player.Computer)
                return;
            act = tAct::Place;
            at = FNow + Think(300, 3000);
        } else if (b->Phase == tTilePhase::Laid) {
            const bool move =
                !player.Computer && player.DecidedTurn != b->Turn && Chance(FPlay, kMovePercent);
            player.DecidedTurn = b->Turn;
            if (move) {
                act = tAct::Move;
                at = FNow + Think(200, 1500);
            } else {
                act = tAct::Confirm;
                at = std::max(FNow, kGatheringUs) + Think(player.Computer ? 100 : 200, 2000);
            }
        } else {
            return;
        }
        player.Busy = true;
        tEvent event;
        event.Kind = tEventKind::Act;
        event.At = at;
        event.Pc = player.Pc;
        event.Act = act;
        event.Index = static_cast<int>(&player - FPlayers.data());
        Push(event);
    }

    void Apply(int pcIndex, tTableEffects fx, const tCause& cause) {
        tPc& pc = FPcs[static_cast<std::size_t>(pcIndex)];
        const bool changed = !fx.Added.empty() || !fx.Closed.empty() || !fx.Changed.empty();
        for (int key : fx.Added)
            Shown(pcIndex, key);
        for (int key : fx.Closed)
            Closed(pcIndex, key, cause);
        for (int key : fx.Changed)
            Changed(pcIndex, key);
        for (tAddress peer : fx.PeersBack)
            for (tQuestion& question : FQuestions)
                if (question.Pc == pcIndex && question.Peer == peer)
                    question.Open = false;
        for (tAddress peer : fx.AskSilent)
            Ask(pcIndex, peer);
        for (const tSend& send : fx.Sends)
            Send(pcIndex, send);
        if (pc.Shown == 0) {
            pc.Turn = 0;
            pc.TurnStartUs = -1;
        }
        // As the main window runs its timer.
        const bool running = pc.Shown > 0 || pc.Model->NeedsTicks();
        if (running != pc.Ticking) {
            pc.Ticking = running;
            ++pc.TickGeneration;
            if (running)
                Push(TickEvent(pcIndex, FNow + kTickUs));
        }
        // A player looks again when a board changed; the table names every change.
        if (!changed && !cause.Player)
            return;
        for (int index : pc.Players)
            Decide(FPlayers[static_cast<std::size_t>(index)]);
    }

    void Ask(int pcIndex, tAddress peer) {
        ++FRun.SilentQuestions;
        Fault("PC" + std::to_string(pcIndex + 1) + " asked at " + Ms(FNow) +
              " whether to go on without " + DottedAddress(peer));
        Trace("asks whether to go on without " + DottedAddress(peer));
        FQuestions.push_back({pcIndex, peer, true});
        tEvent answer;
        answer.Kind = tEventKind::Answer;
        answer.At = FNow + kAnswerUs;
        answer.Pc = pcIndex;
        answer.Index = static_cast<int>(FQuestions.size()) - 1;
        Push(answer);
    }

    void Shown(int pcIndex, int key) {
        tPc& pc = FPcs[static_cast<std::size_t>(pcIndex)];
        const tTableBoard* b = pc.Model->Board(key);
        if (!b)
            return;
        pc.Model->BoardShown(key);
        tCopy copy;
        copy.Name = {b->OwnerAddresses.Count() > 0 ? b->OwnerAddresses.Items(0) : 0, b->BoardId};
        copy.Local = !b->IsRemote();
        if (pc.Copies.size() <= static_cast<std::size_t>(key))
            pc.Copies.resize(static_cast<std::size_t>(key) + 1);
        if (!pc.Copies[static_cast<std::size_t>(key)].Shown)
            ++pc.Shown;
        copy.Shown = true;
        pc.Copies[static_cast<std::size_t>(key)] = copy;
        tBoardRecord& record = FBoards[copy.Name];
        if (copy.Local) {
            record.HomePc = pcIndex;
            record.Name = b->Name;
        }
        if (std::find(record.Holders.begin(), record.Holders.end(), pcIndex) ==
            record.Holders.end())
            record.Holders.push_back(pcIndex);
        Trace("shows " + Describe(copy.Name) + " as key " + std::to_string(key));
    }

    std::string Describe(const tBoardName& name) const {
        return "board " + Hex(name.second) + " of " + DottedAddress(name.first);
    }

    void Closed(int pcIndex, int key, const tCause& cause) {
        tPc& pc = FPcs[static_cast<std::size_t>(pcIndex)];
        tCopy* shown = Copy(pc, key);
        if (!shown)
            return;
        const tCopy copy = *shown;
        shown->Shown = false;
        --pc.Shown;
        bool own = false;
        std::string why;
        tBoardRecord& record = FBoards[copy.Name];
        if (cause.Player) {
            own = copy.Local && cause.Player->Key == key && cause.Act == tAct::Ok;
            why = std::string("its player ") + ActName(cause.Act) + " a board";
            if (own)
                record.ClosedAtHome = true;
        } else if (cause.Datagram) {
            // nmBoardClosed, or a repair that says so, from the home PC once
            // the board's player has closed it there.
            const tDatagram& d = *cause.Datagram;
            own = !copy.Local && d.SenderAddress == copy.Name.first && record.ClosedAtHome;
            if (own && d.Kind != nmBoardClosed) {
                ++FRun.ClosedByRepair;
                Fault("PC" + std::to_string(pcIndex + 1) + " closed its copy of " +
                      Describe(copy.Name) + " at " + Ms(FNow) + " by a repair (" +
                      KindName(d.Kind) + "), not by nmBoardClosed");
            }
            why = KindName(d.Kind) + " from " + DottedAddress(d.SenderAddress) + " board " +
                  Hex(d.BoardId) + " turn " + std::to_string(d.Turn) + " cell " +
                  std::to_string(d.CellCode);
        } else {
            why = "no datagram and no player";
        }
        // A home PC without repair reaches only the PCs it still lists; the
        // others hear its closing from a PC that heard it, after it happened.
        const bool relayed = !own && !copy.Local && record.ClosedAtHome && cause.Datagram &&
                             cause.Datagram->Kind == nmBoardState;
        Trace("closes " + Describe(copy.Name) + (own ? "" : relayed ? ": relayed" : ": DROPPED"));
        if (own)
            return;
        if (relayed) {
            ++FRun.Relayed;
            return;
        }
        ++FRun.Dropped;
        Fault("PC" + std::to_string(pcIndex + 1) + " closed its " +
              (copy.Local ? "own " : "copy of ") + Describe(copy.Name) + " at " + Ms(FNow) +
              " while handling " + why);
    }

    void Changed(int pcIndex, int key) {
        tPc& pc = FPcs[static_cast<std::size_t>(pcIndex)];
        const tTableBoard* b = pc.Model->Board(key);
        tCopy* copy = Copy(pc, key);
        if (!b || !copy)
            return;
        if (b->Turn > pc.Turn) {
            if (pc.TurnStartUs >= 0)
                FRun.TurnUs.push_back(FNow - pc.TurnStartUs);
            if (pc.Turn >= 1)
                pc.TurnStartUs = FNow;
            pc.Turn = b->Turn;
            Trace("turn " + std::to_string(b->Turn) + " begins");
        }
        if (b->Turn != kLastTurn || copy->Recorded)
            return;
        copy->Recorded = true;
        tBoardRecord& record = FBoards[copy->Name];
        record.Totals[pcIndex] = b->Total;
        record.Cells[pcIndex] = b->Cells();
        if (copy->Local)
            record.Expected = EvaluateBoard(b->Cells(), kModePoints);
    }

    static tCopy* Copy(tPc& pc, int key) {
        if (key < 0 || static_cast<std::size_t>(key) >= pc.Copies.size())
            return nullptr;
        tCopy& copy = pc.Copies[static_cast<std::size_t>(key)];
        return copy.Shown ? &copy : nullptr;
    }

    void Send(int from, const tSend& send) {
        const tDatagramBytes bytes = send.Datagram.Encode();
        for (int to = 0; to < FOptions.Pcs; ++to) {
            if (to == from)
                continue;
            if (send.To != kBroadcastAddress &&
                send.To != FPcs[static_cast<std::size_t>(to)].Address)
                continue;
            if (Chance(FNet, FOptions.Net.LossPercent))
                continue;
            const int copies = Chance(FNet, FOptions.Net.DupPercent) ? 2 : 1;
            for (int c = 0; c < copies; ++c) {
                tEvent event;
                event.Kind = tEventKind::Deliver;
                event.At = FNow + kBaseDelayUs +
                           (FOptions.Net.ReorderMs > 0
                                ? Uniform(FNet, std::int64_t{0}, FOptions.Net.ReorderMs * kMs)
                                : 0);
                event.Pc = to;
                if (FFreeSlots.empty()) {
                    event.Index = static_cast<int>(FInFlight.size());
                    FInFlight.push_back(bytes);
                } else {
                    event.Index = FFreeSlots.back();
                    FFreeSlots.pop_back();
                    FInFlight[static_cast<std::size_t>(event.Index)] = bytes;
                }
                Push(event);
            }
        }
    }

    void Fault(const std::string& text) { FRun.Faults.push_back(text); }

    void Judge() {
        FRun.Ended = true;
        for (std::size_t i = 0; i < FPcs.size(); ++i) {
            const tPc& pc = FPcs[i];
            const std::vector<const tTableBoard*> boards = pc.Model->Boards();
            if (!boards.empty())
                FRun.Stalled = true;
            if (boards.empty() && pc.Model->Idle())
                continue;
            FRun.Ended = false;
            std::string held;
            for (const tTableBoard* b : boards)
                held += " [key " + std::to_string(b->Key) + " " + b->Caption + " turn " +
                        std::to_string(b->Turn) + " phase " +
                        std::to_string(static_cast<int>(b->Phase)) +
                        (b->AwaitingTile ? " awaiting" : "") + "]";
            Fault("PC" + std::to_string(i + 1) +
                  " did not end: " + (pc.Model->Idle() ? "idle" : "not idle") + ", boards:" + held);
        }
        FRun.Scored = true;
        for (const auto& [name, record] : FBoards) {
            if (!record.Expected) {
                FRun.Scored = false;
                Fault(Describe(name) + " never reached the end at its home PC");
                continue;
            }
            for (int holder : record.Holders) {
                const auto total = record.Totals.find(holder);
                if (total == record.Totals.end()) {
                    FRun.Scored = false;
                    Fault("PC" + std::to_string(holder + 1) + " recorded no total for " +
                          Describe(name));
                } else if (total->second != *record.Expected) {
                    FRun.Scored = false;
                    Fault("PC" + std::to_string(holder + 1) + " recorded " +
                          std::to_string(total->second) + " points for " + Describe(name) +
                          ", its cells give " + std::to_string(*record.Expected));
                }
            }
            const auto home = record.Cells.find(record.HomePc);
            for (const auto& [holder, cells] : record.Cells)
                if (home != record.Cells.end() && cells.tiles != home->second.tiles) {
                    FRun.Scored = false;
                    Fault("PC" + std::to_string(holder + 1) + " shows other cells for " +
                          Describe(name) + " than its home PC");
                }
        }
        FRun.Agreed = FRun.Ended && FRun.Scored;
    }

    const tSimOptions& FOptions;
    std::mt19937_64 FNet;
    std::mt19937_64 FPlay;
    std::vector<tPc> FPcs;
    std::vector<tPlayer> FPlayers;
    std::vector<tQuestion> FQuestions;
    std::map<tBoardName, tBoardRecord> FBoards;
    std::priority_queue<tEvent, std::vector<tEvent>, std::greater<tEvent>> FEvents;
    std::vector<tDatagramBytes> FInFlight; // the datagrams on their way
    std::vector<int> FFreeSlots;           // of FInFlight
    int FJoinsLeft = 0;
    std::uint64_t FSeq = 0;
    std::int64_t FNow = 0;
    int FCurrentPc = 0;
    tGameRun FRun;
};

std::string Percent(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

tGameRun PlayGame(const tSimOptions& options, std::uint64_t seed) {
    return tGame(options, seed).Play();
}

std::string SimArguments(const tSimOptions& options) {
    std::string text =
        "--pcs " + std::to_string(options.Pcs) + " --boards " + std::to_string(options.BoardsMin);
    if (options.BoardsMax != options.BoardsMin)
        text += "-" + std::to_string(options.BoardsMax);
    if (options.Net.LossPercent > 0)
        text += " --loss " + Percent(options.Net.LossPercent);
    if (options.Net.DupPercent > 0)
        text += " --dup " + Percent(options.Net.DupPercent);
    if (options.Net.ReorderMs > 0)
        text += " --reorder " + std::to_string(options.Net.ReorderMs);
    if (options.Old > 0)
        text += " --old " + std::to_string(options.Old);
    if (options.CheckQuiet)
        text += " --quiet";
    return text;
}

void tRunTally::Add(const tGameRun& game) {
    ++Games;
    Ended += game.Ended;
    Agreed += game.Agreed;
    Scored += game.Scored;
    ClosedByRepair += game.ClosedByRepair;
    Relayed += game.Relayed;
    NotQuiet += !game.Quiet;
    Dropped += game.Dropped;
    Stalled += game.Stalled;
    TurnUs.insert(TurnUs.end(), game.TurnUs.begin(), game.TurnUs.end());
}

double tRunTally::TurnPercentileMs(double percent) const {
    if (TurnUs.empty())
        return 0;
    std::vector<std::int64_t> sorted = TurnUs;
    const auto rank = static_cast<std::size_t>(
        std::max(1.0, std::ceil(percent / 100.0 * static_cast<double>(sorted.size()))));
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(rank - 1),
                     sorted.end());
    return static_cast<double>(sorted[rank - 1]) / kMs;
}

std::string tRunTally::Line(double seconds) const {
    char text[256];
    std::snprintf(text, sizeof text,
                  "games %ld, ended %ld, agreed %ld, dropped %ld, stalled %ld, turn p50 %.1f ms, "
                  "p99 %.1f ms, %.1f games/s",
                  Games, Ended, Agreed, Dropped, Stalled, TurnPercentileMs(50),
                  TurnPercentileMs(99), seconds > 0 ? static_cast<double>(Games) / seconds : 0.0);
    return text;
}
