// Window and system events from SDL's queue.

#include <SDL2/SDL.h>

#include "platform/Events.h"

namespace platform {

void WaitForEvent(uint32_t timeoutMs) {
  // Without SDL's events there is nothing to wait on; the time passes all the same.
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    SDL_Delay(timeoutMs);
    return;
  }
  SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));
}

bool PollEvent(Event* event) {
  SDL_Event sdl;
  if (!SDL_PollEvent(&sdl)) return false;
  *event = Event{};
  event->type = EventType::Other;
  switch (sdl.type) {
    case SDL_QUIT:
      event->type = EventType::Quit;
      break;
    case SDL_MOUSEMOTION:
      event->type = EventType::MouseMoved;
      event->x = sdl.motion.x;
      event->y = sdl.motion.y;
      break;
    case SDL_WINDOWEVENT:
      switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          event->type = EventType::WindowClose;
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          event->type = EventType::Minimised;
          break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
          event->type = EventType::Restored;
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          event->type = EventType::FocusGained;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          event->type = EventType::FocusLost;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // A minimised window reports no usable size; keep the last one.
          if (sdl.window.data1 > 0 && sdl.window.data2 > 0) {
            event->type = EventType::Resized;
            event->width = sdl.window.data1;
            event->height = sdl.window.data2;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return true;
}

}  // namespace platform
