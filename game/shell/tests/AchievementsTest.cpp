#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "game/puzzle/GameHud.h"
#include "game/puzzle/tests/support/ChallengeTestSupport.h"
#include "game/rules/GameMessages.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "game/shell/Achievements.h"
#include "game/shell/Profile.h"
#include "support/ScreenTestSupport.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

// The game as a recording receiver on the real message service: the index
// each award points at, read while the post is delivered.
class AwardsHeard {
 public:
  AwardsHeard() {
    receivers.game.onMessage = [this](const CMSGMessage& message) {
      if (message.id != eMSG_GAchievementEarned) return;
      EXPECT_EQ(message.source, -1);
      ids.push_back(*reinterpret_cast<const int32_t*>(message.parameter));
    };
  }
  puzzle_test::GameReceivers receivers;
  std::vector<int32_t> ids;
};

TEST(Achievements, EachConditionAwardsItsIdsInAscendingOrder) {
  struct Case {
    const char* what;
    std::function<void(Profile&)> set;
    std::vector<int32_t> awarded;
  } cases[] = {
      {"nothing yet", [](Profile&) {}, {}},
      {"first star on par", [](Profile& p) { p.stars = 1, p.parStars = 1; }, {0, 1}},
      {"stars already 2", [](Profile& p) { p.stars = 2; }, {}},
      {"ten stars", [](Profile& p) { p.stars = 10; }, {2}},
      {"first rainbow", [](Profile& p) { p.rainbows = 1; }, {10}},
      {"1000 gems", [](Profile& p) { p.gemsCleared = 1000; }, {}},
      {"1001 gems", [](Profile& p) { p.gemsCleared = 1001; }, {19}},
      {"Panic score over a million",
       [](Profile& p) { p.mode = kModePanic, p.modes[kModePanic].score = 1000001; },
       {21}},
      {"a million is not over it", [](Profile& p) { p.modes[kModeChallenge].score = 1000000; }, {}},
      {"pending points do not count", [](Profile& p) { p.modes[kModeChallenge].pendingScore = 5000000; }, {}},
      {"the other mode's score does not count", [](Profile& p) { p.modes[kModePanic].score = 2000000; }, {}},
      {"level 100", [](Profile& p) { p.modes[kModeChallenge].level = 100; }, {22}},
      {"star and tetra matches",
       [](Profile& p) { p.typeMatches[kGemStar] = 1, p.typeMatches[kGemTetra] = 3; },
       {23, 27}},
      {"everything far past",
       [](Profile& p) {
         p.stars = p.parStars = p.rainbows = 20000;
         p.panicStars = 100;
         p.constellations = 1000;
         p.gemsCleared = 10001;
         p.modes[kModeChallenge].score = UINT32_MAX;
         p.modes[kModeChallenge].level = 100;
         for (uint32_t& matches : p.typeMatches) matches = 1;
       },
       // Never 0, 1 and 10 (their counters passed 1 unseen), nor 14 and 15.
       {2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AwardsHeard heard;
    Profile profile;
    c.set(profile);
    profile.CheckAchievements();
    EXPECT_EQ(heard.ids, c.awarded);
    for (int32_t id : c.awarded) EXPECT_EQ(profile.achieved[id], 1);
    // A second check awards nothing more.
    heard.ids.clear();
    profile.CheckAchievements();
    EXPECT_TRUE(heard.ids.empty());
  }
}

TEST(Achievements, TheFirstStarIsAwardedByTheNextScoreUpdateAndNeverAgainAfterALoad) {
  PlayerFolders folders;
  AwardsHeard heard;
  Profile profile;
  profile.SetName("bob");
  profile.stars = 1;
  profile.AddScore(4);
  profile.UpdateScore();
  EXPECT_EQ(heard.ids, std::vector<int32_t>{0});
  ASSERT_TRUE(profile.Save());

  Profile loaded;
  ASSERT_TRUE(loaded.Load("bob"));
  EXPECT_EQ(loaded.achieved[0], 1);
  heard.ids.clear();
  loaded.UpdateScore();
  EXPECT_TRUE(heard.ids.empty());
}

// Pause -> "Restart Novalith" on star 2 plays it again from the profile saved
// after star 1, which was saved before the check awarded that star.
TEST(Achievements, ARestartedStarAnnouncesNothingEarnedBefore) {
  ScreensFixture run;
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  puzzle_test::WriteChallenge({{"Lyra", {60, 40}}});
  auto profile = std::make_unique<Profile>();
  profile->SetName("tess");
  ASSERT_TRUE(profile->Save());
  run.game->profile = std::move(profile);
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::ChallengeGame), 0.1f);
  ASSERT_TRUE(run.RunUntil("Game.ChallengeGame", 2.0f));
  ASSERT_NE(run.game->hud, nullptr);

  // Star 1 cleared with par time left: "Star Maker" and "Par Star".
  run.game->hud->timeLeft = 10.0f;
  run.Send(eMSG_GRendererClearDone);
  run.Run(1.5f);
  const GameProfile& played = *run.game->profile;
  ASSERT_EQ(played.modes[kModeChallenge].discIndex, 1u);
  EXPECT_EQ(run.audio->Values(eMSG_GAchievementEarned), (std::vector<int32_t>{0, 1}));

  run.Send(eMSG_GRestartChallenge);
  EXPECT_FALSE(run.game->fadedIn);
  run.Run(3.0f);
  ASSERT_TRUE(run.game->fadedIn);
  const GameProfile& restarted = *run.game->profile;
  EXPECT_EQ(restarted.modes[kModeChallenge].discIndex, 1u);
  EXPECT_EQ(restarted.stars, 1u);
  EXPECT_EQ(restarted.achieved[0], 1);
  EXPECT_EQ(restarted.achieved[1], 1);
  EXPECT_EQ(run.audio->Values(eMSG_GAchievementEarned), (std::vector<int32_t>{0, 1}));
}

TEST(Achievements, AnIndexOutsideTheNameTableNamesNothing) {
  EXPECT_STREQ(AchievementName(-1), "");
  EXPECT_STREQ(AchievementName(28), "");
}

}  // namespace
