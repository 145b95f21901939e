// The game table's rules: moves and what they tell the peers, remote moves, the computer's move.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/game_table.h"

namespace {
const tAddress kOwn = AddressFromOctets(10, 0, 0, 1);
const tAddress kPeerA = AddressFromOctets(10, 0, 0, 2);
const tAddress kPeerB = AddressFromOctets(192, 168, 1, 9);
constexpr std::uint32_t kBobBoard = 4711;

// A table at kOwn with the peers A and B.
tGameTable NewTable() {
    tGameTable t(12345);
    t.OwnAddresses.Add(kOwn);
    t.PeerPcs.Add(kPeerA);
    t.PeerPcs.Add(kPeerB);
    return t;
}

// A board added and shown, as its window does; sender 0: a local board, else Bob's.
int Add(tGameTable& t, const std::string& name, tAddress sender = 0, tAddress home = 0) {
    const int key = t.AddBoard(sender, home, sender ? kBobBoard : 0, name).Added.at(0);
    t.BoardShown(key);
    return key;
}

std::vector<tSend> SendsOf(const tTableEffects& fx, std::uint8_t kind) {
    std::vector<tSend> sends;
    std::copy_if(fx.Sends.begin(), fx.Sends.end(), std::back_inserter(sends),
                 [kind](const tSend& s) { return s.Datagram.Kind == kind; });
    return sends;
}

std::vector<tAddress> SentTo(const tTableEffects& fx, std::uint8_t kind) {
    std::vector<tAddress> to;
    for (const tSend& s : SendsOf(fx, kind))
        to.push_back(s.To);
    return to;
}
} // namespace

TEST(GameTable, LocalMovesAndClosingGoToEveryPeerLastFirstFromTheNearestOwnAddress) {
    tGameTable t = NewTable();
    const tAddress ownLan = AddressFromOctets(192, 168, 1, 1);
    t.OwnAddresses.Add(ownLan);
    const int anna = Add(t, "Anna");
    const std::uint32_t id = t.Board(anna)->BoardId;
    const tTableEffects laid = t.PlaceTile(anna, 311);
    const tTableEffects confirmed = t.ConfirmTile(anna);
    const tTableEffects closed = t.LeaveGame(anna);
    EXPECT_EQ(closed.Closed, std::vector<int>{anna});
    for (const auto& [fx, kind] :
         {std::pair{&laid, nmTileLaid}, {&confirmed, nmTileConfirmed}, {&closed, nmBoardClosed}}) {
        const std::vector<tSend> sends = SendsOf(*fx, kind);
        ASSERT_EQ(sends.size(), 2u) << int(kind);
        EXPECT_EQ(sends[0].To, kPeerB);
        EXPECT_EQ(sends[0].Datagram.SenderAddress, ownLan);
        EXPECT_EQ(sends[1].To, kPeerA);
        EXPECT_EQ(sends[1].Datagram.SenderAddress, kOwn);
        for (const tSend& s : sends) {
            EXPECT_EQ(s.Datagram.BoardId, id);
            EXPECT_EQ(s.Datagram.Turn, kind == nmBoardClosed ? 0 : 1);
            EXPECT_EQ(s.Datagram.CellCode, kind == nmBoardClosed ? 0 : 311);
        }
    }
}

