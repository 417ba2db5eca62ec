#pragma once

#include <cstdint>

namespace platform {

// Largest value NextRandom can return.
constexpr int kRandomMax = 32767;

// Restarts the program's one generator from the given seed.
void SeedRandom(uint32_t seed);

// Next value of the 15-bit linear congruential generator, 0..32767.
int NextRandom();

}  // namespace platform
