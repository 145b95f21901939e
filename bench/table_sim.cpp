// Plays seeded games between several PCs' game tables over a simulated lossy network.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/table_network.h"

namespace {

// Failing games named one by one before the summary; the rest only count.
constexpr long kFailuresShown = 10;

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s --pcs N --boards B --games G --seed S [--loss P] [--dup P] "
                 "[--reorder MS] [--old K] [--quiet] [--trace]\n"
                 "  --pcs N       PCs in the game, 2..8\n"
                 "  --boards B    boards per PC, 0..4, or LO-HI: each PC draws its number\n"
                 "  --games G     games to play, at least 1; game g plays with seed S + g\n"
                 "  --seed S      seed of the first game\n"
                 "  --loss P      datagrams lost, percent (0..100, fractions allowed)\n"
                 "  --dup P       datagrams that arrive twice, percent\n"
                 "  --reorder MS  each datagram takes 1 ms plus up to MS ms more\n"
                 "  --old K       the first K PCs play by the base protocol alone\n"
                 "  --quiet       after each game, check that every PC's clock stops\n"
                 "  --trace       print every event of every game\n",
                 program);
    return 2;
}

bool Whole(const char* text, long lo, long hi, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= lo && value <= hi;
}

bool Seed(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && text[0] != '-';
}

bool Percent(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0 && value <= 100;
}

bool Boards(const char* text, tSimOptions& options) {
    long lo = 0;
    long hi = 0;
    const char* dash = std::strchr(text, '-');
    if (!dash) {
        if (!Whole(text, 0, 4, lo))
            return false;
        hi = lo;
    } else {
        const std::string first(text, dash);
        if (!Whole(first.c_str(), 0, 4, lo) || !Whole(dash + 1, 0, 4, hi) || hi < lo)
            return false;
    }
    options.BoardsMin = static_cast<int>(lo);
    options.BoardsMax = static_cast<int>(hi);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    tSimOptions options;
    long games = 0;
    std::uint64_t seed = 0;
    bool pcs = false, boards = false, seeded = false, trace = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--trace") {
            trace = true;
            continue;
        }
        if (flag == "--quiet") {
            options.CheckQuiet = true;
            continue;
        }
        if (i + 1 >= argc)
            return Usage(argv[0]);
        const char* value = argv[++i];
        long whole = 0;
        bool good = true;
        if (flag == "--pcs") {
            good = pcs = Whole(value, 2, 8, whole);
            options.Pcs = static_cast<int>(whole);
        } else if (flag == "--boards") {
            good = boards = Boards(value, options);
        } else if (flag == "--games") {
            good = Whole(value, 1, 1000000000L, games);
        } else if (flag == "--seed") {
            good = seeded = Seed(value, seed);
        } else if (flag == "--loss") {
            good = Percent(value, options.Net.LossPercent);
        } else if (flag == "--dup") {
            good = Percent(value, options.Net.DupPercent);
        } else if (flag == "--old") {
            good = Whole(value, 0, 8, whole);
            options.Old = static_cast<int>(whole);
        } else if (flag == "--reorder") {
            good = Whole(value, 0, 60000, whole);
            options.Net.ReorderMs = static_cast<int>(whole);
        } else {
            good = false;
        }
        if (!good)
            return Usage(argv[0]);
    }
    if (!pcs || !boards || games < 1 || !seeded)
        return Usage(argv[0]);
    if (trace)
        options.Trace = [](const std::string& line) { std::printf("%s\n", line.c_str()); };

    tRunTally tally;
    long failures = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (long g = 0; g < games; ++g) {
        const std::uint64_t gameSeed = seed + static_cast<std::uint64_t>(g);
        const tGameRun run = PlayGame(options, gameSeed);
        tally.Add(run);
        if (run.Agreed && run.Dropped == 0 && !run.Stalled && run.Quiet && run.ClosedByRepair == 0)
            continue;
        if (++failures > kFailuresShown)
            continue;
        std::printf("game with seed %llu: %s%s, dropped %d, closed by repair %d%s; replay: %s %s "
                    "--games 1 --seed %llu "
                    "--trace\n",
                    static_cast<unsigned long long>(gameSeed), run.Ended ? "ended" : "not ended",
                    run.Agreed ? ", agreed" : "", run.Dropped, run.ClosedByRepair,
                    run.Quiet ? "" : ", not quiet", argv[0], SimArguments(options).c_str(),
                    static_cast<unsigned long long>(gameSeed));
        for (const std::string& fault : run.Faults)
            std::printf("  %s\n", fault.c_str());
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    if (failures > kFailuresShown)
        std::printf("%ld more failing games not shown\n", failures - kFailuresShown);
    std::printf("scored %ld: every copy of every board reached the end with its home board's "
                "points, closed or not\n",
                tally.Scored);
    std::printf("copies closed by their home PC's repair instead of nmBoardClosed %ld; closed "
                "on another PC's word after the board left its home PC %ld\n",
                tally.ClosedByRepair, tally.Relayed);
    if (options.CheckQuiet)
        std::printf("games after which some PC still ticked 3 min later %ld\n", tally.NotQuiet);
    std::printf("%s\n", tally.Line(took.count()).c_str());
    return 0;
}
