#include "engine/graphics/GraphicsLog.h"

#include <cstdarg>

#include "engine/foundation/Log.h"

void LogTEX(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogVPrintf(kLogTEX, format, arguments);
  va_end(arguments);
}

void LogMAT(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogVPrintf(kLogMAT, format, arguments);
  va_end(arguments);
}
