#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/shell/FrontEndScreen.h"
#include "game/shell/Profile.h"
#include "platform/KeyCodes.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

class FrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(run_.RunUntil("Game.FrontEnd", 20.0f)); }
  ScreensFixture run_;
};

TEST_F(FrontEndTest, TheFirstEntryAlreadySeesTheBackdropThroughThePuzzleCamera) {
  EXPECT_TRUE(run_.game->IsActiveCamera(String("Game.Puzzle")));
  EXPECT_TRUE(run_.game->IsCurrentCamera(&run_.game->puzzleCamera));
}

TEST_F(FrontEndTest, OneStingChainPlaysStingsZeroToFourEveryFiveAndAHalfSecondsUntilTheExit) {
  const float entered = run_.Now();
  run_.Run(30.0f);
  std::vector<float> times;
  for (const HeardAudio& entry : run_.audio->heard) {
    if (entry.id != eMSG_AGUI_PlaySting) continue;
    times.push_back(entry.time - entered);
    EXPECT_GE(entry.value, 0);
    EXPECT_LE(entry.value, 4);
  }
  // 2 s after the entry, then every 5.5 s.
  ASSERT_EQ(times.size(), 6u);
  EXPECT_NEAR(times[0], 2.0f, 0.1f);
  for (size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], 5.5f, 0.1f);
  EXPECT_EQ(GetGEMMSGService()->CountMessages(run_.game->receiverId, eMSG_AGUI_PlaySting), 1u);

  // A stray tick does not start a second chain.
  run_.Send(eMSG_AGUI_PlaySting);
  EXPECT_EQ(GetGEMMSGService()->CountMessages(run_.game->receiverId, eMSG_AGUI_PlaySting), 1u);

  run_.Send(eMSG_GCredits);
  ASSERT_TRUE(run_.RunUntil("Game.Credits", 2.0f));
  const int played = run_.audio->Count(eMSG_AGUI_PlaySting);
  run_.Run(20.0f);
  EXPECT_EQ(run_.audio->Count(eMSG_AGUI_PlaySting), played);
}

TEST_F(FrontEndTest, TheGamesNoticeStaysUntilThePlayerLeavesTheFrontEnd) {
  run_.game->frontEndNotice = "The Challenge cannot start";
  run_.Run(5.0f);
  EXPECT_STREQ(run_.game->frontEndNotice.Chars(), "The Challenge cannot start");
  run_.Send(eMSG_GCredits);
  ASSERT_TRUE(run_.RunUntil("Game.Credits", 2.0f));
  EXPECT_TRUE(run_.game->frontEndNotice.IsEmpty());
}

TEST_F(FrontEndTest, SixtySecondsWithoutAPressShowTheHighScoresWhichComeBackAfterThePanicTable) {
  const float entered = run_.Now();
  // A key press and a held key reset the idle time; a held pad direction does not.
  run_.Run(40.0f);
  run_.PressKey(platform::key::Down);
  run_.Run(30.0f);
  uint8_t held[2] = {platform::key::Down, 0};
  GetGEMMSGService()->Post(eMSG_UIOKEYHELD, -1, run_.game->receiverId, reinterpret_cast<intptr_t>(held), 0.0);
  run_.Run(30.0f);
  GetGEMMSGService()->Post(eMSG_UIOPADHELD, -1, run_.game->receiverId, 0, 0.0);
  EXPECT_EQ(run_.Current(), "Game.FrontEnd");
  ASSERT_TRUE(run_.RunUntil("Game.HighScores", 40.0f));
  EXPECT_NEAR(run_.Now() - entered, 40.0f + 30.0f + 60.0f + 1.0f, 0.3f);
  EXPECT_TRUE(run_.game->showHighScoresAsAttract);
  ASSERT_TRUE(run_.RunUntil("Game.FrontEnd", 30.0f));
}

