#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

class GameScoring : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    game_->currentDisc = &disc_;
  }
  void TearDown() override { game_->currentDisc = nullptr; }

  // Makes the disc's last match a group of the colour and shapes.
  void SetMatch(int colour, std::vector<int> groupShapes, bool playerDrop = false) {
    shapes_ = std::move(groupShapes);
    MatchRecord& match = disc_.matchRecord;
    match.gemCount = static_cast<unsigned>(shapes_.size());
    match.capacity = match.gemCount;
    match.colour = colour;
    match.shapes = shapes_.data();
    match.sameShape = std::all_of(shapes_.begin(), shapes_.end(), [&](int s) { return s == shapes_[0]; });
    match.playerDrop = playerDrop;
  }
  ModeStats& Stats() { return game_->profile->Current(); }

  CGPuzzleDisc disc_{1, 3};
  std::vector<int> shapes_;
};

TEST_F(GameScoring, PointsMultiplierAndChain) {
  struct Case {
    const char* name;
    int colour;
    std::vector<int> shapes;
    unsigned multiplierBefore;
    unsigned chainBefore;
    float secondsSinceLast;
    uint32_t points;
    unsigned multiplierAfter;
    unsigned chainAfter;
  };
  const std::vector<int> five(5, kGemOctagon);
  const Case cases[] = {
      {"the third quick group", kGemBlue, five, 1, 1, 0.5f, 1500, 2, 2},
      {"two gems", kGemBlue, {kGemOrb, kGemOrb}, 1, 0, 5.0f, 0, 1, 0},
      {"three gold Tetra gems", kGemGold, {0, 0, 0}, 1, 0, 5.0f, 7500, 1, 0},
      {"a mixed group scores the base", kGemRed, {kGemStar, kGemOrb, kGemStar}, 1, 0, 5.0f, 75, 1, 0},
      {"a Star group", kGemRed, {kGemStar, kGemStar, kGemStar}, 1, 0, 5.0f, 600, 1, 0},
      {"gold doubles past the cap", kGemGold, {0, 0, 0}, 8, 2, 0.5f, 60000, 16, 3},
      {"and again", kGemGold, {0, 0, 0}, 16, 3, 0.5f, 120000, 32, 4},
      {"the next quick group clamps it", kGemRed, {0, 0, 0}, 32, 4, 0.5f, 2400, 8, 5},
      {"after a 2 s gap the multiplier scores on", kGemRed, {0, 0, 0}, 4, 0, 0.0f, 300, 4, 1},
      {"a late group resets it", kGemRed, {0, 0, 0}, 4, 3, 2.0f, 300, 1, 0},
  };
  for (const Case& c : cases) {
    SetMatch(c.colour, c.shapes);
    Stats().pendingScore = 0;
    game_->bonusMultiplier = c.multiplierBefore;
    game_->quickMatchChain = c.chainBefore;
    game_->timeSinceLastMatch = c.secondsSinceLast;
    game_->cascadeTimer = game_->quakeTimer = 0.7f;
    game_->ScoreMatch();
    EXPECT_EQ(Stats().pendingScore, c.points) << c.name;
    EXPECT_EQ(game_->bonusMultiplier, c.multiplierAfter) << c.name;
    EXPECT_EQ(game_->quickMatchChain, c.chainAfter) << c.name;
    EXPECT_EQ(game_->timeSinceLastMatch, 0.0f) << c.name;
    EXPECT_EQ(game_->cascadeTimer, 0.0f) << c.name;
  }
}

