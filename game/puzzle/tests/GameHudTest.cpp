#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/GameServices.h"
#include "game/rules/GameMessages.h"
#include "game/rules/MatchRecord.h"
#include "game/rules/PuzzleDisc.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "support/GameTestSupport.h"
#include "support/GlyphRecorder.h"

namespace {

using namespace puzzle_test;

class HudTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_.locked = false;
    hud_.disc = &disc_;
    hud_.timersRunning = true;
  }
  void TearDown() override { Clock::Instance().SetFixedStep(0.0f); }

  // The glyphs of after that before lacks: after must be before with one run
  // of glyphs put in.
  static std::vector<GlyphRecorder::Glyph> Added(const std::vector<GlyphRecorder::Glyph>& before,
                                                 const std::vector<GlyphRecorder::Glyph>& after) {
    EXPECT_GE(after.size(), before.size());
    if (after.size() < before.size()) return {};
    size_t start = 0;
    while (start < before.size() && after[start].c == before[start].c && after[start].font == before[start].font)
      ++start;
    const size_t count = after.size() - before.size();
    for (size_t i = start; i < before.size(); ++i) EXPECT_EQ(after[i + count].c, before[i].c) << i;
    return {after.begin() + static_cast<std::ptrdiff_t>(start),
            after.begin() + static_cast<std::ptrdiff_t>(start + count)};
  }
  static std::string Chars(const std::vector<GlyphRecorder::Glyph>& glyphs) {
    std::string chars;
    for (const GlyphRecorder::Glyph& glyph : glyphs) chars += glyph.c;
    return chars;
  }
  static bool OnScreen(const Rect& box) {
    return box.min.x >= 0.0f && box.max.x <= 800.0f && box.min.y >= 0.0f && box.max.y <= 600.0f;
  }

  static MatchRecord Match(int colour) {
    MatchRecord match;
    match.colour = colour;
    return match;
  }
  // Runs the HUD's timers for whole steps of dt.
  void Run(float seconds, float dt = 0.05f) {
    for (float t = 0.0f; t < seconds - 1e-4f; t += dt) hud_.UpdateTimers(dt);
  }
  void Draw() {
    glyphs_.Clear();
    hud_.DrawContents();
  }

  GameReceivers receivers_;
  GlyphRecorder glyphs_;
  std::set<std::string> loadable_;
  FakeServices services_;
  GameHud hud_{&services_};
  CGPuzzleDisc disc_{1, 3};
};

TEST_F(HudTest, TheCountdownExpiresOnceOnTheUpdateAfterItPassesZero) {
  hud_.timeLeft = 0.3f;
  hud_.UpdateTimers(0.4f);
  EXPECT_NEAR(hud_.timeLeft, -0.1f, 1e-6f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GTimerExpired), 0);
  hud_.UpdateTimers(0.1f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GTimerExpired), 1);
  EXPECT_EQ(hud_.timeLeft, 0.0f);
  Run(1.0f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GTimerExpired), 1);
  EXPECT_EQ(hud_.timeLeft, 0.0f);
  EXPECT_NEAR(hud_.elapsed, 1.5f, 1e-4f);
  Draw();
  EXPECT_FALSE(glyphs_.Drew(7, "TIMELEFT"));
  EXPECT_FALSE(glyphs_.Drew(7, "PARTIME"));
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
    hud_.disc = c.withDisc ? &disc_ : nullptr;
    disc_.locked = c.locked;
    hud_.timersRunning = c.running;
    hud_.timeLeft = 10.0f;
    hud_.elapsed = 0.0f;
    hud_.UpdateTimers(0.5f);
    EXPECT_EQ(hud_.timeLeft, c.moves ? 9.5f : 10.0f) << c.name;
    EXPECT_EQ(hud_.elapsed, c.moves ? 0.5f : 0.0f) << c.name;
  }
}

