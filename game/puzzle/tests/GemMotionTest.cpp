// Gems moving outside their slots: falls, drops, breaks, the queue, the spin.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/effects/BeamManager.h"
#include "engine/foundation/Maths.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"
#include "support/RendererTestSupport.h"

namespace puzzle_test {
namespace {

constexpr float kDt = 1.0f / 60.0f;

// Where the last burst went off, relative to the disc centre.
Vector3 LastBurstOffset() { return EffectsPool::Instance().Beams(4)->GetPosition() - GPuzzleRenderer::kDiscCentre; }

class MotionTest : public RendererTest {
 protected:
  // Launches the dropped gem from the front of the queue, as a drop does.
  void Launch(int colour) {
    GemMotion& gem = renderer_->droppedGem;
    gem.active = true;
    gem.position = Vector3(GPuzzleRenderer::kQueueFrontX, 0.0f, 0.0f);
    gem.direction = Vector3(-1.0f, 0.0f, 0.0f);
    gem.speed = 1.0f;
    gem.colour = colour;
    gem.type = 0;
  }
  // Flies the dropped gem until it is gone; false when it never is.
  bool FlyDroppedGem() {
    for (int frame = 0; frame < 600 && renderer_->droppedGem.active; ++frame) {
      renderer_->UpdateDroppedGem(&Current(), kDt);
    }
    return !renderer_->droppedGem.active;
  }
  // Distance of the dropped gem from the disc centre, less the inner radius.
  float DroppedDistance(const Vector3& position) const {
    const float s = renderer_->RingSpacing();
    return (position - GPuzzleRenderer::kDiscCentre).Length() -
           static_cast<float>(discs_[0]->slotsPerRing) * s / (2 * kPi);
  }
};

// Gravity of a column holding gems on rings 2 and 3 over two empty slots:
// both land in that column, in order, and nothing else on the disc moves.
TEST_F(MotionTest, FallingGemsLandInTheirOwnColumn) {
  CGPuzzleDisc& disc = Show({{"RO...C..", "O....Y..", "..G..I..", "..B....."}});
  disc.ApplyGravity();
  for (int frame = 0; frame < 600; ++frame) renderer_->UpdateFallingGems(&disc, kDt);
  EXPECT_EQ(DrawRing(disc, 0), "ROg..C..");
  EXPECT_EQ(DrawRing(disc, 1), "O.b..Y..");
  EXPECT_EQ(DrawRing(disc, 2), ".....I..");
  EXPECT_EQ(DrawRing(disc, 3), "........");
}

TEST_F(MotionTest, AFallingGemMarksItsPathInFlight) {
  CGPuzzleDisc& disc = Show({{"........", "........", "........", "...R...."}});
  disc.ApplyGravity();
  renderer_->UpdateFallingGems(&disc, kDt);
  EXPECT_EQ(DrawRing(disc, 3), "...^....");
  for (int frame = 0; frame < 600 && DrawRing(disc, 0) == "........"; ++frame) {
    renderer_->UpdateFallingGems(&disc, kDt);
    int inFlight = 0;
    for (int r = 0; r < 4; ++r) inFlight += disc.GemAt(r, 3).state == GemState::InFlight ? 1 : 0;
    EXPECT_LE(inFlight, 1);
  }
  EXPECT_EQ(DrawRing(disc, 0), "...r....");
}

TEST_F(MotionTest, ADroppedGemLandsOnTopOfItsColumn) {
  CGPuzzleDisc& disc = Show({{"RR......", "R.......", "........"}});
  disc.Rotate(0);
  ASSERT_EQ(disc.dropColumn, 0);
  Launch(kGemBlue);
  ASSERT_TRUE(FlyDroppedGem());
  EXPECT_EQ(DrawRing(disc, 2), "b.......");
  EXPECT_EQ(DrawRing(disc, 1), "R.......");
  EXPECT_TRUE(disc.placedByPlayer);
}

TEST_F(MotionTest, ADroppedGemIntoAFullColumnBurstsAtTheRim) {
  CGPuzzleDisc& disc = Show({{"RR......", "RO......", "GO......"}});
  disc.dropColumn = 0;
  Launch(kGemBlue);
  ASSERT_TRUE(FlyDroppedGem());
  EXPECT_EQ(DrawRing(disc, 2), "GO......");
  const float s = renderer_->RingSpacing();
  const float inner = 8 * s / (2 * kPi);
  const float burstAt = LastBurstOffset().Length();
  EXPECT_GT(burstAt, inner + 2 * s);
  EXPECT_LE(burstAt, inner + 3 * s);
}

// A gem falling ahead of the dropped one takes its ring-0 slot: the dropped
// gem passes over the taken slot and is lost near the centre.
TEST_F(MotionTest, ADroppedGemOverATakenCentreSlotIsLostNearTheCentre) {
  CGPuzzleDisc& disc = Show({{"R.......", "........", "........"}});
  disc.dropColumn = 0;
  Launch(kGemBlue);
  const float s = renderer_->RingSpacing();
  for (int frame = 0; frame < 600 && renderer_->droppedGem.active; ++frame) {
    const GemMotion& gem = renderer_->droppedGem;
    const Vector3 next = gem.position + gem.direction * (GPuzzleRenderer::kMotionScale * (gem.speed + kDt));
    if (DroppedDistance(next) <= 2 * s) disc.GemAt(1, 0).state = GemState::InFlight;
    renderer_->UpdateDroppedGem(&disc, kDt);
  }
  EXPECT_FALSE(renderer_->droppedGem.active);
  EXPECT_EQ(DrawRing(disc, 0), "R.......");
  EXPECT_LE(LastBurstOffset().Length(), 0.125f + 0.001f);
}

struct TurnCase {
  const char* outerRing;
  bool forward;
  bool back;
};

// A turn by +1 brings column 1 under the gem flying over column 0, a turn
// by -1 column 7: each is refused while it would bring a taken slot there.
TEST_F(MotionTest, TurnsThatWouldBringATakenSlotUnderTheFlyingGemAreRefused) {
  const TurnCase cases[] = {
      {"........", true, true},
      {".R......", false, true},
      {".......R", true, false},
      {".R.....R", false, false},
  };
  for (const TurnCase& turn : cases) {
    CGPuzzleDisc& disc = Show({{"........", "........", turn.outerRing}});
    disc.dropColumn = 0;
    renderer_->UpdateDroppedGem(&disc, kDt);
    EXPECT_TRUE(renderer_->turnForwardAllowed);
    EXPECT_TRUE(renderer_->turnBackAllowed);
    Launch(kGemBlue);
    int ring = -1;
    int column = -1;
    for (int frame = 0; frame < 600 && ring != 2; ++frame) {
      renderer_->UpdateDroppedGem(&disc, kDt);
      if (!renderer_->FindSlotAt(renderer_->droppedGem.position - GPuzzleRenderer::kDiscCentre, ring, column))
        ring = -1;
    }
    ASSERT_EQ(ring, 2) << turn.outerRing;
    EXPECT_EQ(renderer_->turnForwardAllowed, turn.forward) << turn.outerRing;
    EXPECT_EQ(renderer_->turnBackAllowed, turn.back) << turn.outerRing;
    renderer_->droppedGem.active = false;
  }
}

TEST_F(MotionTest, BreakingGemsStartWhereTheTurnedDiscDrawsThem) {
  CGPuzzleDisc& disc = Show({{"R.......", "........"}});
  disc.GemAt(0, 0).state = GemState::Breaking;
  renderer_->spin.value = 90.0f;
  renderer_->UpdateBreakingGems(&disc, 0.0f);
  EXPECT_EQ(DrawRing(disc, 0), "........");
  // The disc is drawn turned by glRotate(90) about y: +x goes to -z.
  const float radius = GPuzzleRenderer::RingRadius(0, 8);
  ASSERT_FALSE(renderer_->breakingFlights.empty());
  const GemMotion& flight = renderer_->breakingFlights[0];
  EXPECT_TRUE(flight.active);
  EXPECT_NEAR(flight.origin.x, 0.0f, 1e-5f);
  EXPECT_NEAR(flight.origin.z, -radius, 1e-5f);
  for (int frame = 0; frame < 600 && flight.active; ++frame) renderer_->UpdateBreakingGems(&disc, kDt);
  EXPECT_FALSE(flight.active);
}

TEST_F(MotionTest, BreakingSlotsEmptyEvenWithEveryFlightBusy) {
  CGPuzzleDisc& disc = Show({{"RRRR", "GGGG"}});
  disc.BreakAll();
  renderer_->UpdateBreakingGems(&disc, 0.0f);
  disc.BreakAll();
  renderer_->UpdateBreakingGems(&disc, 0.0f);
  EXPECT_EQ(DrawRing(disc, 0), "....");
  EXPECT_EQ(DrawRing(disc, 1), "....");
}

TEST_F(MotionTest, FlightArraysGrowToTheLargestDisc) {
  CGPuzzleDisc& small = Show({{"RRRR"}});
  small.BreakAll();
  for (int frame = 0; frame < 600; ++frame) renderer_->UpdateBreakingGems(&small, kDt);
  CGPuzzleDisc& large = Show({std::vector<std::string>(7, std::string(40, 'G'))});
  large.BreakAll();
  renderer_->UpdateBreakingGems(&large, 0.0f);
  int flying = 0;
  for (const GemMotion& flight : renderer_->breakingFlights) flying += flight.active ? 1 : 0;
  EXPECT_EQ(flying, 7 * 40);
}

// ---- Queue ----

class QueueTest : public RendererTest {
 protected:
  QueueTest() {
    CGPuzzleDisc& disc = Show({{"RGB.....", "........"}});
    disc.queue->Init(6);
    for (int colour : {kGemRed, kGemGreen, kGemBlue}) disc.queue->Push(colour, 0);
  }
  int PlacedSounds() const { return receivers_.audio.Count(eMSG_AInGame_PlayGemPlaced); }
};

// Gems arrive a second apart, as the acquisitions space them.
TEST_F(QueueTest, GemsStopAtTheFrontAndBehindEachOtherWithOneSoundEach) {
  for (int gem = 0; gem < 3; ++gem) {
    renderer_->AcquireGem(*Current().queue);
    EXPECT_EQ(renderer_->queue[gem].position.x, GPuzzleRenderer::kQueueEntryX);
    for (int frame = 0; frame < 60; ++frame) renderer_->UpdateQueue(kDt);
  }
  for (int frame = 0; frame < 1200; ++frame) renderer_->UpdateQueue(kDt);
  EXPECT_EQ(renderer_->queue[0].position.x, GPuzzleRenderer::kQueueFrontX);
  EXPECT_EQ(renderer_->selected, 0);
  const float gap = GPuzzleRenderer::kQueueGap;
  EXPECT_NEAR(renderer_->queue[1].position.x, GPuzzleRenderer::kQueueFrontX + gap, 1e-5f);
  EXPECT_NEAR(renderer_->queue[2].position.x, GPuzzleRenderer::kQueueFrontX + 2 * gap, 1e-5f);
  EXPECT_EQ(PlacedSounds(), 3);
}

TEST_F(QueueTest, AcquiringTakesThePipesFrontInOrder) {
  const int first = Current().queue->At(0).colour;
  const int second = Current().queue->At(1).colour;
  renderer_->AcquireGem(*Current().queue);
  renderer_->AcquireGem(*Current().queue);
  EXPECT_EQ(renderer_->queue[0].colour, first);
  EXPECT_EQ(renderer_->queue[1].colour, second);
}

TEST_F(QueueTest, AnEmptyPipeGivesNothing) {
  CGPuzzlePipe empty(&Current());
  renderer_->AcquireGem(empty);
  EXPECT_FALSE(renderer_->queue[0].active);
  EXPECT_EQ(empty.head, 0u);
}

TEST_F(QueueTest, AFullQueueLeavesTheGemInThePipe) {
  for (uint32_t i = 0; i < GPuzzleRenderer::kQueueLength; ++i) renderer_->AcquireGem(*Current().queue);
  const unsigned head = Current().queue->head;
  renderer_->AcquireGem(*Current().queue);
  EXPECT_EQ(Current().queue->head, head);
}

TEST_F(QueueTest, AQueuedGemWhoseColourLeftTheDiscBursts) {
  renderer_->AcquireGem(*Current().queue);
  renderer_->queue[0].colour = kGemIndigo;
  renderer_->UpdateQueue(kDt);
  EXPECT_FALSE(renderer_->queue[0].active);
  EXPECT_EQ(renderer_->selected, -1);
}

// ---- Spin ----

TEST_F(MotionTest, TheDiscTurnsTheShortWayAcrossTheSeam) {
  CGPuzzleDisc& disc = Show({{std::string(36, '.')}});
  disc.dropColumn = 1;  // 10 degrees
  renderer_->spin.value = 350.0f;
  bool crossed = false;
  for (int frame = 0; frame < 600; ++frame) {
    const float before = renderer_->spin.value;
    renderer_->UpdateSpin(&disc, kDt);
    const float after = renderer_->spin.value;
    EXPECT_TRUE(after >= 350.0f || after <= 10.001f) << after;
    crossed = crossed || after < before;
  }
  EXPECT_TRUE(crossed);
  EXPECT_NEAR(renderer_->spin.value, 10.0f, 0.01f);
}

TEST_F(MotionTest, TheDropMarkerSitsOnTheLandingSlot) {
  CGPuzzleDisc& disc = Show({{"R.......", "........", "........"}});
  disc.Rotate(0);
  renderer_->UpdateSpin(&disc, kDt);
  const Vector3 slot = renderer_->SlotPosition(disc.landingRing, disc.dropColumn);
  EXPECT_NEAR(renderer_->dropMarker.x, slot.x, 1e-5f);
  EXPECT_NEAR(renderer_->dropMarker.z, slot.z, 1e-5f);
}

}  // namespace
}  // namespace puzzle_test
