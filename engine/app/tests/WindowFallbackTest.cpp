// The default window in place of a stored one the game cannot be played in,
// and what the player is told about it: the setting, and the save only once
// it has been made.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/app/WindowFallback.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/UserFolder.h"
#include "platform/null/NullGlWindow.h"
#include "platform/tests/support/ChildProcess.h"

namespace {

// Settings as Settings.ini gave them: every window value names that file.
void StoreWindow(CSettings& settings, int width, int height, bool fullscreen) {
  settings.width = width;
  settings.height = height;
  settings.fullscreen = fullscreen;
  settings.widthOrigin = SettingOrigin{"Settings.ini", std::to_string(width)};
  settings.heightOrigin = SettingOrigin{"Settings.ini", std::to_string(height)};
  settings.fullscreenOrigin = SettingOrigin{"Settings.ini", fullscreen ? "1" : "0"};
  settings.modified = false;
}

// The smallest window the game is played in is 320 x 240: a side below it
// (or not positive) is refused before the window is made, as a size the
// display cannot make is, and the default window is made in its place. A
// display that cannot make even that ends the start, and the settings stay
// as they were stored.
TEST(WindowFallback, AStoredSizeTooSmallOrTooLargeOpensTheDefaultWindowAndNamesTheSetting) {
  struct Case {
    const char* name;
    int width;
    int height;
    bool fullscreen;
    int largestSide;   // the display makes no window with a longer side
    const char* said;  // the terminal's line; null: nothing
    bool defaultWindow;
  };
  const Case cases[] = {
      {"the smallest window", 320, 240, false, 16384, nullptr, false},
      {"a column too narrow", 319, 240, false, 16384,
       "Cannot make the window at 319 x 240 (Width=319 and Height=240 in \"Settings.ini\"): a window must be at "
       "least 320 x 240; playing in a window of 800 x 600 instead.\n",
       true},
      {"a row too low, full screen", 800, 239, true, 16384,
       "Cannot make the window at 800 x 239 in full screen (Height=239 and Fullscreen=1 in \"Settings.ini\"): a "
       "window must be at least 320 x 240; playing in a window of 800 x 600 instead.\n",
       true},
      {"sides not positive", 0, -5, false, 16384,
       "Cannot make the window at 0 x -5 (Width=0 and Height=-5 in \"Settings.ini\"): a window must be at least 320 "
       "x 240; playing in a window of 800 x 600 instead.\n",
       true},
      {"larger than the display makes", 20000, 600, false, 16384,
       "Cannot make the window at 20000 x 600 (Width=20000 in \"Settings.ini\"): Window is too large; playing in a "
       "window of 800 x 600 instead.\n",
       true},
      {"too small, and no window at all", 100, 600, true, 500, nullptr, false},
      {"too large, and no window at all", 20000, 600, true, 500, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDisplay::SetHooks(DisplayHooks{});  // no GL back end behind a window with no context
    auto backend = std::make_unique<platform::NullGlWindow>();
    platform::NullGlWindow& window = *backend;
    window.largestSide = c.largestSide;
    CDisplay display(std::move(backend));
    CSettings settings;
    StoreWindow(settings, c.width, c.height, c.fullscreen);
    WindowFallback fallback(settings);
    testing::internal::CaptureStderr();
    const bool opened = fallback.OpenFirstWindow(display);
    const std::string terminal = testing::internal::GetCapturedStderr();
    EXPECT_EQ(opened, c.largestSide >= 800);
    EXPECT_EQ(terminal.find("Cannot make the window") != std::string::npos, c.said != nullptr) << terminal;
    if (c.said != nullptr) {
      EXPECT_EQ(terminal, c.said);
    }
    if (opened) {
      EXPECT_EQ(window.lastConfig.width, c.defaultWindow ? 800 : c.width);
      EXPECT_EQ(window.lastConfig.height, c.defaultWindow ? 600 : c.height);
      EXPECT_EQ(display.GetWidth(), window.lastConfig.width);
      EXPECT_EQ(display.GetHeight(), window.lastConfig.height);
    }
    // What the exit saves: the window the game plays in, or the stored one.
    EXPECT_EQ(settings.modified, c.defaultWindow);
    EXPECT_EQ(settings.width, c.defaultWindow ? 800 : c.width);
    EXPECT_EQ(settings.height, c.defaultWindow ? 600 : c.height);
    EXPECT_EQ(settings.fullscreen, !c.defaultWindow && c.fullscreen);
  }
}

// The fallback's line promises nothing; the next start is named only once
// the exit's save has written the file, never in a run whose save fails or
// that keeps out of its user folder (it saves nothing).
TEST(WindowFallback, TheNextStartIsNamedOnlyOnceTheSaveHasWrittenTheFile) {
  enum class Shape { Writable, FolderInItsPlace, KeptOut };
  struct Case {
    const char* name;
    Shape shape;
    bool saved;
  };
  const Case cases[] = {
      {"a file that can be written", Shape::Writable, true},
      {"a folder where the file should be", Shape::FolderInItsPlace, false},
      {"a run that keeps out of its user folder", Shape::KeptOut, false},
  };
  const std::string fallbackLine =
      "Cannot make the window at 20000 x 20000: Window is too large; playing in a window of 800 x 600 instead.\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::ScopedTempFolder user{"vyre-window-fallback"};
    platform::ChildOptions options;
    options.captureTerminal = true;
    const platform::ChildEnd end = platform::RunInChild(
        [&](std::string& report) {
          setenv("VYRE_USER_DIR", user.Path().c_str(), 1);
          setenv("VYRE_REGISTRY", (user / "Novaliths.reg").c_str(), 1);
          if (c.shape == Shape::FolderInItsPlace && !platform::MakeFolder(user / "Settings.ini")) report = "no folder";
          if (c.shape == Shape::KeptOut) platform::KeepOutOfUserFolder();
          CSettings settings;
          settings.SetIniName("Settings.ini");
          WindowFallback fallback(settings);
          CDisplay::RefusedWindow refused;
          refused.width = 20000;
          refused.height = 20000;
          refused.reason = "Window is too large.";
          fallback.Report(refused, false);
          fallback.ReportSave(settings.Save(true));
          // Said once: a second save adds nothing.
          fallback.ReportSave(settings.Save(true));
          return 0;
        },
        options);
    EXPECT_EQ(end.ended, "exit 0");
    EXPECT_EQ(end.report, "");
    const std::string savedLine =
        "Saved Width=800, Height=600 and Fullscreen=0 in \"" + (user / "Settings.ini") + "\" for the next start.\n";
    EXPECT_EQ(end.terminal.rfind(fallbackLine, 0), 0u) << end.terminal;
    EXPECT_EQ(end.terminal.find("next start") != std::string::npos, c.saved) << end.terminal;
    if (c.saved) {
      EXPECT_EQ(end.terminal, fallbackLine + savedLine);
    }
    if (c.shape == Shape::KeptOut) {
      EXPECT_EQ(end.terminal, fallbackLine) << "a run that saves nothing says nothing of it";
    }
  }
}

}  // namespace
