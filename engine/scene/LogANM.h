#pragma once

// Writes one printf-style line (a line end is appended) to log channel 7, "ANM".
void LogANM(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Receives every formatted ANM line as well (tests watch which line came out).
using LogANMObserver = void (*)(const char* line);
// Installs an observer (null removes it); returns the previous one.
LogANMObserver SetLogANMObserver(LogANMObserver observer);
