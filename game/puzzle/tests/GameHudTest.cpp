#include "game/puzzle/GameHud.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/foundation/Clock.h"
#include "game/puzzle/GameMessages.h"
#include "game/puzzle/GameServices.h"
#include "game/puzzle/MatchRecord.h"
#include "game/puzzle/PuzzleDisc.h"
#include "support/GameTestSupport.h"
#include "support/GlyphRecorder.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

class HudTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc.locked = false;
    hud.disc = &disc;
    hud.timersRunning = true;
  }
  void TearDown() override { Clock::Instance().SetFixedStep(0.0f); }

  static MatchRecord Match(int colour) {
    MatchRecord match;
    match.colour = colour;
    return match;
  }
  // Runs the HUD's timers for whole steps of dt.
  void Run(float seconds, float dt = 0.05f) {
    for (float t = 0.0f; t < seconds - 1e-4f; t += dt) hud.UpdateTimers(dt);
  }
  void Draw() {
    glyphs.Clear();
    hud.DrawContents();
  }

  GameReceivers receivers;
  GlyphRecorder glyphs;
  FakeServices services;
  GameHud hud{&services};
  CGPuzzleDisc disc{1, 3};
};

TEST_F(HudTest, TheCountdownExpiresOnceOnTheUpdateAfterItPassesZero) {
  hud.timeLeft = 0.3f;
  hud.UpdateTimers(0.4f);
  EXPECT_NEAR(hud.timeLeft, -0.1f, 1e-6f);
  EXPECT_EQ(receivers.game.Count(eMSG_GTimerExpired), 0);
  hud.UpdateTimers(0.1f);
  EXPECT_EQ(receivers.game.Count(eMSG_GTimerExpired), 1);
  EXPECT_EQ(hud.timeLeft, 0.0f);
  Run(1.0f);
  EXPECT_EQ(receivers.game.Count(eMSG_GTimerExpired), 1);
  EXPECT_EQ(hud.timeLeft, 0.0f);
  EXPECT_NEAR(hud.elapsed, 1.5f, 1e-4f);
  Draw();
  EXPECT_FALSE(glyphs.Drew(7, "TIMELEFT"));
  EXPECT_FALSE(glyphs.Drew(7, "PARTIME"));
}

TEST_F(HudTest, TheClocksStandStillWithoutAnUnlockedDiscOrRunningTimers) {
  const struct {
    const char* name;
    bool withDisc;
    bool locked;
    bool running;
    bool moves;
  } cases[] = {
      {"running", true, false, true, true},
      {"no disc", false, false, true, false},
      {"locked disc", true, true, true, false},
      {"timers not running", true, false, false, false},
  };
  for (const auto& c : cases) {
    hud.disc = c.withDisc ? &disc : nullptr;
    disc.locked = c.locked;
    hud.timersRunning = c.running;
    hud.timeLeft = 10.0f;
    hud.elapsed = 0.0f;
    hud.UpdateTimers(0.5f);
    EXPECT_EQ(hud.timeLeft, c.moves ? 9.5f : 10.0f) << c.name;
    EXPECT_EQ(hud.elapsed, c.moves ? 0.5f : 0.0f) << c.name;
  }
}

TEST_F(HudTest, PopupsStartedInOneFrameMoveAQuarterSecondApartInOrder) {
  hud.AddScorePopup(10, Match(kGemRed));
  hud.AddMessage("Level Up!");
  hud.AddScorePopup(20, Match(kGemBlue));
  EXPECT_EQ(hud.popups[0].delay, 0.0f);
  EXPECT_EQ(hud.banners[0].delay, 0.25f);
  EXPECT_EQ(hud.popups[1].delay, 0.5f);
  hud.UpdateTimers(0.1f);
  EXPECT_EQ(hud.stagger, 0.0f);
  EXPECT_GT(hud.popups[0].y.t, 0.0f);
  EXPECT_EQ(hud.banners[0].y.t, 0.0f);
  // Until it moves a popup is drawn invisible.
  EXPECT_EQ(hud.banners[0].alpha.output, 0.0f);
  Run(0.3f);
  EXPECT_GT(hud.banners[0].y.t, 0.0f);
  EXPECT_EQ(hud.popups[1].y.t, 0.0f);
  Run(0.25f);
  EXPECT_GT(hud.popups[1].y.t, 0.0f);

  // A slot empties once both its position channels have run out.
  Run(1.5f);
  EXPECT_FALSE(hud.popups[0].Live());
  Run(0.6f);
  EXPECT_FALSE(hud.popups[1].Live());
  EXPECT_FALSE(hud.banners[0].Live());
}

