// The input module's log lines.

#include "engine/runtime/input/UIOLog.h"

#include <cstdarg>
#include <cstdio>

void UIOPrintf(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line - 1, format, args);
  va_end(args);
  std::fprintf(stderr, "%s\n", line);
}
