// The terminal's two streams often end in one place (">file 2>&1", a pipe,
// the terminal itself): each line must come out whole, and in the order the
// program finished writing it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/DebugOutput.h"
#include "platform/TempFolder.h"

namespace {

constexpr int kRounds = 300;  // far more than a stream's buffer holds

// Writes through both streams when asked: whole lines, lines in pieces with
// a line of the other stream between them, and texts holding several lines.
// Returns the text as it must arrive.
std::string Interleave(bool write) {
  auto out = [write](const char* text) {
    if (write) platform::StandardOutput(text);
  };
  auto error = [write](const char* text) {
    if (write) platform::DebugOutput(text);
  };
  std::string expected;
  char line[128];
  for (int round = 0; round < kRounds; ++round) {
    std::snprintf(line, sizeof line, "Material GemCrystal%d - 2 stages\n", round);
    out(line);
    expected += line;
    std::snprintf(line, sizeof line, "MAT|Created new material - gemcrystal%d\n", round);
    error(line);
    expected += line;
    // A line in pieces: the other stream's line, finished first, goes first.
    out("STAGE SETTING : ");
    error("Registry store 'x' cannot be read");
    out("BLEND\n");
    error("\n");
    expected += "STAGE SETTING : BLEND\nRegistry store 'x' cannot be read\n";
    error("DBG|one\nDBG|two\nDBG|th");
    out("  [3] Resources/a.png\n");
    error("ree\n");
    expected += "DBG|one\nDBG|two\n  [3] Resources/a.png\nDBG|three\n";
  }
  // The end of the run sends a last unfinished line as it is.
  out("last words");
  expected += "last words";
  return expected;
}

// Runs the writer in a child whose standard output and standard error both
// lead to the descriptor, the way a shell's "2>&1" does; the child ends as
// a program does, through exit. The parent may read meanwhile.
void WriteFromChild(int destination, const std::function<void()>& whileRunning = {}) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (dup2(destination, STDOUT_FILENO) < 0 || dup2(STDOUT_FILENO, STDERR_FILENO) < 0) _exit(10);
    platform::SetTerminalShowsEveryLine(true);
    Interleave(true);
    std::exit(0);
  }
  if (whileRunning) whileRunning();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Everything a descriptor gives until its writers have gone.
std::string ReadToEnd(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<size_t>(got));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      return text;  // the end, or EIO once a terminal's last writer has gone
    }
  }
}

TEST(DebugOutput, BothStreamsIntoOneFileKeepEveryLineWholeAndInOrder) {
  platform::ScopedTempFolder scratch("vyre-debug-output");
  const std::string path = scratch / "terminal.txt";
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(file, 0);
  WriteFromChild(file);
  close(file);
  const int reader = open(path.c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  const std::string written = ReadToEnd(reader);
  close(reader);
  EXPECT_EQ(written, Interleave(false));
}

TEST(DebugOutput, BothStreamsIntoOnePipeKeepEveryLineWholeAndInOrder) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  std::string written;
  // The pipe is read while the child writes, as a pager would.
  WriteFromChild(channel[1], [&] {
    close(channel[1]);
    written = ReadToEnd(channel[0]);
  });
  close(channel[0]);
  EXPECT_EQ(written, Interleave(false));
}

TEST(DebugOutput, BothStreamsOnOneTerminalKeepEveryLineWholeAndInOrder) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) GTEST_SKIP() << "no terminals to open here";
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  // Raw, so the terminal passes the bytes as they were written.
  termios mode;
  ASSERT_EQ(tcgetattr(terminal, &mode), 0);
  cfmakeraw(&mode);
  ASSERT_EQ(tcsetattr(terminal, TCSANOW, &mode), 0);
  std::string written;
  WriteFromChild(terminal, [&] {
    close(terminal);
    written = ReadToEnd(master);
  });
  close(master);
  EXPECT_EQ(written, Interleave(false));
}

}  // namespace
