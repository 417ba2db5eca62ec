#include <gtest/gtest.h>

#include <cstdint>

#include "game/shell/Profile.h"
#include "platform/Random.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

TEST(ProfileRules, UpdateScoreMovesAQuarterAndTheLastPointsAtOnce) {
  struct Case {
    uint32_t pending, score, pendingAfter;
  } cases[] = {
      {10, 2, 8},
      {3, 3, 0},
      {0, 0, 0},
      {UINT32_MAX, 1073741824u, UINT32_MAX - 1073741824u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pending);
    Profile profile;
    profile.modes[kModeChallenge].pendingScore = c.pending;
    profile.UpdateScore();
    EXPECT_EQ(profile.modes[kModeChallenge].score, c.score);
    EXPECT_EQ(profile.modes[kModeChallenge].pendingScore, c.pendingAfter);
  }
}

TEST(ProfileRules, TheBestScoreReachesTheScoreOnTheFrameThatMovesTheLastPoints) {
  Profile profile;
  profile.SetMode(kModePanic);
  profile.AddScore(1000);
  // Before the points move, the best score has not seen them.
  EXPECT_EQ(profile.bestScore[kModePanic], 0u);
  int frames = 0;
  while (profile.modes[kModePanic].pendingScore > 0 && frames < 100) {
    profile.UpdateScore();
    ++frames;
    EXPECT_EQ(profile.bestScore[kModePanic], profile.modes[kModePanic].score);
  }
  EXPECT_EQ(profile.modes[kModePanic].score, 1000u);
  EXPECT_EQ(profile.bestScore[kModePanic], 1000u);
  EXPECT_EQ(profile.bestScore[kModeChallenge], 0u);
}

TEST(ProfileRules, ScoresSaturateInsteadOfWrapping) {
  Profile profile;
  profile.modes[kModeChallenge].score = UINT32_MAX - 5;
  profile.AddScore(UINT32_MAX);
  profile.AddScore(100);
  EXPECT_EQ(profile.modes[kModeChallenge].pendingScore, UINT32_MAX);
  for (int frame = 0; frame < 200; ++frame) profile.UpdateScore();
  EXPECT_EQ(profile.modes[kModeChallenge].score, UINT32_MAX);
  EXPECT_EQ(profile.bestScore[kModeChallenge], UINT32_MAX);
}

TEST(ProfileRules, LevelProgressDropsTheRemainderAndDiscsCountOnAndOffPar) {
  Profile profile;
  EXPECT_FALSE(profile.AddLevelProgress(99));
  EXPECT_TRUE(profile.AddLevelProgress(31));  // 130 gems in all at level 1
  EXPECT_EQ(profile.modes[kModeChallenge].level, 2u);
  EXPECT_EQ(profile.modes[kModeChallenge].gemsToNextLevel, 40);
  EXPECT_EQ(profile.bestLevel[kModeChallenge], 2u);

  profile.AddDiscCompleted(false);
  profile.AddDiscCompleted(true);
  EXPECT_EQ(profile.modes[kModeChallenge].discsCompleted, 2u);
  EXPECT_EQ(profile.modes[kModeChallenge].parCompletions, 1u);
  EXPECT_EQ(profile.parStars, 1u);
}

TEST(ProfileRules, StartingPanicClearsThePreviousPanicGameButKeepsItsBests) {
  Profile profile;
  FillEveryField(profile, "bob");
  const ModeStats challenge = profile.modes[kModeChallenge];
  profile.SetMode(kModePanic);
  const ModeStats& panic = profile.modes[kModePanic];
  EXPECT_EQ(profile.mode, kModePanic);
  EXPECT_EQ(panic.score, 0u);
  EXPECT_EQ(panic.discsCompleted, 0u);
  EXPECT_EQ(panic.level, 1u);
  EXPECT_EQ(panic.gemsToNextLevel, 100);
  EXPECT_EQ(panic.timePlayed, 0.0f);
  EXPECT_EQ(profile.bestScore[kModePanic], 43u);
  EXPECT_EQ(profile.bestLevel[kModePanic], 32u);
  EXPECT_EQ(profile.modes[kModeChallenge].score, challenge.score);
  // Going back to Challenge clears nothing.
  profile.SetMode(kModeChallenge);
  EXPECT_EQ(profile.modes[kModeChallenge].level, challenge.level);
}

TEST(ProfileRules, NamesAreLowerCasedAndPlayTimeOfEitherModeCounts) {
  Profile profile;
  profile.SetName("BoB 2");
  EXPECT_STREQ(profile.name.Chars(), "bob 2");
  EXPECT_TRUE(profile.HasNeverPlayed());
  profile.modes[kModePanic].timePlayed = 0.01f;
  EXPECT_FALSE(profile.HasNeverPlayed());
}

TEST(ProfileRules, ACompletedRainbowRunLoadsWithOneRandomRateFromFiveToFifteen) {
  PlayerFolders folders;
  Profile saved;
  saved.SetName("bob");
  saved.rainbow.colour = 7;
  ASSERT_TRUE(saved.Save());
  for (uint32_t seed : {1u, 2u, 3u, 99u}) {
    SCOPED_TRACE(seed);
    platform::SeedRandom(seed);
    const float expected = 5.0f + 10.0f * static_cast<float>(platform::NextRandom()) / 32767.0f;
    platform::SeedRandom(seed);
    Profile loaded;
    ASSERT_TRUE(loaded.Load("bob"));
    EXPECT_EQ(loaded.rainbow.colour, 7);
    EXPECT_FLOAT_EQ(loaded.rainbow.timer, expected);
    EXPECT_EQ(loaded.rainbow.timerStart, loaded.rainbow.timer);
    EXPECT_GE(loaded.rainbow.timer, 5.0f);
    EXPECT_LE(loaded.rainbow.timer, 15.0f);
    // The copy the disc takes carries the rates too.
    EXPECT_EQ(loaded.GetRainbowGem().timer, loaded.rainbow.timer);
  }
}

TEST(ProfileRules, OnlyTheProfileBeingDestroyedStopsBeingCurrent) {
  PlayerFolders folders;
  auto older = std::make_unique<Profile>();
  auto newer = std::make_unique<Profile>();
  EXPECT_EQ(GetCurrentProfile(), newer.get());
  older.reset();
  EXPECT_EQ(GetCurrentProfile(), newer.get());

  // A menu loading beside the current profile keeps it when the load fails.
  EXPECT_EQ(LoadProfileNamed("nobody"), nullptr);
  EXPECT_EQ(GetCurrentProfile(), newer.get());
  newer->SetName("ann");
  ASSERT_TRUE(newer->Save());
  std::unique_ptr<Profile> ann = LoadProfileNamed("Ann");
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(GetCurrentProfile(), ann.get());
  newer.reset();
  EXPECT_EQ(GetCurrentProfile(), ann.get());
  ann.reset();
  EXPECT_EQ(GetCurrentProfile(), nullptr);
}

}  // namespace
