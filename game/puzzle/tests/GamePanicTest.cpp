// The Panic game state, played through the headless harness.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/foundation/Memory.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

class PanicGame : public ::testing::Test {
 protected:
  void Start(uint32_t level = 0) {
    harness_.UsePanicMode(level);
    ASSERT_TRUE(harness_.EnterState(GameStateId::PanicGame));
  }
  // A game 1.5 s in: 500 points counted and 12345 on their way, 3 discs
  // done, 42 s on the HUD's clock and 100 s played before.
  void PlayWithPointsOnTheirWay() {
    Start(20);
    harness_.Wait(1.5f);
    panic().score = 500;
    panic().pendingScore = 12345;
    panic().discsCompleted = 3;
    panic().timePlayed = 100.0f;
    game().hud->elapsed = 42.0f;
  }
  Game& game() { return harness_.game(); }
  ModeStats& panic() { return harness_.profile().modes[kModePanic]; }

  GameHarness harness_;
};

TEST_F(PanicGame, EnteringBuildsALockedDiscThatOpensASecondLater) {
  game().bonusMultiplier = 8;
  game().quickMatchChain = 3;
  game().cascadeCount = 2;
  game().quakeTimer = 9.0f;
  game().panicHurryShown = true;
  harness_.profile().modes[kModePanic].discIndex = 4;
  harness_.profile().rainbow.SetColour(kGemBlue);
  Start(150);

  EXPECT_TRUE(harness_.Logged("OnEnterPanicGameFSM()"));
  EXPECT_TRUE(harness_.Logged("Creating Panic Disc for Skill Level 100"));
  ASSERT_NE(harness_.disc(), nullptr);
  EXPECT_TRUE(harness_.disc()->locked);
  EXPECT_EQ(harness_.disc()->rainbowGem.colour, CGPuzzleGem().colour);
  EXPECT_EQ(game().bonusMultiplier, 1u);
  EXPECT_EQ(game().quickMatchChain, 0u);
  EXPECT_EQ(game().cascadeCount, 0u);
  EXPECT_EQ(game().quakeTimer, 0.0f);
  EXPECT_FALSE(game().panicHurryShown);
  EXPECT_EQ(panic().discIndex, 0u);
  EXPECT_TRUE(game().fadedIn);
  ASSERT_NE(game().galacticPlane, nullptr);
  EXPECT_NE(game().galacticPlane->markers, nullptr);

  EXPECT_EQ(harness_.audio().soundSets, std::vector<int32_t>{1});
  const std::vector<PostedMessage> music = harness_.posted().Of(eMSG_ABackground_PlayMusic);
  ASSERT_EQ(music.size(), 1u);
  EXPECT_EQ(music[0].target, harness_.audio().receiverId);
  EXPECT_DOUBLE_EQ(music[0].delay, 0.125);

  // The quake clock does not run while the disc is locked.
  harness_.Wait(0.95f);
  EXPECT_TRUE(harness_.disc()->locked);
  EXPECT_EQ(game().quakeTimer, 0.0f);
  harness_.Wait(0.1f);
  EXPECT_FALSE(harness_.disc()->locked);
  EXPECT_GT(game().quakeTimer, 0.0f);
}