TEST_F(HudTest, PopupsStartedInOneFrameMoveAQuarterSecondApartInOrder) {
  hud_.AddScorePopup(10, Match(kGemRed));
  hud_.AddMessage("Level Up!");
  hud_.AddScorePopup(20, Match(kGemBlue));
  EXPECT_EQ(hud_.popups[0].delay, 0.0f);
  EXPECT_EQ(hud_.banners[0].delay, 0.25f);
  EXPECT_EQ(hud_.popups[1].delay, 0.5f);
  hud_.UpdateTimers(0.1f);
  EXPECT_EQ(hud_.stagger, 0.0f);
  EXPECT_GT(hud_.popups[0].y.t, 0.0f);
  EXPECT_EQ(hud_.banners[0].y.t, 0.0f);
  // Until it moves a popup is drawn invisible.
  EXPECT_EQ(hud_.banners[0].alpha.output, 0.0f);
  Run(0.3f);
  EXPECT_GT(hud_.banners[0].y.t, 0.0f);
  EXPECT_EQ(hud_.popups[1].y.t, 0.0f);
  Run(0.25f);
  EXPECT_GT(hud_.popups[1].y.t, 0.0f);

  // A slot empties once both its position channels have run out.
  Run(1.5f);
  EXPECT_FALSE(hud_.popups[0].Live());
  Run(0.6f);
  EXPECT_FALSE(hud_.popups[1].Live());
  EXPECT_FALSE(hud_.banners[0].Live());
}

TEST_F(HudTest, PopupAndBannerTexts) {
  hud_.AddScorePopup(1500, Match(kGemGreen));
  EXPECT_STREQ(hud_.popups[0].text, "1500");
  EXPECT_EQ(hud_.popups[0].font, static_cast<uint32_t>(kGemGreen));
  EXPECT_FLOAT_EQ(hud_.popups[0].width, 4 * 32.0f);

  // A multiplier of 1 takes a slot but shows nothing.
  hud_.SetMultiplier(1);
  EXPECT_EQ(hud_.nextPopup, 2u);
  EXPECT_FALSE(hud_.popups[1].Live());
  // The multiplier keeps the slot's font; Gold draws in the last font.
  hud_.SetMultiplier(4);
  EXPECT_STREQ(hud_.popups[2].text, "4x");
  EXPECT_EQ(hud_.popups[2].font, 0u);
  hud_.AddScorePopup(300, Match(kGemGold));
  EXPECT_STREQ(hud_.popups[3].text, "4 x 300");
  EXPECT_EQ(hud_.popups[3].font, 7u);

  hud_.AddMessage("A banner that is far too long to fit in one slot");
  EXPECT_EQ(std::string(hud_.banners[0].text),
            std::string("A banner that is far too long to fit in one slot").substr(0, 31));
  EXPECT_EQ(hud_.banners[0].font, 7u);
  hud_.AddParBonus(250);
  EXPECT_STREQ(hud_.banners[1].text, "Par bonus!");
  EXPECT_STREQ(hud_.popups[4].text, "4 x 250");
  EXPECT_EQ(hud_.popups[4].font, 7u);
}

TEST_F(HudTest, TheNinthPopupReplacesTheOldest) {
  for (int i = 1; i <= 9; ++i) hud_.AddScorePopup(static_cast<uint64_t>(i), Match(kGemRed));
  EXPECT_STREQ(hud_.popups[0].text, "9");
  EXPECT_STREQ(hud_.popups[1].text, "2");
  EXPECT_EQ(hud_.popups[0].delay, 8 * 0.25f);
  EXPECT_EQ(hud_.nextPopup, 1u);
}

TEST_F(HudTest, NoticesRiseThenFadeAndAnEleventhIsDropped) {
  hud_.AddAchievement(3);
  const GameHudNotice& first = hud_.notices[GameHud::kNoticeCount - 1];
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

  for (int i = 0; i < GameHud::kNoticeCount; ++i) hud_.AddAchievement(1);
  const float stagger = hud_.stagger;
  hud_.AddAchievement(3);
  EXPECT_EQ(hud_.stagger, stagger);
  for (const GameHudNotice& notice : hud_.notices) EXPECT_STREQ(notice.name, "Other");
}

