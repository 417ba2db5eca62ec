#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Challenge.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "platform/KeyCodes.h"
#include "support/ChallengeTestSupport.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

class ChallengePages : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    WriteChallenge({{"Lyra", {60, 60, 60}}, {"Orion", {30, 30}}, {"Vela", {45}}});
  }
  // Two state-machine steps: out of the current state, into the next.
  void Enter(GameStateId id) {
    game_->Next(game_->State(id));
    game_->Update();
    game_->Update();
    ASSERT_TRUE(game_->IsCurrent(game_->State(id)));
  }
  void Leave() {
    game_->Next(game_->GetNullState());
    game_->Update();
  }
  ModeStats& Challenge() { return game_->profile->modes[kModeChallenge]; }
};

TEST_F(ChallengePages, WellDoneShowsTheFinishedConstellationGrowingInAndAKeyStartsTheNext) {
  Challenge().constellationIndex = 2;  // Orion has just been finished
  Enter(GameStateId::ChallengeProgress);
  ASSERT_NE(game_->galacticPlane, nullptr);
  std::vector<Constellation>& set = game_->galacticPlane->constellations;
  ASSERT_EQ(set.size(), 3u);
  EXPECT_EQ(game_->FinishedConstellation(), &set[1]);
  EXPECT_EQ(game_->galacticPlane->current, 1);
  EXPECT_EQ(set[0].completed, 3u);
  EXPECT_EQ(set[1].completed, 2u);
  EXPECT_EQ(set[2].completed, 0u);
  EXPECT_EQ(set[1].size, Vector3());
  EXPECT_EQ(set[1].targetSize, Vector3(4.0f, 0.0f, 4.0f));
  EXPECT_TRUE(game_->fadedIn);

  uint8_t keys[CUIOKeyboard::kListCapacity] = {platform::key::Return};
  PostGameMessage(eMSG_UIOKEYDOWN, reinterpret_cast<intptr_t>(keys), 0.0);
  EXPECT_EQ(game_->pendingState, game_->State(GameStateId::ChallengeGame));
  GameFixture::DeliverAt(1.0f);
  game_->Update();
  // The page's plane goes with it.
  EXPECT_EQ(game_->galacticPlane, nullptr);
}

TEST_F(ChallengePages, AnIndexOutsideTheSetChangesNoConstellation) {
  for (uint32_t index : {0u, 4u, 0xFFFFFFFFu}) {
    Challenge().constellationIndex = index;
    Enter(GameStateId::ChallengeProgress);
    EXPECT_EQ(game_->FinishedConstellation(), nullptr) << index;
    EXPECT_EQ(game_->galacticPlane->current, -1) << index;
    for (const Constellation& c : game_->galacticPlane->constellations) EXPECT_EQ(c.completed, 0u) << index;
    Leave();
    EXPECT_EQ(game_->galacticPlane, nullptr);
  }
}

TEST_F(ChallengePages, TheClosingPictureIsTheOnParOneOnlyWhenEveryDiscWasOnPar) {
  struct Case {
    uint32_t parCompletions;
    uint32_t totalStars;
    const char* picture;
  };
  const Case cases[] = {
      {6, 6, kChallengeCompletedOnParPicture},
      {5, 6, kChallengeCompletedPicture},
      {0, 6, kChallengeCompletedPicture},
  };
  CTEXManager* textures = CTEXManager::GetInstance();
  for (const Case& c : cases) {
    Challenge().parCompletions = c.parCompletions;
    Challenge().totalStars = c.totalStars;
    const uint32_t texturesBefore = textures->TextureCount();
    Enter(GameStateId::ChallengeCompleted);
    ASSERT_NE(game_->completedPicture, nullptr);
    EXPECT_STRCASEEQ(game_->completedPicture->GetFullName().Chars(), c.picture);
    EXPECT_TRUE(game_->fadedIn);
    Leave();
    // Released on the way out.
    EXPECT_EQ(game_->completedPicture, nullptr);
    EXPECT_EQ(textures->TextureCount(), texturesBefore) << c.picture;
  }
}

}  // namespace
