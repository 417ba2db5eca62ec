// Panic games played through the headless harness: the clock, the quake,
// the ways a game ends, and whole games of scripted play.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/foundation/Memory.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "platform/Random.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

// The presentation is over, the disc open, and the renderer holds a gem to drop.
bool ReadyToDrop(GameHarness& harness) {
  GPuzzleRenderer* renderer = harness.game().renderer.get();
  return renderer != nullptr && renderer->IsCurrent(renderer->InGame()) && harness.disc() != nullptr &&
         !harness.disc()->locked && renderer->selected >= 0 && renderer->queue[renderer->selected].active &&
         !renderer->droppedGem.active;
}

class PanicPlay : public ::testing::Test {
 protected:
  void Start(uint32_t level = 0) {
    harness_.UsePanicMode(level);
    ASSERT_TRUE(harness_.EnterState(GameStateId::PanicGame));
  }
  // Plays the drawn disc with the queue: steps until the presentation is
  // over and the player can act.
  void PlayOn(const std::vector<std::string>& rings, const std::vector<int>& queue) {
    CGPuzzleDisc* disc = harness_.UseDisc(DrawDisc(rings));
    SetQueue(*disc, queue);
    ASSERT_TRUE(harness_.RunUntil([&] { return InPlay(); }, 8.0f));
  }
  bool InPlay() { return ReadyToDrop(harness_); }
  // Stops the countdown where it stands (until the next drop, lock or
  // unlock), so the time a match buys can be read exactly.
  void HoldTheClockAt(float seconds) {
    hud().timersRunning = false;
    hud().timeLeft = seconds;
  }
  // A drop, then frames until the disc is at rest again.
  void DropAndSettle() {
    harness_.Drop();
    harness_.Wait(2.0f);
  }
  // The game ended once, for that reason, though the condition held every
  // frame until the game-over page: one log line, one text, one explosion.
  void ExpectEndedOnceUntilThePage(const char* reasonLog, const char* reasonText) {
    ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::GameOver); }, 14.0f));
    int endings = 0;
    for (const std::string& line : harness_.DebugLog()) endings += line.rfind("Game Over : ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(harness_.Logged(reasonLog));
    EXPECT_STREQ(game().gameOverText.Chars(), reasonText);
    // The game asks the renderer once; the renderer passes it to the star.
    EXPECT_EQ(harness_.posted().CountTo(game().RendererReceiverId(), eMSG_GNovalithExplode), 1);
    EXPECT_EQ(harness_.posted().Count(eMSG_GNovalithExplosionFinished), 1);
  }
  int Banners(const char* text) {
    int count = 0;
    for (const GameHudPopup& banner : hud().banners) count += std::strcmp(banner.text, text) == 0 ? 1 : 0;
    return count;
  }
  Game& game() { return harness_.game(); }
  GameHud& hud() { return *game().hud; }
  ModeStats& panic() { return harness_.profile().modes[kModePanic]; }
  uint64_t Points() { return panic().score + panic().pendingScore; }

  GameHarness harness_;
};

TEST_F(PanicPlay, EnteringShowsTheHudAndTheRendererWithTwentySecondsOnTheClock) {
  Start();
  ASSERT_NE(game().hud, nullptr);
  ASSERT_NE(game().renderer, nullptr);
  EXPECT_EQ(game().renderer->galacticPlane, game().galacticPlane.get());
  EXPECT_EQ(hud().profile, &harness_.profile());
  EXPECT_EQ(hud().disc, harness_.disc());
  EXPECT_FLOAT_EQ(hud().timeLeft, 20.0f);
  EXPECT_FALSE(hud().timersRunning);
  // The clock starts with the player's first chance to act.
  ASSERT_TRUE(harness_.RunUntil([&] { return !harness_.disc()->locked; }, 2.0f));
  harness_.Step();
  EXPECT_TRUE(hud().timersRunning);
  EXPECT_LT(hud().timeLeft, 20.0f);
}

