// Display values, mode choice and window creation over the display-less back-end.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/display/Display.h"
#include "platform/null/NullGlWindow.h"

namespace {

using Mode = CDisplay::Mode;

platform::DisplayDevice DeviceWith(std::vector<platform::DisplayMode> modes) {
  return platform::DisplayDevice{"Display 0", "Null", std::move(modes)};
}

struct NullDisplay {
  platform::NullGlWindow* window;
  std::unique_ptr<CDisplay> display;
  explicit NullDisplay(std::vector<platform::DisplayDevice> devices = {}) {
    auto backend = std::make_unique<platform::NullGlWindow>(std::move(devices));
    window = backend.get();
    display = std::make_unique<CDisplay>(std::move(backend));
  }
};

CDisplay::Device ModeList(std::vector<Mode> modes) {
  CDisplay::Device device;
  device.name = "Display 0";
  device.modes = std::move(modes);
  return device;
}

TEST(Display, StartsWithTheDesignedDefaults) {
  NullDisplay null;
  CDisplay& display = *null.display;
  EXPECT_EQ(display.GetState(), CDisplay::kFirstCreation);
  EXPECT_EQ(display.fov, 45.0f);
  EXPECT_EQ(display.nearPlane, 1.0f);
  EXPECT_EQ(display.farPlane, 1500.0f);
  EXPECT_EQ(display.GetWidth(), 800);
  EXPECT_EQ(display.GetHeight(), 600);
  const float expected[4] = {0.0f, 0.0f, 0.25f, 1.0f};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(display.GetClearColour()[i], expected[i]);
  EXPECT_EQ(display.GetTitle(), "Test");
}

TEST(Display, ResizeCorrectsInvalidValues) {
  struct Case {
    int width, height, depth;
    float nearPlane, farPlane, fov;
    int wantWidth, wantHeight, wantDepth;
    float wantNear, wantFar, wantFov;
  };
  const Case cases[] = {
      {0, 600, 32, 1, 1500, 45, 128, 600, 32, 1, 1500, 45},      {800, -5, 24, 1, 1500, 45, 800, 128, 24, 1, 1500, 45},
      {800, 600, 0, 1, 1500, 45, 800, 600, 16, 1, 1500, 45},     {800, 600, 64, 1, 1500, 45, 800, 600, 16, 1, 1500, 45},
      {800, 600, 32, 0.5f, 2000, 45, 800, 600, 32, 1, 1500, 45}, {800, 600, 32, 10, 5, 0, 800, 600, 32, 10, 1500, 45},
  };
  for (const Case& c : cases) {
    NullDisplay null;
    CDisplay& display = *null.display;
    display.nearPlane = c.nearPlane;
    display.farPlane = c.farPlane;
    display.fov = c.fov;
    display.Configure("Game", c.width, c.height, c.depth, false);
    EXPECT_EQ(display.GetWidth(), c.wantWidth);
    EXPECT_EQ(display.GetHeight(), c.wantHeight);
    EXPECT_EQ(display.GetDepth(), c.wantDepth);
    EXPECT_EQ(display.nearPlane, c.wantNear);
    EXPECT_EQ(display.farPlane, c.wantFar);
    EXPECT_EQ(display.fov, c.wantFov);
    EXPECT_TRUE(display.HasState(CDisplay::kSized));
    EXPECT_FLOAT_EQ(display.GetInverseAspect(), float(c.wantHeight) / float(c.wantWidth));
    EXPECT_EQ(display.GetViewportSize().x, float(c.wantWidth));
  }
}

TEST(Display, MinimisedSizeIsNeverStored) {
  NullDisplay null;
  null.display->SetSize(1024, 768);
  null.display->SetSize(0, 0);
  EXPECT_EQ(null.display->GetWidth(), 1024);
  EXPECT_EQ(null.display->GetHeight(), 768);
}

TEST(Display, ClosestModeNeverLargerOrDeeper) {
  EnableTestLogChannels();
  struct Case {
    const char* what;
    int width, height, depth;
    std::vector<Mode> modes;
    int want;
  };
  const std::vector<Case> cases = {
      {"32 after 16", 1024, 768, 32, {{16, 1024, 768, 60}, {32, 1024, 768, 60}}, 1},
      {"32 before 16", 1024, 768, 32, {{32, 1024, 768, 60}, {16, 1024, 768, 60}}, 0},
      {"only wider", 800, 600, 32, {{32, 1024, 768, 60}, {32, 1280, 1024, 60}}, -1},
      {"aspect within 0.125", 1280, 1024, 32, {{32, 1280, 960, 60}}, 0},
      {"aspect too far", 1280, 1024, 32, {{32, 1280, 720, 60}}, -1},
      {"other refresh skipped", 1024, 768, 32, {{32, 1024, 768, 75}, {32, 800, 600, 60}}, 1},
      {"deeper skipped", 1024, 768, 16, {{32, 1024, 768, 60}}, -1},
      {"last of equals wins", 800, 600, 32, {{32, 800, 600, 60}, {32, 800, 600, 60}}, 1},
  };
  for (const Case& c : cases) {
    ClearLogLines(kLogDBG);
    NullDisplay null;
    CDisplay& display = *null.display;
    display.SetRefreshRate(60);
    display.SetDevices({ModeList(c.modes)});
    display.Configure("Game", c.width, c.height, c.depth, false);
    EXPECT_EQ(display.GetSelectedMode(), c.want) << c.what;
    int logged = 0;
    for (const std::string& line : LogLinesOf(kLogDBG)) logged += line.rfind("Closest Mode : ", 0) == 0;
    EXPECT_EQ(logged, c.want >= 0 ? 1 : 0) << c.what;
  }
}

TEST(Display, FindModeAndSelectMode) {
  NullDisplay null;
  CDisplay& display = *null.display;
  display.SetRefreshRate(60);
  display.SetDevices({ModeList({{16, 640, 480, 60}, {32, 1024, 768, 60}, {32, 1024, 768, 75}})});
  EXPECT_NE(display.FindMode(1, 32, 1024, 0), nullptr);
  EXPECT_NE(display.FindMode(1, 0, 0, 0), nullptr);
  EXPECT_EQ(display.FindMode(1, 16, 0, 0), nullptr);
  EXPECT_EQ(display.FindMode(2, 32, 1024, 768), nullptr) << "other refresh rate";
  EXPECT_EQ(display.FindMode(3, 0, 0, 0), nullptr);
  EXPECT_EQ(display.GetModeCount(), 3);

  display.SelectMode(0);
  EXPECT_EQ(display.GetWidth(), 640);
  EXPECT_EQ(display.GetDepth(), 16);
  EXPECT_TRUE(display.HasState(CDisplay::kChangePending));
  EXPECT_EQ(display.GetSelectedMode(), 0);
}

TEST(Display, FullscreenAndDepthRequestARebuild) {
  NullDisplay null;
  CDisplay& display = *null.display;
  display.SetFullscreen(false);
  EXPECT_FALSE(display.HasState(CDisplay::kChangePending)) << "no change, no rebuild";
  display.SetFullscreen(true);
  EXPECT_TRUE(display.HasState(CDisplay::kFullscreen | CDisplay::kChangePending));
  display.ClearState(CDisplay::kChangePending);
  display.SetFullscreen(false);
  EXPECT_FALSE(display.HasState(CDisplay::kFullscreen));
  EXPECT_TRUE(display.HasState(CDisplay::kChangePending));
  display.ClearState(CDisplay::kChangePending);
  display.SetDepth(16);
  EXPECT_TRUE(display.HasState(CDisplay::kChangePending));
}

TEST(Display, RefusedFullscreenAsksAndFollowsTheAnswer) {
  struct Case {
    const char* answer;
    bool fullscreenKept;
  };
  for (Case c : {Case{"no", true}, Case{"yes", false}}) {
    setenv("VYRE_MESSAGEBOX", c.answer, 1);
    NullDisplay null({DeviceWith({{32, 640, 480, 60}})});
    CDisplay& display = *null.display;
    display.Configure("Game", 1024, 768, 32, true);
    ASSERT_TRUE(display.Recreate()) << c.answer;
    EXPECT_TRUE(display.HasState(CDisplay::kCreated));
    EXPECT_EQ(display.HasState(CDisplay::kFullscreen), c.fullscreenKept) << c.answer;
    EXPECT_EQ(null.window->desktopFullscreen, c.fullscreenKept) << c.answer;
    EXPECT_FALSE(null.window->fullscreen);
    EXPECT_EQ(null.window->lastConfig.title, "Game");
  }
  setenv("VYRE_MESSAGEBOX", "no", 1);
}

TEST(Display, ListedFullscreenModeSwitchesWithoutAsking) {
  NullDisplay null({DeviceWith({{32, 1024, 768, 60}})});
  null.display->Configure("Game", 1024, 768, 32, true);
  ASSERT_TRUE(null.display->Recreate());
  EXPECT_TRUE(null.window->fullscreen);
  EXPECT_TRUE(null.display->HasState(CDisplay::kFullscreen));
  EXPECT_EQ(null.display->GetRefreshRate(), 60);
  EXPECT_EQ(null.display->GetCurrentDevice(), 0);
  EXPECT_EQ(null.display->GetSelectedMode(), 0);
}

TEST(Display, RecreateSkipsTheKillOnlyTheFirstTime) {
  NullDisplay null;
  CDisplay& display = *null.display;
  ASSERT_TRUE(display.Recreate());
  EXPECT_FALSE(display.HasState(CDisplay::kFirstCreation));
  EXPECT_EQ(null.window->closeCount, 0);
  display.SetState(CDisplay::kChangePending);
  ASSERT_TRUE(display.Recreate());
  EXPECT_FALSE(display.HasState(CDisplay::kChangePending));
  EXPECT_EQ(null.window->closeCount, 1);
  EXPECT_EQ(null.window->openCount, 2);
}

TEST(Display, FailedCreationClearsCreatedAndReleasesTheWindow) {
  NullDisplay null;
  null.window->failOpenWith = platform::GlWindowError::CreateContext;
  EXPECT_FALSE(null.display->CreateGLWindow());
  EXPECT_FALSE(null.display->HasState(CDisplay::kCreated));
  EXPECT_FALSE(null.window->IsOpen());
}

// The message boxes a creation showed, as "title : text", in order.
std::vector<std::string> BoxesShown(const std::string& terminal) {
  std::vector<std::string> boxes;
  const std::string mark = "[MessageBox] ";
  for (size_t at = terminal.find(mark); at != std::string::npos; at = terminal.find(mark, at + 1)) {
    const size_t end = terminal.find(" -> ", at);
    boxes.push_back(terminal.substr(at + mark.size(), end - at - mark.size()));
  }
  return boxes;
}

// Only a size the display cannot make gives the default window, 800 x 600
// and windowed, with the refusal and the window's own words for it kept
// once for the caller to report. Every other failure is told in its box,
// with the window's words where the box gives them, and the display keeps
// the size and mode it was asked for: so does a display that refuses the
// default window too.
TEST(Display, OnlyASizeTheDisplayCannotMakeGivesTheDefaultWindow) {
  using platform::GlWindowError;
  const std::string create = "Vyre Core : CreateGLWindow - ERROR : ";
  struct Case {
    const char* name;
    int width;
    int height;
    bool fullscreen;
    int largestSide;  // the display makes no window with a longer side
    GlWindowError failure;
    bool created;
    bool refused;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"too wide and high", 20000, 20000, false, 16384, GlWindowError::None, true, true, {}},
      {"too wide, full screen", INT32_MAX, 600, true, 16384, GlWindowError::None, true, true, {}},
      {"a size that fits", 1024, 768, false, 16384, GlWindowError::None, true, false, {}},
      {"not even the default window",
       20000,
       600,
       true,
       500,
       GlWindowError::None,
       false,
       false,
       {create + "Unable to create window!"}},
      {"no display at all",
       20000,
       600,
       false,
       0,
       GlWindowError::VideoUnavailable,
       false,
       false,
       {create + "Unable to open the display: the window's own words"}},
      {"the window",
       20000,
       600,
       false,
       0,
       GlWindowError::CreateWindow,
       false,
       false,
       {create + "Unable to create window!"}},
      {"the context, full screen",
       20000,
       600,
       true,
       0,
       GlWindowError::CreateContext,
       false,
       false,
       {create + "Unable to create an OpenGL RC!"}},
      {"making it current",
       1024,
       768,
       false,
       0,
       GlWindowError::MakeCurrent,
       false,
       false,
       {"Error : the window's own words", create + "Unable to set OpenGL RC to active!"}},
  };
  setenv("VYRE_MESSAGEBOX", "no", 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NullDisplay null({DeviceWith({{32, 1024, 768, 60}})});
    null.window->largestSide = c.largestSide;
    null.window->failOpenWith = c.failure;
    null.window->failOpenText = "the window's own words";
    CDisplay& display = *null.display;
    display.Configure("Game", c.width, c.height, 32, c.fullscreen);
    testing::internal::CaptureStderr();
    EXPECT_EQ(display.Recreate(), c.created);
    EXPECT_EQ(BoxesShown(testing::internal::GetCapturedStderr()), c.boxes);
    CDisplay::RefusedWindow refused;
    EXPECT_EQ(display.TakeRefusedWindow(&refused), c.refused);
    EXPECT_FALSE(display.TakeRefusedWindow(&refused)) << "told once";
    // The default window is tried only after a refusal of the size.
    const bool secondTry = c.failure == GlWindowError::None && c.width > c.largestSide;
    EXPECT_EQ(null.window->lastConfig.width, secondTry ? 800 : c.width);
    EXPECT_EQ(null.window->lastConfig.height, secondTry ? 600 : c.height);
    EXPECT_EQ(display.GetWidth(), c.refused ? 800 : c.width);
    EXPECT_EQ(display.GetHeight(), c.refused ? 600 : c.height);
    EXPECT_EQ(display.HasState(CDisplay::kFullscreen), !c.refused && c.fullscreen);
    if (!c.refused) continue;
    EXPECT_EQ(refused.width, c.width);
    EXPECT_EQ(refused.height, c.height);
    EXPECT_EQ(refused.fullscreen, c.fullscreen);
    EXPECT_EQ(refused.reason, "Window is too large.");
    EXPECT_FALSE(null.window->fullscreen);
    EXPECT_FALSE(null.window->desktopFullscreen);
    EXPECT_EQ(null.window->openCount, 1);
  }
}

