#include "engine/gui/GUILog.h"

#include <cstdarg>

#include "engine/foundation/Log.h"

void GUIPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kLogGUI, format, args);
  va_end(args);
}
