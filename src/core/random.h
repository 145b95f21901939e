// The program's one pseudo-random generator: seeded from the clock in the
// program, with a fixed value in tests so that a game can be replayed.
#pragma once

#include <cstdint>
#include <random>

class tRandom {
public:
    tRandom();
    explicit tRandom(std::uint64_t seed) : engine_(seed) {}

    void Seed(std::uint64_t seed) { engine_.seed(seed); }
    void SeedFromClock();
    // Uniform integer 0..n-1 (n > 0).
    int Below(int n);

private:
    std::mt19937_64 engine_;
};
