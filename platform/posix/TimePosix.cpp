#include <time.h>

#include <cerrno>

#include "platform/Time.h"

namespace platform {

uint32_t TickCountMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

uint64_t HighResCounter() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

uint64_t HighResFrequency() { return 1000000000u; }

void SleepMs(uint32_t milliseconds) {
  timespec wait;
  wait.tv_sec = milliseconds / 1000;
  wait.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

LocalTime CurrentLocalTime() {
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  LocalTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  return result;
}

}  // namespace platform