// Every matched gem buys time: 4 s when the group shares a shape, else 2 s.
TEST(PanicTime, AMatchBuysTimeByItsSizeAndShape) {
  struct Case {
    bool mixedShapes;
    float secondsBought;
  };
  for (const Case& test : {Case{false, 20.0f}, Case{true, 10.0f}}) {
    SCOPED_TRACE(test.mixedShapes ? "mixed" : "same shape");
    GameHarness harness;
    harness.UsePanicMode(0);
    ASSERT_TRUE(harness.EnterState(GameStateId::PanicGame));
    // Four Red on the centre ring; the Red dropped into column 0 makes five.
    CGPuzzleDisc* disc = harness.UseDisc(DrawDisc({"RRRR.GBY", "........"}));
    if (test.mixedShapes) disc->GemAt(0, 2).type = kGemOrb;
    SetQueue(*disc, {kGemRed, kGemBlue, kGemGreen});
    ASSERT_TRUE(harness.RunUntil([&] { return ReadyToDrop(harness); }, 8.0f));
    harness.Drop();
    // The drop starts the clock; hold it so the time bought reads exactly.
    GameHud& hud = *harness.game().hud;
    hud.timersRunning = false;
    hud.timeLeft = 6.0f;
    ASSERT_TRUE(harness.RunUntil([&] { return hud.timeLeft != 6.0f; }, 3.0f));
    EXPECT_FLOAT_EQ(hud.timeLeft, 6.0f + test.secondsBought);
    EXPECT_EQ(disc->GetMatchRecord().gemCount, 5u);
  }
}

TEST_F(PanicPlay, HurryUpComesOnceWithTheAlarm) {
  Start();
  ASSERT_TRUE(harness_.RunUntil([&] { return hud().timersRunning; }, 2.0f));
  hud().timeLeft = 10.7f;
  harness_.Wait(0.4f);
  EXPECT_EQ(Banners("Hurry up!"), 1);
  EXPECT_EQ(harness_.posted().CountTo(harness_.audio().receiverId, eMSG_AInGame_PlayTimerAlarm), 1);
  // Back in the window later in the same game: nothing more.
  hud().timeLeft = 10.2f;
  harness_.Wait(0.2f);
  EXPECT_EQ(harness_.posted().CountTo(harness_.audio().receiverId, eMSG_AInGame_PlayTimerAlarm), 1);
  // A new game may hurry the player again.
  harness_.ExitFromPause();
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.InState(GameStateId::Loading); }, 1.0f));
  Start();
  ASSERT_TRUE(harness_.RunUntil([&] { return hud().timersRunning; }, 2.0f));
  hud().timeLeft = 10.2f;
  harness_.Step();
  EXPECT_EQ(harness_.posted().CountTo(harness_.audio().receiverId, eMSG_AInGame_PlayTimerAlarm), 2);
}

// Script: fifteen idle seconds shake an empty star; the game goes on and a
// match still scores.
TEST_F(PanicPlay, AQuakeOnAnEmptyStarEndsNothing) {
  Start();
  PlayOn({"RR.GB...", "........"}, {kGemRed, kGemBlue});
  hud().timeLeft = 100.0f;
  game().quickMatchChain = 2;
  harness_.posted().Clear();
  game().quakeTimer = 0.0f;
  const float idleFrom = harness_.GameTime();
  ASSERT_TRUE(harness_.RunUntil([&] { return harness_.posted().Count(eMSG_AInGame_PlayNovalithCollapse) > 0; }, 16.0f));
  EXPECT_NEAR(harness_.GameTime() - idleFrom, 15.0f, 0.1f);
  EXPECT_EQ(Banners("Novalithquake!"), 1);
  EXPECT_EQ(game().quickMatchChain, 0u);
  EXPECT_EQ(hud().multiplier, 0u);
  EXPECT_TRUE(game().gameOverText.IsEmpty());
  EXPECT_TRUE(harness_.InState(GameStateId::PanicGame));

  const uint64_t before = Points();
  DropAndSettle();
  EXPECT_GT(Points(), before);
  EXPECT_GT(game().renderer->star->total, 0u);
  EXPECT_LT(game().quakeTimer, 3.0f);
  EXPECT_TRUE(game().gameOverText.IsEmpty());
}

// Script: the gem that fills the last free slot completes a group; the
// group clears and the game goes on.
TEST_F(PanicPlay, FillingTheLastSlotWithAMatchIsNotTheEnd) {
  Start();
  PlayOn({"RRGB", ".YBG"}, {kGemRed, kGemRed});
  DropAndSettle();
  EXPECT_EQ(harness_.disc()->CountGems(), 5u);
  EXPECT_TRUE(game().gameOverText.IsEmpty());
  EXPECT_FALSE(harness_.disc()->locked);
  EXPECT_TRUE(game().renderer->IsCurrent(game().renderer->InGame()));
}

