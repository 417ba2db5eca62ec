#pragma once

// Helpers shared by the runtime tests: a log channel's lines, and the game
// clock under the test's control.

#include <string>
#include <vector>

namespace runtime_test {

// Log channel numbers the runtime writes to.
constexpr int kGEMChannel = 2;
constexpr int kMSGChannel = 6;
constexpr int kFSMChannel = 13;

// The lines written to the channel since the last ClearLog, oldest first,
// without the channel tag and the trailing newline.
std::vector<std::string> LogLines(int channel);
// Forgets the lines written so far.
void ClearLog(int channel);
// True when some line of the channel contains the text.
bool LogContains(int channel, const std::string& text);

// Sets the clock's game time in seconds.
void SetGameTime(double seconds);
// Pauses or resumes the clock's game time.
void SetClockPaused(bool paused);
// Runs one clock tick after the given number of milliseconds of real time.
void TickClock(unsigned milliseconds);

}  // namespace runtime_test
