// The Challenge's board files as the build wrote them, read with the game's
// own board reader.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "content/game/ChallengeBoards.h"
#include "content/game/Constellations.h"
#include "game/rules/BoardFile.h"
#include "game/rules/PuzzleDisc.h"
#include "support/GameDataSupport.h"

namespace {

TEST(ChallengeBoards, EveryBoardHoldsOneFilledDiscPerStar) {
  InRunFolder run;
  std::set<int> colours;
  for (const ConstellationDesign& constellation : ChallengeConstellations()) {
    SCOPED_TRACE(constellation.name);
    std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
    ASSERT_TRUE(ReadBoard(BoardPath(constellation).c_str(), discs));
    ASSERT_EQ(discs.size(), constellation.stars.size());
    for (size_t d = 0; d < discs.size(); ++d) {
      SCOPED_TRACE("disc " + std::to_string(d));
      CGPuzzleDisc& disc = *discs[d];
      const int rings = int(disc.ringCount), slots = int(disc.slotsPerRing);
      EXPECT_TRUE(rings >= 3 && rings <= 5) << rings;
      EXPECT_TRUE(slots >= 10 && slots <= 16) << slots;
      for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < slots; ++s) {
          const CGPuzzleGem& gem = disc.GemAt(r, s);
          ASSERT_TRUE(gem.state == GemState::Empty || gem.state == GemState::Settled);
          if (gem.state == GemState::Settled) colours.insert(gem.colour);
          // The outer ring is free, and no gem floats over an empty slot.
          if (r == rings - 1) {
            EXPECT_EQ(gem.state, GemState::Empty);
          }
          if (r > 0 && gem.state == GemState::Settled) {
            EXPECT_EQ(disc.GemAt(r - 1, s).state, GemState::Settled);
          }
        }
      }
      EXPECT_TRUE(disc.GetFillRatio() >= 0.29f && disc.GetFillRatio() <= 0.61f) << disc.GetFillRatio();
      // A blank queue of 12: the game generates it when the disc starts.
      EXPECT_EQ(disc.queue->capacity, unsigned(kBoardQueueLength));
      EXPECT_TRUE(disc.queue->IsUniform());
    }
  }
  for (int special : {kGemWhite, kGemBlack, kGemGold}) EXPECT_TRUE(colours.count(special)) << "colour " << special;
}

}  // namespace