TEST_F(HudTest, WithGameOverShownOnlyTheFadeMoves) {
  hud_.timeLeft = 5.0f;
  hud_.AddScorePopup(10, Match(kGemRed));
  hud_.AddAchievement(1);
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  hud_.OnMessage(&rainbow);
  EXPECT_TRUE(rainbow.handled & 1);
  hud_.gameOverShown = true;
  hud_.fadeActive = true;
  hud_.fade.Set(AnimChannel::kRiseFast, false, 0.0f, 0.5f, 1.5f);
  Clock::Instance().SetFixedStep(0.2f);
  Run(1.0f, 0.25f);
  EXPECT_EQ(hud_.timeLeft, 5.0f);
  EXPECT_EQ(hud_.elapsed, 0.0f);
  EXPECT_EQ(hud_.popups[0].y.t, 0.0f);
  EXPECT_EQ(hud_.notices[GameHud::kNoticeCount - 1].y.t, 0.0f);
  EXPECT_EQ(hud_.rainbowTime, 4.0f);
  EXPECT_EQ(hud_.rainbowColour, 0u);
  EXPECT_EQ(hud_.stagger, 0.5f);
  EXPECT_GT(hud_.fade.output, 0.0f);
}

TEST_F(HudTest, TheRainbowBannerStepsItsColoursAndFadesOverFourSeconds) {
  CMSGMessage rainbow;
  rainbow.id = eMSG_GMatchedRainbow;
  hud_.OnMessage(&rainbow);
  Clock::Instance().SetFixedStep(0.05f);
  // The colours move with the clock's frame time: three frames pass 0.125 s.
  hud_.UpdateTimers(1.0f);
  hud_.UpdateTimers(1.0f);
  EXPECT_EQ(hud_.rainbowColour, 0u);
  hud_.UpdateTimers(0.0f);
  EXPECT_EQ(hud_.rainbowColour, 1u);
  EXPECT_EQ(hud_.rainbowStep, 0.0f);
  EXPECT_FLOAT_EQ(hud_.rainbowTime, 2.0f);
  hud_.rainbowColour = 5;
  Draw();
  // Letter by letter from the rainbow colour, wrapping from 6 to 0.
  EXPECT_EQ(glyphs_.text[5].back(), 'R');
  EXPECT_EQ(glyphs_.text[6].back(), 'A');
  EXPECT_EQ(glyphs_.text[0].back(), 'I');
  EXPECT_EQ(glyphs_.text[4].back(), 'W');
  EXPECT_FLOAT_EQ(glyphs_.alpha[5].back(), 0.5f);
  Run(2.1f);
  Draw();
  EXPECT_FALSE(glyphs_.Drew(6, "A"));
}

TEST_F(HudTest, CountersShowTheirFontsAndTheCountdownBlinks) {
  // From 11 s down the digits show only in the upper half of each second.
  const struct {
    float secondsLeft;
    int font;
    const char* digits;
    bool shown;
  } cases[] = {
      {75.0f, 3, "01:15", true},  {30.0f, 3, "00:30", true}, {29.9f, 2, "00:29", true},  {11.4f, 2, "00:11", true},
      {11.0f, 2, "00:11", false}, {10.7f, 2, "00:10", true}, {10.3f, 2, "00:10", false}, {9.6f, 1, "00:09", true},
      {5.2f, 1, "00:05", false},  {4.9f, 0, "00:04", true},
  };
  for (const auto& c : cases) {
    hud_.timeLeft = c.secondsLeft;
    Draw();
    EXPECT_TRUE(glyphs_.Drew(7, "PARTIME")) << c.secondsLeft;
    for (int font = 0; font < GlyphRecorder::kFonts; ++font) {
      EXPECT_EQ(glyphs_.Drew(font, c.digits), c.shown && font == c.font) << c.secondsLeft << " font " << font;
    }
  }

  // Without a profile: Challenge labels and zero values.
  hud_.totalStars = 12;
  hud_.elapsed = 3725.0f;
  hud_.multiplier = 1;
  hud_.timeLeft = 0.0f;
  Draw();
  EXPECT_TRUE(glyphs_.Drew(7, "SCORESTARLEVELGAMETIME"));
  EXPECT_TRUE(glyphs_.Drew(1, "00000000"));
  EXPECT_TRUE(glyphs_.Drew(5, "001/012"));
  EXPECT_TRUE(glyphs_.Drew(4, "001"));
  EXPECT_TRUE(glyphs_.Drew(2, "01:02:05"));
  EXPECT_FALSE(glyphs_.Drew(0, "*"));
  hud_.multiplier = 8;
  Draw();
  EXPECT_TRUE(glyphs_.Drew(0, "8*"));
}

