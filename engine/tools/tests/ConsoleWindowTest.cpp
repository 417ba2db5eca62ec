#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/ScrollBar.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/tests/support/RecordingCanvas.h"

namespace {

int32_t RunCommand(const char* name) {
  String command(name);
  return CCommandRegistry::Get()->Execute(command, String(""));
}

// A console set up as the System window does, over an emptied main channel,
// printing into a recording canvas whose fonts are 16 units high: the client
// area of 336 units holds 21 rows.
class ConsoleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    console_.SetDefaultFrame(3);
    Channel()->Clear();
  }

  static LogChannel* Channel() { return GetLogChannel(0); }

  static void WriteLines(int first, int count) {
    const float green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = first; i < first + count; ++i) Channel()->Write(String(("line " + std::to_string(i)).c_str()), green);
  }

  std::vector<std::string> Draw() {
    canvas_.Clear();
    console_.DrawContents();
    return canvas_.Texts();
  }

  RecordingCanvas canvas_;
  ConsoleWindow console_;
};

TEST_F(ConsoleWindowTest, FrameIsTheYellowBottomSlidingConsoleWithOnlyAVerticalBar) {
  EXPECT_EQ(console_.name, "Vyre Console");
  EXPECT_FLOAT_EQ(console_.colour[0], 0.85f);
  EXPECT_FLOAT_EQ(console_.colour[2], 0.0f);
  EXPECT_FLOAT_EQ(console_.outer.min.y, 200.0f);
  EXPECT_FLOAT_EQ(console_.inner.Height(), 336.0f);
  EXPECT_TRUE(console_.GetStyle() & GUIStyle::kTitleButtons);
  EXPECT_EQ(console_.GetScrollBar(false), nullptr);
  ASSERT_NE(console_.GetScrollBar(true), nullptr);
  EXPECT_TRUE(console_.slideEnabled);
  EXPECT_FLOAT_EQ(console_.showY.start, 600.0f);
  EXPECT_EQ(console_.PageRows(), 21);
}

TEST_F(ConsoleWindowTest, AnEmptyChannelPrintsNothing) { EXPECT_TRUE(Draw().empty()); }

TEST_F(ConsoleWindowTest, RowsRunFromTheNewestUpwardInTheLinesOwnColour) {
  WriteLines(0, 3);
  EXPECT_EQ(Draw(), (std::vector<std::string>{"line 2", "line 1", "line 0"}));
  // The bottom row (21 x 16) is the empty slot after the newest line.
  EXPECT_EQ(canvas_.prints[0].y, 20 * 16);
  EXPECT_EQ(canvas_.prints[1].y, 19 * 16);
  EXPECT_EQ(canvas_.prints[0].x, 1);
  EXPECT_EQ(canvas_.prints[0].font, 3);
  EXPECT_FLOAT_EQ(canvas_.prints[0].colour[0], 0.0f);
  EXPECT_FLOAT_EQ(canvas_.prints[0].colour[1], 1.0f);
  // The font gets its own colour back afterwards.
  float after[4];
  canvas_.GetFontColour(3, after);
  EXPECT_FLOAT_EQ(after[0], 1.0f);
}

TEST_F(ConsoleWindowTest, JumpsToTheNewestLineOnlyWhenTheCountChanged) {
  WriteLines(0, 3);
  Draw();
  ScrollBar* bar = console_.GetScrollBar(true);
  bar->SetPosition(1.0f);  // the user scrolls up
  EXPECT_EQ(Draw(), (std::vector<std::string>{"line 1", "line 0"}));
  EXPECT_EQ(Draw(), (std::vector<std::string>{"line 1", "line 0"}));
  WriteLines(3, 1);
  EXPECT_EQ(Draw(), (std::vector<std::string>{"line 3", "line 2", "line 1", "line 0"}));

  console_.followNewest = 0;
  bar->SetPosition(1.0f);
  WriteLines(4, 1);
  EXPECT_EQ(Draw(), (std::vector<std::string>{"line 1", "line 0"}));
}

TEST_F(ConsoleWindowTest, APageNeverPrintsMoreRowsThanFit) {
  WriteLines(0, 40);
  const std::vector<std::string> texts = Draw();
  ASSERT_EQ(texts.size(), 20u);  // 21 rows, the bottom one empty
  EXPECT_EQ(texts.front(), "line 39");
  EXPECT_EQ(texts.back(), "line 20");
  EXPECT_GT(canvas_.prints.back().y, 0);
}

