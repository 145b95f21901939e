// Headless games of the computer player and of a random-placement baseline from a seed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/computer_player.h"
#include "core/scoring.h"
#include "core/tile_order.h"

namespace {

using tPlayer = std::function<std::uint16_t(const tBoard&, thxNummer, int, tRandom&)>;

std::uint16_t RandomCell(const tBoard& board, thxNummer, int, tRandom& random) {
    std::vector<std::uint16_t> free;
    for (std::uint16_t code : kCellCodes)
        if (board.At(code) < 0)
            free.push_back(code);
    return free[static_cast<std::size_t>(random.Below(static_cast<int>(free.size())))];
}

struct tSummary {
    double mean = 0;
    double spread = 0; // standard deviation
    int best = 0;
    int perfect = 0; // games of 307 points
    double gamesPerSecond = 0;
};

// As in the program: one generator draws the tile order of every game and
// the computer's random start of every move.
tSummary Play(const tPlayer& player, long games, std::uint64_t seed) {
    tRandom random(seed);
    double sum = 0;
    double squares = 0;
    tSummary s;
    const auto begin = std::chrono::steady_clock::now();
    for (long g = 0; g < games; ++g) {
        const TileOrder order = ShuffleTileOrder(random);
        tBoard board;
        for (int turn = 1; turn <= kTurnsPlayed; ++turn) {
            const auto tile = static_cast<thxNummer>(order.Tile(turn));
            board.Lay(player(board, tile, turn, random), tile);
        }
        const int points = EvaluateBoard(board, kModePoints);
        sum += points;
        squares += static_cast<double>(points) * points;
        if (points > s.best)
            s.best = points;
        if (points == kMaxTotal)
            ++s.perfect;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    const auto n = static_cast<double>(games);
    s.mean = sum / n;
    s.spread = games > 1 ? std::sqrt(std::max(0.0, (squares - sum * sum / n) / (n - 1))) : 0.0;
    s.gamesPerSecond = took.count() > 0 ? n / took.count() : 0.0;
    return s;
}

void Print(const char* name, const tSummary& s) {
    std::printf("%-9s mean %7.2f  spread %6.2f  best %3d  307s %5d  games/s %10.0f\n", name, s.mean,
                s.spread, s.best, s.perfect, s.gamesPerSecond);
}

} // namespace

int main(int argc, char** argv) {
    long games = 10000;
    std::uint64_t seed = 1;
    if (argc > 1)
        games = std::strtol(argv[1], nullptr, 10);
    if (argc > 2)
        seed = std::strtoull(argv[2], nullptr, 10);
    if (argc > 3 || games < 1) {
        std::fprintf(stderr, "usage: %s [games >= 1] [seed]\n", argv[0]);
        return 2;
    }
    std::printf("%ld games from seed %llu\n", games, static_cast<unsigned long long>(seed));
    Print("computer", Play(ComputerMove, games, seed));
    Print("random", Play(RandomCell, games, seed));
    return 0;
}
