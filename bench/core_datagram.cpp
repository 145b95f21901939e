// Encoding and decoding one datagram, the per-message cost on both PCs.
#include "core/datagram.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DatagramBoardEncodeDecode(benchmark::State& state) {
    TileOrder order;
    for (int i = 0; i < kTileCount; ++i)
        order.tiles[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>((i * 5 + 3) % 27);
    const tDatagram board =
        tDatagram::Board(order, AddressFromOctets(192, 168, 1, 5), "Spieler Eins", 0x1234u);
    for (auto _ : state) {
        const tDatagramBytes bytes = board.Encode();
        auto decoded = tDatagram::Decode(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DatagramBoardEncodeDecode);

void BM_DatagramTileLaidEncodeDecode(benchmark::State& state) {
    const tDatagram laid = tDatagram::TileLaid(AddressFromOctets(192, 168, 1, 5), 0x1234u, 7, 311);
    for (auto _ : state) {
        const tDatagramBytes bytes = laid.Encode();
        auto decoded = tDatagram::Decode(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DatagramTileLaidEncodeDecode);

} // namespace
