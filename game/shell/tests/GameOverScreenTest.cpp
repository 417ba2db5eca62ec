#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GameHud.h"
#include "game/shell/GameOverScreen.h"
#include "platform/KeyCodes.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

void ShowGameOver(ScreensFixture& run, bool resultNotSaved = false) {
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::PanicGame), 0.1f);
  ASSERT_TRUE(run.RunUntil("Game.PanicGame", 2.0f));
  // As a failed save of the profile or the table leaves it.
  run.game->resultNotSaved = resultNotSaved;
  // The mode leaves its HUD, renderer and backdrop to the page.
  ASSERT_NE(run.game->hud, nullptr);
  ASSERT_NE(run.game->galacticPlane, nullptr);
  run.game->gameOverText = "Out of Time!";
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::GameOver), 0.1f);
  ASSERT_TRUE(run.RunUntil("Game.GameOver", 2.0f));
}

TEST(GameOverScreen, APhraseSixToTenEveryFourSecondsOneTickAtATimeNoneAfterTheExit) {
  ScreensFixture run;
  ShowGameOver(run);
  const float entered = run.Now();
  run.Run(17.0f);
  std::vector<float> times;
  for (size_t i = 0; i < run.audio->heard.size(); ++i) {
    const HeardAudio& entry = run.audio->heard[i];
    if (entry.id != eMSG_AGUI_PlaySting || entry.time < entered - 0.2f) continue;
    times.push_back(entry.time - entered);
    EXPECT_GE(entry.value, 6);
    EXPECT_LE(entry.value, 10);
  }
  ASSERT_EQ(times.size(), 5u);
  for (size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], 4.0f, 0.1f);
  EXPECT_EQ(GetGEMMSGService()->CountMessages(run.game->receiverId, eMSG_AGUI_PlaySting), 1u);

  run.PressKey(platform::key::Space);
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 2.0f));
  EXPECT_TRUE(run.game->gameOverText.IsEmpty());
  const int played = run.audio->Count(eMSG_AGUI_PlaySting);
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::Credits), 0.1f);
  ASSERT_TRUE(run.RunUntil("Game.Credits", 2.0f));
  run.Run(10.0f);
  EXPECT_EQ(run.audio->Count(eMSG_AGUI_PlaySting), played);
}

TEST(GameOverScreen, AResultThatCouldNotBeSavedIsSaidUnderTheReason) {
  for (bool notSaved : {false, true}) {
    SCOPED_TRACE(notSaved);
    ScreensFixture run;
    ShowGameOver(run, notSaved);
    ASSERT_NE(run.game->hud, nullptr);
    EXPECT_STREQ(run.game->hud->saveWarning.Chars(), notSaved ? "Your result could not be saved" : "");
  }
}

TEST(GameOverScreen, TheEntryStopsTheGamesSoundsAndTheExitLeavesNoBackdrop) {
  ScreensFixture run;
  ShowGameOver(run);
  ASSERT_NE(run.game->hud, nullptr);
  EXPECT_TRUE(run.game->hud->gameOverShown);
  EXPECT_STREQ(run.game->hud->reason.Chars(), "Out of Time!");
  EXPECT_EQ(run.audio->Count(eMSG_AGUI_PlayGameOver), 1);
  const std::vector<int32_t> stops = run.audio->Values(eMSG_ALayer_Stop);
  ASSERT_GE(stops.size(), 2u);
  EXPECT_EQ(stops[stops.size() - 2], 0);
  EXPECT_EQ(stops.back(), 3);
  // A key in the first 4 s leaves without a second phrase.
  run.Run(1.0f);
  run.PressPad();
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 2.0f));
  EXPECT_EQ(run.game->hud, nullptr);
  EXPECT_EQ(run.game->renderer, nullptr);
  EXPECT_TRUE(run.game->gameOverText.IsEmpty());
  // The front end has a backdrop of its own; leaving it leaves none.
  EXPECT_NE(run.game->galacticPlane, nullptr);
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::Credits), 0.1f);
  ASSERT_TRUE(run.RunUntil("Game.Credits", 2.0f));
  EXPECT_EQ(run.game->galacticPlane, nullptr);
}

}  // namespace
