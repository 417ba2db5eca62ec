// Where slots lie on a disc and which slot a moving gem is over.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/foundation/Maths.h"
#include "game/rules/PuzzleDisc.h"
#include "support/RendererTestSupport.h"

namespace puzzle_test {
namespace {

class LayoutTest : public RendererTest {
 protected:
  CGPuzzleDisc& ShowEmpty(unsigned rings, unsigned slots) {
    return Show({std::vector<std::string>(rings, std::string(slots, '.'))});
  }
};

TEST_F(LayoutTest, SpacingWidensForFewerSlots) {
  EXPECT_FLOAT_EQ(GPuzzleRenderer::RingSpacingFor(16), 0.25f);
  EXPECT_FLOAT_EQ(GPuzzleRenderer::RingSpacingFor(8), 0.375f);
  ShowEmpty(3, 8);
  EXPECT_FLOAT_EQ(renderer_->RingSpacing(), 0.375f);
}

TEST_F(LayoutTest, SlotsLieCounterClockwiseFromPlusXAtTheirRingRadius) {
  ShowEmpty(3, 8);
  const float s = 0.375f;
  const float inner = 8 * s / (2 * kPi);
  const Vector3 quarter = renderer_->SlotPosition(1, 2);
  EXPECT_NEAR(quarter.x, 0.0f, 1e-5f);
  EXPECT_NEAR(quarter.z, inner + s, 1e-5f);
  const Vector3 first = renderer_->SlotPosition(2, 0);
  EXPECT_NEAR(first.x, inner + 2 * s, 1e-5f);
  EXPECT_NEAR(first.z, 0.0f, 1e-5f);
}

// A gem a step inward of any slot's centre is found in that slot: falling
// gems land where the disc draws them, not in the mirrored column.
TEST_F(LayoutTest, FindSlotAtLocalInvertsSlotPosition) {
  for (unsigned slots : {8u, 10u, 16u, 25u, 40u}) {
    const unsigned rings = 6;
    ShowEmpty(rings, slots);
    const float step = renderer_->RingSpacing() * 0.01f;
    for (int r = 0; r < static_cast<int>(rings); ++r) {
      for (int c = 0; c < static_cast<int>(slots); ++c) {
        const Vector3 centre = renderer_->SlotPosition(r, c);
        Vector3 inward = centre;
        inward.Normalise();
        for (const Vector3& point : {centre, centre - inward * step}) {
          int ring = -1;
          int column = -1;
          EXPECT_TRUE(renderer_->FindSlotAtLocal(point, ring, column));
          EXPECT_EQ(ring, r) << slots << " slots, slot " << r << "," << c;
          EXPECT_EQ(column, c) << slots << " slots, slot " << r << "," << c;
        }
      }
    }
  }
}

TEST_F(LayoutTest, FindSlotAtLocalIsOutsidePastTheLastRing) {
  ShowEmpty(3, 8);
  int ring = 0;
  int column = 0;
  Vector3 far = renderer_->SlotPosition(2, 0) * 1.5f;
  EXPECT_FALSE(renderer_->FindSlotAtLocal(far, ring, column));
}

// The dropped gem flies in along the world +x axis over the drop column,
// whether the turning disc is a hair short of its target, on it or past it.
TEST_F(LayoutTest, FindSlotAtOnTheDropAxisGivesTheDropColumn) {
  const unsigned rings = 4;
  for (unsigned slots : {8u, 16u, 25u}) {
    CGPuzzleDisc& disc = ShowEmpty(rings, slots);
    const float s = renderer_->RingSpacing();
    const float inner = static_cast<float>(slots) * s / (2 * kPi);
    // Halfway between the centres of rings 2 and 3: still counted in ring 2.
    const Vector3 offset(inner + 2.5f * s, 0.0f, 0.0f);
    const int last = static_cast<int>(slots) - 1;
    for (int drop : {0, 1, static_cast<int>(slots) / 2, last}) {
      disc.dropColumn = drop;
      const float target = static_cast<float>(drop) * 360.0f / static_cast<float>(slots);
      for (float hair : {-0.01f, 0.0f, 0.01f}) {
        float spin = target + hair;
        if (spin < 0.0f) spin += 360.0f;
        renderer_->spin.value = spin;
        int ring = -1;
        int column = -2;
        EXPECT_TRUE(renderer_->FindSlotAt(offset, ring, column));
        EXPECT_EQ(ring, 2);
        // -1 names the last column when the heading rounds up past it.
        const bool expected = column == drop || (drop == last && column == -1);
        EXPECT_TRUE(expected) << slots << " slots, drop " << drop << ", spin " << spin << " gave " << column;
      }
    }
  }
}

TEST_F(LayoutTest, FindSlotAtIsOutsideBeyondTheRim) {
  ShowEmpty(3, 8);
  int ring = 0;
  int column = 0;
  EXPECT_FALSE(renderer_->FindSlotAt(Vector3(10.0f, 0.0f, 0.0f), ring, column));
  EXPECT_TRUE(renderer_->FindSlotAt(Vector3(0.6f, 0.0f, 0.0f), ring, column));
}

TEST(Layout, ColumnsWrapBothWays) {
  EXPECT_EQ(WrapColumn(-1, 8), 7);
  EXPECT_EQ(WrapColumn(-9, 8), 7);
  EXPECT_EQ(WrapColumn(8, 8), 0);
  EXPECT_EQ(WrapColumn(3, 0), 0);
}

}  // namespace
}  // namespace puzzle_test