TEST_F(PanicGame, ExitThroughThePauseMenuReleasesEverythingAndReachesTheLoadingScreen) {
  PlayWithPointsOnTheirWay();
  harness_.posted().Clear();
  const int savesBefore = harness_.fakeProfile().saves;
  harness_.ExitFromPause();
  EXPECT_EQ(game().stateAfterLoading, game().State(GameStateId::FrontEnd));
  const std::vector<PostedMessage> load = harness_.posted().To(game().receiverId, eMSG_GLoadFE);
  ASSERT_EQ(load.size(), 1u);
  EXPECT_DOUBLE_EQ(load[0].delay, 1.5);
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::Loading); }, 1.0f));
  EXPECT_NEAR(harness_.GameTime() - load[0].time, 0.5, 0.05);

  // The offered score counts the points still on their way.
  ASSERT_EQ(harness_.services.offeredScores.size(), 1u);
  EXPECT_EQ(harness_.services.offeredScores[0].table, kModePanic);
  EXPECT_EQ(harness_.services.offeredScores[0].score, 500u + 12345u);
  EXPECT_EQ(harness_.services.offeredScores[0].stars, 3u);
  // The game's time joins the mode's, the exit fade included.
  EXPECT_NEAR(panic().timePlayed, 142.5f, 0.1f);
  EXPECT_GE(harness_.fakeProfile().saves, savesBefore + 2);  // on eMSG_GExit and on leaving
  EXPECT_EQ(harness_.profile().rainbow.colour, CGPuzzleGem().colour);
  EXPECT_EQ(harness_.posted().Count(eMSG_ABackground_StopMusic), 1);
  const std::vector<PostedMessage> stop = harness_.posted().To(harness_.audio().receiverId, eMSG_ALayer_Stop);
  ASSERT_EQ(stop.size(), 1u);
  EXPECT_EQ(stop[0].number, 0);

  EXPECT_EQ(game().galacticPlane, nullptr);
  EXPECT_EQ(game().currentDisc, nullptr);
  EXPECT_TRUE(game().discs.empty());
  EXPECT_EQ(game().renderer, nullptr);
  EXPECT_EQ(game().hud, nullptr);

  // A second game starts clean on what the first left.
  harness_.UsePanicMode(5);
  ASSERT_TRUE(harness_.EnterState(GameStateId::PanicGame));
  ASSERT_NE(harness_.disc(), nullptr);
  EXPECT_NE(game().galacticPlane, nullptr);
  harness_.Wait(2.0f);
  EXPECT_FALSE(harness_.disc()->locked);
}

// A program whose display is gone records the game at once, without a
// frame; the state's exit after it (were there one) records nothing more.
TEST_F(PanicGame, ARecordMadeBeforeTheExitIsTheOnlyOne) {
  PlayWithPointsOnTheirWay();
  harness_.profile().rainbow.SetColour(kGemBlue);
  const int savesBefore = harness_.fakeProfile().saves;
  game().RecordPlayInProgress();
  ASSERT_EQ(harness_.services.offeredScores.size(), 1u);
  EXPECT_EQ(harness_.services.offeredScores[0].score, 500u + 12345u);
  EXPECT_EQ(harness_.services.offeredScores[0].stars, 3u);
  EXPECT_FLOAT_EQ(panic().timePlayed, 142.0f);
  EXPECT_EQ(harness_.fakeProfile().saves, savesBefore + 1);
  EXPECT_EQ(harness_.profile().rainbow.colour, CGPuzzleGem().colour);
  ASSERT_NE(game().hud, nullptr) << "recording tears nothing down";

  game().Quit();
  harness_.Step(2);
  EXPECT_FALSE(harness_.InState(GameStateId::PanicGame));
  EXPECT_EQ(harness_.services.offeredScores.size(), 1u);
  EXPECT_FLOAT_EQ(panic().timePlayed, 142.0f);
  EXPECT_EQ(harness_.fakeProfile().saves, savesBefore + 1);
}

TEST_F(PanicGame, LeavingForTheGameOverPageKeepsTheBoard) {
  Start();
  CGPuzzleDisc* disc = harness_.disc();
  GalacticPlane* plane = game().galacticPlane.get();
  const GPuzzleRenderer* renderer = game().renderer.get();
  const GameHud* hud = game().hud.get();
  ASSERT_NE(renderer, nullptr);
  ASSERT_NE(hud, nullptr);
  game().pendingState = game().State(GameStateId::GameOver);
  PostGameMessage(eMSG_GChangeState, 0, 0.0);
  harness_.Step(2);
  ASSERT_TRUE(harness_.InState(GameStateId::GameOver));
  EXPECT_EQ(harness_.disc(), disc);
  EXPECT_EQ(game().galacticPlane.get(), plane);
  EXPECT_EQ(game().renderer.get(), renderer);
  EXPECT_EQ(game().hud.get(), hud);
  EXPECT_EQ(harness_.services.offeredScores.size(), 1u);
}