// Script: a truly full disc ends the game; the board explodes at full size
// and the game-over page follows thirteen seconds later.
TEST_F(PanicPlay, AFullDiscEndsTheGameWithTheExplosion) {
  Start();
  PlayOn({"RGBY", ".YRG"}, {kGemBlue, kGemRed});
  harness_.Drop();
  ASSERT_TRUE(harness_.RunUntil([&] { return !game().gameOverText.IsEmpty(); }, 3.0f));
  const float end = harness_.GameTime();
  EXPECT_STREQ(game().gameOverText.Chars(), "No moves left!");
  EXPECT_TRUE(harness_.Logged("Game Over : Disc full!"));
  EXPECT_TRUE(harness_.disc()->locked);
  EXPECT_FALSE(hud().timersRunning);
  harness_.Step(2);
  GPuzzleRenderer* renderer = game().renderer.get();
  EXPECT_TRUE(renderer->IsCurrent(renderer->Explosion()));
  EXPECT_FLOAT_EQ(renderer->clearingChannel.output, 1.0f);
  ExpectEndedOnceUntilThePage("Game Over : Disc full!", "No moves left!");
  EXPECT_NEAR(harness_.GameTime() - end, 13.0f, 0.1f);
  // The page shows the board the game left.
  EXPECT_NE(game().renderer, nullptr);
  EXPECT_NE(harness_.disc(), nullptr);
}

// Script: the clock runs out.
TEST_F(PanicPlay, RunningOutOfTimeEndsTheGame) {
  Start();
  PlayOn({"RG......", "........"}, {kGemBlue});
  hud().timeLeft = 0.5f;
  harness_.posted().Clear();
  harness_.Wait(0.6f);
  EXPECT_STREQ(game().gameOverText.Chars(), "Out of Time!");
  EXPECT_TRUE(harness_.Logged("Game Over : Out of Time!"));
  EXPECT_TRUE(harness_.disc()->locked);
  EXPECT_GE(harness_.posted().CountTo(game().RendererReceiverId(), eMSG_GNovalithExplode), 1);
  harness_.Step(2);
  EXPECT_TRUE(game().renderer->IsCurrent(game().renderer->Explosion()));
  EXPECT_LE(hud().timeLeft, 0.0f);
  ExpectEndedOnceUntilThePage("Game Over : Out of Time!", "Out of Time!");
}

// Script: a quake takes the star's last crystals.
TEST_F(PanicPlay, AQuakeThatTakesTheLastCrystalsEndsTheGame) {
  Start();
  PlayOn({"RR.GB...", "........"}, {kGemRed, kGemBlue});
  hud().timeLeft = 100.0f;
  DropAndSettle();
  NovalithObject* star = game().renderer->star.get();
  ASSERT_GT(star->total, 0u);
  ASSERT_TRUE(game().gameOverText.IsEmpty());
  // Quakes take three quarters of each colour until none is left.
  ASSERT_TRUE(harness_.RunUntil([&] { return !game().gameOverText.IsEmpty(); }, 80.0f));
  EXPECT_STREQ(game().gameOverText.Chars(), "The Novalith collapsed!");
  EXPECT_EQ(star->total, 0u);
  ExpectEndedOnceUntilThePage("Game Over : Novalith died!", "The Novalith collapsed!");
}

// Two endings in one frame: the first in the order full disc, time, star
// gives the one reason.
TEST_F(PanicPlay, EndingsThatHoldTogetherGiveTheFirstReasonOnly) {
  Start();
  PlayOn({"RG......", "........"}, {kGemBlue});
  harness_.UseDisc(DrawDisc({"RGBY", "GYRG"}));
  hud().timeLeft = 0.0f;
  harness_.Step();
  ExpectEndedOnceUntilThePage("Game Over : Disc full!", "No moves left!");
}

