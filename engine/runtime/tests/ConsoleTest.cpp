#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "support/RuntimeTestSupport.h"

namespace {

using namespace runtime_test;

// Records each call and returns a fixed result.
class RecordingHandler : public ConsoleCommandHandler {
 public:
  explicit RecordingHandler(int32_t reply = 0) : result(reply) {}
  int32_t Invoke(String* arguments) override {
    calls.push_back(arguments ? std::string(arguments->Chars()) : std::string("<null>"));
    return result;
  }
  int32_t result;
  std::vector<std::string> calls;
};

TEST(CommandRegistryTest, ArgumentCountsDecideWhetherTheHandlerRuns) {
  CCommandRegistry* registry = CCommandRegistry::Get();
  RecordingHandler none(0), one(5), two(-2);
  ASSERT_TRUE(registry->Register("NOARGS", &none, 0, "Takes nothing"));
  ASSERT_TRUE(registry->Register("ONEARG", &one, 1, "Takes one word"));
  ASSERT_TRUE(registry->Register("TWOARGS", &two, 2, "Takes two words"));

  struct Case {
    const char* name;
    const char* arguments;
    int32_t result;
  } cases[] = {
      // No words matches a count of 0 and passes the (empty) text; extra
      // words are dropped and no text is passed.
      {"noargs", "", 0},       {"NoArgs", "extra words", 0}, {"oneArg", "x", 5},
      {"ONEARG", "", -1},      {"ONEARG", "a b", -1},        {"ONEARG", " \t x \r", 5},
      {"twoargs", "a  b", -2}, {"TWOARGS", "a", -1},         {"MISSING", "a", -1},
      {"", "a", -1},
  };
  for (const Case& c : cases) {
    String name(c.name);
    EXPECT_EQ(registry->Execute(name, c.arguments), c.result) << c.name << " '" << c.arguments << "'";
  }
  EXPECT_EQ(none.calls, (std::vector<std::string>{"", "<null>"}));
  EXPECT_EQ(one.calls, (std::vector<std::string>{"x", " \t x \r"}));
  EXPECT_EQ(two.calls, std::vector<std::string>{"a  b"});

  // The caller's name is upper-cased in place.
  String name("oneArg");
  registry->Execute(name, "y");
  EXPECT_EQ(name, "ONEARG");

  // A disabled command is not run and is described as such.
  registry->Disable(1);
  name = "ONEARG";
  EXPECT_EQ(registry->Execute(name, "z"), -1);
  EXPECT_EQ(registry->Describe(1), "ONEARG(1) - [DISABLED]Takes one word");
  registry->Enable(1);
  EXPECT_EQ(registry->Describe(1), "ONEARG(1) - Takes one word");
  EXPECT_EQ(registry->Describe(99), "No command found");
  EXPECT_EQ(registry->DescribeBinding(2), "TWOARGS : Binding unavailable - requires _DEBUG build");
  EXPECT_EQ(registry->DescribeBinding(99), "No command found");
  EXPECT_EQ(registry->GetCommand(99), nullptr);

  ClearLogLines(kLogGEM);
  registry->List();
  const std::string separator(72, '=');
  EXPECT_EQ(LogLinesOf(kLogGEM), (std::vector<std::string>{separator, "Commands", separator,
                                                           "NOARGS : Binding unavailable - requires _DEBUG build",
                                                           "ONEARG : Binding unavailable - requires _DEBUG build",
                                                           "TWOARGS : Binding unavailable - requires _DEBUG build"}));
}

TEST(CommandRegistryTest, TheTableRefusesCommand513) {
  CCommandRegistry* registry = CCommandRegistry::Get();
  RecordingHandler handler;
  while (registry->GetCount() < CCommandRegistry::kCapacity) {
    ASSERT_TRUE(registry->Register("FILL", &handler, 0, "Filler"));
  }
  ClearLogLines(kLogGEM);
  EXPECT_FALSE(registry->Register("LAST", &handler, 0, "One too many"));
  EXPECT_EQ(registry->GetCount(), CCommandRegistry::kCapacity);
  EXPECT_EQ(LogLinesOf(kLogGEM),
            std::vector<std::string>{"Console : the command table holds 512 commands; 'LAST' is not registered"});
  String name("LAST");
  EXPECT_EQ(registry->Execute(name, ""), -1);
  // A command without a handler fails instead of crashing.
  CConsoleCommand orphan;
  EXPECT_EQ(orphan.Run(nullptr), -1);
}

// Storage wide enough for every variable type.
union Storage {
  uint8_t byte;
  int8_t int8;
  int16_t int16;
  int32_t int32;
  uint16_t uint16;
  uint32_t uint32;
  float floats[4];
  double real;
};

TEST(ConsoleVariableTest, ParseAndPrintTable) {
  struct Case {
    int32_t type;
    const char* before;  // value set first, printed
    const char* input;
    const char* after;  // printed after parsing the input
  } cases[] = {
      {kCVarBool, "0", "TRUE", "true"},
      {kCVarBool, "1", "false", "false"},
      {kCVarBool, "0", "1", "true"},
      {kCVarBool, "1", "FaLsE", "false"},
      {kCVarBool, "1", "yes", "true"},
      {kCVarBool, "0", "2", "false"},
      {kCVarInt8, "5", "300", "44"},
      {kCVarInt8, "5", "-128", "-128"},
      {kCVarInt16, "5", "70000", "4464"},
      {kCVarInt32, "5", "-42x", "-42"},
      {kCVarInt32, "5", "abc", "5"},
      {kCVarInt32, "5", "99999999999", "1215752191"},
      {kCVarUInt8, "5", "257", "1"},
      {kCVarUInt16, "5", "65537", "1"},
      {kCVarUInt32, "5", "-1", "4294967295"},
      {kCVarUInt32, "5", "4000000000", "4000000000"},
      {kCVarFloat, "1", "2.5", "2.500000"},
      {kCVarFloat, "1", "x", "1.000000"},
      {kCVarDouble, "1", "0.1", "0.100000"},
      {kCVarVector2, "[1, 2]", "[3.5, -4]", "[3.500000, -4.000000]"},
      {kCVarVector2, "[1, 2]", "[7,8]", "[7.000000, 8.000000]"},
      {kCVarVector2, "[1, 2]", "[9, oops]", "[9.000000, 2.000000]"},  // y does not convert
      {kCVarVector3, "[1, 2, 3]", "[4, 5, 6]", "[4.000000, 5.000000, 6.000000]"},
      {kCVarVector3, "[1, 2, 3]", "4, 5, 6", "[1.000000, 2.000000, 3.000000]"},  // no bracket
      {kCVarFloat4, "[1, 2, 3, 4]", "[5, 6, 7, 8]", "[5.000000, 6.000000, 7.000000, 8.000000]"},
      {kCVarNone, "", "12", ""},
      {kCVarUntyped, "", "12", ""},
  };
  for (const Case& c : cases) {
    Storage storage;
    std::memset(&storage, 0, sizeof storage);
    CConsoleVariable variable;
    variable.enabled = true;
    variable.type = c.type;
    variable.storage = &storage;
    variable.FromString(c.before);
    variable.FromString(c.input);
    EXPECT_EQ(variable.ToString(), c.after) << "type " << c.type << " input '" << c.input << "'";
  }
}

TEST(ConsoleVariableTest, DoublesAreReadAsFloatsAndStringsWhole) {
  double real = 0.0;
  CConsoleVariable variable;
  variable.enabled = true;
  variable.type = kCVarDouble;
  variable.storage = &real;
  variable.FromString("0.1");
  EXPECT_EQ(real, static_cast<double>(0.1f));

  String text("old");
  variable.type = kCVarString;
  variable.storage = &text;
  variable.FromString("a whole line = 3");
  EXPECT_EQ(variable.ToString(), "a whole line = 3");
  // Empty text, a disabled variable and missing storage change nothing.
  variable.FromString("");
  variable.enabled = false;
  variable.FromString("ignored");
  EXPECT_EQ(text, "a whole line = 3");
  variable.enabled = true;
  variable.storage = nullptr;
  variable.FromString("ignored");
  EXPECT_EQ(variable.ToString(), "");
}

TEST(VariableRegistryTest, RegisterFindDescribeAndList) {
  CVariableRegistry* registry = CVariableRegistry::Get();
  float fov = 45.0f, other = 1.0f;
  uint8_t show = 0;
  Vector3 offset(1.0f, 2.0f, 3.0f);
  registry->Register("FOV", kCVarFloat, &fov, "Display field of view angle");
  registry->Register("gem:cds:show", kCVarBool, &show, "[0 / 1] Toggles CDS containment rendering");
  // A second registration keeps the first binding.
  CConsoleVariable* again = registry->Register("FOV", kCVarInt32, &other, "Other");
  EXPECT_EQ(again->storage, &fov);
  registry->Register("test:offset", kCVarVector3, &offset, "Offset");
  EXPECT_EQ(registry->GetCount(), 3u);
  EXPECT_EQ(registry->Find("fov"), nullptr);  // names are case-sensitive
  ASSERT_NE(registry->Find("FOV"), nullptr);

  registry->Find("FOV")->FromString("60");
  EXPECT_EQ(fov, 60.0f);
  registry->Disable(0);
  registry->Find("FOV")->FromString("70");
  EXPECT_EQ(fov, 60.0f);
  registry->Enable(0);

  EXPECT_EQ(registry->Describe(0), "{FOV} = 60.000000 : Display field of view angle");
  EXPECT_EQ(registry->Describe(2), "{test:offset} = [1.000000, 2.000000, 3.000000] : Offset");
  EXPECT_EQ(registry->Describe(3), "");
  EXPECT_EQ(registry->GetVariable(3), nullptr);

  ClearLogLines(kLogGEM);
  registry->List();
  const std::string separator(72, '=');
  EXPECT_EQ(
      LogLinesOf(kLogGEM),
      (std::vector<std::string>{separator, "Variables", separator, "{FOV} = 60.000000 : Display field of view angle",
                                "{gem:cds:show} = false : [0 / 1] Toggles CDS containment rendering",
                                "{test:offset} = [1.000000, 2.000000, 3.000000] : Offset"}));
}

}  // namespace
