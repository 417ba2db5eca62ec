#pragma once
// Points every later start of SDL's video at an X display nobody serves, as
// a player starting the game outside any desktop would. For tests that run
// in a child process of their own.

#include <cstdlib>

namespace platform {

// No X socket has so high a number.
inline constexpr const char* kUnservedDisplay = ":65000";

// SDL's driver choice as SDL_VIDEODRIVER says (null: SDL picks), with no
// Wayland and the unserved X display.
inline void PointVideoAtUnservedDisplay(const char* videoDriver) {
  if (videoDriver != nullptr) {
    setenv("SDL_VIDEODRIVER", videoDriver, 1);
  } else {
    unsetenv("SDL_VIDEODRIVER");
  }
  unsetenv("WAYLAND_DISPLAY");
  setenv("DISPLAY", kUnservedDisplay, 1);
}

}  // namespace platform
