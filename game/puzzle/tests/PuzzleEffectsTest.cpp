// The renderer's gem bursts and rainbow rings.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/PuzzleDisc.h"
#include "support/RendererTestSupport.h"

namespace puzzle_test {
namespace {

class EffectsTest : public RendererTest {
 protected:
  // Crystal colour i gets red i / 10 and alpha 1, so a colour tells its index.
  EffectsTest() {
    for (int colour = 0; colour < kGemColourCount; ++colour) {
      float* rgba = renderer_->crystalMaterials[colour]->GetStage(0)->colour;
      rgba[0] = static_cast<float>(colour) / 10.0f;
      rgba[3] = 1.0f;
    }
  }
  static int IndexOf(const float* rgba) { return static_cast<int>(std::lround(rgba[0] * 10.0f)); }
};

TEST_F(EffectsTest, ABurstTakesItsCrystalsColourAndWhiteIsSeeThrough) {
  Show({{"RRRR"}});
  EffectsPool& pool = EffectsPool::Instance();
  for (int colour : {kGemOrange, kGemWhite}) {
    renderer_->BurstGem(colour, Vector3(1.0f, 0.0f, 0.0f));
    const float alpha = colour == kGemWhite ? 0.75f : 1.0f;
    EXPECT_EQ(IndexOf(pool.Particles(2)->colour), colour);
    EXPECT_FLOAT_EQ(pool.Particles(2)->colour[3], alpha);
    EXPECT_FLOAT_EQ(pool.Particles(3)->colour[3], alpha);
    EXPECT_FLOAT_EQ(pool.Beams(4)->colour[3], alpha);
    // At the point relative to the disc centre.
    EXPECT_FLOAT_EQ(pool.Beams(4)->GetPosition().x, GPuzzleRenderer::kDiscCentre.x + 1.0f);
    EXPECT_FALSE(pool.Particles(2)->enabled);
  }
  EXPECT_EQ(pool.Particles(2)->LiveCount(), 2);
  EXPECT_GE(pool.Particles(3)->LiveCount(), 2 * 8);
  EXPECT_LE(pool.Particles(3)->LiveCount(), 2 * 23);
  EXPECT_EQ(pool.Beams(4)->LiveCount(), 2 * 32);
}

// Each arc has half the ring's slots as points (rounded down), Green at
// the start and only rainbow colours along it.
TEST_F(EffectsTest, RainbowArcsSpanHalfTheRingInRainbowColours) {
  BeamManager* beams = EffectsPool::Instance().Beams(5);
  for (unsigned slots : {5u, 8u, 9u, 16u, 25u, 40u}) {
    Show({{std::string(slots, 'R')}});
    beams->KillAll();
    renderer_->RainbowRing(Vector3(1.0f, 0.0f, 0.0f), 0.5f);
    const int points = static_cast<int>(slots / 2);
    ASSERT_EQ(beams->LiveCount(), 2 * (points - 1)) << slots << " slots";
    for (int i = 0; i < beams->LiveCount(); ++i) {
      const int colour = IndexOf(beams->GetLive(i)->startColour);
      EXPECT_GE(colour, kGemRed) << slots;
      EXPECT_LE(colour, kGemIndigo) << slots;
    }
    EXPECT_EQ(IndexOf(beams->GetLive(0)->startColour), kGemGreen);
  }
}

TEST_F(EffectsTest, BreakingSendsAFanOfBeamsAlongTheRing) {
  CGPuzzleDisc& disc = Show({{"RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR"}});
  BeamManager* fan = EffectsPool::Instance().Beams(2);
  disc.GemAt(0, 3).state = GemState::Breaking;
  renderer_->UpdateBreakingGems(&disc, 0.0f);
  // Ring 0 of four spreads two beams to each side; no neighbour breaks.
  EXPECT_EQ(fan->LiveCount(), 2 * 2);
  EXPECT_EQ(IndexOf(fan->colour), kGemRed);
}

}  // namespace
}  // namespace puzzle_test
