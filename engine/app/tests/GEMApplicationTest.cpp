#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Window.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/DBGSystemWindow.h"
#include "engine/tools/HelpWindow.h"
#include "platform/UserFolder.h"
#include "platform/tests/support/ChildProcess.h"

namespace {

// The lines of a channel written since the last take (the channel forgets them).
std::vector<std::string> TakeLogLines(int channel) {
  std::vector<std::string> lines = LogLinesOf(channel);
  ClearLogLines(channel);
  return lines;
}

// The state changes of one frame, as "Enter <state>" / "Exit <state>".
std::vector<std::string> Transitions(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    for (const char* kind : {"Enter|'", "Exit|'"}) {
      size_t at = line.find(kind);
      if (at == std::string::npos) continue;
      size_t start = at + std::string(kind).size();
      out.push_back(std::string(kind).substr(0, std::string(kind).size() - 2) + " " +
                    line.substr(start, line.find('\'', start) - start));
    }
  }
  return out;
}

struct GEMApplicationTest : ::testing::Test {
  void SetUp() override {
    EnableTestLogChannels();
    ClearLogLines(kLogFSM);
  }
};

TEST_F(GEMApplicationTest, CreateRunsItsStepsThenEntersTheQueuedState) {
  CGEMApplication application;
  std::vector<std::vector<std::string>> frames;
  for (int frame = 1; frame <= 10; ++frame) {
    application.Frame(false);
    frames.push_back(Transitions(TakeLogLines(kLogFSM)));
  }
  using Lines = std::vector<std::string>;
  EXPECT_EQ(frames[0], (Lines{"Exit NULL"}));
  EXPECT_EQ(frames[1], (Lines{"Enter [GEM] Create"}));
  for (int frame = 3; frame <= 7; ++frame) EXPECT_EQ(frames[frame - 1], Lines{}) << frame;
  EXPECT_EQ(frames[7], (Lines{"Exit [GEM] Create"}));
  EXPECT_EQ(frames[8], (Lines{"Enter [GEM] Default"}));
  EXPECT_EQ(frames[9], Lines{});
  EXPECT_EQ(application.GetFrameCount(), 10u);
}

TEST_F(GEMApplicationTest, ShutdownIsIgnoredInCreateAndQuitsInDefault) {
  CGEMApplication application;
  for (int frame = 1; frame <= 3; ++frame) EXPECT_EQ(application.Frame(true), 0) << frame;
  for (int frame = 4; frame <= 8; ++frame) application.Frame(false);
  EXPECT_EQ(application.Frame(false), 0);  // frame 9 enters Default
  // While quit is asked for, the shutdown goes out every frame; quitting twice is harmless.
  EXPECT_EQ(application.Frame(true), 1);
  EXPECT_EQ(application.Frame(true), 1);
}

TEST_F(GEMApplicationTest, ShutdownMessageIsMarkedHandledInIdle) {
  struct IdleApplication : CGEMApplication {
    IdleApplication() { SetNextState(GetIdleState()); }
  } application;
  for (int frame = 1; frame <= 9; ++frame) application.Frame(false);
  ASSERT_TRUE(application.IsCurrent(application.GetIdleState()));
  CMSGMessage message;
  message.id = eMSG_Shutdown;
  application.HandleMessage(&message);
  EXPECT_EQ(message.handled & 1, 1);
  EXPECT_EQ(application.GetExitFlag(), 1);
  CMSGMessage other;
  other.id = eMSG_Shutdown + 1;
  application.HandleMessage(&other);
  EXPECT_EQ(other.handled & 1, 0);
}

}  // namespace

