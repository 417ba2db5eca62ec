// The X server going away under the running program, or another program
// destroying its window, ends it at once through the loss handler, before
// any static destructor can reach the dead connection. The test runs its own
// X server (Xvfb) and kills it, or destroys the window from a connection of
// its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/DisplayLoss.h"
#include "platform/Events.h"
#include "platform/GlWindow.h"
#include "platform/Time.h"
#include "platform/tests/support/PrivateXServer.h"

namespace platform {
namespace {

constexpr uint32_t kNoticeTimeoutMs = 10000;
constexpr uint32_t kPollPauseMs = 10;
constexpr const char* kTitle = "Display loss test";

void ReportLoss(const char* displayName, DisplayLoss what) {
  std::fprintf(stderr, "reported loss of %s (%s)\n", displayName,
               what == DisplayLoss::Window ? "the window" : "the connection");
}

struct StaticWitness {
  ~StaticWitness() { std::fprintf(stderr, "a static destructor ran\n"); }
};

enum class Loss { KillTheServer, DestroyTheWindow };

// Opens a GL window on a private X server, loses it and keeps polling
// events and swapping as the frame loop does; returns only through exit().
[[noreturn]] void OpenAWindowAndLose(Loss loss) {
  static PrivateXServer server("320x240x24");
  if (!server.Started()) {
    std::fprintf(stderr, "Xvfb could not start\n");
    std::_Exit(2);
  }
  server.PointVideoHere();
  SetDisplayLostHandler(&ReportLoss);
  static StaticWitness witness;

  std::unique_ptr<GlWindow> window = CreateSdlGlWindow();
  GlWindowConfig config;
  config.title = kTitle;
  config.width = 64;
  config.height = 48;
  config.hidden = true;
  if (!window->Open(config)) {
    std::fprintf(stderr, "no window on %s: %s\n", server.Name().c_str(), window->LastErrorText().c_str());
    std::_Exit(2);
  }
  if (loss == Loss::KillTheServer) {
    server.Kill();
  } else if (server.DestroyWindowsTitled(kTitle) != 1) {
    std::fprintf(stderr, "the window was not found\n");
    std::_Exit(2);
  }

  const uint32_t start = TickCountMs();
  while (TickCountMs() - start < kNoticeTimeoutMs) {
    Event event;
    while (PollEvent(&event)) {
    }
    window->SwapBuffers();
    SleepMs(kPollPauseMs);
  }
  std::fprintf(stderr, "the loss went unnoticed\n");
  std::exit(0);
}

TEST(DisplayLossDeathTest, LosingTheXServerOrTheWindowReportsAndEndsWithoutStaticDestructors) {
  // A fresh process each: SDL must start its video on the private server.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const struct {
    Loss loss;
    const char* report;
  } cases[] = {
      {Loss::KillTheServer, "reported loss of :[0-9]+ \\(the connection\\)"},
      {Loss::DestroyTheWindow, "reported loss of :[0-9]+ \\(the window\\)"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        OpenAWindowAndLose(c.loss), testing::ExitedWithCode(kDisplayLostExitCode),
        testing::AllOf(testing::ContainsRegex(c.report), testing::Not(testing::HasSubstr("a static destructor ran"))));
  }
}

}  // namespace
}  // namespace platform
