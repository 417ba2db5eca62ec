#pragma once
// What the program does when its display is lost for good: the X server went
// away while it ran, or another program destroyed its window. Nothing can be
// drawn or polled again, and what static destructors would tear down (the
// window, the GL context, textures and lists) belongs to the dead connection:
// running them would call into it. So the handler reports the loss and keeps
// what the player would lose (file work only: no X, GL or other display
// call), and the process ends at once, without static destructors. Files the
// player owns are always written whole (see AtomicFile.h).

namespace platform {

// The exit code of a process that lost its display.
inline constexpr int kDisplayLostExitCode = 1;

// What went away.
enum class DisplayLoss {
  Connection,  // the display server (the connection to it broke)
  Window,      // the program's window, destroyed by another program
};

// Reports the loss of the named display (e.g. ":0") and saves what the
// player would lose, just before the end. It may run inside any call that
// talks to the display (an event poll, a swap, a GL call): it must make none.
using DisplayLostHandler = void (*)(const char* displayName, DisplayLoss what);

// Installs the handler (null: one line on the debugger output); returns the
// previous one.
DisplayLostHandler SetDisplayLostHandler(DisplayLostHandler handler);

// Runs the handler (once: a loss met again while it runs goes straight to
// the end), flushes the terminal and the C streams and ends the process with
// kDisplayLostExitCode; no static destructor runs.
[[noreturn]] void EndAfterDisplayLoss(const char* displayName, DisplayLoss what = DisplayLoss::Connection);

}  // namespace platform