TEST_F(HudTest, ColourBarsWriteTheirSharesInTheirColoursFont) {
  disc_.colourShares[kGemRed] = 0.25f;
  disc_.colourShares[kGemBlack] = 0.5f;
  disc_.colourShares[kGemGold] = 0.125f;
  Draw();
  EXPECT_TRUE(glyphs_.Drew(0, "25%"));
  // Black and Gold have no font of their own: the last one.
  EXPECT_TRUE(glyphs_.Drew(7, "50%"));
  EXPECT_TRUE(glyphs_.Drew(7, "12%") || glyphs_.Drew(7, "13%"));
}

// The game-over page as drawn: whatever the reason, the line saying that
// the result could not be saved stays on the 800 x 600 screen and clear of
// every other text the page shows and of the colour bars; a reason too wide
// for the screen is written smaller to fit it.
TEST_F(HudTest, TheGameOverLinesFitTheScreenAndOverlapNothing) {
  FakeProfile profile(&loadable_);
  profile.name = "abcdefgh";
  hud_.profile = &profile;
  hud_.constellationName = "Andromeda";
  hud_.multiplier = 8;
  hud_.totalStars = 12;
  hud_.timeLeft = 75.0f;
  hud_.elapsed = 3725.0f;
  // Every bar, the first one as long as a bar gets.
  for (int colour = 0; colour < kGemColourCount; ++colour) disc_.colourShares[colour] = colour == 0 ? 1.0f : 0.1f;
  std::vector<Rect> bars;
  for (int colour = 0; colour < kGemColourCount; ++colour) {
    Rect bar;
    bar.SetPositionSize(Vector2(760.0f - 150.0f * disc_.colourShares[colour], 415.0f + 10.0f * colour),
                        Vector2(150.0f * disc_.colourShares[colour], 10.0f));
    bars.push_back(bar);
  }
  hud_.gameOverShown = true;

  // The game's reasons, the longest last, then one wider than the screen.
  const char* reasons[] = {"No moves left!", "Out of time!", "Out of Time!", "The Novalith collapsed!",
                           "The Novalith collapsed and took every gem of the galaxy with it!"};
  for (const char* reason : reasons) {
    SCOPED_TRACE(reason);
    hud_.reason = "";
    hud_.saveWarning = "";
    Draw();
    const std::vector<GlyphRecorder::Glyph> page = glyphs_.glyphs;
    hud_.reason = reason;
    Draw();
    const std::vector<GlyphRecorder::Glyph> withReason = glyphs_.glyphs;
    hud_.saveWarning = "Your result could not be saved";
    Draw();
    const std::vector<GlyphRecorder::Glyph> reasonGlyphs = Added(page, withReason);
    const std::vector<GlyphRecorder::Glyph> warning = Added(withReason, glyphs_.glyphs);
    ASSERT_EQ(Chars(warning), "YOURRESULTCOULDNOTBESAVED");

    for (const GlyphRecorder::Glyph& glyph : reasonGlyphs) EXPECT_TRUE(OnScreen(glyph.box)) << glyph.c;
    for (const GlyphRecorder::Glyph& mine : warning) {
      EXPECT_TRUE(OnScreen(mine.box)) << mine.c << " " << mine.box.min.x << ".." << mine.box.max.x;
      for (const GlyphRecorder::Glyph& other : withReason) {
        EXPECT_FALSE(mine.box.Overlaps(other.box)) << mine.c << " over " << other.c << " of font " << other.font
                                                   << " at " << other.box.min.x << "," << other.box.min.y;
      }
      for (const Rect& bar : bars) EXPECT_FALSE(mine.box.Overlaps(bar)) << mine.c << " over a bar";
    }
  }
  hud_.profile = nullptr;
}

}  // namespace