TEST_F(PanicGame, AClearedDiscIsFollowedByANewOneASecondAfterTheClearing) {
  Start(0);
  harness_.Wait(1.5f);
  CGPuzzleDisc* first = harness_.disc();
  harness_.posted().Clear();
  PostGameMessage(eMSG_GRendererClearDone, 0, 0.0);
  EXPECT_EQ(game().galacticPlane->markerCount, 1u);
  const std::vector<PostedMessage> next = harness_.posted().To(game().receiverId, eMSG_GNextDisc);
  ASSERT_EQ(next.size(), 1u);
  EXPECT_DOUBLE_EQ(next[0].delay, 1.0);

  // The level of that moment makes the next disc.
  panic().level = 100;
  harness_.ClearLog();
  harness_.Wait(1.05f);
  EXPECT_TRUE(harness_.Logged("Creating Panic Disc for Skill Level 100"));
  EXPECT_EQ(panic().discsCompleted, 1u);
  EXPECT_EQ(harness_.profile().panicStars, 1u);
  EXPECT_EQ(game().discs.size(), 1u);
  EXPECT_NE(harness_.disc(), first);
  EXPECT_GE(harness_.disc()->ringCount, 5u);
}

TEST_F(PanicGame, AFailedSaveIsLoggedAndPlayGoesOn) {
  Start();
  harness_.fakeProfile().saveSucceeds = false;
  harness_.ClearLog();
  PostGameMessage(eMSG_GNextDisc, 0, 0.0);
  EXPECT_TRUE(harness_.Logged("Failed to save profile tess"));
  EXPECT_TRUE(harness_.InState(GameStateId::PanicGame));
  EXPECT_NE(harness_.disc(), nullptr);
}

TEST_F(PanicGame, AResultThatCouldNotBeSavedIsMarkedForTheGameOverPage) {
  struct Case {
    bool profileSaves;
    HighScoreOutcome table;
    bool notSaved;
  } cases[] = {
      {true, HighScoreOutcome::Saved, false},
      {true, HighScoreOutcome::NotEntered, false},
      {false, HighScoreOutcome::Saved, true},
      {true, HighScoreOutcome::NotSaved, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.table) * 2 + c.profileSaves);
    Start();
    harness_.fakeProfile().saveSucceeds = c.profileSaves;
    harness_.services.highScoreOutcome = c.table;
    game().pendingState = game().State(GameStateId::GameOver);
    PostGameMessage(eMSG_GChangeState, 0, 0.0);
    harness_.Step(2);
    ASSERT_TRUE(harness_.InState(GameStateId::GameOver));
    EXPECT_EQ(game().resultNotSaved, c.notSaved);
  }
}

TEST_F(PanicGame, TheTimerExpiryKeepsItsOwnText) {
  Start();
  harness_.posted().Clear();
  PostGameMessage(eMSG_GTimerExpired, 0, 0.0);
  EXPECT_STREQ(game().gameOverText.Chars(), "Out of time!");
  EXPECT_EQ(harness_.posted().CountTo(harness_.audio().receiverId, eMSG_AInGame_PlayTimerExpire), 1);
}

TEST_F(PanicGame, WhileThePauseMenuShowsKeysGoToItAndTheGameStandsStill) {
  Start();
  harness_.Wait(1.5f);
  harness_.services.pauseShowing = true;
  // As the pause key leaves it.
  game().renderer->SetActive(0);
  const float quake = game().quakeTimer;
  harness_.PressKeys({platform::key::Down, platform::key::Escape});
  harness_.Wait(1.0f);
  EXPECT_EQ(game().quakeTimer, quake);
  EXPECT_EQ(game().renderer->IsActive(), 0);
  EXPECT_EQ(harness_.services.menuKeys, (std::vector<uint8_t>{platform::key::Down, platform::key::Escape}));
  harness_.ContinueFromPause();
  harness_.Step();
  EXPECT_GT(game().quakeTimer, quake);
  EXPECT_EQ(game().renderer->IsActive(), 1);
}

}  // namespace
