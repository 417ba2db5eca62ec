#pragma once

// Writes one printf-style line (a line end is appended) to log channel 3, "3ME".
void Log3ME(const char* format, ...) __attribute__((format(printf, 1, 2)));