// The rules alone close a copy on any move that does not fit its course; a
// PC that repairs keeps what it learns and closes only on two confirmed cells
// that disagree, or on a move no course has.
TEST(GameTable, RemoteMovesByTheRulesAloneAndWithRepair) {
    struct tStep {
        int turn;
        std::uint16_t cell;
        bool confirm;
        bool annaMovesOn = false; // afterwards Anna confirms: the turn is over
    };
    struct tOutcome {
        int turn = 0; // of Bob's board; 0: it closed
        std::uint16_t cellOfTurn1 = 0;
        std::uint16_t cellOfTurn2 = 0;
        bool awaiting = false;
    };
    struct tCase {
        const char* what;
        std::vector<tStep> steps;
        tOutcome base;
        tOutcome repair;
    };
    const tOutcome closed{};
    const std::vector<tCase> cases = {
        {"fitting", {{1, 311, true}}, {1, 311, 0, false}, {1, 311, 0, false}},
        {"laid then confirmed", {{1, 311, false}, {1, 322, true}}, {1, 322}, {1, 322}},
        {"repeat same cell",
         {{1, 311, true, true}, {1, 311, true}},
         {2, 311, 0, true},
         {2, 311, 0, true}},
        // A third PC's confirmation of turn 1 is still on its way here, and
        // the owner's moves of turn 2 overtake it.
        {"next turn first",
         {{1, 311, true}, {2, 322, false}, {2, 333, true, true}},
         closed,
         {2, 311, 333, false}},
        {"repeat other cell", {{1, 311, true, true}, {1, 322, true}}, closed, closed},
        {"late laid, other cell", {{1, 311, true}, {1, 322, false}}, closed, {1, 311}},
        {"laid two turns ahead", {{3, 311, false}}, closed, {1, 0, 0, true}},
        {"confirmed two turns back",
         {{1, 311, true, true}, {2, 322, true, true}, {1, 311, true}},
         closed,
         {3, 311, 322, true}},
        {"no such cell", {{1, 999, false}}, closed, closed},
        {"no such turn", {{0, 311, false}}, closed, closed},
        {"turn past the last", {{kTurnsPlayed + 1, 311, false}}, closed, closed},
        {"occupied cell", {{1, 311, true, true}, {2, 311, false}}, closed, closed},
    };
    for (const tCase& c : cases) {
        for (const tProtocol protocol : {tProtocol::Base, tProtocol::Repair}) {
            const bool repair = protocol == tProtocol::Repair;
            const tOutcome& want = repair ? c.repair : c.base;
            SCOPED_TRACE(std::string(c.what) + (repair ? ", repair" : ", rules alone"));
            tGameTable t = NewTable();
            t.Protocol = protocol;
            const int anna = Add(t, "Anna");
            const int bob = Add(t, "Bob", kPeerA, kPeerA);
            tTableEffects fx;
            for (const tStep& s : c.steps) {
                fx.Merge(t.ApplyRemoteMove(kPeerA, kBobBoard, s.confirm, s.cell, s.turn));
                if (s.annaMovesOn) {
                    fx.Merge(t.PlaceTile(anna, kCellCodes[t.Board(anna)->Turn + 5u]));
                    fx.Merge(t.ConfirmTile(anna));
                }
            }
            const tTableBoard* b = t.Board(bob);
            ASSERT_EQ(b != nullptr, want.turn != 0);
            EXPECT_EQ(std::count(fx.Closed.begin(), fx.Closed.end(), bob), b ? 0 : 1);
            EXPECT_TRUE(std::none_of(fx.Sends.begin(), fx.Sends.end(), [](const tSend& s) {
                return s.Datagram.BoardId == kBobBoard && s.Datagram.Kind == nmTileLaid;
            })) << "a remote board never sends moves";
            if (!b)
                continue;
            EXPECT_EQ(b->Turn, want.turn);
            EXPECT_EQ(b->CellOf[1], want.cellOfTurn1);
            EXPECT_EQ(b->CellOf[2], want.cellOfTurn2);
            EXPECT_EQ(b->AwaitingTile, want.awaiting);
        }
    }
}

TEST(GameTable, AnnouncementCarriesNameOrderAndTheFirstMove) {
    tGameTable t = NewTable();
    const tAddress bobLan = AddressFromOctets(192, 168, 1, 2);
    // Bob's board is played at peer A and reached this PC from his second address.
    const int bob = Add(t, "Bob", bobLan, kPeerA);
    t.ApplyRemoteMove(bobLan, kBobBoard, false, 124, 1);
    const tTableEffects fx = t.AnnounceTo(bob, kPeerB);
    // One announcement per owner address, from the one nearest to peer B.
    ASSERT_EQ(fx.Sends.size(), 3u);
    for (const tSend& s : fx.Sends) {
        EXPECT_EQ(s.To, kPeerB);
        EXPECT_EQ(s.Datagram.SenderAddress, bobLan);
        EXPECT_EQ(s.Datagram.BoardId, kBobBoard);
        EXPECT_EQ(s.Datagram.Kind, &s == &fx.Sends.back() ? nmTileLaid : nmBoard);
    }
    EXPECT_EQ(fx.Sends[0].Datagram.Name, "Bob");
    EXPECT_EQ(fx.Sends[1].Datagram.Order, t.Order);
    EXPECT_EQ(fx.Sends[2].Datagram.Turn, 1);
    EXPECT_EQ(fx.Sends[2].Datagram.CellCode, 124);
}

