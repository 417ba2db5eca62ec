#include <gtest/gtest.h>

#include <cstring>

#include "engine/foundation/Clock.h"
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

constexpr float kStep = 1.0f / 60.0f;

// Lyra with 3 stars, a constellation whose definition is missing, Orion
// with 2 stars.
class ChallengeStory : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    WriteChallenge({{"Lyra", {60, 60, 60}}, {"Ghost", {}, true}, {"Orion", {30, 30}}});
    Clock::Instance().SetFixedStep(kStep);
    game_->Next(game_->State(GameStateId::ChallengeStory));
    game_->Update();  // leaves NULL
    game_->Update();  // enters the story
    ASSERT_TRUE(game_->IsCurrent(game_->State(GameStateId::ChallengeStory)));
    ASSERT_NE(game_->galacticPlane, nullptr);
    ASSERT_EQ(Constellations().size(), 3u);
  }
  void TearDown() override { Clock::Instance().SetFixedStep(0.0f); }

  std::vector<Constellation>& Constellations() { return game_->galacticPlane->constellations; }
  std::vector<uint32_t> Completed() {
    std::vector<uint32_t> counts;
    for (const Constellation& c : Constellations()) counts.push_back(c.completed);
    return counts;
  }
  float TextAlpha() const { return game_->storyChannels[kStoryTextAlpha].output; }
  float Radius() const { return game_->galacticPlane->radius; }

  // One frame: the clock moves on, due messages arrive, the game steps.
  void Frame() {
    now_ += kStep;
    Clock::Instance().SetGameTime(now_);
    GetGEMMSGService()->Deliver();
    game_->Update();
  }
  void Run(float seconds) {
    for (int frames = static_cast<int>(seconds / kStep + 0.5f); frames > 0; --frames) Frame();
  }
  // Runs until the page is reached (false when it never comes).
  bool RunToPage(int page, float limitSeconds = 120.0f) {
    for (int frames = static_cast<int>(limitSeconds / kStep); frames > 0 && game_->storyPage < page; --frames) {
      Frame();
    }
    return game_->storyPage >= page;
  }
  void Key() {
    uint8_t keys[CUIOKeyboard::kListCapacity] = {platform::key::Space};
    PostGameMessage(eMSG_UIOKEYDOWN, reinterpret_cast<intptr_t>(keys), 0.0);
  }

  float now_ = 0.0f;
};

TEST_F(ChallengeStory, EveryStarButOneIsLitAtTheStartAndAConstellationWithoutStarsKeepsNone) {
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{2, 0, 1}));
  for (const Constellation& c : Constellations()) {
    EXPECT_EQ(c.size, Vector3());
    EXPECT_EQ(c.targetSize, Vector3());
  }
  EXPECT_TRUE(game_->fadedIn);
}

TEST_F(ChallengeStory, TheFirstLineFadesInTwoSecondsAfterEntryAndAKeyFadesItOutFromWhereItStands) {
  Run(1.9f);
  EXPECT_FALSE(game_->storyTextVisible);
  Run(0.2f);
  ASSERT_TRUE(game_->storyTextVisible);
  Run(0.4f);
  const float halfway = TextAlpha();
  EXPECT_GT(halfway, 0.2f);
  EXPECT_LT(halfway, 0.95f);

  Key();
  EXPECT_NEAR(TextAlpha(), halfway, 1e-5f);
  EXPECT_EQ(game_->storyChannels[kStoryTextAlpha].curve, AnimChannel::kFallFast);
  Frame();
  EXPECT_LT(TextAlpha(), halfway);
  EXPECT_GT(TextAlpha(), halfway * 0.9f);
  EXPECT_TRUE(RunToPage(1, 1.1f));
}

TEST_F(ChallengeStory, WithoutKeysALineStaysFourSecondsBetweenItsFades) {
  Run(2.0f + 1.0f + 3.8f);
  EXPECT_EQ(game_->storyPage, 0);
  EXPECT_FLOAT_EQ(TextAlpha(), 1.0f);
  EXPECT_TRUE(RunToPage(1, 1.5f));
}

