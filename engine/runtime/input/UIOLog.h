#pragma once
// The input module's log: printf-style lines on channel 8 ("UIO").

void UIOPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
