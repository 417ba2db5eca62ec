#include "engine/scene/core/SceneLog.h"

#include <cstdio>

#include "engine/foundation/Log.h"

namespace {

bool IsChannel(int channel) { return channel >= 0 && channel < kLogChannelCount; }

SceneLogObserver gObservers[kLogChannelCount] = {};

}  // namespace

SceneLogObserver SetSceneLogObserver(int channel, SceneLogObserver observer) {
  if (!IsChannel(channel)) return nullptr;
  const SceneLogObserver previous = gObservers[channel];
  gObservers[channel] = observer;
  return previous;
}

void LogSceneV(int channel, const char* format, va_list args) {
  char line[1024];
  std::vsnprintf(line, sizeof line, format, args);
  LogPrintf(channel, "%s", line);
  if (IsChannel(channel) && gObservers[channel] != nullptr) gObservers[channel](line);
}

void Log3ME(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogSceneV(kLog3ME, format, args);
  va_end(args);
}

void LogANM(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogSceneV(kLogANM, format, args);
  va_end(args);
}