TEST(Display, EnumerationLogsDevicesAndModes) {
  EnableTestLogChannels();
  ClearLogLines(kLogGFX);
  NullDisplay null({DeviceWith({{32, 800, 600, 60}, {16, 640, 480, 75}})});
  null.display->EnumerateDevices();
  const std::vector<std::string> expected = {
      std::string(72, '='),           "Enumerating Display Devices...",  "Display 0 : 'Null'",
      "Enumerating display modes...", "[Device] @ Width x Height X BPP", "[0] = 800 x  600 x 32 @ 60hz",
      "[1] = 640 x  480 x 16 @ 75hz",
  };
  EXPECT_EQ(LogLinesOf(kLogGFX), expected);
  ASSERT_EQ(null.display->GetDevices().size(), 1u);
  EXPECT_EQ(null.display->GetDevices()[0].modes[1].refreshRate, 75);
  EXPECT_EQ(null.display->GetDeviceName(0), "Display 0");
  EXPECT_TRUE(null.display->GetDeviceName(1).IsEmpty());
}

TEST(Display, TheProgramDisplayOffersItsFieldOfViewToTheConsole) {
  CDisplay* display = GetDisplay();
  EXPECT_EQ(display, GetDisplay());
  CConsoleVariable* fov = CVariableRegistry::Get()->Find("FOV");
  ASSERT_NE(fov, nullptr);
  EXPECT_EQ(fov->storage, &display->fov);
  EXPECT_EQ(fov->type, kCVarFloat);
}

TEST(Display, FramesNeverComeFasterThanSixtyASecond) {
  NullDisplay null;
  ASSERT_TRUE(null.display->Recreate());
  null.display->BeginFrame();
  null.display->Present();
  auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < 3; ++frame) {
    null.display->BeginFrame();
    null.display->Present();
  }
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(49)) << "three frames take at least 3/60 s";
  EXPECT_EQ(null.window->swapCount, 4);
  EXPECT_EQ(null.display->GetFrameCounter(), 4u);
}

TEST(Display, ScreenCentreLooksStraightAhead) {
  NullDisplay null;
  null.display->Configure("Game", 800, 600, 32, false);
  Vector3 direction;
  null.display->ScreenToViewDirection(&direction, 400, 300);
  EXPECT_FLOAT_EQ(direction.x, 0.0f);
  EXPECT_FLOAT_EQ(direction.y, 0.0f);
  EXPECT_FLOAT_EQ(direction.z, -1.0f);
  null.display->ScreenToViewDirection(&direction, 400, 0);
  EXPECT_NEAR(direction.y, 0.41421f, 1e-4) << "tan(22.5 degrees) at the top edge";
}

}  // namespace
