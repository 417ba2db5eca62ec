#pragma once
// The program's one random generator: the classic 15-bit linear
// congruential generator, identical on every platform so that seeded games
// and tests replay the same sequence.
#include <cstdint>

namespace platform {

// Largest value NextRandom returns.
constexpr int kRandomMax = 32767;

// Restarts the sequence from the given seed.
void SeedRandom(uint32_t seed);

// Next value of the sequence, 0..kRandomMax.
int NextRandom();

}  // namespace platform
