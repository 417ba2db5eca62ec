#pragma once

// Helpers shared by the runtime tests: the game clock under the test's
// control. Their log lines read back through the foundation's LogLines.h.

namespace runtime_test {

// Sets the clock's game time in seconds.
void SetGameTime(double seconds);
// Pauses or resumes the clock's game time.
void SetClockPaused(bool paused);
// Runs one clock tick after the given number of milliseconds of real time.
void TickClock(unsigned milliseconds);

}  // namespace runtime_test
