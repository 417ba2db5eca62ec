#include "game/rules/PanicDisc.h"

#include <algorithm>

#include "engine/foundation/Maths.h"
#include "game/rules/PuzzleGem.h"

namespace {

constexpr unsigned kMostRings = 7;
constexpr unsigned kMostGemsPerRing = 40;
constexpr float kLeastFill = 0.33f;
constexpr float kFillPerLevel = 0.66f;
constexpr int kFewestGroupGems = 2;

}  // namespace

PanicDiscPlan DrawPanicDiscPlan(uint32_t storedLevel) {
  PanicDiscPlan plan;
  const uint32_t level = std::min(storedLevel, kMaxPanicLevel);
  plan.level = level;
  const unsigned tens = level / 10;
  const unsigned fifties = level / 50;
  const unsigned thirds = level / 33;
  plan.rings = std::min(3 + fifties + static_cast<unsigned>(RandomBelow(2)), kMostRings);
  // Seven possible sizes below level 60, six from there on.
  plan.gemsPerRing = std::min(
      tens + 10 + static_cast<unsigned>(RandomBelow(static_cast<uint16_t>(5 + (25 - tens) / 10))), kMostGemsPerRing);
  int colour = static_cast<int>(thirds) + 3 + RandomBelow(static_cast<uint16_t>(7 - thirds));
  // Gold belongs to the Challenge boards.
  if (colour == kGemGold) colour = kGemBlack;
  plan.highestColour = static_cast<uint16_t>(colour);
  plan.highestShape =
      static_cast<uint16_t>(fifties + 2 + static_cast<unsigned>(RandomBelow(static_cast<uint16_t>(3 - fifties))));
  plan.fillRatio = kLeastFill + kFillPerLevel * static_cast<float>(level) / 100.0f;
  plan.groupRatio = std::clamp(1.0f - static_cast<float>(level) / 100.0f, 0.0f, 1.0f);
  plan.smallestGroup = static_cast<unsigned>(std::max(5 - static_cast<int>(thirds), kFewestGroupGems));
  plan.largestGroup = static_cast<unsigned>(std::max(12 - static_cast<int>(tens), kFewestGroupGems));
  return plan;
}
