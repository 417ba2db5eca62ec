// The tests' forked children: a child that blocks is ended at its time
// limit with all it started, so the test that ran it fails instead of
// hanging; a child that ends is told as it ended, with its report and its
// terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/tests/support/ChildProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST(ChildProcess, AChildIsToldAsItEndedWithItsReportAndTerminal) {
  struct Case {
    const char* what;
    int (*body)(std::string& report);
    const char* ended;
    const char* report;
    const char* terminal;
  };
  const Case cases[] = {
      {"a status",
       [](std::string& report) {
         report = "done";
         return 3;
       },
       "exit 3", "done", ""},
      {"a line on its terminal",
       [](std::string&) {
         std::fputs("a warning\n", stderr);
         return 0;
       },
       "exit 0", "", "a warning\n"},
      {"a signal", [](std::string&) { return raise(SIGTERM); }, "signal 15", "", ""},
      // A process it started and left behind holds the pipes: the end is still told at once.
      {"a process left behind",
       [](std::string& report) {
         if (fork() == 0) {
           for (;;) pause();
         }
         report = "left one";
         return 0;
       },
       "exit 0", "left one", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Clock::time_point start = Clock::now();
    const platform::ChildEnd end = platform::RunInChild(c.body, {.seconds = 20, .captureTerminal = true});
    EXPECT_EQ(end.ended, c.ended);
    EXPECT_EQ(end.report, c.report);
    EXPECT_EQ(end.terminal, c.terminal);
    EXPECT_LT(SecondsSince(start), 10.0);
  }
}

TEST(ChildProcess, AChildThatBlocksIsEndedAtItsTimeLimit) {
  const Clock::time_point start = Clock::now();
  const platform::ChildEnd end = platform::RunInChild(
      [](std::string&) {
        std::fputs("about to wait\n", stderr);
        for (;;) pause();
        return 0;
      },
      {.seconds = 1, .captureTerminal = true});
  EXPECT_EQ(end.ended, "no end within 1 s");
  EXPECT_EQ(end.terminal, "about to wait\n");
  EXPECT_LT(SecondsSince(start), 10.0);
  EXPECT_NE(platform::ReportFromChild(
                [] {
                  for (;;) pause();
                  return std::string();
                },
                nullptr, 1),
            "");
}

TEST(ChildProcess, AHoldingChildAnswersAndHoldsUntilItIsKilled) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  {
    platform::HoldingChild holder([&] {
      close(ends[0]);
      return 'y';
    });
    EXPECT_EQ(holder.Answer(), 'y');
    close(ends[1]);
    char byte = 0;
    // The holder keeps its end of the pipe open while it lives...
    EXPECT_EQ(fcntl(ends[0], F_SETFL, O_NONBLOCK), 0);
    EXPECT_EQ(read(ends[0], &byte, 1), -1);
    holder.Kill();
    // ...and has gone once killed.
    EXPECT_EQ(read(ends[0], &byte, 1), 0);
  }
  close(ends[0]);
  // One that never answers is given up on at its limit.
  const Clock::time_point start = Clock::now();
  platform::HoldingChild silent(
      [] {
        for (;;) pause();
        return 'y';
      },
      1);
  EXPECT_EQ(silent.Answer(), 0);
  EXPECT_LT(SecondsSince(start), 10.0);
}

}  // namespace
