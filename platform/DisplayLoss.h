#pragma once
// What the program does when its connection to the display server is lost
// for good (the X server went away while it ran). Nothing can be drawn or
// polled again, and what static destructors would tear down (the window, the
// GL context, textures and lists) belongs to the dead connection: running
// them would call into it. So the loss is reported and the process ends at
// once, without static destructors. Files the player owns are always written
// whole (see AtomicFile.h), so ending here loses nothing already saved.

namespace platform {

// The exit code of a process that lost its display.
inline constexpr int kDisplayLostExitCode = 1;

// Reports the loss of the named display (e.g. ":0") just before the end.
using DisplayLostHandler = void (*)(const char* displayName);

// Installs the handler (null: one line on the debugger output); returns the
// previous one.
DisplayLostHandler SetDisplayLostHandler(DisplayLostHandler handler);

// Reports the loss through the handler, flushes the C streams and ends the
// process with kDisplayLostExitCode; no static destructor runs.
[[noreturn]] void EndAfterDisplayLoss(const char* displayName);

}  // namespace platform
