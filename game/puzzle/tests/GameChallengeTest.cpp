#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "engine/graphics/Texture.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Challenge.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/rules/GameMessages.h"
#include "support/ChallengeTestSupport.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

// Lyra (2 stars) then Orion (1 star), played headless.
class ChallengeGame : public ::testing::Test {
 protected:
  void SetUp() override {
    Write({{"Lyra", {60, 40}}, {"Orion", {30}}});
    harness_.profile().mode = kModeChallenge;
  }
  void Write(const std::vector<TestConstellation>& set) { WriteChallenge(set); }
  ModeStats& Challenge() { return harness_.profile().modes[kModeChallenge]; }
  Game& game() { return harness_.game(); }
  GameHud& hud() { return *game().hud; }
  bool Start() { return harness_.EnterState(GameStateId::ChallengeGame); }
  // The renderer has cleared the disc with the seconds of par time left:
  // the star is done a second later.
  void FinishStar(float secondsLeft) {
    hud().timeLeft = secondsLeft;
    PostGameMessage(eMSG_GRendererClearDone, 0, 0.0);
    harness_.Wait(1.05f);
  }
  static bool Shows(const GameHudPopup (&slots)[GameHud::kSlotCount], const char* text) {
    for (const GameHudPopup& slot : slots) {
      if (std::strcmp(slot.text, text) == 0) return true;
    }
    return false;
  }
  // Left for the front end through the loading screen, nothing started.
  bool LeavingForTheFrontEnd() {
    return game().pendingState == game().State(GameStateId::Loading) &&
           game().stateAfterLoading == game().State(GameStateId::FrontEnd) && !game().fadedIn;
  }

  GameHarness harness_;
};

TEST_F(ChallengeGame, EnteringSetsTheChallengeUpAndStartsTheProfilesStar) {
  Challenge().discIndex = 1;
  ASSERT_TRUE(Start());
  EXPECT_EQ(Challenge().constellationCount, 2u);
  EXPECT_EQ(Challenge().totalStars, 3u);
  ASSERT_NE(harness_.disc(), nullptr);
  EXPECT_EQ(harness_.disc(), game().discs[1].get());
  EXPECT_EQ(game().galacticPlane->constellations[0].completed, 1u);
  EXPECT_FLOAT_EQ(hud().timeLeft, 40.0f);
  EXPECT_EQ(harness_.posted().Count(eMSG_ABackground_PlayMusic), 1);
  EXPECT_TRUE(game().fadedIn);
}

TEST_F(ChallengeGame, ParTimeLeftShowsABonusThatIsNeverPaidAndCountsTheDiscOnPar) {
  ASSERT_TRUE(Start());
  FinishStar(7.6f);
  EXPECT_TRUE(Shows(hud().banners, "Par bonus!"));
  EXPECT_TRUE(Shows(hud().popups, "700"));
  EXPECT_EQ(Challenge().score + Challenge().pendingScore, 0u);
  EXPECT_EQ(Challenge().parCompletions, 1u);
  EXPECT_EQ(harness_.profile().parStars, 1u);
  // The next star of Lyra is in play.
  EXPECT_EQ(Challenge().discIndex, 1u);
  EXPECT_EQ(harness_.disc(), game().discs[1].get());
  EXPECT_EQ(harness_.posted().CountTo(game().RendererReceiverId(), eMSG_GNextDisc), 1);
}

TEST_F(ChallengeGame, RunningOutOfParTimeOnlyLosesTheBonus) {
  ASSERT_TRUE(Start());
  harness_.disc()->locked = false;
  hud().timersRunning = true;
  hud().timeLeft = 0.05f;
  harness_.Wait(0.2f);
  EXPECT_TRUE(Shows(hud().banners, "Par Bonus Expired!"));
  EXPECT_EQ(harness_.posted().Count(eMSG_AInGame_PlayTimerExpire), 1);
  FinishStar(0.0f);
  EXPECT_FALSE(Shows(hud().banners, "Par bonus!"));
  EXPECT_EQ(Challenge().parCompletions, 0u);
  EXPECT_EQ(Challenge().discIndex, 1u);
  EXPECT_TRUE(harness_.InState(GameStateId::ChallengeGame));
}

