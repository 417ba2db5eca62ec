#pragma once
#include <cstdarg>

// The scene folder's log lines: each goes to its channel and, when a test
// watches that channel, to its observer as well.

// Receives every formatted line of one channel (tests watch which line came out).
using SceneLogObserver = void (*)(const char* line);

// Installs an observer for a channel (null removes it); returns the previous one.
SceneLogObserver SetSceneLogObserver(int channel, SceneLogObserver observer);

// Writes one printf-style line (a line end is appended) to a channel and its observer.
void LogSceneV(int channel, const char* format, va_list args);

// Writes one printf-style line to log channel 3, "3ME".
void Log3ME(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes one printf-style line to log channel 7, "ANM".
void LogANM(const char* format, ...) __attribute__((format(printf, 1, 2)));
