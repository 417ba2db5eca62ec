#pragma once
// The window's events as the run loop sees them: closing or a system quit
// request ends the program, minimising pauses it, a new size reaches the
// display.

#include <cstdint>

#include "platform/Events.h"

class CDisplay;
class CSettings;

// The flags the frame loop shares with the window's event handling.
struct RunFlags {
  // Set when the program is asked to end; the application then shuts down.
  bool quit = false;
  // Cleared while the window is minimised or has lost focus to a minimise.
  bool active = true;
};

// Applies one window event to the flags, the display and the settings (a new
// size is stored and marks them modified, so it is saved at exit); display
// and settings may be null.
void HandleWindowEvent(const platform::Event& event, RunFlags& flags, CDisplay* display, CSettings* settings = nullptr);

// Whether the loop must stop: the application's exit flag is set. This is
// checked whether or not the window is active, so a program told to end while
// minimised does not wait for a restore that never comes.
inline bool ShouldLeaveLoop(uint8_t exitFlag) { return exitFlag != 0; }
