#pragma once
// Window and system events in the engine's terms, taken one at a time by the
// frame loop. Taking an event also keeps the keyboard and mouse sources of
// platform/InputSources.h up to date.

#include <cstdint>

namespace platform {

enum class EventType {
  None,
  Quit,         // the system asks the program to end
  WindowClose,  // the player closed the window
  Resized,      // new client size in width, height (never 0 x 0)
  Minimised,
  Restored,  // shown again after a minimise, or maximised
  FocusGained,
  FocusLost,
  MouseMoved,  // client position in x, y
  Other,
};

struct Event {
  EventType type = EventType::None;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Takes the next pending event; false when the queue is empty.
bool PollEvent(Event* event);

// Waits until an event is pending or the time is up, and takes nothing: the
// frame loop rests here while no frames run.
void WaitForEvent(uint32_t timeoutMs);

// A closed terminal ends the program as SIGTERM and SIGINT do: a hang-up
// (SIGHUP) becomes a Quit event, so the program shuts down cleanly. A
// hang-up that was ignored when the program started (nohup) stays ignored.
// Lines written to a terminal or pipe that has gone fail quietly instead of
// ending the program (SIGPIPE is ignored). Installed once; later calls do
// nothing.
void TreatHangUpAsQuit();

}  // namespace platform
