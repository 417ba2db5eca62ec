// The profile view: its achievement list, statistics pages and page timer.

#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "game/rules/GameMessages.h"
#include "game/shell/Profile.h"
#include "game/shell/ShellResources.h"
#include "support/FrontEndTestSupport.h"

namespace {

using shell_test::DrawnText;
using shell_test::MenuWindowTest;

class FrontEndProfileView : public MenuWindowTest {
 protected:
  void SetUp() override {
    AddProfile("ann");
    profile_ = LoadProfileNamed("ann");
    Build();
    frontEnd_->Next(&frontEnd_->fsmViewProfile);
    ASSERT_TRUE(StepInto(frontEnd_->fsmViewProfile));
  }
  // The page drawn with the page number.
  void DrawPage(uint32_t page) {
    frontEnd_->pageIndex = page;
    Draw();
  }
  // The value drawn right-aligned at 390 on the row, or "".
  std::string ValueAt(float y) const {
    for (const DrawnText& text : canvas_->texts) {
      if (text.y == y && text.x + text.text.size() * text.glyphSize.x == 390.0f) return text.text;
    }
    return "";
  }
};

TEST_F(FrontEndProfileView, TheAchievementListShowsEightRowsFromTheScrollAndNeverPastTheLast) {
  profile_->achieved[24] = 1;
  frontEnd_->scroll = 24;
  Draw();
  ASSERT_EQ(canvas_->quads.size(), 4u);
  for (int row = 0; row < 4; ++row) {
    const shell_test::DrawnQuad& icon = canvas_->quads[row];
    EXPECT_EQ(icon.material, "AchievementStars");
    EXPECT_FLOAT_EQ(icon.area.min.x, 400.0f);
    EXPECT_FLOAT_EQ(icon.area.min.y, 204.0f + 48 * row);
    EXPECT_FLOAT_EQ(icon.area.max.x, 448.0f);
    EXPECT_FLOAT_EQ(icon.alpha, row == 0 ? 1.0f : 0.5f);
  }
  const DrawnText* earned = canvas_->Find("Cube Gem Match");
  ASSERT_NE(earned, nullptr);
  EXPECT_EQ(earned->font, 3);
  EXPECT_FLOAT_EQ(earned->x, 480.0f);
  EXPECT_FLOAT_EQ(earned->y, 228.0f);
  EXPECT_FLOAT_EQ(earned->glyphSize.x, 16.0f);
  EXPECT_EQ(canvas_->Find("Star Gem Match")->font, 7);
  EXPECT_EQ(canvas_->Find("Tetra Gem Match"), nullptr);

  frontEnd_->scroll = 0;
  Draw();
  EXPECT_EQ(canvas_->quads.size(), 8u);
  EXPECT_NE(canvas_->Find("Star Maker"), nullptr);
  EXPECT_EQ(canvas_->Find("50 Panic Stars"), nullptr);
}

TEST_F(FrontEndProfileView, TheModePagesFormatScoresTimesAndShares) {
  ModeStats& challenge = profile_->modes[kModeChallenge];
  challenge.score = 1234;
  challenge.timePlayed = 3725.0f;
  challenge.level = 7;
  profile_->bestScore[kModeChallenge] = 99;
  DrawPage(3);
  EXPECT_EQ(ValueAt(244), "00001234");
  EXPECT_EQ(ValueAt(260), "7");
  EXPECT_EQ(ValueAt(292), "01:02:05");
  EXPECT_EQ(ValueAt(324), "0 / 0");
  EXPECT_EQ(ValueAt(340), "0%");
  EXPECT_EQ(ValueAt(388), "0%");
  EXPECT_EQ(ValueAt(468), "00000099");
  EXPECT_EQ(canvas_->Find("Challenge Mode")->font, 7);
  EXPECT_EQ(canvas_->Find("Score")->font, 5);

  challenge.discsCompleted = 2;
  challenge.parCompletions = 1;
  challenge.totalStars = 3;
  DrawPage(3);
  EXPECT_EQ(ValueAt(324), "2 / 3");
  EXPECT_EQ(ValueAt(340), "67%");
  EXPECT_EQ(ValueAt(388), "33%");

  profile_->modes[kModePanic].timePlayed = 59.0f;
  profile_->bestLevel[kModePanic] = 12;
  DrawPage(4);
  EXPECT_EQ(ValueAt(276), "00:00:59");
  EXPECT_EQ(ValueAt(340), "12");
  EXPECT_NE(canvas_->Find("Previous Session"), nullptr);
}

TEST_F(FrontEndProfileView, PagesOutsideTheFiveDrawOnlyTheTitleAndListAndEveryPageRestoresTheFonts) {
  profile_->name = "ann \t\r\n";
  canvas_->SetAlpha(5, 0.75f);
  canvas_->SetGlyphSize(3, {20.0f, 24.0f});
  for (uint32_t page : {0u, 1u, 2u, 3u, 4u, 7u}) {
    DrawPage(page);
    EXPECT_FLOAT_EQ(canvas_->Alpha(5), 0.75f) << page;
    EXPECT_FLOAT_EQ(canvas_->GlyphSize(3).y, 24.0f) << page;
    EXPECT_FLOAT_EQ(canvas_->GlyphSize(7).x, 32.0f) << page;
    const DrawnText* title = canvas_->Find("Profile : ann");
    ASSERT_NE(title, nullptr) << page;
    EXPECT_EQ(title->font, 7);
    EXPECT_FLOAT_EQ(title->x, 32.0f);
    EXPECT_FLOAT_EQ(title->y, 32.0f);
    EXPECT_FLOAT_EQ(title->glyphSize.x, 32.0f);
  }
  // Title, "Achievements" and eight names.
  EXPECT_EQ(canvas_->texts.size(), 10u);

  // Without a profile nothing is drawn.
  profile_.reset();
  DrawPage(0);
  EXPECT_TRUE(canvas_->texts.empty());
}

TEST_F(FrontEndProfileView, TheStatisticsPageCyclesTheColoursOfRainbowsAndFadesWithThePage) {
  profile_->rainbows = 4;
  profile_->excellence = 3;
  frontEnd_->cycleColour = 5;
  DrawPage(0);
  std::vector<int> fonts;
  for (const DrawnText& text : canvas_->texts) {
    if (text.y == 292.0f && text.text.size() == 1 && text.x < 390.0f - 16) fonts.push_back(text.font);
  }
  EXPECT_EQ(fonts, (std::vector<int>{5, 6, 0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(ValueAt(292), "4");
  EXPECT_EQ(ValueAt(356), "3");
  EXPECT_EQ(canvas_->Find("Excellence")->font, 0);
  EXPECT_FLOAT_EQ(canvas_->Find("Statistics")->alpha, frontEnd_->pageChannel.output);
  // A frame of 0.1 s is not yet a step; the next one is.
  EXPECT_EQ(frontEnd_->cycleColour, 5u);
  DrawPage(0);
  EXPECT_EQ(frontEnd_->cycleColour, 6u);
  DrawPage(0);
  DrawPage(0);
  EXPECT_EQ(frontEnd_->cycleColour, 0u);
}

TEST_F(FrontEndProfileView, PagesTurnEveryTenSecondsWithOneTimerHoweverOftenTheViewIsEntered) {
  const int32_t window = frontEnd_->GetId();
  EXPECT_EQ(GetGEMMSGService()->CountMessages(window, eMSG_GNextProfileDisplay), 1u);
  Send(eMSG_Escape);
  Wait(GFrontEnd::kFadeSeconds);
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
  frontEnd_->Next(&frontEnd_->fsmViewProfile);
  ASSERT_TRUE(StepInto(frontEnd_->fsmViewProfile));
  EXPECT_EQ(GetGEMMSGService()->CountMessages(window, eMSG_GNextProfileDisplay), 1u);

  Wait(10.0f);
  EXPECT_EQ(frontEnd_->pageIndex, 0u);  // fading out
  Wait(1.0f);
  EXPECT_EQ(frontEnd_->pageIndex, 1u);
  EXPECT_EQ(GetGEMMSGService()->CountMessages(window, eMSG_GNextProfileDisplay), 1u);

  // The scroll stays within 0 to 20.
  for (int i = 0; i < 25; ++i) Send(eMSG_Next);
  EXPECT_EQ(frontEnd_->scroll, 20);
  for (int i = 0; i < 25; ++i) Send(eMSG_Previous);
  EXPECT_EQ(frontEnd_->scroll, 0);
}

// The painted part of the title picture drawn over the area: above its
// clear band.
Rect PaintedPart(const Rect& picture) {
  Rect painted = picture;
  painted.max.y = picture.min.y + picture.Height() * (kTitlePictureClearFrom / kTitlePictureHeight);
  return painted;
}

// Where a line of gem text lies: each glyph is centred on its pen position.
Rect TextBox(const DrawnText& text) {
  Rect box;
  box.SetPositionSize({text.x - text.glyphSize.x / 2.0f, text.y - text.glyphSize.y / 2.0f},
                      {text.glyphSize.x * static_cast<float>(text.text.size()), text.glyphSize.y});
  return box;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.min.x < b.max.x && b.min.x < a.max.x && a.min.y < b.max.y && b.min.y < a.max.y;
}

TEST_F(FrontEndProfileView, TheTitlePictureLeavesEveryLineAndIconOfThePageClear) {
  for (uint32_t page = 0; page < GFrontEnd::kProfilePages; ++page) {
    DrawPage(page);
    const Rect painted = PaintedPart(frontEnd_->TitlePictureArea());
    for (const DrawnText& text : canvas_->texts) {
      EXPECT_FALSE(Overlap(TextBox(text), painted)) << "page " << page << ": " << text.text;
    }
    for (const shell_test::DrawnQuad& quad : canvas_->quads) {
      EXPECT_FALSE(Overlap(quad.area, painted)) << "page " << page << ": " << quad.material;
    }
  }
  // Back on the menus the picture spans the top again, above "Welcome".
  Send(eMSG_Escape);
  Wait(GFrontEnd::kFadeSeconds);
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
  const Rect full = frontEnd_->TitlePictureArea();
  EXPECT_FLOAT_EQ(full.min.y, 0.0f);
  EXPECT_FLOAT_EQ(full.Width(), kTitlePictureWidth);
  EXPECT_FLOAT_EQ(full.Height(), kTitlePictureHeight);
  Draw();
  ASSERT_NE(canvas_->Find("Welcome ann!"), nullptr);
  for (const DrawnText& text : canvas_->texts) EXPECT_FALSE(Overlap(TextBox(text), PaintedPart(full))) << text.text;
}

}  // namespace
