#pragma once
// printf-style log lines of the texture ("TEX", channel 9) and material
// ("MAT", channel 4) modules; "\n" is appended.

void LogTEX(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogMAT(const char* format, ...) __attribute__((format(printf, 1, 2)));