TEST_F(GameScoring, BigGroupsEarnLevelProgressAndPraise) {
  struct Case {
    unsigned gems;
    unsigned chainBefore;
    int32_t progress;
    int speech;  // -1: none
    uint32_t excellence;
  };
  for (const Case& c : {Case{6, 0, 0, -1, 0}, Case{7, 0, 3, -1, 0}, Case{7, 2, 9, -1, 0},
                        Case{12, 0, 8, kSpeechExcellent, 2}, Case{13, 0, 9, kSpeechIncredible, 1}}) {
    SetMatch(kGemGreen, std::vector<int>(c.gems, kGemCubic));
    Stats().gemsToNextLevel = 100;
    game_->profile->excellence = 0;
    services_.audio->speeches.clear();
    game_->quickMatchChain = c.chainBefore;
    game_->timeSinceLastMatch = 0.0f;
    game_->ScoreMatch();
    EXPECT_EQ(Stats().gemsToNextLevel, 100 - c.progress) << c.gems;
    EXPECT_EQ(services_.audio->speeches, c.speech < 0 ? std::vector<int>{} : std::vector<int>{c.speech}) << c.gems;
    EXPECT_EQ(game_->profile->excellence, c.excellence) << c.gems;
  }
  // Reaching 0 gains a level, which asks 20 gems per level.
  SetMatch(kGemGreen, std::vector<int>(10, kGemCubic));
  Stats().gemsToNextLevel = 6;
  game_->quickMatchChain = 0;
  game_->timeSinceLastMatch = 0.0f;
  game_->ScoreMatch();
  EXPECT_EQ(Stats().level, 2u);
  EXPECT_EQ(game_->profile->BestLevel(), 2u);
  EXPECT_EQ(Stats().gemsToNextLevel, 40);
}

TEST_F(GameScoring, CascadesArePaidWithTheNextDropOrByTheTimer) {
  struct Case {
    unsigned cascades;
    uint32_t points;
    int speech;
    uint32_t skillful;
    uint32_t masterful;
  };
  for (const Case& c :
       {Case{3, 2250, -1, 0, 0}, Case{4, 3000, kSpeechSkillful, 1, 0}, Case{7, 5250, kSpeechMasterful, 0, 1}}) {
    Stats() = ModeStats();
    game_->profile->skillfulCascades = game_->profile->masterfulCascades = game_->profile->cascades = 0;
    services_.audio->speeches.clear();
    game_->cascadeCount = c.cascades;
    game_->ScoreCascade();
    EXPECT_EQ(Stats().pendingScore, c.points) << c.cascades;
    EXPECT_EQ(services_.audio->speeches, c.speech < 0 ? std::vector<int>{} : std::vector<int>{c.speech}) << c.cascades;
    EXPECT_EQ(game_->profile->skillfulCascades, c.skillful) << c.cascades;
    EXPECT_EQ(game_->profile->masterfulCascades, c.masterful) << c.cascades;
    EXPECT_EQ(game_->profile->cascades, c.cascades);
    EXPECT_EQ(Stats().gemsToNextLevel, 100 - 2 * static_cast<int32_t>(c.cascades));
    EXPECT_EQ(game_->cascadeCount, 0u);
  }
  // A match of the cascade counts; the player's next drop pays them first.
  Stats() = ModeStats();
  SetMatch(kGemRed, {0, 0, 0});
  game_->timeSinceLastMatch = 5.0f;
  game_->ScoreMatch();
  game_->ScoreMatch();
  EXPECT_EQ(game_->cascadeCount, 2u);
  SetMatch(kGemRed, {0, 0, 0}, true);
  game_->ScoreMatch();
  EXPECT_EQ(game_->cascadeCount, 0u);
  EXPECT_EQ(Stats().pendingScore, 3 * 75u + 1500u);
}

TEST_F(GameScoring, EachGemBreaksWithItsOwnSoundWithinAThirdOfASecond) {
  SetMatch(kGemRed, {0, 0, 0, 0, 0});
  game_->timeSinceLastMatch = 5.0f;
  game_->ScoreMatch();
  auto broken = [&] {
    return std::count(services_.audio->received.begin(), services_.audio->received.end(), eMSG_AInGame_PlayGemBroken);
  };
  const auto atOnce = broken();
  GameFixture::DeliverAt(0.5f);
  EXPECT_EQ(broken(), 5);
  EXPECT_LT(atOnce, 5);
}

TEST_F(GameScoring, ScoresSaturateAtTheTop) {
  SetMatch(kGemGold, std::vector<int>(200, kGemStar));
  Stats().pendingScore = UINT32_MAX - 10;
  game_->bonusMultiplier = 1u << 31;
  game_->quickMatchChain = 5;
  game_->timeSinceLastMatch = 0.0f;
  game_->ScoreMatch();
  EXPECT_EQ(Stats().pendingScore, UINT32_MAX);
  // It stops doubling rather than wrap to 0.
  EXPECT_EQ(game_->bonusMultiplier, 1u << 31);
  for (int i = 0; i < 3; ++i) game_->profile->UpdateScore();
  EXPECT_GT(Stats().score, 0u);
}

}  // namespace
