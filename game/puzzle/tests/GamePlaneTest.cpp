#include <gtest/gtest.h>

#include "engine/effects/ParticleManager.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

// The leak checker stands behind these tests: a plane replaced, or left to
// the game's destructor, that was not deleted fails the run.
using GamePlaneTest = ProfiledGameTest;

TEST_F(GamePlaneTest, ANewPlaneReplacesTheOldAndDestroyingClearsTheField) {
  GalacticPlane* first = game->CreateGalacticPlane();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(game->galacticPlane, first);
  EXPECT_EQ(first->current, -1);
  EXPECT_EQ(EffectsPool::Instance().Particles(0)->LiveCount(), GalacticPlane::kFieldStars);
  first->CreateMarkers();

  GalacticPlane* second = game->CreateGalacticPlane();
  EXPECT_EQ(game->galacticPlane, second);
  EXPECT_EQ(second->markerCount, 0u);
  EXPECT_EQ(second->markers, nullptr);

  game->DestroyGalacticPlane();
  EXPECT_EQ(game->galacticPlane, nullptr);
  game->DestroyGalacticPlane();  // nothing held: nothing to do
  EXPECT_EQ(game->galacticPlane, nullptr);
}

TEST_F(GamePlaneTest, TheGameDestroysAPlaneStillHeldWhenItGoes) {
  game->CreateGalacticPlane()->CreateMarkers();
  game.reset();
}

}  // namespace
