#include "platform/sdl/DisplayLossX11.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>

#include <cstring>

#include "platform/DisplayLoss.h"

namespace platform {
namespace {

// Xlib calls this once the connection is broken; it must not return (Xlib
// would call exit() after it).
int OnXConnectionLost(Display* display) { EndAfterDisplayLoss(display != nullptr ? DisplayString(display) : ""); }

}  // namespace

void WatchForDisplayLoss() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
  XSetIOErrorHandler(&OnXConnectionLost);
}

}  // namespace platform
