// A hundred thousand seeded games between several PCs' game tables over simulated networks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>

#include "sim/table_network.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The share of each row's games to play: all of them, a twentieth under the
// sanitizers, or what VESSRIN_SIM_PERCENT says (a mutation run plays few).
long SharePercent() {
    if (const char* text = std::getenv("VESSRIN_SIM_PERCENT"))
        return std::clamp(std::atol(text), 1L, 100L);
    return kSanitized ? 5 : 100;
}

struct tRow {
    int Pcs;
    int BoardsMin;
    int BoardsMax;
    long Games;
    std::uint64_t Seed; // of the row's first game; game g plays with Seed + g
    bool Quiet = false; // run on after each game until every PC's clock stops
    double Loss = 0;    // percent, with Dup percent and reordering within ReorderMs
    double Dup = 0;
    int ReorderMs = 0;
    int Old = 0; // PCs that play by the base protocol alone
    // Lost datagrams that only a PC without repair could have repeated leave
    // some games behind: the least share of games that must end and agree,
    // which PCs without repair alone reach at that loss. 100: every game.
    int MinAgreedPercent = 100;
};

// A game costs about its boards times the PCs that copy them, and more so
// with every PC's heartbeat to every other: rows of many PCs draw fewer
// boards and play far fewer games.
const tRow kRows[] = {
    {2, 0, 4, 6500, 1000000}, {3, 0, 3, 2000, 2000000}, {4, 0, 2, 800, 3000000},
    {5, 0, 2, 300, 4000000},  {6, 0, 1, 160, 5000000},  {7, 0, 1, 120, 6000000},
    {8, 0, 1, 90, 7000000},   {4, 4, 4, 20, 8000000},   {8, 4, 4, 10, 9000000},
};

// Lost, repeated and late datagrams are repaired: every game still ends on
// every PC with the same totals.
const tRow kLossyRows[] = {
    {2, 0, 4, 20000, 21000000, false, 1, 1, 100}, {3, 0, 3, 8000, 22000000, false, 1, 1, 100},
    {4, 0, 2, 4000, 23000000, false, 1, 1, 100},  {6, 0, 1, 1500, 24000000, false, 1, 1, 100},
    {8, 0, 1, 600, 25000000, false, 1, 1, 100},   {2, 0, 4, 20000, 31000000, false, 10, 5, 500},
    {3, 0, 3, 8000, 32000000, false, 10, 5, 500}, {4, 0, 2, 4000, 33000000, false, 10, 5, 500},
    {6, 0, 1, 1500, 34000000, false, 10, 5, 500}, {8, 0, 1, 600, 35000000, false, 10, 5, 500},
    {4, 2, 2, 300, 36000000, false, 10, 5, 500},
};

// PCs without repair among PCs with it: on a perfect network every game
// ends and agrees; at 1 % loss at least as many as when no PC repairs (68 %
// of the games of two PCs, 10 % of four).
const tRow kOldRows[] = {
    {2, 0, 2, 3000, 41000000, false, 0, 0, 0, 1},
    {3, 0, 2, 2000, 42000000, false, 0, 0, 0, 1},
    {4, 0, 2, 1500, 43000000, false, 0, 0, 0, 1},
    {4, 0, 2, 1000, 44000000, false, 0, 0, 0, 2},
    {6, 0, 1, 500, 45000000, false, 0, 0, 0, 1},
    {2, 1, 2, 3000, 46000000, false, 1, 0, 0, 1, 68},
    {4, 0, 2, 1500, 47000000, false, 1, 0, 0, 1, 10},
};

// After a game the PCs fall silent: a few games run on until every clock stops.
const tRow kQuietRows[] = {{2, 1, 2, 40, 11000000, true},
                           {5, 0, 2, 20, 12000000, true},
                           {4, 0, 2, 20, 13000000, true, 10, 5, 500}};

// Names the row in the test's name.
void PrintTo(const tRow& row, std::ostream* out) {
    *out << row.Pcs << " PCs, " << row.BoardsMin << "-" << row.BoardsMax << " boards, loss "
         << row.Loss << " %, old " << row.Old << (row.Quiet ? ", quiet after" : "");
}

tSimOptions Options(const tRow& row) {
    tSimOptions options;
    options.Pcs = row.Pcs;
    options.BoardsMin = row.BoardsMin;
    options.BoardsMax = row.BoardsMax;
    options.CheckQuiet = row.Quiet;
    options.Net.LossPercent = row.Loss;
    options.Net.DupPercent = row.Dup;
    options.Net.ReorderMs = row.ReorderMs;
    options.Old = row.Old;
    return options;
}

