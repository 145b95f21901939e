// Whole games between several PCs' game tables over a simulated network, in virtual time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/datagram.h"
#include "core/game_table.h"

// What the network does to each datagram on its way to each receiving PC.
struct tNetworkFaults {
    double LossPercent = 0; // the datagram never arrives
    double DupPercent = 0;  // it arrives twice, each copy delayed on its own
    // Each copy takes 1 ms plus a uniform 0..ReorderMs; with 0 every datagram
    // takes exactly 1 ms, so none overtakes another.
    int ReorderMs = 0;
};

struct tSimOptions {
    int Pcs = 2; // 2..8
    // Each PC's number of boards, drawn per game from BoardsMin..BoardsMax (0..4).
    int BoardsMin = 2;
    int BoardsMax = 2;
    tNetworkFaults Net;
    // A game stops once every PC is idle without boards. With CheckQuiet it
    // runs on until every PC's clock has stopped: a table that still ticks
    // and talks 3 min after the game is a fault.
    bool CheckQuiet = false;
    // Every event of the game as a line of text, for replaying one game; unset: none.
    std::function<void(const std::string&)> Trace;
    // The first Old PCs play by the base protocol alone: they ignore the
    // repair kinds and close a copy on any move that does not fit.
    int Old = 0;
};

// One game on fresh tables.
struct tGameRun {
    std::uint64_t Seed = 0;
    bool Ended = false; // every PC is back to idle with no board left
    // Every copy of every board, on every PC that showed one, reached the
    // game's end with its home board's points, whether or not it closed then.
    bool Scored = false;
    bool Agreed = false;  // ended and scored
    bool Stalled = false; // some PC still held boards when virtual time ran out
    int Dropped = 0;      // board copies closed other than by their home PC's player
    // Copies closed by their home PC's repair, not by its nmBoardClosed: the
    // closing was lost, or held back until the copy reached the end.
    int ClosedByRepair = 0;
    // Copies closed on another PC's word after the board left its home PC,
    // which could not tell them itself: not dropped.
    int Relayed = 0;
    bool Quiet = true; // with CheckQuiet: every PC's clock stopped after the game
    int Boards = 0;    // boards the players added, over all PCs
    // Times a table asked its player whether to go on without a silent PC;
    // no PC falls silent here, so each is a fault. The player says no.
    int SilentQuestions = 0;
    // From the start of one turn to the start of the next on one PC, turns 2
    // to 19 and the game's end (turn 1 holds the gathering of the players).
    std::vector<std::int64_t> TurnUs;
    std::int64_t LastEventUs = 0;
    std::vector<std::string> Faults; // what went wrong, for the report of a failing game
};

tGameRun PlayGame(const tSimOptions& options, std::uint64_t seed);

// The options as the table_sim tool takes them, without --games and --seed.
std::string SimArguments(const tSimOptions& options);

// The sum over the games of a run, and the tool's closing line.
struct tRunTally {
    long Games = 0;
    long Ended = 0;
    long Agreed = 0;
    long Scored = 0;
    long ClosedByRepair = 0;
    long Relayed = 0;
    long NotQuiet = 0;
    long Dropped = 0;
    long Stalled = 0;
    std::vector<std::int64_t> TurnUs;

    void Add(const tGameRun& game);
    // Nearest rank of the pooled turn times, in ms; 0 without any.
    double TurnPercentileMs(double percent) const;
    // "games G, ended E, agreed A, dropped D, stalled S, turn p50 X ms, p99 Y ms, Z games/s"
    std::string Line(double seconds) const;
};

// What the simulation does with one PC's game model: the operations its
// window and its players use, and the boards it shows. The game table of
// this program is the one model so far; a PC of an older release would be
// another.
class tSimModel {
public:
    virtual ~tSimModel() = default;
    virtual tTableEffects BroadcastHello() = 0;
    virtual tTableEffects AddLocalBoard(const std::string& name) = 0;
    virtual tTableEffects ComputerMove(int key) = 0;
    virtual void BoardShown(int key) = 0;
    virtual tTableEffects PlaceTile(int key, std::uint16_t cellCode) = 0;
    virtual tTableEffects ConfirmTile(int key) = 0;
    virtual tTableEffects Receive(const tDatagram& datagram, std::int64_t nowMs) = 0;
    // The window's clock: every 250 ms while the table has boards or needs ticks.
    virtual tTableEffects Tick(std::int64_t nowMs) = 0;
    virtual bool NeedsTicks() const = 0;
    virtual tTableEffects AnswerSilent(tAddress peer, bool goOn, std::int64_t nowMs) = 0;
    virtual const tTableBoard* Board(int key) const = 0;
    virtual std::vector<const tTableBoard*> Boards() const = 0;
    // No game runs: new players may join.
    virtual bool Idle() const = 0;
};
