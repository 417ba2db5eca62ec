// The shell's screens as a player meets them: which states follow which,
// and when.

#include <gtest/gtest.h>

#include "engine/runtime/messages/MessageIds.h"
#include "platform/KeyCodes.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

// A change is asked for at the end of a frame and made over the next two.
constexpr float kSlack = 5.0f * ScreensFixture::kStep;

float EnteredAt(const ScreensFixture& run, const std::string& name) {
  for (const StateVisit& visit : run.visits) {
    if (visit.name == name) return visit.time;
  }
  ADD_FAILURE() << name << " was never entered";
  return -100.0f;
}

TEST(ScreenTimeline, TheLogosLastThreeSecondsEachThenLoadingLeadsToTheFrontEnd) {
  ScreensFixture run;
  ASSERT_EQ(run.Current(), "Game.IntroVelkSW");
  // Fades run between clear (A) and the colour (B): the logo comes out of white.
  EXPECT_EQ(run.game->fadeColourA[3], 0.0f);
  EXPECT_EQ(run.game->fadeColourB[0], 1.0f);
  EXPECT_EQ(run.game->fadeColourB[3], 1.0f);
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  EXPECT_EQ(run.Trace(),
            (std::vector<std::string>{"Game.IntroVelkSW", "Game.IntroVyre", "Game.Loading", "Game.FrontEnd"}));
  const float maker = EnteredAt(run, "Game.IntroVelkSW");
  const float engine = EnteredAt(run, "Game.IntroVyre");
  const float loading = EnteredAt(run, "Game.Loading");
  // Shown 3 s, then a fade of 0.5 s.
  EXPECT_NEAR(engine - maker, 3.5f, kSlack);
  EXPECT_NEAR(loading - engine, 3.5f, kSlack);
  // The front end's load was queued once; nothing to load leaves at once,
  // after the 1.0 s fade out.
  EXPECT_EQ(run.queues.loads, 1);
  EXPECT_NEAR(EnteredAt(run, "Game.FrontEnd") - loading, 1.0f + 1.0f, kSlack);
  // From the engine's logo on, the screen fades through black.
  EXPECT_EQ(run.game->fadeColourA[3], 0.0f);
  EXPECT_EQ(run.game->fadeColourB[0], 0.0f);
  EXPECT_EQ(run.game->fadeColourB[3], 1.0f);
}

TEST(ScreenTimeline, AKeySkipsTheMakersLogoButTheEnginesLogoStillLastsThreeSeconds) {
  ScreensFixture run;
  run.Run(1.0f);
  run.PressKey(platform::key::Return);
  ASSERT_TRUE(run.RunUntil("Game.Loading", 10.0f));
  const float maker = EnteredAt(run, "Game.IntroVelkSW");
  const float engine = EnteredAt(run, "Game.IntroVyre");
  EXPECT_NEAR(engine - maker, 1.5f, kSlack);
  EXPECT_NEAR(EnteredAt(run, "Game.Loading") - engine, 3.5f, kSlack);
}

TEST(ScreenTimeline, KeysDuringTheEngineLogosFadeQueueOneLoad) {
  ScreensFixture run;
  ASSERT_TRUE(run.RunUntil("Game.IntroVyre", 10.0f));
  run.Run(1.0f);
  run.PressKey(platform::key::Return);
  run.Run(0.2f);
  run.PressKey(platform::key::Space);
  run.PressPad();
  run.Run(0.2f);
  run.PressKey(platform::key::Return);
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 10.0f));
  run.Run(3.0f);
  EXPECT_EQ(run.queues.loads, 1);
}

}  // namespace
