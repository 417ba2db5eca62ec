// The rules writing into a real HUD: scoring, the shared reactions, the
// game over and the start of a board.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/rules/BoardFile.h"
#include "game/rules/GameMessages.h"
#include "platform/FileSystem.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

class HudRules : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    game_->CreatePlayViews();
    ASSERT_NE(game_->hud, nullptr);
    hud_ = game_->hud.get();
    game_->currentDisc = &disc_;
  }
  void TearDown() override { game_->currentDisc = nullptr; }

  // Scores a same-shape group of n gems made by the cascade.
  void Score(unsigned n, float secondsSinceLast) {
    shapes_.assign(n, kGemOctagon);
    MatchRecord& match = disc_.matchRecord;
    match.gemCount = n;
    match.capacity = n;
    match.colour = kGemCyan;
    match.shapes = shapes_.data();
    match.sameShape = true;
    match.playerDrop = false;
    game_->timeSinceLastMatch = secondsSinceLast;
    game_->ScoreMatch();
  }
  // Every live banner text, oldest slot first.
  std::vector<std::string> Banners() const {
    std::vector<std::string> texts;
    for (const GameHudPopup& banner : hud_->banners) {
      if (banner.Live()) texts.emplace_back(banner.text);
    }
    return texts;
  }

  GameHud* hud_ = nullptr;
  CGPuzzleDisc disc_{1, 3};
  std::vector<int> shapes_;
};

TEST_F(HudRules, TheHudIsAFullScreenWindowOnItsLayerThatReceivesGameMessages) {
  EXPECT_EQ(game_->HudReceiverId(), hud_->GetId());
  EXPECT_STREQ(hud_->name.Chars(), "HUD");
  EXPECT_EQ(hud_->GetLayer(), 10.0f);
  EXPECT_TRUE(hud_->HasState(GUIState::kShown));
  EXPECT_TRUE(hud_->HasState(GUIState::kActive));
  EXPECT_FALSE(hud_->HasState(GUIState::kTakesInput));
  EXPECT_EQ(hud_->outer.max.x, 800.0f);
  EXPECT_EQ(hud_->outer.max.y, 600.0f);
  EXPECT_EQ(hud_->profile, game_->profile.get());

  // The rainbow travels from the game to the HUD on the GEM service.
  game_->profile->rainbow.type = kGemStar;
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  game_->SharedMessageFSM(&rainbow);
  EXPECT_EQ(hud_->rainbowTime, 4.0f);
  EXPECT_EQ(Banners(), std::vector<std::string>({"5 x 25000 Rainbow Points!"}));
  game_->profile->rainbow.type = kGemTetra;
  game_->SharedMessageFSM(&rainbow);
  EXPECT_EQ(Banners().back(), "25000 Rainbow Points!");

  int index = 3;
  CMSGMessage achievement;
  achievement.id = eMSG_GAchievementEarned;
  achievement.parameter = reinterpret_cast<intptr_t>(&index);
  game_->SharedMessageFSM(&achievement);
  EXPECT_STREQ(hud_->notices[GameHud::kNoticeCount - 1].name, "Rainbow Warrior");

  CMSGMessage unstable;
  unstable.id = eMSG_GNovalithUnstable;
  game_->SharedMessageFSM(&unstable);
  EXPECT_EQ(Banners().back(), "Novalith is unstable!");
}

TEST_F(HudRules, ScoringShowsPointsMultiplierLevelsAndPraise) {
  // 1 x 5 x 3 x 100: the HUD's multiplier (1) shows no factor.
  Score(5, 5.0f);
  EXPECT_STREQ(hud_->popups[0].text, "1500");
  EXPECT_EQ(hud_->popups[0].font, static_cast<uint32_t>(kGemCyan));
  // The reset announces no multiplier.
  EXPECT_FALSE(hud_->popups[1].Live());
  Score(5, 0.5f);
  Score(5, 0.5f);
  EXPECT_STREQ(hud_->popups[4].text, "2x");
  Score(5, 0.5f);
  EXPECT_STREQ(hud_->popups[5].text, "2 x 3000");
  EXPECT_STREQ(hud_->popups[6].text, "4x");
  EXPECT_TRUE(Banners().empty());

  ModeStats& stats = game_->profile->Current();
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
    for (GameHudPopup& banner : hud_->banners) banner.text[0] = '\0';
    hud_->nextBanner = 0;
    game_->cascadeCount = c.cascades;
    game_->ScoreCascade();
    EXPECT_EQ(Banners(), c.banners) << c.cascades;
  }
}

TEST_F(HudRules, TheGameOverStopsTheTimers) {
  hud_->timersRunning = true;
  CGPuzzleDisc full{1, 1};
  full.GemAt(0, 0).SetColour(kGemRed);
  full.GemAt(0, 0).state = GemState::Settled;
  game_->currentDisc = &full;
  ASSERT_TRUE(full.IsFull());
  game_->CheckGameOver();
  EXPECT_FALSE(hud_->timersRunning);
  EXPECT_TRUE(full.locked);
}

TEST_F(HudRules, ABoardGivesTheHudItsNameStarsParTimeAndDisc) {
  game_->galacticPlane = std::make_unique<GalacticPlane>();
  GalacticPlane& plane = *game_->galacticPlane;
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
  game_->currentDisc = nullptr;
  ModeStats& stats = game_->profile->Current();
  stats.discIndex = 1;
  stats.timePlayed = 10.0f;
  hud_->elapsed = 32.5f;
  ASSERT_TRUE(game_->LoadBoards());
  EXPECT_STREQ(hud_->constellationName.Chars(), "Orion");
  EXPECT_EQ(hud_->totalStars, 2u);
  EXPECT_EQ(hud_->timeLeft, 45.0f);
  EXPECT_EQ(hud_->elapsed, 0.0f);
  EXPECT_EQ(stats.timePlayed, 42.5f);
  EXPECT_EQ(hud_->disc, game_->currentDisc);

  // The Panic mode keeps its own countdown.
  game_->profile->mode = kModePanic;
  hud_->timeLeft = 20.0f;
  game_->StartDisc();
  EXPECT_EQ(hud_->timeLeft, 20.0f);
}

}  // namespace
