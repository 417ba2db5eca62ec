#include "platform/sdl/DisplayLossX11.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstring>

#include "platform/DisplayLoss.h"

namespace platform {
namespace {

// The X id of the program's window (0: none watched), and the error handler
// that was installed before ours (SDL's, which ends in Xlib's default).
XID g_watchedWindow = 0;
XErrorHandler g_previousErrorHandler = nullptr;

const char* NameOf(Display* display) { return display != nullptr ? DisplayString(display) : ""; }

// Xlib calls this once the connection is broken; it must not return (Xlib
// would call exit() after it).
int OnXConnectionLost(Display* display) { EndAfterDisplayLoss(NameOf(display)); }

// A window destroyed by another program is first met as an error about it:
// SDL reads a property of it while it pumps events, a swap or a GL call
// draws to it. Every request about a window that is gone fails, whichever
// comes first, so the error is where the loss is seen wherever it happens
// (an event telling of it would reach the loop only after SDL had already
// met the error). An error handler may make no X call; the end makes none.
int OnXError(Display* display, XErrorEvent* error) {
  if (g_watchedWindow != 0 && error != nullptr && error->resourceid == g_watchedWindow) {
    EndAfterDisplayLoss(NameOf(display), DisplayLoss::Window);
  }
  return g_previousErrorHandler != nullptr ? g_previousErrorHandler(display, error) : 0;
}

bool OnX11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

}  // namespace

void WatchForDisplayLoss() {
  if (!OnX11()) return;
  XSetIOErrorHandler(&OnXConnectionLost);
  // SDL installs its own handler when its video starts (and puts back the
  // one before it when it stops): ours goes in front of it, never twice.
  const XErrorHandler previous = XSetErrorHandler(&OnXError);
  if (previous != &OnXError) g_previousErrorHandler = previous;
}

void WatchWindowForDestruction(SDL_Window* window) {
  g_watchedWindow = 0;
  if (window == nullptr || !OnX11()) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    g_watchedWindow = info.info.x11.window;
  }
}

}  // namespace platform