TEST_F(ChallengeGame, TheWholeChallengeThroughTheWellDonePageToTheOnParPicture) {
  ASSERT_TRUE(Start());
  FinishStar(10.0f);
  FinishStar(10.0f);
  // Lyra is finished: the page names it and a key starts Orion at its first star.
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::ChallengeProgress); }, 2.0f));
  ASSERT_NE(game().FinishedConstellation(), nullptr);
  EXPECT_STREQ(game().FinishedConstellation()->name.Chars(), "Lyra");
  EXPECT_EQ(Challenge().constellationIndex, 1u);
  EXPECT_EQ(Challenge().discIndex, 0u);
  harness_.PressKeys({platform::key::Return});
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::ChallengeGame); }, 2.0f));
  EXPECT_STREQ(hud().constellationName.Chars(), "Orion");
  EXPECT_FLOAT_EQ(hud().timeLeft, 30.0f);

  FinishStar(10.0f);
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::ChallengeCompleted); }, 2.0f));
  ASSERT_NE(game().completedPicture, nullptr);
  EXPECT_STRCASEEQ(game().completedPicture->GetFullName().Chars(), kChallengeCompletedOnParPicture);
  EXPECT_TRUE(game().challengeCompleted);
  EXPECT_EQ(Challenge().constellationIndex, 0u);
  EXPECT_EQ(Challenge().discIndex, 0u);
  // Every disc counts, the last included.
  EXPECT_EQ(harness_.profile().stars, 3u);
  EXPECT_EQ(harness_.profile().constellations, 2u);
  EXPECT_EQ(Challenge().parCompletions, 3u);
  // The objects of the game went with it.
  EXPECT_EQ(game().hud, nullptr);
  EXPECT_EQ(game().renderer, nullptr);
  EXPECT_EQ(game().galacticPlane, nullptr);
  EXPECT_EQ(game().currentDisc, nullptr);
}

TEST_F(ChallengeGame, ADiscOffParShowsThePlainPicture) {
  Challenge().constellationIndex = 1;
  Challenge().parCompletions = 1;  // of the two discs of Lyra
  ASSERT_TRUE(Start());
  FinishStar(10.0f);
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::ChallengeCompleted); }, 2.0f));
  EXPECT_STRCASEEQ(game().completedPicture->GetFullName().Chars(), kChallengeCompletedPicture);
}

TEST_F(ChallengeGame, ARestartReloadsTheSavedProfileAndDoesNotSaveOnLeaving) {
  ASSERT_TRUE(Start());
  FinishStar(10.0f);  // saved at disc 1
  const int saves = harness_.fakeProfile().saves;
  const int loads = harness_.fakeProfile().loads;
  Challenge().discIndex = 0;
  Challenge().score = 999;
  PostGameMessage(eMSG_GRestartChallenge, 0, 0.0);
  EXPECT_TRUE(game().reloadProfile);
  ASSERT_TRUE(harness_.RunUntil([&] { return game().fadedIn; }, 3.0f));
  EXPECT_TRUE(harness_.InState(GameStateId::ChallengeGame));
  EXPECT_EQ(harness_.fakeProfile().saves, saves);
  EXPECT_EQ(harness_.fakeProfile().loads, loads + 1);
  EXPECT_FALSE(game().reloadProfile);
  EXPECT_EQ(Challenge().discIndex, 1u);
  EXPECT_EQ(Challenge().score, 0u);
  EXPECT_EQ(harness_.disc(), game().discs[1].get());
}

// The game's time recorded at once (the display gone) counts once, whether
// or not the state's exit follows.
TEST_F(ChallengeGame, ARecordMadeBeforeTheExitIsTheOnlyOne) {
  ASSERT_TRUE(Start());
  Challenge().timePlayed = 10.0f;
  hud().elapsed = 30.0f;
  const int saves = harness_.fakeProfile().saves;
  game().RecordPlayInProgress();
  EXPECT_FLOAT_EQ(Challenge().timePlayed, 40.0f);
  EXPECT_EQ(harness_.fakeProfile().saves, saves + 1);
  game().Quit();
  harness_.Step(2);
  EXPECT_FALSE(harness_.InState(GameStateId::ChallengeGame));
  EXPECT_FLOAT_EQ(Challenge().timePlayed, 40.0f);
  EXPECT_EQ(harness_.fakeProfile().saves, saves + 1);
}