TEST_F(HudTest, PopupAndBannerTexts) {
  hud.AddScorePopup(1500, Match(kGemGreen));
  EXPECT_STREQ(hud.popups[0].text, "1500");
  EXPECT_EQ(hud.popups[0].font, static_cast<uint32_t>(kGemGreen));
  EXPECT_FLOAT_EQ(hud.popups[0].width, 4 * 32.0f);

  // A multiplier of 1 takes a slot but shows nothing.
  hud.SetMultiplier(1);
  EXPECT_EQ(hud.nextPopup, 2u);
  EXPECT_FALSE(hud.popups[1].Live());
  // The multiplier keeps the slot's font; Gold draws in the last font.
  hud.SetMultiplier(4);
  EXPECT_STREQ(hud.popups[2].text, "4x");
  EXPECT_EQ(hud.popups[2].font, 0u);
  hud.AddScorePopup(300, Match(kGemGold));
  EXPECT_STREQ(hud.popups[3].text, "4 x 300");
  EXPECT_EQ(hud.popups[3].font, 7u);

  hud.AddMessage("A banner that is far too long to fit in one slot");
  EXPECT_EQ(std::string(hud.banners[0].text), std::string("A banner that is far too long to fit in one slot").substr(0, 31));
  EXPECT_EQ(hud.banners[0].font, 7u);
  hud.AddParBonus(250);
  EXPECT_STREQ(hud.banners[1].text, "Par bonus!");
  EXPECT_STREQ(hud.popups[4].text, "4 x 250");
  EXPECT_EQ(hud.popups[4].font, 7u);
}

TEST_F(HudTest, TheNinthPopupReplacesTheOldest) {
  for (int i = 1; i <= 9; ++i) hud.AddScorePopup(static_cast<uint64_t>(i), Match(kGemRed));
  EXPECT_STREQ(hud.popups[0].text, "9");
  EXPECT_STREQ(hud.popups[1].text, "2");
  EXPECT_EQ(hud.popups[0].delay, 8 * 0.25f);
  EXPECT_EQ(hud.nextPopup, 1u);
}

TEST_F(HudTest, NoticesRiseThenFadeAndAnEleventhIsDropped) {
  hud.AddAchievement(3);
  const GameHudNotice& first = hud.notices[GameHud::kNoticeCount - 1];
  ASSERT_TRUE(first.live);
  EXPECT_STREQ(first.name, "Rainbow Warrior");
  EXPECT_NE(first.icon, nullptr);
  Run(1.55f);
  EXPECT_TRUE(first.live);
  EXPECT_FLOAT_EQ(first.x.output, 240.0f);
  EXPECT_NEAR(first.y.output, 568.0f, 0.5f);
  EXPECT_EQ(first.alpha.curve, AnimChannel::kSmoothFall);
  Run(2.05f);
  EXPECT_FALSE(first.live);

  for (int i = 0; i < GameHud::kNoticeCount; ++i) hud.AddAchievement(1);
  const float stagger = hud.stagger;
  hud.AddAchievement(3);
  EXPECT_EQ(hud.stagger, stagger);
  for (const GameHudNotice& notice : hud.notices) EXPECT_STREQ(notice.name, "Other");
}

TEST_F(HudTest, WithGameOverShownOnlyTheFadeMoves) {
  hud.timeLeft = 5.0f;
  hud.AddScorePopup(10, Match(kGemRed));
  hud.AddAchievement(1);
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  hud.OnMessage(&rainbow);
  EXPECT_TRUE(rainbow.handled & 1);
  hud.gameOverShown = true;
  hud.fadeActive = true;
  hud.fade.Set(AnimChannel::kRiseFast, false, 0.0f, 0.5f, 1.5f);
  Clock::Instance().SetFixedStep(0.2f);
  Run(1.0f, 0.25f);
  EXPECT_EQ(hud.timeLeft, 5.0f);
  EXPECT_EQ(hud.elapsed, 0.0f);
  EXPECT_EQ(hud.popups[0].y.t, 0.0f);
  EXPECT_EQ(hud.notices[GameHud::kNoticeCount - 1].y.t, 0.0f);
  EXPECT_EQ(hud.rainbowTime, 4.0f);
  EXPECT_EQ(hud.rainbowColour, 0u);
  EXPECT_EQ(hud.stagger, 0.5f);
  EXPECT_GT(hud.fade.output, 0.0f);
}

