// The first star of the Challenge the build generates, played to the end
// through the headless harness by a simple player: the boards the game
// ships must be winnable by someone who looks for matches.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <queue>
#include <utility>
#include <vector>

#include "game/puzzle/PuzzleRenderer.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

constexpr const char* kChallengeFolder = "Resources/Boards/Challenge";

// Where a gem dropped into the column lands; -1 when the column is full.
int LandingRing(const CGPuzzleDisc& disc, int column) {
  int ring = static_cast<int>(disc.ringCount) - 1;
  while (ring >= 0 && disc.GemAt(ring, column).state == GemState::Empty) --ring;
  return ring + 1 < static_cast<int>(disc.ringCount) ? ring + 1 : -1;
}

// The size of the group a gem of the colour would join at the slot (itself
// included): settled gems of its colour, and Black ones, that touch it.
int GroupIfPlaced(const CGPuzzleDisc& disc, int ring, int column, int colour) {
  const int rings = static_cast<int>(disc.ringCount), slots = static_cast<int>(disc.slotsPerRing);
  std::vector<bool> seen(static_cast<size_t>(rings * slots), false);
  std::queue<std::pair<int, int>> open;
  open.push({ring, column});
  seen[static_cast<size_t>(ring * slots + column)] = true;
  int size = 0;
  while (!open.empty()) {
    const auto [r, c] = open.front();
    open.pop();
    ++size;
    const std::pair<int, int> next[] = {{r, (c + 1) % slots}, {r, (c + slots - 1) % slots}, {r + 1, c}, {r - 1, c}};
    for (const auto& [nr, nc] : next) {
      if (nr < 0 || nr >= rings || seen[static_cast<size_t>(nr * slots + nc)]) continue;
      const CGPuzzleGem& gem = disc.GemAt(nr, nc);
      if (gem.state != GemState::Settled || (gem.colour != colour && gem.colour != kGemBlack)) continue;
      seen[static_cast<size_t>(nr * slots + nc)] = true;
      open.push({nr, nc});
    }
  }
  return size;
}

// The column where the gem does most: the largest group, then the slot
// nearest the centre.
int BestColumn(const CGPuzzleDisc& disc, int colour) {
  int best = -1, bestGroup = 0, bestRing = 0;
  for (int column = 0; column < static_cast<int>(disc.slotsPerRing); ++column) {
    const int ring = LandingRing(disc, column);
    if (ring < 0) continue;
    const int group = GroupIfPlaced(disc, ring, column, colour);
    if (best < 0 || group > bestGroup || (group == bestGroup && ring < bestRing)) {
      best = column;
      bestGroup = group;
      bestRing = ring;
    }
  }
  return best;
}

bool AtRest(const CGPuzzleDisc& disc) {
  if (disc.busy) return false;
  for (unsigned ring = 0; ring < disc.ringCount; ++ring) {
    for (unsigned column = 0; column < disc.slotsPerRing; ++column) {
      const GemState state = disc.GemAt(static_cast<int>(ring), static_cast<int>(column)).state;
      if (state != GemState::Empty && state != GemState::Settled) return false;
    }
  }
  return true;
}

TEST(DefaultChallenge, TheFirstStarCanBeRebuiltByLookingForMatches) {
  GameHarness harness;
  std::filesystem::create_directories("Resources/Boards");
  std::filesystem::copy(std::filesystem::path(VYRE_RUN_DIR) / kChallengeFolder, kChallengeFolder,
                        std::filesystem::copy_options::recursive);
  harness.profile().mode = kModeChallenge;
  ASSERT_TRUE(harness.EnterState(GameStateId::ChallengeGame));
  ASSERT_NE(harness.disc(), nullptr);
  const ModeStats& challenge = harness.profile().modes[kModeChallenge];
  GPuzzleRenderer* renderer = harness.game().renderer.get();
  auto ready = [&] {
    return renderer->IsCurrent(renderer->InGame()) && !harness.disc()->locked && renderer->selected >= 0 &&
           renderer->queue[renderer->selected].active && !renderer->droppedGem.active && AtRest(*harness.disc());
  };

  int drops = 0;
  while (challenge.discIndex == 0 && drops < 200) {
    ASSERT_TRUE(harness.RunUntil([&] { return ready() || challenge.discIndex != 0; }, 20.0f)) << "drop " << drops;
    if (challenge.discIndex != 0) break;
    CGPuzzleDisc& disc = *harness.disc();
    const int column = BestColumn(disc, renderer->queue[renderer->selected].colour);
    ASSERT_GE(column, 0) << "no room left";
    for (int turns = 0; disc.dropColumn != column && turns < 2 * static_cast<int>(disc.slotsPerRing); ++turns) {
      harness.TurnForward();
      harness.Step(2);
    }
    ASSERT_EQ(disc.dropColumn, column);
    // The shown disc turns to its drop column before the gem flies.
    ASSERT_TRUE(harness.RunUntil([&] { return std::abs(renderer->turn) < 0.01f; }, 3.0f));
    harness.Drop();
    ++drops;
    ASSERT_TRUE(harness.game().gameOverText.IsEmpty()) << "drop " << drops;
  }
  EXPECT_EQ(challenge.discIndex, 1u) << drops << " drops";
  EXPECT_EQ(challenge.discsCompleted, 1u);
  EXPECT_TRUE(harness.game().gameOverText.IsEmpty());
}

}  // namespace
