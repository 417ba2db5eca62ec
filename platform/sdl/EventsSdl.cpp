// Window and system events from SDL's queue, and the signals that end the
// program as SDL's own (SIGINT, SIGTERM) do.

#include <SDL2/SDL.h>
#include <signal.h>

#include "platform/Events.h"

namespace platform {
namespace {

volatile sig_atomic_t gHangUp = 0;
bool gHangUpHandled = false;

// Only a flag: everything else happens where the events are taken.
void OnHangUp(int) { gHangUp = 1; }

bool TakeHangUp() {
  if (gHangUp == 0) return false;
  gHangUp = 0;
  return true;
}

// Installs the handling only where the signal still has its default one, so
// a hang-up ignored from the start (nohup) stays ignored.
bool StillDefault(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
         current.sa_handler == SIG_DFL;
}

}  // namespace

void TreatHangUpAsQuit() {
  if (gHangUpHandled) return;
  gHangUpHandled = true;
  if (StillDefault(SIGHUP)) {
    struct sigaction action {};
    action.sa_handler = &OnHangUp;
    sigemptyset(&action.sa_mask);
    // A save under way when the signal comes goes on undisturbed.
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
  }
  // A line written to a pipe whose reader has gone then fails with EPIPE,
  // as one written to a terminal that hung up fails with EIO.
  if (StillDefault(SIGPIPE)) signal(SIGPIPE, SIG_IGN);
}

void WaitForEvent(uint32_t timeoutMs) {
  if (gHangUp != 0) return;
  // Without SDL's events there is nothing to wait on; the time passes all the same.
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    SDL_Delay(timeoutMs);
    return;
  }
  SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));
}

bool PollEvent(Event* event) {
  if (TakeHangUp()) {
    *event = Event{};
    event->type = EventType::Quit;
    return true;
  }
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
