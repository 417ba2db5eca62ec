#pragma once
// System time: the millisecond tick, a monotonic high-resolution counter and
// the local calendar time.
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, monotonic; wraps at 2^32.
uint32_t TickCountMs();

// Monotonic high-resolution counter, in HighResFrequency() units per second.
uint64_t HighResCounter();

// Units of HighResCounter per second.
uint64_t HighResFrequency();

// Suspends the thread for a number of milliseconds.
void SleepMs(uint32_t milliseconds);

// A local calendar time, month 1..12, hour 0..23.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local date and time now.
LocalTime CurrentLocalTime();

}  // namespace platform
