#include <gtest/gtest.h>

#include <cmath>

#include "engine/effects/BeamManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/EffectHooks.h"

namespace {

// A camera on +z, off the beams' line through the origin.
void CameraOnZ(Vector3* right, Vector3* up, Vector3* position) {
  *right = Vector3(1.0f, 0.0f, 0.0f);
  *up = Vector3(0.0f, 1.0f, 0.0f);
  *position = Vector3(0.0f, 0.0f, 5.0f);
}

TEST(BeamManagerTest, FullPoolRefusesAndKillAllEmpties) {
  BeamManager beams;
  beams.Create(4, 0);
  for (int i = 0; i < 4; ++i) EXPECT_GE(beams.Spawn(Vector3(1.0f, 0.0f, 0.0f)), 0);
  EXPECT_EQ(beams.Spawn(Vector3(1.0f, 0.0f, 0.0f)), -1);
  EXPECT_EQ(beams.LiveCount(), 4);
  beams.KillAll();
  EXPECT_EQ(beams.SpawnMany(5, Vector3(0.0f, 1.0f, 0.0f)), 0);  // no room for all five
  EXPECT_EQ(beams.SpawnMany(3, Vector3(0.0f, 1.0f, 0.0f)), 3);
}

TEST(BeamManagerTest, SpawnSettingsShapeTheBeam) {
  BeamManager beams;
  beams.Create(2, 0);
  beams.length = 2.0f;
  beams.startWidth = 0.25f;
  beams.endWidth = -1.0f;
  beams.growthSpeed = 4.0f;
  beams.fadeRate = 2.0f;
  beams.driftSpeed = 1.0f;
  ASSERT_EQ(beams.Spawn(Vector3(0.0f, 0.0f, 5.0f)), 0);
  BeamElement& b = *beams.GetLive(0);
  EXPECT_EQ(b.endWidth, 0.25f);  // negative end width: the start width
  EXPECT_EQ(b.end, b.start);     // grows from nothing
  EXPECT_TRUE(b.Update(0.25f));
  EXPECT_EQ(b.start, Vector3(0.0f, 0.0f, 0.25f));
  EXPECT_EQ(b.end, Vector3(0.0f, 0.0f, 1.25f));
  EXPECT_FLOAT_EQ(b.endColour[3], 0.5f);
  EXPECT_FALSE(b.Update(0.25f));  // faded out
}

TEST(BeamManagerTest, ModeZeroWritesSevenThenEightVerticesInTableOrder) {
  GetEffectHooks().viewVectors = CameraOnZ;
  BeamManager beams;
  beams.Create(3, 0);
  beams.length = 1.0f;
  beams.startWidth = 0.5f;
  beams.endWidth = 0.25f;
  beams.Spawn(Vector3(1.0f, 0.0f, 0.0f));
  beams.Spawn(Vector3(1.0f, 0.0f, 0.0f));
  beams.UpdateMode0(0.01f);
  ASSERT_EQ(beams.VertexCount(), 15);
  EXPECT_EQ(beams.drawnBeams, 2);
  const EffectVertex* v = beams.Vertices();
  // Seen from +z a beam along +x spreads along y: S-, S+, S-, E+, E-, E+,
  // closing join E+, then the next beam's opening join S-.
  EXPECT_EQ(v[0].x, v[2].x);
  EXPECT_EQ(v[0].u, beams.uvPairs[0].x);
  EXPECT_EQ(v[3].v, beams.uvPairs[3].y);
  EXPECT_FLOAT_EQ(v[3].x, 1.0f);
  EXPECT_EQ(v[3].y, v[5].y);
  EXPECT_EQ(v[3].z, v[5].z);
  EXPECT_EQ(v[6].x, v[5].x);  // closing join repeats E+
  EXPECT_EQ(v[6].u, 0.0f);
  EXPECT_EQ(v[7].x, v[8].x);  // opening join repeats S- of the next beam
  EXPECT_EQ(v[7].z, v[8].z);
  const float startSpan = std::abs(v[1].y - v[0].y) + std::abs(v[1].z - v[0].z);
  const float endSpan = std::abs(v[3].y - v[4].y) + std::abs(v[3].z - v[4].z);
  EXPECT_FLOAT_EQ(startSpan, 1.0f);
  EXPECT_FLOAT_EQ(endSpan, 0.5f);
  GetEffectHooks().viewVectors = nullptr;
}

TEST(BeamManagerTest, ModeOneRibbonWritesFewerVerticesAndNothingWhenEmpty) {
  BeamManager beams;
  beams.Create(4, 1);
  beams.UpdateMode1(0.01f);
  EXPECT_EQ(beams.VertexCount(), 0);
  BeamPoint points[3];
  points[1].position = Vector3(1.0f, 0.0f, 0.0f);
  points[2].position = Vector3(2.0f, 1.0f, 0.0f);
  EXPECT_EQ(beams.SpawnMany(points, 3), 2);
  EXPECT_EQ(beams.GetLive(0)->shape, 2);
  EXPECT_EQ(beams.GetLive(1)->shape, 1);
  beams.UpdateMode1(0.01f);
  EXPECT_EQ(beams.VertexCount(), 6 + 8);         // a continuing segment, then the closing one
  EXPECT_EQ(beams.SpawnMany(points, 4 + 1), 0);  // would need four more beams: refused
  beams.Spawn(Vector3(0.0f, 0.0f, 1.0f));        // a standalone beam after the ribbon
  beams.UpdateMode1(0.01f);
  EXPECT_EQ(beams.VertexCount(), 14 + 8);
}

TEST(BeamManagerTest, UpdateFollowsTheClockAndMode) {
  Clock::Instance().SetPaused(false);
  Clock::Instance().SetFixedStep(0.05f);
  BeamManager beams;
  beams.Create(2, 0);
  beams.Spawn(Vector3(1.0f, 0.0f, 0.0f));
  Clock::Instance().SetPaused(true);
  beams.Update();
  EXPECT_EQ(beams.VertexCount(), 0);
  Clock::Instance().SetPaused(false);
  beams.Update();
  EXPECT_EQ(beams.VertexCount(), 7);
}

}  // namespace