TEST_F(ChallengeGame, ExitSavesAndLeavesThroughTheLoadingScreenForTheFrontEnd) {
  ASSERT_TRUE(Start());
  const int saves = harness_.fakeProfile().saves;
  PostGameMessage(eMSG_GExit, 0, 0.0);
  EXPECT_TRUE(LeavingForTheFrontEnd());
  EXPECT_EQ(harness_.fakeProfile().saves, saves + 1);
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::Loading); }, 1.0f));
  EXPECT_EQ(harness_.posted().Count(eMSG_GLoadFE), 1);
  EXPECT_EQ(harness_.posted().Count(eMSG_ABackground_StopMusic), 1);
  EXPECT_EQ(game().hud, nullptr);
  EXPECT_EQ(game().renderer, nullptr);
  EXPECT_EQ(game().galacticPlane, nullptr);
  EXPECT_EQ(game().currentDisc, nullptr);
  EXPECT_TRUE(game().discs.empty());
}

TEST_F(ChallengeGame, BadDataLeadsToTheFrontEndOrToTheFirstConstellation) {
  struct Case {
    const char* name;
    std::vector<TestConstellation> set;
    uint32_t constellationIndex;
    bool plays;  // else it leaves for the front end
  };
  TestConstellation missing{"Lyra", {60, 40}};
  missing.missingBoard = true;
  TestConstellation short_{"Lyra", {60, 40}};
  short_.boardDiscs = 1;
  TestConstellation empty{"Lyra", {60, 40}};
  empty.boardDiscs = 0;
  TestConstellation refused{"Lyra", {60, 40}};
  refused.garbageBoard = true;
  const Case cases[] = {
      {"a missing board", {missing}, 0, false},  {"fewer discs than stars", {short_}, 0, false},
      {"an empty board", {empty}, 0, false},     {"a board the reader refuses", {refused}, 0, false},
      {"no constellation at all", {}, 0, false}, {"an index past the set", {{"Lyra", {60, 40}}}, 7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write(c.set);
    Challenge() = ModeStats();
    Challenge().constellationIndex = c.constellationIndex;
    harness_.posted().Clear();
    game().frontEndNotice = "";
    ASSERT_TRUE(Start());
    if (c.plays) {
      EXPECT_EQ(Challenge().constellationIndex, 0u);
      EXPECT_NE(harness_.disc(), nullptr);
      EXPECT_TRUE(game().fadedIn);
      EXPECT_TRUE(game().frontEndNotice.IsEmpty());
    } else {
      EXPECT_TRUE(LeavingForTheFrontEnd());
      // The front end tells the player the Challenge did not start.
      EXPECT_NE(game().frontEndNotice.Find("The Challenge cannot start"), -1);
      EXPECT_EQ(harness_.posted().Count(eMSG_ABackground_PlayMusic), 0);
      // The frames until the loading screen run without a disc.
      EXPECT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::Loading); }, 1.0f));
    }
    harness_.EnterState(GameStateId::FrontEnd);
  }
}

TEST_F(ChallengeGame, EnteringAndLeavingTheGameAndThePageAgainAndAgainIsClean) {
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(Start());
    PostGameMessage(eMSG_GRestartChallenge, 0, 0.0);
    ASSERT_TRUE(harness_.RunUntil([&] { return game().fadedIn; }, 3.0f));
    Challenge().constellationIndex = 1;
    ASSERT_TRUE(harness_.EnterState(GameStateId::ChallengeProgress));
    ASSERT_NE(game().galacticPlane, nullptr);
    harness_.Wait(0.2f);
    Challenge().constellationIndex = 0;
  }
  ASSERT_TRUE(harness_.EnterState(GameStateId::FrontEnd));
  EXPECT_EQ(game().galacticPlane, nullptr);
}

}  // namespace
