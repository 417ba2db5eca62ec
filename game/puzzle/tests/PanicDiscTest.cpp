#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/Memory.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "game/puzzle/Game.h"
#include "game/rules/PanicDisc.h"
#include "platform/Random.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

struct Range {
  unsigned low = UINT_MAX;
  unsigned high = 0;
  void Add(unsigned value) {
    low = std::min(low, value);
    high = std::max(high, value);
  }
  bool operator==(const Range& other) const { return low == other.low && high == other.high; }
};

std::ostream& operator<<(std::ostream& out, const Range& range) { return out << range.low << "-" << range.high; }

TEST(PanicDiscPlan, EveryRangeIsReachedAtBothEndsAndNoFurther) {
  struct Case {
    uint32_t storedLevel;
    uint32_t level;
    Range rings, gems, colour, shape;
    float fill, group;
    unsigned smallest, largest;
  };
  const Case cases[] = {
      {0, 0, {3, 4}, {10, 16}, {3, 8}, {2, 4}, 0.33f, 1.0f, 5, 12},
      {1, 1, {3, 4}, {10, 16}, {3, 8}, {2, 4}, 0.3366f, 0.99f, 5, 12},
      {50, 50, {4, 5}, {15, 21}, {4, 8}, {3, 4}, 0.66f, 0.5f, 4, 7},
      // From 60 on the gem count has six values instead of seven.
      {60, 60, {4, 5}, {16, 21}, {4, 8}, {3, 4}, 0.726f, 0.4f, 4, 6},
      {100, 100, {5, 6}, {20, 25}, {6, 8}, {4, 4}, 0.99f, 0.0f, 2, 2},
      {150, 100, {5, 6}, {20, 25}, {6, 8}, {4, 4}, 0.99f, 0.0f, 2, 2},
  };
  for (const Case& c : cases) {
    platform::SeedRandom(c.storedLevel + 7);
    Range rings, gems, colour, shape;
    int nines = 0;
    for (int draw = 0; draw < 2000; ++draw) {
      const PanicDiscPlan plan = DrawPanicDiscPlan(c.storedLevel);
      rings.Add(plan.rings);
      gems.Add(plan.gemsPerRing);
      colour.Add(plan.highestColour);
      shape.Add(plan.highestShape);
      nines += plan.highestColour == 9 ? 1 : 0;
      ASSERT_EQ(plan.level, c.level);
      EXPECT_NEAR(plan.fillRatio, c.fill, 1e-5f) << c.storedLevel;
      EXPECT_NEAR(plan.groupRatio, c.group, 1e-5f) << c.storedLevel;
      ASSERT_EQ(plan.smallestGroup, c.smallest) << c.storedLevel;
      ASSERT_EQ(plan.largestGroup, c.largest) << c.storedLevel;
    }
    EXPECT_EQ(rings, c.rings) << c.storedLevel;
    EXPECT_EQ(gems, c.gems) << c.storedLevel;
    EXPECT_EQ(colour, c.colour) << c.storedLevel;
    EXPECT_EQ(shape, c.shape) << c.storedLevel;
    EXPECT_EQ(nines, 0) << c.storedLevel;
  }
}

class PanicDiscBuild : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    game_->profile->mode = kModePanic;
    EnableTestLogChannels();
    ClearLogLines(kLogDBG);
  }
};

TEST_F(PanicDiscBuild, TheDiscFollowsTheLoggedPlanAndLeavesItsLastRingEmpty) {
  for (uint32_t level : {0u, 50u, 150u}) {
    game_->profile->modes[kModePanic].level = level;
    ClearLogLines(kLogDBG);
    game_->CreatePanicDisc();
    ASSERT_EQ(game_->discs.size(), 1u);
    CGPuzzleDisc* disc = game_->currentDisc;
    ASSERT_EQ(disc, game_->discs[0].get());
    const std::vector<std::string> lines = LogLinesOf(kLogDBG);
    const std::string planLine =
        "Rings " + std::to_string(disc->ringCount) + ", Gems " + std::to_string(disc->slotsPerRing) + ", Colours ";
    EXPECT_EQ(CountLogLines(kLogDBG, "Creating Panic Disc for Skill Level " + std::to_string(std::min(level, 100u))),
              1);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind(planLine, 0) == 0;
    })) << planLine;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("Generate Groups Ratio ", 0) == 0; }));
    for (unsigned column = 0; column < disc->slotsPerRing; ++column) {
      EXPECT_EQ(disc->GemAt(static_cast<int>(disc->ringCount) - 1, static_cast<int>(column)).state, GemState::Empty);
    }
    EXPECT_GT(disc->CountGems(), 0u);
    // The queue is drawn from the disc at once.
    EXPECT_FALSE(disc->queue->IsUniform() && disc->queue->capacity == 0);
  }
}

TEST_F(PanicDiscBuild, ANewDiscTakesTheRainbowRunAndReleasesTheOldDisc) {
  game_->profile->modes[kModePanic].level = 10;
  game_->CreatePanicDisc();
  game_->currentDisc->rainbowGem.SetColour(kGemGreen);
  const MemoryCounters before = GetMemoryCounters();
  game_->CreatePanicDisc();
  ASSERT_EQ(game_->discs.size(), 1u);
  EXPECT_EQ(game_->currentDisc->rainbowGem.colour, kGemGreen);
  // Building one disc in place of another leaves no more blocks alive.
  for (int disc = 0; disc < 5; ++disc) game_->CreatePanicDisc();
  const MemoryCounters after = GetMemoryCounters();
  const int64_t liveBefore = static_cast<int64_t>(before.TotalAllocations()) - before.TotalFrees();
  const int64_t liveAfter = static_cast<int64_t>(after.TotalAllocations()) - after.TotalFrees();
  EXPECT_LE(liveAfter, liveBefore + 16);
}

}  // namespace
