#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/shell/HighScoresScreen.h"
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

// Frame by frame across a swap: the table on show fades 1 -> 0 over 0.5 s,
// then the other one fades 0 -> 1; no frame of either blinks.
TEST(HighScoresScreen, ATableFadesOutBeforeTheOtherFadesIn) {
  ScreensFixture run;
  ShowHighScores(run, false);
  const float entered = run.Now();
  struct Sample {
    float time;
    int32_t mode;
    float alpha;
  };
  std::vector<Sample> samples;
  while (run.Now() - entered < 11.5f) {
    run.Run(ScreensFixture::kStep);
    samples.push_back({run.Now() - entered, Page(run).ModeOnShow(), run.game->highScoreChannel.output});
  }
  const auto swap = std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.mode == 1; });
  ASSERT_NE(swap, samples.end());
  // The first table stays whole once it has risen, until its fade begins.
  const auto fall =
      std::find_if(samples.begin(), swap, [](const Sample& s) { return s.time > 1.0f && s.alpha < 1.0f; });
  ASSERT_NE(fall, swap);
  for (auto s = samples.begin(); s != fall; ++s) {
    if (s->time > 0.6f) {
      EXPECT_FLOAT_EQ(s->alpha, 1.0f) << s->time;
    }
  }
  EXPECT_NEAR(swap->time - fall->time, HighScoresScreen::kPageFadeSeconds, 0.11f);
  for (auto s = fall; s + 1 != swap; ++s) EXPECT_LE((s + 1)->alpha, s->alpha) << s->time;
  EXPECT_LT((swap - 1)->alpha, 0.05f);
  // The other table rises from nothing to whole.
  EXPECT_LT(swap->alpha, 0.05f);
  for (auto s = swap; s + 1 != samples.end(); ++s) EXPECT_GE((s + 1)->alpha, s->alpha) << s->time;
  EXPECT_FLOAT_EQ(samples.back().alpha, 1.0f);
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