TEST_F(ConsoleWindowTest, AfterTheRingWrappedOnlyLinesBeforeTheWriteIndexShow) {
  const int capacity = static_cast<int>(Channel()->GetLineCapacity());
  WriteLines(0, capacity + 5);
  ASSERT_TRUE(Channel()->IsWrapped());
  const std::vector<std::string> texts = Draw();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts.front(), "line " + std::to_string(capacity + 4));
  EXPECT_EQ(texts.back(), "line " + std::to_string(capacity));
}

TEST_F(ConsoleWindowTest, AFontWithoutHeightGivesAnEmptyPage) {
  WriteLines(0, 5);
  canvas_.fontHeights[0] = 0;
  EXPECT_EQ(console_.PageRows(), 0);
  EXPECT_TRUE(Draw().empty());
}

TEST_F(ConsoleWindowTest, ClearEmptiesTheShownChannel) {
  WriteLines(0, 5);
  EXPECT_EQ(RunCommand("CLEAR"), 0);
  EXPECT_EQ(Channel()->GetWriteIndex(), 0u);
  EXPECT_TRUE(Draw().empty());
}

TEST_F(ConsoleWindowTest, HideAsksForTheSlideOutEvenWhenHidden) {
  ASSERT_FALSE(console_.IsVisible());
  EXPECT_EQ(RunCommand("HIDE"), 0);
  EXPECT_TRUE(console_.IsPending(&console_.hideState));
}

TEST(ConsoleCommands, ActOnTheLiveConsoleAndOnNothingOnceItIsGone) {
  auto first = std::make_unique<ConsoleWindow>();
  first.reset();
  EXPECT_EQ(ConsoleWindow::Live(), nullptr);
  GetLogChannel(0)->Write(String("kept"));
  const uint32_t written = GetLogChannel(0)->GetWriteIndex();
  EXPECT_EQ(RunCommand("HIDE"), 0);
  EXPECT_EQ(RunCommand("CLEAR"), 0);
  EXPECT_EQ(GetLogChannel(0)->GetWriteIndex(), written);

  ConsoleWindow second;
  second.SetDefaultFrame(0);
  EXPECT_EQ(ConsoleWindow::Live(), &second);
  EXPECT_EQ(RunCommand("HIDE"), 0);
  EXPECT_TRUE(second.IsPending(&second.hideState));
  EXPECT_EQ(RunCommand("CLEAR"), 0);
  EXPECT_EQ(GetLogChannel(0)->GetWriteIndex(), 0u);
  // Registered once however many consoles were made.
  int clears = 0;
  for (uint32_t i = 0; i < CCommandRegistry::Get()->GetCount(); ++i) {
    if (CCommandRegistry::Get()->GetCommand(i)->GetName() == "CLEAR") ++clears;
  }
  EXPECT_EQ(clears, 1);
}

TEST(ConsolePrompt, PromptAndTipBoxSitInTheirOwnersFont) {
  DebugWindow owner;
  owner.name = "Vyre System";
  owner.SetDefaultFrame(4);
  owner.SetLayer(90.0f);
  std::unique_ptr<ConsoleInputBox> prompt(ConsoleWindow::CreateConsolePrompt(owner));
  EXPECT_EQ(prompt->name, "Vyre System:Prompt");
  EXPECT_FLOAT_EQ(prompt->GetLayer(), 91.0f);
  EXPECT_FLOAT_EQ(prompt->outer.min.y, 568.0f);
  EXPECT_FLOAT_EQ(prompt->outer.Width(), 768.0f);
  EXPECT_FLOAT_EQ(prompt->inner.min.x, 48.0f);
  EXPECT_EQ(prompt->styles[3].font, 4);
  EXPECT_EQ(prompt->GetStyle() & 0x3u, 0x1u);
  EXPECT_EQ(prompt->GetParentId(), owner.GetId());
  EXPECT_TRUE(owner.children.Contains(prompt.get()));

  std::unique_ptr<TextBox> tip(ConsoleWindow::CreateTipBox(owner));
  EXPECT_FLOAT_EQ(tip->GetLayer(), 110.0f);
  EXPECT_FLOAT_EQ(tip->outer.Width(), 128.0f);
  EXPECT_FLOAT_EQ(tip->inner.min.x, 4.0f);
  EXPECT_FALSE(tip->hitOnInner);
  EXPECT_FALSE(owner.hitOnInner);
  EXPECT_TRUE(owner.children.Contains(tip.get()));
  owner.children.Clear();
}

}  // namespace
