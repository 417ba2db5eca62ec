#include <cstdio>

#include "platform/DebugOutput.h"

namespace platform {
namespace {

bool gEveryLine = false;

}  // namespace

void SetTerminalShowsEveryLine(bool every) { gEveryLine = every; }

bool TerminalShowsEveryLine() { return gEveryLine; }

bool TerminalShows(Severity severity) { return gEveryLine || severity != Severity::Info; }

void DebugOutput(const char* text, Severity severity) {
  if (text == nullptr || !TerminalShows(severity)) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

void StandardOutput(const char* text, Severity severity) {
  if (text == nullptr || !TerminalShows(severity)) return;
  std::fputs(text, stdout);
}

}  // namespace platform
