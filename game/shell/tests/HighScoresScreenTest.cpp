#include "game/shell/HighScoresScreen.h"

#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

HighScoresScreen& Page(ScreensFixture& run) {
  return *dynamic_cast<HighScoresScreen*>(run.game->State(GameStateId::HighScores));
}

void ShowHighScores(ScreensFixture& run, bool attract) {
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.Run(1.0f);
  run.game->showHighScoresAsAttract = attract;
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::HighScores), 1.0f);
  ASSERT_TRUE(run.RunUntil("Game.HighScores", 2.0f));
}

TEST(HighScoresScreen, FromTheMenuTheTablesTakeTurnsUntilAKey) {
  ScreensFixture run;
  ShowHighScores(run, false);
  const float entered = run.Now();
  EXPECT_EQ(Page(run).ModeOnShow(), 0);
  EXPECT_NE(run.game->galacticPlane, nullptr);
  // 10 s shown, 0.5 s falling, then the other table rises.
  run.Run(10.7f);
  EXPECT_EQ(Page(run).ModeOnShow(), 1);
  run.Run(11.0f);
  EXPECT_EQ(Page(run).ModeOnShow(), 0);
  run.Run(11.0f);
  EXPECT_EQ(Page(run).ModeOnShow(), 1);
  EXPECT_EQ(run.Current(), "Game.HighScores");
  run.PressPad();
  const float pressed = run.Now();
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 2.0f));
  EXPECT_NEAR(run.Now() - pressed, 1.0f, 0.15f);
  EXPECT_GT(pressed - entered, 30.0f);
}

TEST(HighScoresScreen, AsAnAttractItReturnsAfterThePanicTableAndLeavesNothingBehind) {
  ScreensFixture run;
  ShowHighScores(run, true);
  const float entered = run.Now();
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 30.0f));
  // Challenge 10 s, a 1 s change, Panic 10 s, then the 1 s fade.
  EXPECT_NEAR(run.Now() - entered, 22.0f, 0.3f);
  // Layer 2 stopped on the way out; the front end then stops them all.
  const std::vector<int32_t> stops = run.audio->Values(eMSG_ALayer_Stop);
  ASSERT_GE(stops.size(), 2u);
  EXPECT_EQ(stops[stops.size() - 2], 2);
  EXPECT_EQ(stops.back(), 4);
  // No timer of the page is left to reach the front end.
  EXPECT_EQ(GetGEMMSGService()->CountMessages(run.game->receiverId, eMSG_Next), 0u);
}

}  // namespace
