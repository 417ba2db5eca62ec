// Keyboard, mouse and focus state kept from SDL events.

#include "platform/sdl/SdlInputState.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/KeyCodes.h"

namespace platform {
namespace {

// The X11 back end takes a key let go and pressed again within a couple of
// milliseconds (as synthetic input does) for the key's own auto-repeat and
// drops the release. No system repeats a key this soon after its press, so
// a "repeat" within this time of the key's last press is a press of its own.
constexpr uint32_t kRetapMs = 50;

struct InputState {
  uint8_t keys[kKeyCount] = {};
  // When each key last went down, in SDL's milliseconds.
  uint32_t pressedAtMs[kKeyCount] = {};
  // The changes not yet taken, oldest first.
  KeyEvent keyEvents[kMaxKeyEvents];
  int keyEventCount = 0;
  MouseRawState mouse;
  bool focused = true;
};

InputState gState;

void ClearHeldInput() {
  std::memset(gState.keys, 0, sizeof gState.keys);
  gState.keyEventCount = 0;
  gState.mouse = MouseRawState{};
}

void RecordKey(uint8_t code, bool down) {
  gState.keys[code] = down ? kDownBit : 0;
  if (gState.keyEventCount < kMaxKeyEvents) gState.keyEvents[gState.keyEventCount++] = KeyEvent{code, down};
}

int Watch(void*, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      uint8_t code = KeyCodeFromSdlScancode(event->key.keysym.scancode);
      if (code == 0) break;
      const bool down = event->type == SDL_KEYDOWN;
      if (down && event->key.repeat != 0) {
        // The system's own key repeat is no new press: the engine times its
        // repeats itself. A quick second tap read as one is.
        if (event->key.timestamp - gState.pressedAtMs[code] >= kRetapMs) break;
        RecordKey(code, false);
      }
      if (down) gState.pressedAtMs[code] = event->key.timestamp;
      RecordKey(code, down);
      break;
    }
    case SDL_MOUSEMOTION:
      gState.mouse.dx += event->motion.xrel;
      gState.mouse.dy += event->motion.yrel;
      break;
    case SDL_MOUSEWHEEL: {
      int notches = event->wheel.y;
      if (event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      gState.mouse.wheel += notches * kWheelNotch;
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      // Engine order is left, right, middle, then the fourth button.
      int slot = -1;
      switch (event->button.button) {
        case SDL_BUTTON_LEFT:
          slot = 0;
          break;
        case SDL_BUTTON_RIGHT:
          slot = 1;
          break;
        case SDL_BUTTON_MIDDLE:
          slot = 2;
          break;
        case SDL_BUTTON_X1:
          slot = 3;
          break;
        default:
          break;
      }
      if (slot >= 0) gState.mouse.buttons[slot] = event->type == SDL_MOUSEBUTTONDOWN ? kDownBit : 0;
      break;
    }
    case SDL_WINDOWEVENT:
      if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) gState.focused = true;
      if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        gState.focused = false;
        // Keys released while another window has the focus never reach us.
        ClearHeldInput();
      }
      break;
    default:
      break;
  }
  return 1;
}

}  // namespace

void StartSdlInputState() {
  SDL_InitSubSystem(SDL_INIT_EVENTS);
  // SDL forgets its watches whenever its event loop stops, so install ours
  // again on every start (removing it first keeps it from running twice).
  SDL_DelEventWatch(Watch, nullptr);
  SDL_AddEventWatch(Watch, nullptr);
}

void SetSdlInputFocus(bool focused) {
  gState.focused = focused;
  if (!focused) ClearHeldInput();
}

bool SdlInputHasFocus() { return gState.focused; }

void CopySdlKeys(uint8_t keys[kKeyCount]) { std::memcpy(keys, gState.keys, sizeof gState.keys); }

int TakeSdlKeyEvents(KeyEvent out[kMaxKeyEvents]) {
  const int count = gState.keyEventCount;
  std::copy_n(gState.keyEvents, count, out);
  gState.keyEventCount = 0;
  return count;
}

void TakeSdlMouse(MouseRawState* state) {
  *state = gState.mouse;
  gState.mouse.dx = 0;
  gState.mouse.dy = 0;
  gState.mouse.wheel = 0;
}

}  // namespace platform
