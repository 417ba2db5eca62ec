// A closed terminal: its hang-up ends the program as a request to quit does,
// and lines written to a terminal or pipe that has gone neither end the
// program nor hold it up. Each case runs in a child of its own, whose signal
// handling the test then judges by how it ended.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/DebugOutput.h"
#include "platform/Events.h"
#include "platform/tests/support/ChildProcess.h"

namespace {

// A child that takes longer than this has stalled.
constexpr platform::ChildOptions kStallLimit{.seconds = 20};

// The number of Quit events among the pending ones.
int QuitEvents() {
  int quits = 0;
  platform::Event event;
  while (platform::PollEvent(&event)) quits += event.type == platform::EventType::Quit ? 1 : 0;
  return quits;
}

TEST(QuitSignals, AHangUpIsOneQuitEventUnlessItWasIgnoredFromTheStart) {
  struct Case {
    const char* name;
    bool ignoredAtStart;  // started under nohup
    int quits;
  };
  for (const Case& c : {Case{"a terminal closed", false, 1}, Case{"started under nohup", true, 0}}) {
    SCOPED_TRACE(c.name);
    const std::string ended = platform::RunInChild(
                                  [&c](std::string&) {
                                    if (c.ignoredAtStart) signal(SIGHUP, SIG_IGN);
                                    platform::TreatHangUpAsQuit();
                                    platform::TreatHangUpAsQuit();  // a second call changes nothing
                                    raise(SIGHUP);
                                    const int quits = QuitEvents();
                                    return quits == c.quits && QuitEvents() == 0 ? 0 : 10 + quits;
                                  },
                                  kStallLimit)
                                  .ended;
    EXPECT_EQ(ended, "exit 0");
  }
}

// Where standard error goes in a case: a pipe whose reader has left, or a
// terminal that has hung up (its master side closed). Returns the descriptor.
int PipeWithoutReader() {
  int ends[2];
  if (pipe(ends) != 0) return -1;
  close(ends[0]);
  return ends[1];
}

int TerminalThatHungUp() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  const char* name = ptsname(master);
  const int slave = name != nullptr ? open(name, O_RDWR | O_NOCTTY) : -1;
  close(master);
  return slave;
}

TEST(QuitSignals, LinesToATerminalOrPipeThatHasGoneFailQuietly) {
  struct Case {
    const char* name;
    int (*makeOutput)();
  };
  for (const Case& c :
       {Case{"a pipe whose reader left", &PipeWithoutReader}, Case{"a terminal that hung up", &TerminalThatHungUp}}) {
    SCOPED_TRACE(c.name);
    const std::string ended = platform::RunInChild(
                                  [&c](std::string&) {
                                    const int output = c.makeOutput();
                                    if (output < 0 || dup2(output, STDERR_FILENO) < 0) return 20;
                                    platform::TreatHangUpAsQuit();
                                    for (int i = 0; i < 1000; ++i)
                                      platform::DebugOutput("a warning nobody reads\n", platform::Severity::Warning);
                                    return 0;
                                  },
                                  kStallLimit)
                                  .ended;
    EXPECT_EQ(ended, "exit 0");
  }
}

}  // namespace
