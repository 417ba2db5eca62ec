// The rules writing into a real HUD: scoring, the shared reactions, the
// game over and the start of a board.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/BoardFile.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/GameMessages.h"
#include "platform/FileSystem.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

class HudRules : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    game->CreatePlayViews();
    ASSERT_NE(game->hud, nullptr);
    hud = game->hud.get();
    game->currentDisc = &disc;
  }
  void TearDown() override { game->currentDisc = nullptr; }

  // Scores a same-shape group of n gems made by the cascade.
  void Score(unsigned n, float secondsSinceLast) {
    shapes.assign(n, kGemOctagon);
    MatchRecord& match = disc.matchRecord;
    match.gemCount = n;
    match.capacity = n;
    match.colour = kGemCyan;
    match.shapes = shapes.data();
    match.sameShape = true;
    match.playerDrop = false;
    game->timeSinceLastMatch = secondsSinceLast;
    game->ScoreMatch();
  }
  // Every live banner text, oldest slot first.
  std::vector<std::string> Banners() const {
    std::vector<std::string> texts;
    for (const GameHudPopup& banner : hud->banners) {
      if (banner.Live()) texts.emplace_back(banner.text);
    }
    return texts;
  }

  GameHud* hud = nullptr;
  CGPuzzleDisc disc{1, 3};
  std::vector<int> shapes;
};

TEST_F(HudRules, TheHudIsAFullScreenWindowOnItsLayerThatReceivesGameMessages) {
  EXPECT_EQ(game->HudReceiverId(), hud->GetId());
  EXPECT_STREQ(hud->name.Chars(), "HUD");
  EXPECT_EQ(hud->GetLayer(), 10.0f);
  EXPECT_TRUE(hud->HasState(GUIState::kShown));
  EXPECT_TRUE(hud->HasState(GUIState::kActive));
  EXPECT_FALSE(hud->HasState(GUIState::kTakesInput));
  EXPECT_EQ(hud->outer.max.x, 800.0f);
  EXPECT_EQ(hud->outer.max.y, 600.0f);
  EXPECT_EQ(hud->profile, game->profile.get());

  // The rainbow travels from the game to the HUD on the GEM service.
  game->profile->rainbow.type = kGemStar;
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  game->SharedMessageFSM(&rainbow);
  EXPECT_EQ(hud->rainbowTime, 4.0f);
  EXPECT_EQ(Banners(), std::vector<std::string>({"5 x 25000 Rainbow Points!"}));
  game->profile->rainbow.type = kGemTetra;
  game->SharedMessageFSM(&rainbow);
  EXPECT_EQ(Banners().back(), "25000 Rainbow Points!");

  int index = 3;
  CMSGMessage achievement;
  achievement.id = eMSG_GAchievementEarned;
  achievement.parameter = reinterpret_cast<intptr_t>(&index);
  game->SharedMessageFSM(&achievement);
  EXPECT_STREQ(hud->notices[GameHud::kNoticeCount - 1].name, "Rainbow Warrior");

  CMSGMessage unstable;
  unstable.id = eMSG_GNovalithUnstable;
  game->SharedMessageFSM(&unstable);
  EXPECT_EQ(Banners().back(), "Novalith is unstable!");
}

TEST_F(HudRules, ScoringShowsPointsMultiplierLevelsAndPraise) {
  // 1 x 5 x 3 x 100: the HUD's multiplier (1) shows no factor.
  Score(5, 5.0f);
  EXPECT_STREQ(hud->popups[0].text, "1500");
  EXPECT_EQ(hud->popups[0].font, static_cast<uint32_t>(kGemCyan));
  // The reset announces no multiplier.
  EXPECT_FALSE(hud->popups[1].Live());
  Score(5, 0.5f);
  Score(5, 0.5f);
  EXPECT_STREQ(hud->popups[4].text, "2x");
  Score(5, 0.5f);
  EXPECT_STREQ(hud->popups[5].text, "2 x 3000");
  EXPECT_STREQ(hud->popups[6].text, "4x");
  EXPECT_TRUE(Banners().empty());

  ModeStats& stats = game->profile->Current();
  stats.gemsToNextLevel = 1;
  Score(13, 5.0f);
  EXPECT_EQ(Banners(), std::vector<std::string>({"Incredible!"}));
  stats.gemsToNextLevel = 1;
  Score(8, 0.5f);
  EXPECT_EQ(Banners(), std::vector<std::string>({"Incredible!", "Level Up!", "Excellent!"}));
}

TEST_F(HudRules, CascadesShowPraiseCountAndPoints) {
  const struct {
    unsigned cascades;
    std::vector<std::string> banners;
  } cases[] = {
      {1, {"1 cascade!", "1 x 750"}},
      {3, {"3 cascades!", "3 x 750"}},
      {4, {"Skillful!", "4 cascades!", "4 x 750"}},
      {7, {"Masterful!", "7 cascades!", "7 x 750"}},
  };
  for (const auto& c : cases) {
    for (GameHudPopup& banner : hud->banners) banner.text[0] = '\0';
    hud->nextBanner = 0;
    game->cascadeCount = c.cascades;
    game->ScoreCascade();
    EXPECT_EQ(Banners(), c.banners) << c.cascades;
  }
}

TEST_F(HudRules, TheGameOverStopsTheTimers) {
  hud->timersRunning = true;
  CGPuzzleDisc full{1, 1};
  full.GemAt(0, 0).SetColour(kGemRed);
  full.GemAt(0, 0).state = GemState::Settled;
  game->currentDisc = &full;
  ASSERT_TRUE(full.IsFull());
  game->CheckGameOver();
  EXPECT_FALSE(hud->timersRunning);
  EXPECT_TRUE(full.locked);
}

TEST_F(HudRules, ABoardGivesTheHudItsNameStarsParTimeAndDisc) {
  game->galacticPlane = std::make_unique<GalacticPlane>();
  GalacticPlane& plane = *game->galacticPlane;
  plane.constellations.resize(1);
  Constellation& orion = plane.constellations[0];
  orion.name = "Orion";
  orion.starCount = 2;
  orion.stars.resize(2);
  orion.stars[0].parSeconds = 90.0f;
  orion.stars[1].parSeconds = 45.0f;
  ASSERT_TRUE(platform::MakeFolder("Resources"));
  ASSERT_TRUE(platform::MakeFolder("Resources/Boards"));
  ASSERT_TRUE(platform::MakeFolder("Resources/Boards/Challenge"));
  CGPuzzleDisc first{2, 4};
  CGPuzzleDisc second{2, 4};
  first.queue->Init(2);
  second.queue->Init(2);
  ASSERT_TRUE(WriteBoard("Resources/Boards/Challenge/Orion.stars", {&first, &second}));
  game->currentDisc = nullptr;
  ModeStats& stats = game->profile->Current();
  stats.discIndex = 1;
  stats.timePlayed = 10.0f;
  hud->elapsed = 32.5f;
  ASSERT_TRUE(game->LoadBoards());
  EXPECT_STREQ(hud->constellationName.Chars(), "Orion");
  EXPECT_EQ(hud->totalStars, 2u);
  EXPECT_EQ(hud->timeLeft, 45.0f);
  EXPECT_EQ(hud->elapsed, 0.0f);
  EXPECT_EQ(stats.timePlayed, 42.5f);
  EXPECT_EQ(hud->disc, game->currentDisc);

  // The Panic mode keeps its own countdown.
  game->profile->mode = kModePanic;
  hud->timeLeft = 20.0f;
  game->StartDisc();
  EXPECT_EQ(hud->timeLeft, 20.0f);
}

}  // namespace
