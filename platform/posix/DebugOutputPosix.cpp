#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "platform/DebugOutput.h"

namespace platform {
namespace {

bool gEveryLine = false;

// A line is held back until its end arrives, so that it goes out in one
// write: the two streams often share one file or pipe (">file 2>&1"), and
// neither may cut into a line of the other. Longer pieces without a line end
// go out as they come.
constexpr size_t kHeldBytes = 2048;

struct HeldLine {
  int fd;
  char bytes[kHeldBytes];
  size_t size;
};

// Writes every byte of the pieces, in order, as few writes as the system
// allows (one, for a file, a pipe or a terminal with room).
void WriteAll(int fd, iovec* pieces, int count) {
  while (count > 0) {
    const ssize_t written = writev(fd, pieces, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // nobody is left to tell
    }
    size_t done = static_cast<size_t>(written);
    while (count > 0 && done >= pieces->iov_len) {
      done -= pieces->iov_len;
      ++pieces;
      --count;
    }
    if (count > 0) {
      pieces->iov_base = static_cast<char*>(pieces->iov_base) + done;
      pieces->iov_len -= done;
    }
  }
}

// Sends what is held and then the text, in one write.
void SendWithHeld(HeldLine& line, const char* text, size_t length) {
  iovec pieces[2] = {{line.bytes, line.size}, {const_cast<char*>(text), length}};
  WriteAll(line.fd, pieces, 2);
  line.size = 0;
}

void Hold(HeldLine& line, const char* text, size_t length) {
  if (line.size + length > kHeldBytes) {
    SendWithHeld(line, text, length);
    return;
  }
  std::memcpy(line.bytes + line.size, text, length);
  line.size += length;
}

// Every whole line goes out at once with what was held before it; a last
// piece without a line end is held.
void Write(HeldLine& line, const char* text) {
  const size_t length = std::strlen(text);
  const void* lastEnd = memrchr(text, '\n', length);
  if (lastEnd == nullptr) {
    Hold(line, text, length);
    return;
  }
  const size_t whole = static_cast<size_t>(static_cast<const char*>(lastEnd) - text) + 1;
  SendWithHeld(line, text, whole);
  if (whole < length) Hold(line, text + whole, length - whole);
}

// Standard output and standard error, written by their descriptors: the C
// library's buffers would keep the lines of one stream back while the other
// wrote.
struct Terminal {
  constexpr Terminal() = default;
  // A line still unfinished at exit goes out as it is.
  ~Terminal() { Flush(); }
  void Flush() {
    for (HeldLine* line : {&output, &error}) {
      if (line->size > 0) SendWithHeld(*line, "", 0);
    }
  }

  HeldLine output{STDOUT_FILENO, {}, 0};
  HeldLine error{STDERR_FILENO, {}, 0};
};

constinit Terminal gTerminal;

}  // namespace

void SetTerminalShowsEveryLine(bool every) { gEveryLine = every; }

bool TerminalShowsEveryLine() { return gEveryLine; }

bool TerminalShows(Severity severity) { return gEveryLine || severity != Severity::Info; }

void DebugOutput(const char* text, Severity severity) {
  if (text == nullptr || !TerminalShows(severity)) return;
  Write(gTerminal.error, text);
}

void StandardOutput(const char* text, Severity severity) {
  if (text == nullptr || !TerminalShows(severity)) return;
  Write(gTerminal.output, text);
}

void FlushTerminal() { gTerminal.Flush(); }

}  // namespace platform
