#include <gtest/gtest.h>

#include "game/puzzle/Game.h"
#include "game/puzzle/tests/support/GameTestSupport.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"
#include "game/shell/ShellServices.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

TEST(ProfileServices, TheGameStartsWithTheUserFoldersProfileAndHighScoresAndEntersResults) {
  puzzle_test::GameFixture fixture;
  {
    Profile bob;
    FillEveryField(bob, "bob");
    ASSERT_TRUE(bob.Save());
  }
  HighScoreRows rows;
  FillDefaultHighScores(rows);
  rows[kModePanic][0].name = "ann";
  rows[kModePanic][0].score = 500;
  ASSERT_TRUE(HighScoreTable::Save(rows));

  ProfileServices services;
  Game game(services);
  ASSERT_NE(game.profile, nullptr);
  EXPECT_EQ(GetCurrentProfile(), game.profile.get());
  EXPECT_STREQ(game.profile->name.Chars(), "bob");
  EXPECT_EQ(game.profile->stars, 37u);
  EXPECT_STREQ(game.highScores[kModePanic][0].name.Chars(), "ann");
  EXPECT_STREQ(game.highScores[kModeChallenge][0].name.Chars(), "Doh");
  EXPECT_STREQ(services.AchievementName(21), "One Million Points");

  // A profile that does not load leaves the game's profile current.
  EXPECT_EQ(services.LoadProfile("nobody"), nullptr);
  EXPECT_EQ(GetCurrentProfile(), game.profile.get());

  EXPECT_TRUE(services.AddHighScore(game.highScores, kModePanic, 900, 3));
  HighScoreRows saved;
  FillDefaultHighScores(saved);
  HighScoreTable::Load(saved);
  EXPECT_STREQ(saved[kModePanic][0].name.Chars(), "bob");
  EXPECT_EQ(saved[kModePanic][0].score, 900u);
  EXPECT_EQ(saved[kModePanic][0].stars, 3u);
  EXPECT_STREQ(saved[kModePanic][1].name.Chars(), "ann");
}

}  // namespace
