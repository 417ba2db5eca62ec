#include <gtest/gtest.h>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "game/puzzle/EffectsPool.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

TEST(EffectsPool, HoldsSixParticleAndSixBeamSystemsUntilShutdown) {
  EffectsPool::Shutdown();
  EXPECT_FALSE(EffectsPool::Exists());
  EffectsPool& pool = EffectsPool::Instance();
  EXPECT_EQ(&EffectsPool::Instance(), &pool);
  for (int slot = 0; slot < EffectsPool::kParticleSystems; ++slot) EXPECT_NE(pool.Particles(slot), nullptr) << slot;
  for (int slot = 0; slot < EffectsPool::kBeamSystems; ++slot) EXPECT_NE(pool.Beams(slot), nullptr) << slot;
  EXPECT_EQ(pool.Particles(-1), nullptr);
  EXPECT_EQ(pool.Particles(EffectsPool::kParticleSystems), nullptr);
  EXPECT_EQ(pool.Beams(EffectsPool::kBeamSystems), nullptr);
  EffectsPool::Shutdown();
  EXPECT_FALSE(EffectsPool::Exists());
  EffectsPool::Shutdown();  // a second shutdown finds nothing to free
}

TEST(EffectsPool, BeamsAdvanceOnlyWhileTheClockRuns) {
  EffectsPool& pool = EffectsPool::Instance();
  BeamManager& beams = *pool.Beams(0);
  beams.Create(8, 0);
  ASSERT_GE(beams.Spawn(Vector3(0.0f, 1.0f, 0.0f)), 0);
  ParticleManager& particles = *pool.Particles(0);
  particles.Create(8);
  particles.lifespan = 0.1f;
  ASSERT_EQ(particles.SpawnMany(2), 2);

  Clock& clock = Clock::Instance();
  clock.SetFixedStep(0.05f);
  clock.SetPaused(true);
  pool.Update();
  EXPECT_EQ(beams.VertexCount(), 0);
  EXPECT_EQ(particles.LiveCount(), 2);

  clock.SetPaused(false);
  for (int frame = 0; frame < 4; ++frame) pool.Update();
  EXPECT_GT(beams.VertexCount(), 0);
  EXPECT_EQ(particles.LiveCount(), 0);  // aged past their lifespan
  EffectsPool::Shutdown();
}

TEST(EffectsPool, TheGameMakesThePoolAndTheEntryPointsShutdownFreesIt) {
  EffectsPool::Shutdown();
  {
    GameFixture fixture;
    FakeServices services;
    services.loadable = {"tess"};
    auto game = std::make_unique<Game>(services);
    EXPECT_TRUE(EffectsPool::Exists());
    game.reset();
    EXPECT_TRUE(EffectsPool::Exists());  // the game never deletes it
  }
  EXPECT_FALSE(EffectsPool::Exists());
}

}  // namespace
