// The X server going away under the running program ends it at once with
// its own report, before any static destructor can reach the dead
// connection. The test runs its own X server (Xvfb) and kills it.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/DisplayLoss.h"
#include "platform/Events.h"
#include "platform/GlWindow.h"
#include "platform/Time.h"

namespace platform {
namespace {

constexpr uint32_t kNoticeTimeoutMs = 10000;
constexpr uint32_t kPollPauseMs = 10;

// Starts Xvfb on a display number it picks itself; returns its process id
// (-1 when it could not start) and the display's name.
pid_t StartXvfb(std::string* displayName) {
  int channel[2];
  if (pipe(channel) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    // The server dies with this process, however the test ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(channel[0]);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    const std::string fd = std::to_string(channel[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "320x240x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(channel[1]);
  // Xvfb writes the display number and a line end once it accepts clients.
  std::string number;
  char c = 0;
  while (pid > 0 && read(channel[0], &c, 1) == 1 && c != '\n') number += c;
  close(channel[0]);
  if (pid <= 0 || number.empty()) return -1;
  *displayName = ":" + number;
  return pid;
}

void ReportLoss(const char* displayName) { std::fprintf(stderr, "reported loss of %s\n", displayName); }

struct StaticWitness {
  ~StaticWitness() { std::fprintf(stderr, "a static destructor ran\n"); }
};

// Opens a GL window on a private X server, kills the server and keeps
// polling events as the frame loop does; returns only through exit().
[[noreturn]] void OpenAWindowAndLoseTheServer() {
  std::string displayName;
  const pid_t server = StartXvfb(&displayName);
  if (server < 0) {
    std::fprintf(stderr, "Xvfb could not start\n");
    std::_Exit(2);
  }
  setenv("DISPLAY", displayName.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  SetDisplayLostHandler(&ReportLoss);
  static StaticWitness witness;

  std::unique_ptr<GlWindow> window = CreateSdlGlWindow();
  GlWindowConfig config;
  config.width = 64;
  config.height = 48;
  config.hidden = true;
  if (!window->Open(config)) {
    std::fprintf(stderr, "no window on %s: %s\n", displayName.c_str(), window->LastErrorText().c_str());
    std::_Exit(2);
  }
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);

  const uint32_t start = TickCountMs();
  while (TickCountMs() - start < kNoticeTimeoutMs) {
    Event event;
    while (PollEvent(&event)) {
    }
    SleepMs(kPollPauseMs);
  }
  std::fprintf(stderr, "the loss went unnoticed\n");
  std::exit(0);
}

TEST(DisplayLossDeathTest, LosingTheXServerReportsAndEndsWithoutStaticDestructors) {
  // A fresh process: SDL must start its video on the private server.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OpenAWindowAndLoseTheServer(), testing::ExitedWithCode(kDisplayLostExitCode),
              testing::AllOf(testing::ContainsRegex("reported loss of :[0-9]+"),
                             testing::Not(testing::HasSubstr("a static destructor ran"))));
}

}  // namespace
}  // namespace platform
