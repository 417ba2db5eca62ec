#pragma once
// The debugger output stream; on this platform it is standard error.

namespace platform {

// Writes the text as it is (no line end added) and flushes.
void DebugOutput(const char* text);

}  // namespace platform