TEST_F(ChallengeStory, TheGalaxyAppearsOnPageThreeGrowsOnPageFourAndTheConstellationsFormOnPageFive) {
  ASSERT_TRUE(RunToPage(3));
  Frame();
  EXPECT_FLOAT_EQ(Radius(), 0.00125f);
  ASSERT_TRUE(RunToPage(4));
  Run(2.0f);
  EXPECT_GT(Radius(), 10.0f);
  EXPECT_LT(Radius(), 40.0f);
  Run(2.1f);
  EXPECT_FLOAT_EQ(Radius(), 50.0f);
  EXPECT_EQ(Constellations()[0].targetSize, Vector3());
  ASSERT_TRUE(RunToPage(5));
  for (const Constellation& c : Constellations()) EXPECT_EQ(c.targetSize, Vector3(15.0f, 0.0f, 15.0f));
  Run(6.0f);
  EXPECT_NEAR(Constellations()[2].size.x, 15.0f, 0.1f);
}

TEST_F(ChallengeStory, PageEightPutsOutOneStarEveryEighthOfASecondFromTheLastConstellationBack) {
  ASSERT_TRUE(RunToPage(8));
  // The first star goes at once, from the last constellation with any.
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{2, 0, 0}));
  EXPECT_EQ(game_->storyKillIndex, 2);
  EXPECT_FALSE(game_->storyAdvancePending);
  Run(0.13f);
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{1, 0, 0}));
  EXPECT_EQ(game_->storyKillIndex, 0);
  Run(0.13f);
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{0, 0, 0}));
  EXPECT_FALSE(game_->storyAdvancePending);
  // Nothing left: the page's line fades in.
  Run(0.13f);
  EXPECT_EQ(game_->storyKillIndex, -1);
  EXPECT_TRUE(game_->storyAdvancePending);
  EXPECT_EQ(game_->storyChannels[kStoryTextAlpha].curve, AnimChannel::kRiseFast);
}

TEST_F(ChallengeStory, AKeyOnPageEightPutsOutEveryStarLeft) {
  ASSERT_TRUE(RunToPage(8));
  ASSERT_EQ(Completed(), (std::vector<uint32_t>{2, 0, 0}));
  Key();
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{0, 0, 0}));
  // The next tick finds no star and brings the line in.
  Run(0.15f);
  EXPECT_EQ(game_->storyChannels[kStoryTextAlpha].curve, AnimChannel::kRiseFast);
  EXPECT_EQ(game_->storyPage, 8);
  EXPECT_TRUE(RunToPage(9, 7.0f));
}

TEST_F(ChallengeStory, AfterPageNineTheGameFollowsAndNoStoryStarIsLeftLit) {
  ASSERT_TRUE(RunToPage(9));
  Run(2.0f);
  Key();
  ASSERT_TRUE(RunToPage(10, 1.5f));
  EXPECT_EQ(game_->pendingState, game_->State(GameStateId::ChallengeGame));
  EXPECT_FALSE(game_->fadedIn);
  Run(1.1f);
  EXPECT_TRUE(game_->IsCurrent(game_->State(GameStateId::ChallengeGame)));
}

TEST_F(ChallengeStory, LeavingLeavesNoCompletedStarAndThePlaneForTheGame) {
  GalacticPlane* plane = game_->galacticPlane.get();
  game_->Next(game_->State(GameStateId::ChallengeProgress));
  game_->Update();
  EXPECT_EQ(game_->galacticPlane.get(), plane);
  EXPECT_EQ(Completed(), (std::vector<uint32_t>{0, 0, 0}));
}

TEST(ChallengeStoryLines, PageZeroStandsAsWrittenAndEveryLineFitsTheScreen) {
  EXPECT_STREQ(StoryLine(0), "A Beginning is alway such a dark time...");
  for (int page = 0; page < kStoryPageCount; ++page) {
    EXPECT_GT(std::strlen(StoryLine(page)), 0u) << page;
    EXPECT_LE(std::strlen(StoryLine(page)), static_cast<size_t>(kStoryLineMaxCharacters)) << page;
  }
  EXPECT_STREQ(StoryLine(kStoryPageCount), "");
  EXPECT_STREQ(StoryLine(-1), "");
}

}  // namespace
