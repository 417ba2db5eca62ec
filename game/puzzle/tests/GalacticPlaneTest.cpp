#include <gtest/gtest.h>

#include <vector>

#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "platform/Random.h"

namespace {

class GalacticPlaneTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SeedRandom(7); }
  void TearDown() override {
    Clock::Instance().SetPaused(false);
    EffectsPool::Shutdown();
  }
  GalacticPlane plane_;
};

TEST_F(GalacticPlaneTest, TheStarFieldHoldsAThousandStarsOnTheUnitSphereEvenWhilePaused) {
  Clock::Instance().SetPaused(true);
  plane_.Create();
  ParticleManager& field = *EffectsPool::Instance().Particles(0);
  ASSERT_EQ(field.LiveCount(), GalacticPlane::kFieldStars);
  EXPECT_TRUE(field.hidden);  // the plane draws it, not the pool
  for (int32_t i = 0; i < field.LiveCount(); ++i) {
    EXPECT_NEAR(field.GetLive(i)->position.Length(), 1.0f, 1e-4f) << i;
  }
  EXPECT_EQ(plane_.current, -1);
  EXPECT_EQ(plane_.starFieldController.drivenNode, &field.node);

  // Running frames never age the field away.
  Clock::Instance().SetPaused(false);
  Clock::Instance().SetFixedStep(0.5f);
  for (int frame = 0; frame < 10; ++frame) EffectsPool::Instance().Update();
  EXPECT_EQ(field.LiveCount(), GalacticPlane::kFieldStars);

  // Building again replaces the field rather than adding to it.
  plane_.Create();
  EXPECT_EQ(field.LiveCount(), GalacticPlane::kFieldStars);
}

TEST_F(GalacticPlaneTest, MarkersFlyToTheGalaxyInTwoSecondsAndStopAtAHundred) {
  plane_.Create();
  plane_.AddMarker(Vector3(), 0.5f);  // before CreateMarkers: nowhere to keep it
  EXPECT_EQ(plane_.markerCount, 0u);
  plane_.CreateMarkers();
  plane_.AddMarker(Vector3(1.0f, 2.0f, 3.0f), 0.0f);
  plane_.AddMarker(Vector3(), 0.6f);
  const StarMarker& marker = plane_.markers[0];
  EXPECT_GE(marker.size, 0.25f);
  EXPECT_LE(marker.size, 1.0f);
  EXPECT_FLOAT_EQ(plane_.markers[1].size, 0.6f);
  EXPECT_NEAR(marker.target.Length(), plane_.radius, 1e-3f);

  plane_.UpdateMarkers(1.0f);
  EXPECT_FLOAT_EQ(marker.progress, 0.5f);
  EXPECT_TRUE(marker.flipbook->active);
  plane_.UpdateMarkers(1.5f);
  EXPECT_FLOAT_EQ(marker.progress, 1.0f);
  EXPECT_NEAR((marker.current - marker.target).Length(), 0.0f, 1e-4f);

  for (int i = 0; i < 200; ++i) plane_.AddMarker(Vector3(), 1.0f);
  EXPECT_EQ(plane_.markerCount, GalacticPlane::kMarkerCapacity);
  plane_.DestroyMarkers();
  EXPECT_EQ(plane_.markerCount, 0u);
  plane_.AddMarker(Vector3(), 1.0f);
  EXPECT_EQ(plane_.markerCount, 0u);
}

TEST_F(GalacticPlaneTest, UpdateTurnsTheGalaxyAndEasesItsConstellations) {
  plane_.Create();
  plane_.constellations.resize(1);
  Constellation& constellation = plane_.constellations[0];
  constellation.targetSize = Vector3(30.0f, 0.0f, 30.0f);
  plane_.Update(0.5f);
  EXPECT_FLOAT_EQ(plane_.spin.GetValue(), 0.75f);
  EXPECT_GT(constellation.size.x, 15.0f);
  EXPECT_LT(constellation.size.x, 30.0f);
  // Small steps near a large target stall in float precision; the size
  // still arrives.
  bool arrived = false;
  for (int frame = 0; frame < 2000 && !arrived; ++frame) arrived = constellation.EaseSize(0.05f);
  EXPECT_TRUE(arrived);
  EXPECT_EQ(constellation.size.x, 30.0f);
  for (int frame = 0; frame < 300; ++frame) plane_.Update(1.0f);
  EXPECT_GE(plane_.spin.GetValue(), 0.0f);  // wraps within a turn
  EXPECT_LE(plane_.spin.GetValue(), 360.0f);
}

TEST_F(GalacticPlaneTest, TheRingLeavesOutTheConstellationInPlayWithoutGivingUpItsTurn) {
  struct Case {
    uint32_t count;
    int32_t current;
    std::vector<RingPlace> expected;
  };
  const Case cases[] = {
      // The second of two sits at the top of the ring, turned half round.
      {2, 0, {{1, Vector3(0.0f, 42.5f, 0.0f), 180.0f}}},
      // The ones after the skipped one move up a place but keep their turn.
      {4,
       1,
       {{0, Vector3(0.0f, 42.5f, 0.0f), 0.0f},
        {2, Vector3(-42.5f, 0.0f, 0.0f), 180.0f},
        {3, Vector3(0.0f, -42.5f, 0.0f), 270.0f}}},
      // With none in play every one is on the ring.
      {3,
       -1,
       {{0, Vector3(0.0f, 42.5f, 0.0f), 0.0f},
        {1, Vector3(-36.806f, -21.25f, 0.0f), 120.0f},
        {2, Vector3(36.806f, -21.25f, 0.0f), 240.0f}}},
      {0, -1, {}},
  };
  for (const Case& c : cases) {
    plane_.constellationCount = c.count;
    plane_.constellations.clear();
    plane_.constellations.resize(c.count);
    plane_.current = c.current;
    const std::vector<RingPlace> places = plane_.RingPlacements();
    ASSERT_EQ(places.size(), c.expected.size()) << c.count;
    for (size_t i = 0; i < places.size(); ++i) {
      EXPECT_EQ(places[i].index, c.expected[i].index) << c.count << " " << i;
      EXPECT_NEAR(places[i].position.x, c.expected[i].position.x, 1e-3f) << c.count << " " << i;
      EXPECT_NEAR(places[i].position.y, c.expected[i].position.y, 1e-3f) << c.count << " " << i;
      EXPECT_FLOAT_EQ(places[i].degrees, c.expected[i].degrees) << c.count << " " << i;
    }
  }
}

}  // namespace
