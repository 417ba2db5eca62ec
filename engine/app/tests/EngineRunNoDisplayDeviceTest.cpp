// With no window to show, the program says so and ends with a failure
// status, at the start and after a display change. Each run is a fresh
// process: SDL picks its video driver once per start of its video part.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/app/EngineRun.h"
#include "engine/app/PrepareSettings.h"
#include "engine/runtime/display/Display.h"
#include "platform/tests/support/UnservedDisplay.h"

namespace {

const std::string kNoDisplayBox =
    std::string("Unable to open the display: no display answers at \"") + platform::kUnservedDisplay + "\"";
// The frame in which the display change is asked for.
constexpr uint32_t kChangeFrame = 12;
// How long a run may take before it counts as running on without a window.
constexpr unsigned kHangSeconds = 30;

// A folder of its own with settings prepared as the entry point prepares them.
void PrepareFolders() {
  char pattern[] = "/tmp/vyre-no-display-XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) std::_Exit(90);
  const std::string folder = pattern;
  setenv("VYRE_USER_DIR", (folder + "/user").c_str(), 1);
  setenv("VYRE_REGISTRY", (folder + "/registry.reg").c_str(), 1);
  PrepareSettings("Vyre");
}

[[noreturn]] void RunWithNoDisplay() {
  alarm(kHangSeconds);
  PrepareFolders();
  platform::PointVideoAtUnservedDisplay(nullptr);
  EngineRunOptions options;
  options.pollEvent = [](platform::Event*) {
    std::fprintf(stderr, "a frame ran\n");
    return false;
  };
  std::_Exit(EngineRun(std::move(options)));
}

// Starts on the offscreen display, then asks for a display change once no
// display can be had any more; counts the frames after it.
[[noreturn]] void RunUntilTheRebuildFails() {
  alarm(kHangSeconds);
  PrepareFolders();
  uint32_t polls = 0;
  EngineRunOptions options;
  options.pollEvent = [&polls](platform::Event*) {
    ++polls;
    if (polls == kChangeFrame) {
      platform::PointVideoAtUnservedDisplay("x11");
      GetDisplay()->SetState(CDisplay::kChangePending);
    }
    if (polls > kChangeFrame) std::fprintf(stderr, "a frame after the change\n");
    return false;
  };
  std::_Exit(EngineRun(std::move(options)));
}

// A stored size no window may have, on a display that cannot make even the
// default window (its GL library will not load): the run ends as before,
// with the message box and a failure.
[[noreturn]] void RunWhereNoWindowCanBeMade() {
  alarm(kHangSeconds);
  PrepareFolders();
  std::FILE* ini = std::fopen("Vyre.ini", "w");
  if (ini == nullptr) std::_Exit(91);
  std::fputs("[Display]\nWidth=20000\nHeight=20000\n", ini);
  std::fclose(ini);
  PrepareSettings("Vyre");
  setenv("SDL_VIDEO_EGL_DRIVER", "/nonexistent/libEGL.so.1", 1);
  EngineRunOptions options;
  options.pollEvent = [](platform::Event*) {
    std::fprintf(stderr, "a frame ran\n");
    return false;
  };
  std::_Exit(EngineRun(std::move(options)));
}

TEST(EngineRunDeathTest, ADisplayThatRefusesEvenTheDefaultWindowEndsWithAFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      RunWhereNoWindowCanBeMade(), testing::ExitedWithCode(1),
      testing::AllOf(testing::HasSubstr("Unable to create window!"), testing::Not(testing::HasSubstr("a frame ran"))));
}

TEST(EngineRunDeathTest, NoDisplayAtTheStartEndsAtOnceWithAFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RunWithNoDisplay(), testing::ExitedWithCode(1),
              testing::AllOf(testing::HasSubstr(kNoDisplayBox), testing::Not(testing::HasSubstr("a frame ran"))));
}

TEST(EngineRunDeathTest, AWindowThatCannotBeMadeAgainEndsTheRunWithAFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The frame of the failed rebuild is the last.
  EXPECT_EXIT(
      RunUntilTheRebuildFails(), testing::ExitedWithCode(1),
      testing::AllOf(testing::HasSubstr(kNoDisplayBox), testing::Not(testing::HasSubstr("a frame after the change"))));
}

}  // namespace