// Script: the drop that clears the disc. The clearing ends in a marker and,
// a second later, the time bonus and a new disc at the level of that moment.
TEST_F(PanicPlay, ClearingTheDiscPaysTheTimeBonusAndBringsTheNextDisc) {
  Start();
  PlayOn({"RR..", "...."}, {kGemRed, kGemBlue});
  panic().level = 100;
  const uint64_t before = Points();
  harness_.ClearLog();
  harness_.Drop();
  HoldTheClockAt(0.7f);
  // Three Red of one shape buy 12 s: 12.7 s are left.
  ASSERT_TRUE(harness_.RunUntil([&] { return game().galacticPlane->markerCount == 1; }, 6.0f));
  EXPECT_FALSE(hud().timersRunning);
  const uint64_t matched = Points() - before;
  ASSERT_TRUE(harness_.RunUntil([&] { return panic().discsCompleted == 1; }, 1.1f));
  EXPECT_EQ(Banners("Time Bonus = 3000"), 1);
  EXPECT_EQ(Points() - before - matched, 3000u);
  EXPECT_EQ(harness_.profile().panicStars, 1u);
  EXPECT_TRUE(harness_.Logged("Creating Panic Disc for Skill Level 100"));
  ASSERT_EQ(game().discs.size(), 1u);
  EXPECT_GE(harness_.disc()->ringCount, 5u);
  EXPECT_GE(harness_.fakeProfile().saves, 1);
  // The new disc is presented, then played.
  ASSERT_TRUE(harness_.RunUntil([&] { return InPlay(); }, 5.0f));
}

// The player of the scripted games: turns and drops on a fixed rhythm with
// choices from the program's generator, so a seed makes one game.
void PlayScripted(GameHarness& harness, float seconds) {
  int frame = 0;
  const int frames = static_cast<int>(seconds / GameHarness::kFrameSeconds);
  for (int i = 0; i < frames && !harness.InState(GameStateId::GameOver); ++i, ++frame) {
    if (frame % 20 != 0) {
      harness.Step();
      continue;
    }
    const uint32_t choice = platform::NextRandom() % 4;
    if (choice == 0) {
      harness.TurnForward();
    } else if (choice == 1) {
      harness.TurnBack();
    } else {
      harness.Drop();
    }
  }
}

std::string DrawBoard(const CGPuzzleDisc& disc) {
  std::string board;
  for (unsigned ring = 0; ring < disc.ringCount; ++ring) board += DrawRing(disc, static_cast<int>(ring)) + "/";
  return board;
}

TEST(PanicScripts, OneSeedPlaysOneGame) {
  struct Outcome {
    uint64_t points;
    std::string board;
    std::string ending;
  };
  auto play = [] {
    GameHarness harness(77);
    harness.UsePanicMode(0);
    EXPECT_TRUE(harness.EnterState(GameStateId::PanicGame));
    PlayScripted(harness, 40.0f);
    const ModeStats& panic = harness.profile().modes[kModePanic];
    return Outcome{panic.score + panic.pendingScore, DrawBoard(*harness.disc()), harness.game().gameOverText.Chars()};
  };
  const Outcome first = play();
  const Outcome second = play();
  EXPECT_GT(first.points, 0u);
  EXPECT_EQ(first.points, second.points);
  EXPECT_EQ(first.board, second.board);
  EXPECT_EQ(first.ending, second.ending);
}

// Whole games back to back: what a game holds alive stays the same from
// game to game, and the message queue stays far below its pool.
TEST(PanicScripts, WholeGamesOfScriptedPlayLeaveNothingBehind) {
  GameHarness harness(4242);
  std::vector<int64_t> liveAtStart;
  uint32_t mostQueued = 0;
  for (int game = 0; game < 4; ++game) {
    harness.UsePanicMode(static_cast<uint32_t>(game * 30));
    ASSERT_TRUE(harness.EnterState(GameStateId::PanicGame, 240)) << "game " << game;
    const MemoryCounters counters = GetMemoryCounters();
    liveAtStart.push_back(static_cast<int64_t>(counters.TotalAllocations()) - counters.TotalFrees());
    for (int slice = 0; slice < 60 && !harness.InState(GameStateId::GameOver); ++slice) {
      PlayScripted(harness, 1.0f);
      mostQueued = std::max(mostQueued, GetGEMMSGService()->GetCount());
    }
    // Back to the front end through the pause menu, the board released.
    if (harness.InState(GameStateId::PanicGame)) harness.ExitFromPause();
    harness.Wait(2.0f);
  }
  EXPECT_LT(mostQueued, 200u);
  for (size_t game = 1; game < liveAtStart.size(); ++game) {
    EXPECT_LE(liveAtStart[game], liveAtStart[0] + 64) << "game " << game;
  }
}

}  // namespace
