#pragma once

// Writes one printf-style line (a line end is appended) to log channel 3, "3ME".
void Log3ME(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives every formatted 3ME line as well (tests watch which line came out).
using Log3MEObserver = void (*)(const char* line);
// Installs an observer (null removes it); returns the previous one.
Log3MEObserver SetLog3MEObserver(Log3MEObserver observer);
