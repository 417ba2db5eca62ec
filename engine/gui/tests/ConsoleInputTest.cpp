// The console input line: commands, assignments, failures and recall.

#include <gtest/gtest.h>

#include "engine/gui/ConsoleInputBox.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
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

}  // namespace

TEST(ConsoleInput, CommandsRunOnlyWithTheirArgumentCount) {
  static CountingHandler handler;
  CCommandRegistry::Get()->Register("ECHO1", &handler, 1, "test");
  ConsoleInputBox box;
  struct Case {
    const char* line;
    int calls;
    bool rejected;
  } cases[] = {{"echo1 hello", 1, false}, {"echo1", 1, true}, {"echo1 a b", 1, true},
               {"", 1, true},           {"nosuch 1", 1, true}};
  for (const Case& c : cases) {
    ClearLog(kGEMChannel);
    Submit(box, c.line);
    EXPECT_EQ(gCalls, c.calls) << c.line;
    EXPECT_EQ(LogContains(kGEMChannel, "Input not recognised."), c.rejected) << c.line;
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
  ClearLog(kGEMChannel);
  Submit(box, "TESTFOV=70");
  EXPECT_FLOAT_EQ(fov, 60.0f);
  EXPECT_TRUE(LogContains(kGEMChannel, "TESTFOV=70 : Variable not recognised"));
}

TEST(ConsoleInput, UpArrowRecallsTheLastLine) {
  ConsoleInputBox box;
  Submit(box, "nosuch thing");
  EXPECT_STREQ(box.GetText().Chars(), "");
  box.OnKeyDown(ConsoleInputBox::kUpArrow);
  EXPECT_STREQ(box.GetText().Chars(), "nosuch thing");
  EXPECT_EQ(box.wordCount, 2);
  EXPECT_STREQ(box.words[1].Chars(), "thing");
  EXPECT_STREQ(box.words[2].Chars(), "");
}