TEST_F(HudTest, TheRainbowBannerStepsItsColoursAndFadesOverFourSeconds) {
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  hud.OnMessage(&rainbow);
  Clock::Instance().SetFixedStep(0.05f);
  // The colours move with the clock's frame time: three frames pass 0.125 s.
  hud.UpdateTimers(1.0f);
  hud.UpdateTimers(1.0f);
  EXPECT_EQ(hud.rainbowColour, 0u);
  hud.UpdateTimers(0.0f);
  EXPECT_EQ(hud.rainbowColour, 1u);
  EXPECT_EQ(hud.rainbowStep, 0.0f);
  EXPECT_FLOAT_EQ(hud.rainbowTime, 2.0f);
  hud.rainbowColour = 5;
  Draw();
  // Letter by letter from the rainbow colour, wrapping from 6 to 0.
  EXPECT_EQ(glyphs.text[5].back(), 'R');
  EXPECT_EQ(glyphs.text[6].back(), 'A');
  EXPECT_EQ(glyphs.text[0].back(), 'I');
  EXPECT_EQ(glyphs.text[4].back(), 'W');
  EXPECT_FLOAT_EQ(glyphs.alpha[5].back(), 0.5f);
  Run(2.1f);
  Draw();
  EXPECT_FALSE(glyphs.Drew(6, "A"));
}

TEST_F(HudTest, CountersShowTheirFontsAndTheCountdownBlinks) {
  // From 11 s down the digits show only in the upper half of each second.
  const struct {
    float secondsLeft;
    int font;
    const char* digits;
    bool shown;
  } cases[] = {
      {75.0f, 3, "01:15", true}, {30.0f, 3, "00:30", true}, {29.9f, 2, "00:29", true},
      {11.4f, 2, "00:11", true}, {11.0f, 2, "00:11", false}, {10.7f, 2, "00:10", true},
      {10.3f, 2, "00:10", false}, {9.6f, 1, "00:09", true}, {5.2f, 1, "00:05", false},
      {4.9f, 0, "00:04", true},
  };
  for (const auto& c : cases) {
    hud.timeLeft = c.secondsLeft;
    Draw();
    EXPECT_TRUE(glyphs.Drew(7, "PARTIME")) << c.secondsLeft;
    for (int font = 0; font < GlyphRecorder::kFonts; ++font) {
      EXPECT_EQ(glyphs.Drew(font, c.digits), c.shown && font == c.font) << c.secondsLeft << " font " << font;
    }
  }

  // Without a profile: Challenge labels and zero values.
  hud.totalStars = 12;
  hud.elapsed = 3725.0f;
  hud.multiplier = 1;
  hud.timeLeft = 0.0f;
  Draw();
  EXPECT_TRUE(glyphs.Drew(7, "SCORESTARLEVELGAMETIME"));
  EXPECT_TRUE(glyphs.Drew(1, "00000000"));
  EXPECT_TRUE(glyphs.Drew(5, "001/012"));
  EXPECT_TRUE(glyphs.Drew(4, "001"));
  EXPECT_TRUE(glyphs.Drew(2, "01:02:05"));
  EXPECT_FALSE(glyphs.Drew(0, "*"));
  hud.multiplier = 8;
  Draw();
  EXPECT_TRUE(glyphs.Drew(0, "8*"));
}

TEST_F(HudTest, ColourBarsWriteTheirSharesInTheirColoursFont) {
  disc.colourShares[kGemRed] = 0.25f;
  disc.colourShares[kGemBlack] = 0.5f;
  disc.colourShares[kGemGold] = 0.125f;
  Draw();
  EXPECT_TRUE(glyphs.Drew(0, "25%"));
  // Black and Gold have no font of their own: the last one.
  EXPECT_TRUE(glyphs.Drew(7, "50%"));
  EXPECT_TRUE(glyphs.Drew(7, "12%") || glyphs.Drew(7, "13%"));
}

}  // namespace