TEST(GameTable, OnlyTheNamePCExactlyMakesAComputerBoardWhoseTiesFollowTheRandomStart) {
    for (const char* name : {"PC", "pc", "Pc", "PC2", " PC"}) {
        const bool computer = std::string(name) == "PC";
        tGameTable t = NewTable();
        const int key = Add(t, name);
        EXPECT_EQ(t.Board(key)->IsComputer(), computer) << name;
        EXPECT_EQ(t.PlaceTile(key, 311).Changed.empty(), computer) << name;
        if (computer) {
            // On an empty board every cell ties: the computer takes the first
            // one visited from component r + 1, r drawn by the table.
            tRandom replay = t.Random();
            const int start = replay.Below(64) + 1;
            t.ComputerMove(key);
            EXPECT_EQ(t.Board(key)->CellOf[1],
                      start >= 15 && start <= 33 ? kComponentCellOrder[start - 15u] : 311);
        }
        t.ConfirmTile(key);
        ASSERT_EQ(t.Board(key)->Turn, 2) << name;
        EXPECT_EQ(t.Board(key)->CellOf[2] != 0, computer) << name << ": laid when offered";
    }
}

TEST(GameTable, ComputerTakesTheBestCellAndTheTotalFollowsItemAndTurn) {
    // Tiles 2, 5, 8 (9s vertically) on 113 and 124 (Hoch1) and 311 (Hoch3),
    // tile 26 (9, 7, 8) in turn 4: 135 completes Hoch1 and is the only best
    // cell. The computer's move is worked out for any board.
    tGameTable t = NewTable();
    t.Order.tiles = {2, 5, 8, 26};
    const int key = Add(t, "Anna");
    for (std::uint16_t cell : {113, 124, 311}) {
        t.PlaceTile(key, cell);
        t.ConfirmTile(key);
    }
    EXPECT_EQ(SendsOf(t.ComputerMove(key), nmTileLaid).size(), 2u);
    EXPECT_EQ(t.Board(key)->CellOf[4], 135);
    // Points: Hoch1 3 * 9. Quality, k*k*v up to turn 4: Hoch1 81, Hoch3 9,
    // Auf2 6, Auf3 7, Ab1 3, Ab3 3, Ab4 3, Ab5 8 (Auf1 mixes 2 and 7): 120.
    // From turn 5 L*k*v: 81 + 45 + 24 + 35 + 9 + 15 + 12 + 24 = 245.
    struct tCase {
        int turn;
        int item;
        std::uint16_t total;
    };
    for (const tCase& c : {tCase{4, 0, 27}, {4, 1, 120}, {5, 1, 245}, {5, 0, 27}}) {
        if (t.Board(key)->Turn < c.turn) {
            t.ConfirmTile(key);
            EXPECT_EQ(t.Board(key)->Total, c.total) << "turn " << c.turn << ", item kept";
        }
        t.SetRatingItem(key, c.item);
        EXPECT_EQ(t.Board(key)->Total, c.total) << "turn " << c.turn << " item " << c.item;
    }
}

TEST(GameTable, LocalBoardIdsAreUniqueAndNeverZero) {
    tGameTable t = NewTable();
    std::set<std::uint32_t> ids;
    for (int i = 0; i < 1000; ++i)
        ids.insert(t.Board(t.AddBoard(0, 0, 0, "Anna").Added.at(0))->BoardId);
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_EQ(ids.count(0), 0u);
}

TEST(GameTable, ARestartedProgramDoesNotRepeatTheBoardIdsOfItsLastRun) {
    // A peer may still hold a copy of the last run's board under its id.
    tGameTable first(1), restarted(2);
    EXPECT_NE(first.Board(Add(first, "Anna"))->BoardId,
              restarted.Board(Add(restarted, "Anna"))->BoardId);
}

