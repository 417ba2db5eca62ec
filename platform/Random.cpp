#include "platform/Random.h"

namespace platform {

namespace {
uint32_t gRandomState = 1;
}

void SeedRandom(uint32_t seed) { gRandomState = seed; }

int NextRandom() {
  gRandomState = gRandomState * 214013u + 2531011u;
  return static_cast<int>((gRandomState >> 16) & 0x7FFF);
}

}  // namespace platform
