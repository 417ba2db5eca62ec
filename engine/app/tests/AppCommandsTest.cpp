#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "engine/app/AppCommands.h"
#include "engine/app/DisplayChange.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Settings.h"

namespace {

// Records what the commands asked for; loads succeed unless told otherwise.
class StubServices : public AppCommandServices {
 public:
  bool LoadViewerModel(const String& fileName) override {
    calls.push_back("model " + std::string(fileName.Chars()));
    return loadsSucceed;
  }
  bool LoadMaterialLibrary(const String& fileName) override {
    calls.push_back("mat " + std::string(fileName.Chars()));
    return loadsSucceed;
  }
  bool LoadScene(const String& fileName) override {
    calls.push_back("scene " + std::string(fileName.Chars()));
    return loadsSucceed;
  }
  void RequestShutdown() override { calls.push_back("shutdown"); }
  void ShowModelViewer() override { calls.push_back("show"); }
  void ChangeDisplay(int32_t w, int32_t h, int32_t d, bool fs) override {
    calls.push_back("display " + std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(d) + " " +
                    std::to_string(fs));
  }
  void DumpSettings() override { calls.push_back("settings"); }
  void ListCommands() override { calls.push_back("commands"); }
  void ListVariables() override { calls.push_back("variables"); }

  bool loadsSucceed = true;
  std::vector<std::string> calls;
};

using Handler = int32_t (AppConsoleCommands::*)(String*);

struct CommandCase {
  const char* label;
  Handler handler;
  const char* arguments;  // null: no argument text
  bool loadsSucceed;
  int32_t result;
  std::vector<std::string> calls;
};

TEST(AppCommandsTest, HandlersCheckTheirWordsAndReportResults) {
  const CommandCase cases[] = {
      {"exit", &AppConsoleCommands::OnExit, nullptr, true, 0, {"shutdown"}},
      {"build", &AppConsoleCommands::OnBuild, nullptr, true, 0, {}},
      {"load without text", &AppConsoleCommands::OnLoad, nullptr, true, -1, {}},
      {"load lower-case type", &AppConsoleCommands::OnLoad, "3me Box.3me", true, 0, {"model Box.3me"}},
      {"load joins name words", &AppConsoleCommands::OnLoad, "3ME My Model.3me", true, 0, {"model My Model.3me"}},
      {"load 3me alone", &AppConsoleCommands::OnLoad, "3ME", true, -1, {}},
      {"load 3me fails", &AppConsoleCommands::OnLoad, "3ME Gone.3me", false, -2, {"model Gone.3me"}},
      {"load mat", &AppConsoleCommands::OnLoad, "mat Lib.txt", true, 0, {"mat Lib.txt"}},
      {"load mat fails", &AppConsoleCommands::OnLoad, "MAT Lib.txt", false, -2, {"mat Lib.txt"}},
      {"load mat extra word", &AppConsoleCommands::OnLoad, "MAT a b", true, -1, {}},
      {"load scn", &AppConsoleCommands::OnLoad, "SCN Level.scn", true, 0, {"scene Level.scn"}},
      {"load scn fails", &AppConsoleCommands::OnLoad, "SCN Level.scn", false, -2, {"scene Level.scn"}},
      {"load scn extra word", &AppConsoleCommands::OnLoad, "SCN a b", true, -1, {}},
      {"load unknown type", &AppConsoleCommands::OnLoad, "WAV x", true, -1, {}},
      {"show 3me", &AppConsoleCommands::OnShow, "3ME", true, 0, {"show"}},
      {"show other", &AppConsoleCommands::OnShow, "GRID", true, 0, {}},
      {"display", &AppConsoleCommands::OnDisplay, "1024 768 32 1", true, 0, {"display 1024 768 32 1"}},
      {"display without text", &AppConsoleCommands::OnDisplay, nullptr, true, -1, {}},
      {"display three words", &AppConsoleCommands::OnDisplay, "1024 768 32", true, -2, {}},
      {"display zero width", &AppConsoleCommands::OnDisplay, "0 768 32 0", true, -2, {}},
      {"display negative height", &AppConsoleCommands::OnDisplay, "640 -1 32 0", true, -2, {}},
      {"display not a number", &AppConsoleCommands::OnDisplay, "wide 768 32 0", true, -2, {}},
      {"display trailing garbage", &AppConsoleCommands::OnDisplay, "640x 480 32 0", true, -2, {}},
      {"display overflowing", &AppConsoleCommands::OnDisplay, "99999999999 480 32 0", true, -2, {}},
      {"list settings", &AppConsoleCommands::OnList, "SETTINGS", true, 0, {"settings"}},
      {"list commands", &AppConsoleCommands::OnList, "COMMANDS", true, 0, {"commands"}},
      {"list variables", &AppConsoleCommands::OnList, "VARIABLES", true, 0, {"variables"}},
      {"list two words", &AppConsoleCommands::OnList, "SETTINGS COMMANDS", true, -2, {}},
      {"list unknown", &AppConsoleCommands::OnList, "TEXTURES", true, -2, {}},
      {"list without text", &AppConsoleCommands::OnList, nullptr, true, -1, {}},
  };
  for (const CommandCase& c : cases) {
    StubServices services;
    services.loadsSucceed = c.loadsSucceed;
    AppConsoleCommands commands(&services);
    String text(c.arguments ? c.arguments : "");
    int32_t result = (commands.*c.handler)(c.arguments ? &text : nullptr);
    EXPECT_EQ(result, c.result) << c.label;
    EXPECT_EQ(services.calls, c.calls) << c.label;
  }
}

TEST(AppCommandsTest, ShowTwiceLeavesTheViewerOn) {
  StubServices services;
  AppConsoleCommands commands(&services);
  String item("3ME");
  EXPECT_EQ(commands.OnShow(&item), 0);
  EXPECT_EQ(commands.OnShow(&item), 0);
  EXPECT_EQ(services.calls, (std::vector<std::string>{"show", "show"}));
}

TEST(AppCommandsTest, RegistersSevenCommandsInOrderAndRunsThemThroughTheRegistry) {
  StubServices services;
  AppConsoleCommands commands(&services);
  CCommandRegistry* registry = CCommandRegistry::Get();
  const uint32_t first = registry->GetCount();
  ASSERT_TRUE(commands.Register(*registry));
  ASSERT_EQ(registry->GetCount(), first + 7);
  const char* names[] = {"BUILD", "EXIT", "QUIT", "LOAD", "SHOW", "DISPLAY", "LIST"};
  const int32_t counts[] = {0, 0, 0, 2, 1, 4, 1};
  for (uint32_t i = 0; i < 7; ++i) {
    CConsoleCommand* command = registry->GetCommand(first + i);
    ASSERT_NE(command, nullptr);
    EXPECT_STREQ(command->GetName().Chars(), names[i]);
    EXPECT_EQ(command->GetArgumentCount(), counts[i]) << names[i];
  }
  String quit("quit");
  EXPECT_EQ(registry->Execute(quit, String("")), 0);
  String load("load");
  EXPECT_EQ(registry->Execute(load, String("scn Level.scn")), 0);
  EXPECT_EQ(services.calls, (std::vector<std::string>{"shutdown", "scene Level.scn"}));
}

TEST(AppCommandsTest, BuildTextNamesTheCompileDateAndTime) {
  std::string text = AppConsoleCommands::BuildText().Chars();
  // The command's file and this one may be compiled on either side of
  // midnight, so only the shape of the compiler's date and time is checked.
  EXPECT_TRUE(std::regex_match(text, std::regex("Vyre Build [A-Z][a-z]{2} [ 0-9]\\d \\d{4} @ \\d\\d:\\d\\d:\\d\\d")))
      << text;
}

TEST(DisplayChangeTest, SettingsSwitchFullScreenOnlyWhenTheModeDiffers) {
  struct Case {
    bool displayFullscreen;
    bool settingsFullscreen;
    bool expectFullscreen;
  } cases[] = {{false, true, true}, {true, false, false}, {false, false, false}, {true, true, true}};
  for (const Case& c : cases) {
    CDisplay display;
    if (c.displayFullscreen) display.SetState(CDisplay::kFullscreen);
    display.ClearState(CDisplay::kChangePending);
    CSettings settings;
    settings.width = 1024;
    settings.height = 768;
    settings.depth = 16;
    settings.fullscreen = c.settingsFullscreen;
    ApplyDisplaySettings(settings, display);
    EXPECT_EQ(display.HasState(CDisplay::kFullscreen), c.expectFullscreen);
    EXPECT_TRUE(display.HasState(CDisplay::kChangePending));
    EXPECT_EQ(display.GetWidth(), 1024);
    EXPECT_EQ(display.GetHeight(), 768);
    EXPECT_EQ(display.GetDepth(), 16);
  }
}

TEST(DisplayChangeTest, ToggleFlipsFullScreenAndAsksForARebuild) {
  CDisplay display;
  display.ClearState(CDisplay::kFullscreen | CDisplay::kChangePending);
  ToggleFullscreen(display);
  EXPECT_TRUE(display.HasState(CDisplay::kFullscreen | CDisplay::kChangePending));
  display.ClearState(CDisplay::kChangePending);
  ToggleFullscreen(display);
  EXPECT_FALSE(display.HasState(CDisplay::kFullscreen));
  EXPECT_TRUE(display.HasState(CDisplay::kChangePending));
}

}  // namespace

#include "engine/app/WindowEvents.h"

namespace {

TEST(WindowEventsTest, CloseQuitsMinimiseDeactivatesAndZeroSizesAreIgnored) {
  CDisplay display;
  display.SetSize(640, 480);
  RunFlags flags;
  using platform::EventType;
  platform::Event minimise{EventType::Minimised};
  HandleWindowEvent(minimise, flags, &display);
  EXPECT_FALSE(flags.active);
  platform::Event zero{EventType::Resized};
  HandleWindowEvent(zero, flags, &display);
  EXPECT_EQ(display.GetWidth(), 640);
  EXPECT_EQ(display.GetHeight(), 480);
  platform::Event close{EventType::WindowClose};
  HandleWindowEvent(close, flags, &display);
  EXPECT_TRUE(flags.quit);
  EXPECT_FALSE(flags.active);
  platform::Event restore{EventType::Restored};
  HandleWindowEvent(restore, flags, &display);
  EXPECT_TRUE(flags.active);
  platform::Event resize{EventType::Resized, 0, 0, 1024, 768};
  HandleWindowEvent(resize, flags, &display);
  EXPECT_EQ(display.GetWidth(), 1024);
  EXPECT_EQ(display.GetHeight(), 768);
}

}  // namespace