TEST(GameTable, ProgressGoesToEveryPeerOncePerSecondWhileAGameRuns) {
    tGameTable t = NewTable();
    Add(t, "Anna");
    // A kind no PC speaks shows neither life nor repair.
    tDatagram unknown = tDatagram::Hello(kPeerA);
    unknown.Kind = kLastRepairKind + 1;
    t.ReceiveDatagram(unknown, 0);
    EXPECT_FALSE(t.Repairs(kPeerA));
    for (const auto& [nowMs, sent] : {std::pair{0, true}, {999, false}, {1000, true}}) {
        const std::vector<tAddress> want =
            sent ? std::vector<tAddress>{kPeerA, kPeerB} : std::vector<tAddress>{};
        const tTableEffects fx = t.Tick(nowMs);
        EXPECT_EQ(SentTo(fx, nmProgress), want) << nowMs;
        // This PC speaks for its own boards by their moves, not as a holder.
        for (const tSend& s : fx.Sends)
            EXPECT_TRUE(s.Datagram.Progress.empty());
    }
}

TEST(GameTable, GoingOnWithoutASilentPCClosesAllItsBoardsAndEndsTheTurn) {
    tGameTable t = NewTable();
    const int anna = Add(t, "Anna");
    const int bob = Add(t, "Bob", kPeerA, kPeerA);
    const int cy = t.AddBoard(kPeerA, kPeerA, kBobBoard + 1, "Cy").Added.at(0);
    t.BoardShown(cy);
    t.PlaceTile(anna, 311);
    t.ConfirmTile(anna);
    // Cy has confirmed turn 1, and turn 2 has overtaken Bob's turn 1.
    t.ApplyRemoteMove(kPeerA, kBobBoard + 1, true, 322, 1);
    t.ApplyRemoteMove(kPeerA, kBobBoard + 1, true, 333, 2);
    const tTableEffects fx = t.AnswerSilent(kPeerA, true, 0);
    EXPECT_EQ(std::set<int>(fx.Closed.begin(), fx.Closed.end()), (std::set<int>{bob, cy}));
    EXPECT_EQ(t.Board(anna)->Turn, 2);
}

// A repairing peer whose copy of a finished board has not yet played every
// turn hears the closing only after the repair has brought it to the end.
TEST(GameTable, AFinishedBoardClosesAtARepairingPeerOnlyOnceItsCopyHasEnded) {
    tGameTable t = NewTable();
    const int cy = Add(t, "Cy");
    const int anna = Add(t, "Anna");
    for (int turn = 1; turn <= kTurnsPlayed; ++turn)
        for (const int key : {anna, cy}) {
            t.PlaceTile(key, kCellCodes[static_cast<std::size_t>(turn - 1)]);
            t.ConfirmTile(key);
        }
    ASSERT_EQ(t.Board(anna)->Turn, kLastTurn);
    // Peer A's copy of Cy has ended, its copy of Anna lacks the last turn.
    t.ReceiveDatagram(tDatagram::ProgressOf(kPeerA, {{kOwn, t.Board(cy)->BoardId, 19, kStateEnded},
                                                     {kOwn, t.Board(anna)->BoardId, 18, 0}}),
                      0);
    EXPECT_EQ(SentTo(t.LeaveGame(cy), nmBoardClosed), (std::vector<tAddress>{kPeerB, kPeerA}));
    EXPECT_EQ(SentTo(t.LeaveGame(anna), nmBoardClosed), std::vector<tAddress>{kPeerB});
}