TEST_F(FrontEndTest, AFreshProfileGoesThroughLoadingAndTheInstructionsToItsMode) {
  struct Case {
    int32_t mode;
    const char* next;
    uint32_t load;
  };
  const Case cases[] = {
      {kModeChallenge, "Game.ChallengeStory", eMSG_GLoadChallengeGame},
      {kModePanic, "Game.PanicGame", eMSG_GLoadPanicGame},
  };
  for (const Case& c : cases) {
    run_.game->profile = std::make_unique<Profile>();
    int32_t selection = c.mode;
    run_.Send(eMSG_Start, reinterpret_cast<intptr_t>(&selection));
    EXPECT_EQ(run_.game->profile->mode, c.mode);
    ASSERT_TRUE(run_.RunUntil("Game.Loading", 2.0f));
    ASSERT_TRUE(run_.RunUntil("Game.Instructions", 5.0f));
    // A second key during the fade-out does not restart it.
    run_.PressKey(platform::key::Return);
    const float pressed = run_.Now();
    run_.Run(0.5f);
    run_.PressKey(platform::key::Return);
    ASSERT_TRUE(run_.RunUntil(c.next, 3.0f));
    EXPECT_NEAR(run_.Now() - pressed, 1.0f, 0.3f);
    run_.game->FadeToState(kFadeMusicAndScreen, run_.game->State(GameStateId::FrontEnd), 0.1f);
    ASSERT_TRUE(run_.RunUntil("Game.FrontEnd", 2.0f));
  }
  EXPECT_EQ(run_.queues.loads, 3);
}

// The instructions come once, before a profile's first game of either mode;
// the story belongs to its first Challenge, also when the profile began with
// Panic (and so saw the instructions then).
TEST_F(FrontEndTest, TheInstructionsComeOnceAndTheStoryOnAProfilesFirstChallenge) {
  struct Case {
    const char* what;
    int32_t mode;
    float challengeSeconds;
    float panicSeconds;
    const char* next;
  };
  const Case cases[] = {
      {"Challenge after Panic games only", kModeChallenge, 0.0f, 95.0f, "Game.ChallengeStory"},
      {"Challenge after a Challenge game", kModeChallenge, 30.0f, 95.0f, "Game.ChallengeGame"},
      {"Challenge after a Challenge game only", kModeChallenge, 30.0f, 0.0f, "Game.ChallengeGame"},
      // Starting Panic clears the Panic record: the games before still count.
      {"Panic after Panic games only", kModePanic, 0.0f, 95.0f, "Game.PanicGame"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    run_.game->profile = std::make_unique<Profile>();
    run_.game->profile->modes[kModeChallenge].timePlayed = c.challengeSeconds;
    run_.game->profile->modes[kModePanic].timePlayed = c.panicSeconds;
    int32_t selection = c.mode;
    run_.Send(eMSG_Start, reinterpret_cast<intptr_t>(&selection));
    ASSERT_TRUE(run_.RunUntil("Game.Loading", 2.0f));
    ASSERT_TRUE(run_.RunUntil(c.next, 5.0f));
    const std::vector<std::string> trace = run_.Trace();
    EXPECT_EQ(trace[trace.size() - 2], "Game.Loading");
    run_.game->FadeToState(kFadeMusicAndScreen, run_.game->State(GameStateId::FrontEnd), 0.1f);
    ASSERT_TRUE(run_.RunUntil("Game.FrontEnd", 5.0f));
  }
}

TEST_F(FrontEndTest, ExitFadesOutAndEndsTheRun) {
  run_.Send(eMSG_GExit);
  EXPECT_FALSE(run_.game->fadedIn);
  EXPECT_EQ(run_.audio->heard.back().id, eMSG_ALayer_VolumeFadeOut);
  EXPECT_EQ(run_.audio->heard.back().value, Game::kMusicLayer);
  run_.Run(0.9f);
  EXPECT_FALSE(run_.game->HasQuit());
  run_.Run(0.2f);
  EXPECT_TRUE(run_.game->HasQuit());
  EXPECT_EQ(run_.game->GetExitFlag(), 1);
}

}  // namespace
