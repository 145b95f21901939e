// Benchmark: one evaluation of a full board in points and in quality.
#include <benchmark/benchmark.h>

#include "core/scoring.h"
#include "core/tile_order.h"

namespace {
tBoard FullBoard() {
    tRandom random(1);
    const TileOrder order = ShuffleTileOrder(random);
    tBoard board;
    for (int i = 0; i < kCellCount; ++i)
        board.Lay(kCellCodes[static_cast<std::size_t>(i)], order.Tile(i + 1));
    return board;
}

void EvaluatePoints(benchmark::State& state) {
    const tBoard board = FullBoard();
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateBoard(board, kModePoints));
}
BENCHMARK(EvaluatePoints);

void EvaluateQuality(benchmark::State& state) {
    const tBoard board = FullBoard();
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateBoard(board, kModeQualityLate));
}
BENCHMARK(EvaluateQuality);
} // namespace