// A PC without repair would close a copy on a move of a turn its own boards
// have not reached; a PC without boards of its own takes every move at once.
TEST(GameTable, MovesAheadOfAPCWithoutRepairWaitUntilItsBoardsReachTheirTurn) {
    tGameTable t = NewTable();
    // Heard before the game: the turn it reached in a game before counts no more.
    t.ReceiveDatagram(tDatagram::Hello(kPeerA), 0);
    const int cy = Add(t, "Cy");
    const int anna = Add(t, "Anna");
    Add(t, "Bob", kPeerA, kPeerA);
    for (const auto& [key, cell] : {std::pair{anna, 311}, {cy, 355}}) {
        t.PlaceTile(key, cell);
        t.ConfirmTile(key);
    }
    t.ApplyRemoteMove(kPeerA, kBobBoard, true, 322, 1);
    EXPECT_EQ(SentTo(t.PlaceTile(anna, 333), nmTileLaid), std::vector<tAddress>{kPeerB});
    t.PlaceTile(cy, 421);
    t.ConfirmTile(anna);
    // Of the held moves of a board's turn only the last goes, in their order.
    const tTableEffects flushed = t.ApplyRemoteMove(kPeerA, kBobBoard, false, 344, 2);
    std::vector<std::pair<int, int>> sent; // kind, cell
    for (const tSend& s : flushed.Sends) {
        EXPECT_EQ(s.To, kPeerA);
        sent.emplace_back(s.Datagram.Kind, s.Datagram.CellCode);
    }
    EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{nmTileLaid, 421}, {nmTileConfirmed, 333}}));
}

// A PC may join the watchers mid-game; it holds copies from then on and hears
// every closing, also once the purge has dropped it from the peers.
TEST(GameTable, APCRegisteredDuringAGameHearsTheClosingsAfterThePurge) {
    const tAddress peerC = AddressFromOctets(10, 0, 0, 3);
    tGameTable t = NewTable();
    const int anna = Add(t, "Anna");
    const int cy = Add(t, "Cy");
    t.RegisterPeer(peerC);
    t.LeaveGame(cy);
    EXPECT_EQ(SentTo(t.LeaveGame(anna), nmBoardClosed),
              (std::vector<tAddress>{kPeerA, kPeerB, peerC}));
}

// The player is asked about a PC that a game waits for after 30 s of its
// silence, once while the question is open, and again 30 s after a "wait".
TEST(GameTable, ASilentPCIsAskedAboutOnceAQuestionAndAgainAfterAWait) {
    tGameTable t = NewTable();
    Add(t, "Bob", kPeerA, kPeerA);
    // B is as silent, but no board of the game waits for it.
    for (const tAddress peer : {kPeerA, kPeerB})
        t.ReceiveDatagram(tDatagram::ProgressOf(peer, {}), 0);
    struct tStep {
        std::int64_t nowMs;
        bool asked;
        bool waitAfterwards = false;
    };
    for (const tStep& s : {tStep{29999, false},
                           {30000, true},
                           {60000, false, true},
                           {89999, false},
                           {90000, true}}) {
        EXPECT_EQ(t.Tick(s.nowMs).AskSilent.size(), s.asked ? 1u : 0u) << s.nowMs;
        if (s.waitAfterwards)
            t.AnswerSilent(kPeerA, false, s.nowMs);
    }
}

// A confirmation that comes again changes nothing, nor which window is in front.
TEST(GameTable, ARepeatedConfirmationOfTheTurnInPlayLeavesTheWindowsAlone) {
    tGameTable t = NewTable();
    Add(t, "Anna");
    Add(t, "Bob", kPeerA, kPeerA);
    EXPECT_TRUE(t.ApplyRemoteMove(kPeerA, kBobBoard, true, 311, 1).Front);
    const tTableEffects again = t.ApplyRemoteMove(kPeerA, kBobBoard, true, 311, 1);
    EXPECT_FALSE(again.Front);
    EXPECT_TRUE(again.Changed.empty());
}

// The progress acknowledges a closing to the board's home, so that it stops telling it.
TEST(GameTable, ProgressAcknowledgesAClosingToTheBoardsHome) {
    tGameTable t = NewTable();
    Add(t, "Bob", kPeerA, kPeerA);
    t.ReceiveDatagram(tDatagram::ProgressOf(kPeerA, {}), 0);
    t.CloseRemoteBoard(kPeerA, kBobBoard);
    const std::vector<tSend> progress = SendsOf(t.Tick(0), nmProgress);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress[0].To, kPeerA);
    EXPECT_EQ(progress[0].Datagram.Progress,
              (std::vector<tDatagram::tProgressEntry>{{kPeerA, kBobBoard, 0, kStateClosed}}));
}
