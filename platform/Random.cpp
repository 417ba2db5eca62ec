#include "platform/Random.h"

namespace platform {
namespace {
// Seed 1 until someone seeds it, as the C library's generator starts.
uint32_t randomState = 1;
}  // namespace

void SeedRandom(uint32_t seed) { randomState = seed; }

int NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFF);
}

}  // namespace platform