std::string Replay(const tSimOptions& options, std::uint64_t seed) {
    return std::string(TABLE_SIM_TOOL) + " " + SimArguments(options) + " --games 1 --seed " +
           std::to_string(seed);
}

class Games : public testing::TestWithParam<tRow> {};

TEST_P(Games, EndEverywhereWithTheHomeBoardsPoints) {
    const tRow row = GetParam();
    const tSimOptions options = Options(row);
    const long games = std::max(row.Games * SharePercent() / 100, std::min(row.Games, 4L));
    long failed = 0;
    long agreed = 0;
    long boards = 0;
    for (long g = 0; g < games; ++g) {
        const std::uint64_t seed = row.Seed + static_cast<std::uint64_t>(g);
        const tGameRun run = PlayGame(options, seed);
        boards += run.Boards;
        // Every PC that saw a board played its 19 turns: 18 turn times from turn 2 on.
        const bool played = run.Boards == 0 || run.TurnUs.size() >= 18;
        // A copy may close by its home PC's repair rather than its
        // nmBoardClosed: the home PC holds the closing back from a PC whose
        // last progress showed the game still running.
        const bool good =
            run.Ended && run.Agreed && run.Dropped == 0 && !run.Stalled && run.Quiet && played;
        agreed += good;
        if (good || row.MinAgreedPercent < 100 || ++failed > 3)
            continue;
        std::string faults;
        for (const std::string& fault : run.Faults)
            faults += "\n  " + fault;
        ADD_FAILURE() << "game with seed " << seed << (run.Ended ? "" : " did not end")
                      << (run.Scored ? "" : ", totals disagree") << ", dropped " << run.Dropped
                      << ", closed by repair " << run.ClosedByRepair
                      << (run.Quiet ? "" : ", still ticking after the game")
                      << (played ? "" : ", too few turns") << faults
                      << "\nreplay: " << Replay(options, seed) << " --trace";
    }
    EXPECT_EQ(failed, 0) << "of " << games << " games";
    EXPECT_GE(agreed * 100, games * row.MinAgreedPercent)
        << agreed << " of " << games
        << " games ended and agreed; replay the row: " << std::string(TABLE_SIM_TOOL) << " "
        << SimArguments(options) << " --games " << games << " --seed " << row.Seed;
    // Most PCs drew boards: the games were played, not skipped.
    EXPECT_GT(boards, games * row.Pcs * (row.BoardsMin + row.BoardsMax) / 4);
}

std::string RowName(const testing::TestParamInfo<tRow>& info) {
    const tRow& r = info.param;
    std::string name = std::to_string(r.Pcs) + "Pcs" + std::to_string(r.BoardsMin) + "To" +
                       std::to_string(r.BoardsMax) + "Boards";
    if (r.Loss > 0)
        name += "Loss" + std::to_string(static_cast<int>(r.Loss));
    if (r.Old > 0)
        name += "Old" + std::to_string(r.Old);
    return name + (r.Quiet ? "Quiet" : "");
}

INSTANTIATE_TEST_SUITE_P(PerfectNetwork, Games, testing::ValuesIn(kRows), RowName);
INSTANTIATE_TEST_SUITE_P(LossyNetwork, Games, testing::ValuesIn(kLossyRows), RowName);
INSTANTIATE_TEST_SUITE_P(WithoutRepair, Games, testing::ValuesIn(kOldRows), RowName);
INSTANTIATE_TEST_SUITE_P(AfterGames, Games, testing::ValuesIn(kQuietRows), RowName);

// A failing game's seed replays it exactly: the same seed, the same course.
TEST(TableSim, SeedReplaysTheGame) {
    tSimOptions options;
    options.Pcs = 4;
    options.BoardsMin = 0;
    options.BoardsMax = 4;
    options.Net.LossPercent = 1;
    options.Net.DupPercent = 1;
    options.Net.ReorderMs = 5;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const tGameRun first = PlayGame(options, seed);
        const tGameRun again = PlayGame(options, seed);
        EXPECT_EQ(first.TurnUs, again.TurnUs) << "seed " << seed;
        EXPECT_EQ(first.LastEventUs, again.LastEventUs) << "seed " << seed;
        EXPECT_EQ(first.Faults, again.Faults) << "seed " << seed;
    }
}

} // namespace
