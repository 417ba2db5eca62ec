// Keyboard, mouse and game-controller sources over SDL2.

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/InputSources.h"
#include "platform/sdl/SdlInputState.h"

namespace platform {
namespace {

class SdlKeyboardSource final : public KeyboardSource {
 public:
  SdlKeyboardSource() { StartSdlInputState(); }
  bool Acquire() override { return SdlInputHasFocus(); }
  bool Read(uint8_t keys[kKeyCount]) override {
    if (!Acquire()) return false;
    CopySdlKeys(keys);
    return true;
  }
  int TakeEvents(KeyEvent out[kMaxKeyEvents]) override {
    // Changes from before a focus loss are taken and dropped.
    const int count = TakeSdlKeyEvents(out);
    return Acquire() ? count : 0;
  }
};

class SdlMouseSource final : public MouseSource {
 public:
  SdlMouseSource() { StartSdlInputState(); }
  bool Acquire() override { return SdlInputHasFocus(); }
  bool Read(MouseRawState* state) override {
    if (!Acquire()) return false;
    TakeSdlMouse(state);
    return true;
  }
};

int32_t ScaleAxis(Sint16 value) {
  // SDL reports -32768..32767; the engine works in -128..128.
  int32_t scaled = static_cast<int32_t>(value) * kPadAxisRange / 32767;
  return std::clamp(scaled, -kPadAxisRange, kPadAxisRange);
}

class SdlPadSource final : public PadSource {
 public:
  SdlPadSource() {
    StartSdlInputState();
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  }
  ~SdlPadSource() override {
    Close();
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  int Count() override { return started_ ? std::min(SDL_NumJoysticks(), kMaxPads) : 0; }

  std::string Name(int index) override {
    if (index < 0 || index >= Count()) return {};
    const char* name = SDL_JoystickNameForIndex(index);
    return name ? name : "";
  }

  bool Open(int index) override {
    Close();
    if (index < 0 || index >= Count()) return false;
    pad_ = SDL_JoystickOpen(index);
    return pad_ != nullptr;
  }

  void Close() override {
    if (pad_) SDL_JoystickClose(pad_);
    pad_ = nullptr;
  }

  bool Acquire() override { return pad_ && SDL_JoystickGetAttached(pad_) && SdlInputHasFocus(); }

  bool Read(PadRawState* state) override {
    if (!Acquire()) return false;
    SDL_JoystickUpdate();
    *state = PadRawState{};
    int32_t* axes[] = {&state->x, &state->y, &state->z, &state->rx, &state->ry, &state->rz};
    int axisCount = std::min(SDL_JoystickNumAxes(pad_), 6);
    for (int i = 0; i < axisCount; ++i) *axes[i] = ScaleAxis(SDL_JoystickGetAxis(pad_, i));
    int buttonCount = std::min(SDL_JoystickNumButtons(pad_), kPadButtonCount);
    for (int i = 0; i < buttonCount; ++i) {
      state->buttons[i] = SDL_JoystickGetButton(pad_, i) ? kDownBit : 0;
    }
    return true;
  }

 private:
  bool started_ = false;
  SDL_Joystick* pad_ = nullptr;
};

}  // namespace

std::unique_ptr<KeyboardSource> CreateSdlKeyboardSource() { return std::make_unique<SdlKeyboardSource>(); }
std::unique_ptr<MouseSource> CreateSdlMouseSource() { return std::make_unique<SdlMouseSource>(); }
std::unique_ptr<PadSource> CreateSdlPadSource() { return std::make_unique<SdlPadSource>(); }

}  // namespace platform
