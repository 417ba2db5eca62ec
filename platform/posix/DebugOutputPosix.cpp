#include "platform/DebugOutput.h"

#include <cstdio>

namespace platform {

void DebugOutput(const char* text) {
  if (text == nullptr) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

}  // namespace platform
