#pragma once
// The GUI's own log function (channel "GUI").

// Writes a formatted line to the GUI log channel.
void GUIPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
