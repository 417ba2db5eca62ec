#include <gtest/gtest.h>

#include <string>

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

  EXPECT_EQ(services.AddHighScore(game.highScores, kModePanic, 900, 3), HighScoreOutcome::Saved);
  HighScoreRows saved;
  FillDefaultHighScores(saved);
  HighScoreTable::Load(saved);
  EXPECT_STREQ(saved[kModePanic][0].name.Chars(), "bob");
  EXPECT_EQ(saved[kModePanic][0].score, 900u);
  EXPECT_EQ(saved[kModePanic][0].stars, 3u);
  EXPECT_STREQ(saved[kModePanic][1].name.Chars(), "ann");
}

// The game's own road from start-up to a finished Panic game: a table whose
// file is there but cannot be read survives the result byte for byte (as a
// folder, FIFO or link), and the player is told the result was not saved.
TEST(ProfileServices, AHighScoreFileThatCannotBeReadIsNeverSavedOver) {
  for (const UnreadableShape& shape : UnreadableShapes()) {
    SCOPED_TRACE(shape.what);
    puzzle_test::GameFixture fixture;
    const std::string path = platform::CurrentDirectory() + "/" + HighScoreTable::kFileName;
    MakeUnreadable(path, shape);
    const std::string kind = KindAt(path);
    ClearTerminalLines();
    ProfileServices services;
    Game game(services);
    EXPECT_STREQ(game.highScores[kModePanic][0].name.Chars(), "Dur");
    EXPECT_TRUE(TerminalSays({"Cannot read high-score file " + path, shape.reason}));
    Profile bob;
    bob.SetName("bob");
    EXPECT_EQ(services.AddHighScore(game.highScores, kModePanic, 41000, 2), HighScoreOutcome::NotSaved);
    // The result stands in the table on show; the file is what it was.
    EXPECT_STREQ(game.highScores[kModePanic][0].name.Chars(), "bob");
    EXPECT_EQ(KindAt(path), kind);
    EXPECT_TRUE(TerminalSays({"The high scores are not saved", path}));
  }
}

}  // namespace