namespace {

TEST_F(GEMApplicationTest, CommandLineLoadOfAMissingModelLeavesTheViewerEmpty) {
  ClearLogLines(kLogGEM);
  CSettings settings;
  settings.ParseCommandLine("/3ME missing-model.3me");
  CGEMApplication application;
  GEMServices services;
  services.settings = &settings;
  application.Initialise(services);
  for (int frame = 1; frame <= 9; ++frame) application.Frame(false);

  EXPECT_TRUE(LogContains(kLogGEM, "Unable to locate file."));
  EXPECT_EQ(application.viewerModel, nullptr);
  // The failed model is not kept, so a later load tries the file again.
  EXPECT_EQ(C3MEManager::Instance().GetModelCount(), 0u);
}

TEST_F(GEMApplicationTest, FailedCommandLineLoadsOfAbsolutePathsWarnOnTheTerminal) {
  CSettings settings;
  settings.ParseCommandLine("/3ME /no/such/folder/gem.3me /SCN /no/such/folder/board.scn");
  CGEMApplication application;
  GEMServices services;
  services.settings = &settings;
  application.Initialise(services);
  testing::internal::CaptureStderr();
  for (int frame = 1; frame <= 9; ++frame) application.Frame(false);
  const std::string terminal = testing::internal::GetCapturedStderr();
  // One line for each.
  for (const std::string path : {"/no/such/folder/gem.3me", "/no/such/folder/board.scn"}) {
    const size_t first = terminal.find("Cannot load " + path);
    EXPECT_NE(first, std::string::npos) << terminal;
    EXPECT_EQ(terminal.find("Cannot load " + path, first + 1), std::string::npos) << terminal;
  }
}

TEST_F(GEMApplicationTest, TheDeveloperToolsReachTheApplicationUntilItGoes) {
  {
    CGEMApplication application;
    application.options.createDeveloperWindow = 1;
    for (int frame = 1; frame <= 9; ++frame) application.Frame(false);
    ASSERT_NE(application.developerWindow, nullptr);
    ASSERT_NE(application.GetCamera(0), nullptr);
    EXPECT_EQ(GetEngineLinks().CameraAt(0), application.GetCamera(0));
    EXPECT_EQ(GetEngineLinks().CurrentCamera(), application.GetActiveCamera());
    EXPECT_EQ(GetEngineLinks().input, GetUIOManager());

    // The grave key alone, before Ctrl+6, brings the console out: the System
    // window comes up with it, its layers drawn and the console's line
    // taking the keys.
    ConsoleWindow* console = application.developerWindow->GetConsoleWindow();
    CarryOutHotKeys(kHotToggleConsole, {.application = &application});
    EXPECT_TRUE(application.developerWindow->IsShown());
    EXPECT_TRUE(console->IsPending(&console->showState)) << "the console takes the toggle at once";
    EXPECT_TRUE(GetWindowManager()->PassesLayerFilter(console->GetLayer()));
    EXPECT_EQ(GetWindowManager()->GetKeyboardFocus(),
              static_cast<GUIObject*>(application.developerWindow->GetPromptBox()));
    // Ctrl+6 then hides the tools; the slash key brings them back with help.
    CarryOutHotKeys(kHotShowDeveloperWindow, {.application = &application});
    EXPECT_FALSE(application.developerWindow->IsShown());
    HelpWindow* help = application.developerWindow->GetHelpWindow();
    CarryOutHotKeys(kHotToggleHelp, {.application = &application});
    EXPECT_TRUE(application.developerWindow->IsShown());
    EXPECT_TRUE(help->IsPending(&help->showState));
  }
  EXPECT_EQ(GetEngineLinks().CameraAt(0), nullptr);
  EXPECT_EQ(GetEngineLinks().input, nullptr);
}

TEST_F(GEMApplicationTest, DeveloperConsolePhrasesHideTheViewerAndAreMarkedHandled) {
  CGEMApplication application;
  application.options.createDeveloperWindow = 1;
  for (int frame = 1; frame <= 9; ++frame) application.Frame(false);
  ASSERT_NE(application.developerWindow, nullptr);
  application.options.modelViewer = 1;
  DBGConsoleLine& line = application.developerWindow->consoleLine;
  line.command = "HIDE";
  line.argument = "3ME";
  application.HandleConsolePhrase();
  EXPECT_EQ(application.options.modelViewer, 0);
  EXPECT_EQ(line.handled, 1);
  line.handled = 0;
  line.command = "SHOW";
  application.HandleConsolePhrase();
  EXPECT_EQ(line.handled, 0);
}

}  // namespace

namespace {

Rect MakeRectAt(float x, float y, float w, float h) {
  Rect rect;
  rect.SetPositionSize({x, y}, {w, h});
  return rect;
}

// Any message id a receiver may be sent.
constexpr uint32_t kAnyMessage = 0x7;

// A receiver that counts what reaches it.
struct CountingReceiver : CMSGListener {
  void OnMessage(CMSGMessage*) override { ++received; }
  int received = 0;
};

// A quit, or a display lost under the run, writes the window layout with
// the saved places of the windows this run did not make; after the loss no
// message reaches anybody. Each in a child: the loss is for the process.
TEST_F(GEMApplicationTest, AQuitOrALostDisplayKeepsTheSavedPlacesOfWindowsNotMade) {
  for (const bool displayLost : {false, true}) {
    SCOPED_TRACE(displayLost ? "the display lost" : "a quit");
    const std::string failures = platform::ReportFromChild([displayLost] {
      const std::string path = platform::UserWritePath("Vyre//GUI.TXT");
      std::ofstream(path, std::ios::binary)
          << "[GUI]\n[NWINDOWS]2\n[WINDOW]A\n[1,2][3,4]\n[WINDOW]B\n[5,6][7,8]\n[END]";
      Window made;
      made.name = "A";
      made.Layout(MakeRectAt(10, 20, 30, 40), MakeRectAt(10, 20, 30, 40));
      CGEMApplication application;
      CountingReceiver receiver;
      GetGEMMSGService()->AddListener(&receiver);
      if (displayLost) {
        application.SaveAfterDisplayLoss();
      } else {
        application.Quit();
      }
      GetGEMMSGService()->Post(kAnyMessage, receiver.receiverId, receiver.receiverId, 0, 0.0);
      std::ifstream in(path, std::ios::binary);
      const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::string report;
      if (written != "[GUI]\n[NWINDOWS]2\n[WINDOW]A\n[10,20][30,40]\n[WINDOW]B\n[5,6][7,8]\n[END]")
        report += "written: " + written + "\n";
      if (receiver.received != (displayLost ? 0 : 1)) report += "received " + std::to_string(receiver.received) + "\n";
      std::remove(path.c_str());
      return report;
    });
    EXPECT_EQ(failures, "");
  }
}

}  // namespace
