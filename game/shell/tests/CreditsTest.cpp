#include <gtest/gtest.h>

#include "engine/runtime/messages/MessageIds.h"
#include "game/shell/CreditsScreen.h"
#include "platform/KeyCodes.h"
#include "support/ScreenTestSupport.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

TEST(CreditsText, EachLineHasItsKindTextAndAdvance) {
  struct Case {
    const char* line;
    CreditsKind kind;
    const char* text;
    // Where the next title lands after this line (text font 20, title 30).
    float nextY;
  };
  const Case cases[] = {
      {"<TITLE>Design\n", CreditsKind::Title, "Design", 30.0f},
      {"<TEXT>Ann Smith\n", CreditsKind::Text, "Ann Smith", 10.0f},
      {"<TEXT>\n", CreditsKind::Text, "", 10.0f},
      {"<TEXT>  two blanks kept  \n", CreditsKind::Text, "  two blanks kept  ", 10.0f},
      {"<SPACE>\n", CreditsKind::Space, "", 16.0f},
      {"<RULE>\n", CreditsKind::Rule, "", 0.0f},
      {"no marker\n", CreditsKind::Skipped, "", 0.0f},
      {"\n", CreditsKind::Skipped, "", 0.0f},
      // The first marker of SPACE, TEXT, TITLE, RULE wins; its length is cut from the start.
      {"<TITLE><SPACE>\n", CreditsKind::Space, "", 16.0f},
      {"<TITLE>A <TEXT> B", CreditsKind::Text, ">A <TEXT> B", 10.0f},
      {"<TITLE>last line without a feed", CreditsKind::Title, "last line without a feed", 30.0f},
  };
  for (const Case& c : cases) {
    const CreditsLine line = ClassifyCreditsLine(String(c.line));
    EXPECT_EQ(line.kind, c.kind) << c.line;
    EXPECT_STREQ(line.text.Chars(), c.text) << c.line;
    const std::vector<CreditsItem> items = LayoutCredits({String(c.line), String("<TITLE>next\n")}, 20, 30);
    ASSERT_FALSE(items.empty()) << c.line;
    EXPECT_FLOAT_EQ(items.back().y, c.nextY) << c.line;
  }
}

TEST(CreditsText, TextAdvancesByFlooredHalfLinesAndRulesStayPut) {
  const std::vector<CreditsItem> items = LayoutCredits(
      {String("<TEXT>a\n"), String("<TEXT>b\n"), String("<RULE>\n"), String("<TITLE>c\n"), String("x\n")}, 21, 33);
  ASSERT_EQ(items.size(), 4u);
  // Half of 21 is 10.5, floored each line: 0, 10, 20.
  EXPECT_FLOAT_EQ(items[0].y, 0.0f);
  EXPECT_FLOAT_EQ(items[1].y, 10.0f);
  EXPECT_EQ(items[2].kind, CreditsKind::Rule);
  EXPECT_FLOAT_EQ(items[2].y, 20.0f);
  EXPECT_FLOAT_EQ(items[3].y, 20.0f);
}

TEST(CreditsText, CrlfAndLfFilesReadAlikeAndAMissingFileGivesNoLines) {
  PlayerFolders folders;
  WriteBytes(folders.Work("lf.txt"), "<TITLE>Novaliths\n<SPACE>\n<TEXT>Thanks\n");
  WriteBytes(folders.Work("crlf.txt"), "<TITLE>Novaliths\r\n<SPACE>\r\n<TEXT>Thanks\r\n");
  const std::vector<String> lf = ReadCreditsLines("lf.txt");
  const std::vector<String> crlf = ReadCreditsLines("crlf.txt");
  ASSERT_EQ(lf.size(), 3u);
  ASSERT_EQ(crlf.size(), 3u);
  const std::vector<CreditsItem> a = LayoutCredits(lf, 20, 30);
  const std::vector<CreditsItem> b = LayoutCredits(crlf, 20, 30);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_STREQ(a[i].text.Chars(), b[i].text.Chars());
    EXPECT_EQ(a[i].y, b[i].y);
  }
  EXPECT_STREQ(a[1].text.Chars(), "Thanks");
  EXPECT_TRUE(ReadCreditsLines("missing.txt").empty());
}

TEST(CreditsScreen, TheTextRisesFromBelowTheScreenAndAKeyReturnsToTheFrontEnd) {
  ScreensFixture run;
  WriteBytes("Resources/Credits.txt", "<TITLE>Novaliths\n<TEXT>Thanks\n");
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::Credits), 1.0f);
  ASSERT_TRUE(run.RunUntil("Game.Credits", 2.0f));
  auto& credits = *dynamic_cast<CreditsScreen*>(run.game->State(GameStateId::Credits));
  EXPECT_EQ(credits.Lines().size(), 2u);
  EXPECT_FLOAT_EQ(credits.ScrollOffset(), CreditsScreen::kStartOffset);
  run.Run(1.0f);
  EXPECT_NEAR(credits.ScrollOffset(), CreditsScreen::kStartOffset - 40.0f, 4.0f);
  run.PressKey(platform::key::Space);
  const float pressed = run.Now();
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 3.0f));
  EXPECT_NEAR(run.Now() - pressed, 1.0f, 0.15f);
  // The lines went with the page; the next visit reads the file again.
  EXPECT_TRUE(credits.Lines().empty());
}

TEST(CreditsScreen, WithoutAFileThePageIsEmptyForFiftyFiveSeconds) {
  ScreensFixture run;
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::Credits), 1.0f);
  ASSERT_TRUE(run.RunUntil("Game.Credits", 2.0f));
  const float entered = run.Now();
  auto& credits = *dynamic_cast<CreditsScreen*>(run.game->State(GameStateId::Credits));
  EXPECT_TRUE(credits.Lines().empty());
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 60.0f));
  EXPECT_NEAR(run.Now() - entered, 56.0f, 0.2f);
}

}  // namespace
