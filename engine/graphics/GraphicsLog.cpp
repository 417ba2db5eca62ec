#include "engine/graphics/GraphicsLog.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kTextureChannel = 9;
constexpr int kMaterialChannel = 4;

void PrintTo(int channel, const char* format, va_list arguments) {
  // 1024 bytes, the newline included.
  char buffer[1024];
  std::vsnprintf(buffer, sizeof buffer - 1, format, arguments);
  size_t length = 0;
  while (buffer[length] != '\0') ++length;
  buffer[length] = '\n';
  buffer[length + 1] = '\0';
  std::fprintf(stderr, "[%d] %s", channel, buffer);
}

}  // namespace

void LogTEX(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  PrintTo(kTextureChannel, format, arguments);
  va_end(arguments);
}

void LogMAT(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  PrintTo(kMaterialChannel, format, arguments);
  va_end(arguments);
}
