// The console input line: commands, assignments, failures and recall.

#include <gtest/gtest.h>

#include <memory>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/input/UIOManager.h"
#include "platform/KeyCodes.h"
#include "platform/null/ScriptedInputSources.h"
#include "support/GuiTestSupport.h"

using namespace gui_test;

namespace {

int gCalls = 0;
String gArguments;

class CountingHandler : public ConsoleCommandHandler {
 public:
  int32_t Invoke(String* arguments) override {
    ++gCalls;
    gArguments = arguments != nullptr ? *arguments : String("");
    return 0;
  }
};

void Submit(ConsoleInputBox& box, const char* line) {
  box.text = line;
  box.submitted = 1;
  box.SubmitPending();
}

// The input service over a scripted keyboard: the keys a test scripts reach
// a box as one poll's key-down message does.
class TypingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UIOSources sources;
    auto scripted = std::make_unique<platform::ScriptedKeyboardSource>();
    keys_ = scripted.get();
    sources.keyboard = std::move(scripted);
    sources.mouse = std::make_unique<platform::ScriptedMouseSource>();
    GetUIOManager()->Init(std::move(sources));
    box_.editable = 1;
  }
  void TearDown() override { GetUIOManager()->Release(); }

  // One poll, then its key-down list to the box.
  void PollInto(TextBox& target) {
    CUIOKeyboard* keyboard = GetUIOManager()->GetKeyboard();
    keyboard->Poll(1.0f / 60.0f);
    if (keyboard->GetPressedCount() > 0) target.OnKeyDown(reinterpret_cast<intptr_t>(keyboard->GetPressed()));
  }

  platform::ScriptedKeyboardSource* keys_ = nullptr;
  ConsoleInputBox box_;
};

}  // namespace

TEST(ConsoleInput, CommandsRunOnlyWithTheirArgumentCount) {
  static CountingHandler handler;
  CCommandRegistry::Get()->Register("ECHO1", &handler, 1, "test");
  ConsoleInputBox box;
  struct Case {
    const char* line;
    int calls;
    bool rejected;
  } cases[] = {
      {"echo1 hello", 1, false}, {"echo1", 1, true}, {"echo1 a b", 1, true}, {"", 1, true}, {"nosuch 1", 1, true}};
  for (const Case& c : cases) {
    ClearLogLines(kLogGEM);
    Submit(box, c.line);
    EXPECT_EQ(gCalls, c.calls) << c.line;
    EXPECT_EQ(LogContains(kLogGEM, "Input not recognised."), c.rejected) << c.line;
    EXPECT_STREQ(box.GetText().Chars(), "");
    EXPECT_EQ(box.submitted, 0);
  }
  EXPECT_STREQ(gArguments.Chars(), "hello ");
}

TEST(ConsoleInput, AssignmentsNeedSpacesAroundTheEqualsSign) {
  static float fov = 45.0f;
  CVariableRegistry::Get()->Register("TESTFOV", kCVarFloat, &fov, "test");
  ConsoleInputBox box;
  Submit(box, "TESTFOV = 60");
  EXPECT_FLOAT_EQ(fov, 60.0f);
  ClearLogLines(kLogGEM);
  Submit(box, "TESTFOV=70");
  EXPECT_FLOAT_EQ(fov, 60.0f);
  EXPECT_TRUE(LogContains(kLogGEM, "TESTFOV=70 : Variable not recognised"));
}

TEST_F(TypingTest, KeysTappedWithinOneFrameAllReachTheLineAsTyped) {
  namespace key = platform::key;
  // "Bart", a quick double Backspace, then "ho": shift is let go before the frame ends.
  keys_->Set(key::LeftShift, true);
  keys_->Tap(key::B);
  keys_->Set(key::LeftShift, false);
  for (uint8_t code : {key::A, key::R, key::T}) keys_->Tap(code);
  PollInto(box_);
  EXPECT_STREQ(box_.GetText().Chars(), "Bart");
  for (uint8_t code : {key::Backspace, key::Backspace, key::H, key::O}) keys_->Tap(code);
  PollInto(box_);
  EXPECT_STREQ(box_.GetText().Chars(), "Baho");
}

TEST_F(TypingTest, UpArrowRecallsTheLastLine) {
  Submit(box_, "nosuch thing");
  EXPECT_STREQ(box_.GetText().Chars(), "");
  keys_->Tap(platform::key::Up);
  PollInto(box_);
  EXPECT_STREQ(box_.GetText().Chars(), "nosuch thing");
  EXPECT_EQ(box_.wordCount, 2);
  EXPECT_STREQ(box_.words[1].Chars(), "thing");
  EXPECT_STREQ(box_.words[2].Chars(), "");
}
