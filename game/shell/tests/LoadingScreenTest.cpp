#include <gtest/gtest.h>

#include "engine/runtime/messages/MessageIds.h"
#include "game/shell/LoadingScreen.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

TEST(LoadingProgress, TheCountReachesTheTotalWhateverTheManagersReport) {
  struct Case {
    const char* name;
    int32_t registered;
    int32_t pending;
    int32_t perFrame;  // items the managers load a frame
    int32_t reported;  // what their last calls say (-1: what they loaded)
    int framesToFinish;
  };
  const Case cases[] = {
      {"nothing queued", 0, 0, 0, 0, 1},     {"loaded before the screen, nothing reported", 6, 0, 0, 0, 6},
      {"reports keep up", 10, 10, 5, 5, 2},  {"reports say nothing while loading", 4, 4, 4, 0, 4},
      {"reports overstate", 5, 5, 1, 50, 5},
  };
  for (const Case& c : cases) {
    LoadingProgress progress;
    progress.Reset();
    int32_t pending = c.pending;
    int frames = 0;
    // A frame: the managers load, then the screen counts.
    while (!progress.Finished() || frames == 0) {
      ASSERT_LT(frames, 100) << c.name;
      const int32_t loaded = std::min(c.perFrame, pending);
      pending -= loaded;
      progress.Step(c.registered, pending, c.reported >= 0 ? c.reported : loaded);
      ++frames;
      EXPECT_LE(progress.Gems(), LoadingProgress::kRingGems) << c.name;
      EXPECT_LE(progress.loaded, progress.done) << c.name;
    }
    EXPECT_EQ(progress.loaded, static_cast<uint32_t>(c.registered)) << c.name;
    EXPECT_EQ(frames, c.framesToFinish) << c.name;
  }
}

TEST(LoadingProgress, TheRingShowsNoGemForNothingAndTwentyFourWhenDone) {
  LoadingProgress progress;
  progress.Reset();
  EXPECT_EQ(progress.Gems(), 0);
  progress.Step(0, 0, 0);
  EXPECT_TRUE(progress.Finished());
  EXPECT_EQ(progress.Gems(), 0);
  progress.Reset();
  progress.Step(48, 36, 0);
  EXPECT_EQ(progress.loaded, 1u);
  EXPECT_EQ(progress.Gems(), 0);
  progress.Step(48, 36, 11);
  EXPECT_EQ(progress.loaded, 12u);
  EXPECT_EQ(progress.Gems(), 6);
  // More items registered than the count knows of: it waits for them.
  progress.Step(60, 0, 100);
  EXPECT_EQ(progress.loaded, 60u);
  EXPECT_EQ(progress.Gems(), 24);
}

LoadingScreen& LoadingOf(ScreensFixture& run) {
  return *dynamic_cast<LoadingScreen*>(run.game->State(GameStateId::Loading));
}

TEST(LoadingScreen, ItemsLoadedBeforeTheScreenAndSilentManagersStillFinish) {
  ScreensFixture run;
  // Thirty items the managers hold from before; they report no loads.
  run.queues.registered = 30;
  run.queues.reported = 0;
  ASSERT_TRUE(run.RunUntil("Game.Loading", 10.0f));
  LoadingScreen& loading = LoadingOf(run);
  // Nothing happens before the load message, about 1.0 s into the screen.
  run.Run(0.7f);
  EXPECT_FALSE(loading.IsLoading());
  EXPECT_EQ(run.queues.loads, 0);
  run.Run(0.4f);
  ASSERT_EQ(run.queues.loads, 1);
  EXPECT_EQ(run.queues.budgets.models, 5);
  EXPECT_EQ(run.queues.budgets.materials, 5);
  EXPECT_EQ(run.queues.budgets.textures, 5);
  EXPECT_EQ(run.queues.budgets.sounds, 1);
  EXPECT_EQ(loading.Progress().total, 30u);
  int32_t mostGems = 0;
  while ((run.Current() == "Game.Loading" || run.Current().empty()) && run.Now() < 30.0f) {
    mostGems = std::max(mostGems, loading.Progress().Gems());
    run.Run(ScreensFixture::kStep);
  }
  EXPECT_EQ(run.Current(), "Game.FrontEnd");
  EXPECT_EQ(mostGems, LoadingProgress::kRingGems);
  EXPECT_EQ(loading.Progress().loaded, 30u);
  // The front end's sounds were asked for; the budgets are off again.
  EXPECT_EQ(run.audio->soundSets, std::vector<int32_t>{0});
  EXPECT_EQ(run.queues.budgets.models, -1);
  EXPECT_EQ(run.queues.budgets.sounds, -1);
  // Layer 2 stopped on the way out; the front end then stops them all.
  const std::vector<int32_t> stops = run.audio->Values(eMSG_ALayer_Stop);
  ASSERT_GE(stops.size(), 2u);
  EXPECT_EQ(stops[stops.size() - 2], 2);
  EXPECT_EQ(stops.back(), 4);
}

TEST(LoadingScreen, APanicLoadLoadsOneItemOfEachKindAFrameAndLeadsToTheChosenState) {
  ScreensFixture run;
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.queues.queuedByLoad = 8;
  run.queues.perFrame = 2;
  run.game->stateAfterLoading = run.game->State(GameStateId::HighScores);
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::Loading), 0.5f);
  ASSERT_TRUE(run.RunUntil("Game.Loading", 2.0f));
  run.Send(eMSG_GLoadPanicGame);
  EXPECT_EQ(run.queues.budgets.models, 1);
  EXPECT_EQ(run.queues.budgets.sounds, 1);
  EXPECT_EQ(run.audio->soundSets.back(), 1);
  EXPECT_TRUE(run.RunUntil("Game.HighScores", 10.0f));
}

}  // namespace
