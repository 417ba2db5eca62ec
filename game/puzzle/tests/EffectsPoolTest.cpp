#include <gtest/gtest.h>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
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

TEST(EffectsPool, BeamMaterialsAreTwoSidedAndBlendedAndAMissingOneIsLeftUnset) {
  BeamManager& beams = *EffectsPool::Instance().Beams(3);
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("FX_TestBeams");
  ASSERT_NE(material->GetStage(0), nullptr);
  material->GetStage(0)->flags &= ~StageFlag::BLEND;
  EXPECT_TRUE(UseBeamMaterial(beams, "FX_TestBeams"));
  EXPECT_EQ(beams.material, material);
  EXPECT_EQ(material->Sides(), MaterialSide::FRONT | MaterialSide::BACK);
  EXPECT_NE(material->GetStage(0)->flags & StageFlag::BLEND, 0u);

  EXPECT_FALSE(UseBeamMaterial(beams, "FX_NoSuchBeams"));
  EXPECT_EQ(beams.material, material);
  EXPECT_EQ(CMATManager::GetInstance()->FindMaterial("FX_NoSuchBeams"), nullptr);
  EffectsPool::Shutdown();
}

TEST(EffectsPool, APlacedEffectSpawnsAtItsNewPlace) {
  BeamManager& beams = *EffectsPool::Instance().Beams(2);
  beams.Create(4, 0);
  PlaceEffect(beams, Vector3(1.0f, 2.0f, 3.0f));
  PlaceEffect(beams, Vector3(-4.0f, 5.0f, 6.0f));  // a second move takes too
  const int32_t index = beams.Spawn(Vector3(0.0f, 1.0f, 0.0f));
  ASSERT_GE(index, 0);
  EXPECT_EQ(beams.pool[index].start, Vector3(-4.0f, 5.0f, 6.0f));
  EffectsPool::Shutdown();
}

}  // namespace
