// Pseudo-random generator.
#include "core/random.h"

#include <chrono>

tRandom::tRandom() {
    SeedFromClock();
}

void tRandom::SeedFromClock() {
    engine_.seed(static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

int tRandom::Below(int n) {
    std::uniform_int_distribution<int> dist(0, n - 1);
    return dist(engine_);
}
