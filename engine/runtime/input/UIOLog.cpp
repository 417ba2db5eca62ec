// The input module's log lines.

#include "engine/runtime/input/UIOLog.h"

#include <cstdarg>

#include "engine/foundation/Log.h"

void UIOPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kLogUIO, format, args);
  va_end(args);
}
