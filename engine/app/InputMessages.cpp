#include "engine/app/InputMessages.h"

#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"

namespace {

void PostToWindows(const InputTargets& targets, uint32_t id, intptr_t parameter) {
  GetGUIMSGService()->Post(id, targets.application, targets.windowManager, parameter, 0.0);
}

}  // namespace

uint16_t ReadKeyState(const void* keyboard, uint8_t code) {
  return static_cast<const CUIOKeyboard*>(keyboard)->GetKeyState(code);
}

void PostInputEvent(const InputTargets& targets, uint32_t id, intptr_t parameter) {
  GetGEMMSGService()->Post(id, targets.application, targets.application, parameter, 0.0);
  PostToWindows(targets, id, parameter);
}

uint32_t MouseButtonMessage(int button, int state) {
  static constexpr uint32_t kFirst[3] = {eMSG_UIOLMB_DOWN, eMSG_UIOMMB_DOWN, eMSG_UIORMB_DOWN};
  if (button < 0 || button > 2) return 0;
  switch (state) {
    case 1:
      return kFirst[button];
    case 2:
      return kFirst[button] + 1;
    case 4:
      return kFirst[button] + 2;
    case 8:
      return kFirst[button] + 3;
    default:
      return 0;
  }
}

uint32_t WheelMessage(int32_t delta) {
  if (delta == 0) return 0;
  return delta > 0 ? eMSG_UIOWHEEL_UP : eMSG_UIOWHEEL_DOWN;
}

void PostKeyMessages(const InputTargets& targets, const KeyLists& keys, bool toApplication) {
  auto post = [&](uint32_t id, const uint8_t* list) {
    const intptr_t parameter = reinterpret_cast<intptr_t>(list);
    if (toApplication) {
      PostInputEvent(targets, id, parameter);
    } else {
      PostToWindows(targets, id, parameter);
    }
  };
  if (keys.pressedCount > 0) post(eMSG_UIOKEYDOWN, keys.pressed);
  if (keys.repeatedCount > 0) post(eMSG_UIOKEYHELD, keys.repeated);
  if (keys.releasedCount > 0) post(eMSG_UIOKEYUP, keys.released);
}

uint32_t PostKeyboardPoll(const InputTargets& targets, CUIOKeyboard& keyboard, const HotKeySwitches& switches) {
  HotKeyKeys used;
  const uint32_t actions = DecideHotKeys(&ReadKeyState, &keyboard, switches, &used);
  for (int i = 0; i < used.count; ++i) keyboard.Withhold(used.codes[i]);
  const KeyLists keys{keyboard.GetPressed(),       keyboard.GetPressedCount(), keyboard.GetRepeated(),
                      keyboard.GetRepeatedCount(), keyboard.GetReleased(),     keyboard.GetReleasedCount()};
  // Typed keys are the text box's: the game behind it never sees them.
  PostKeyMessages(targets, keys, !switches.typing);
  return actions;
}

void PostMouseMessages(const InputTargets& targets, const int buttonStates[3], int32_t wheelDelta, float motionX,
                       float motionY) {
  for (int button = 0; button < 3; ++button) {
    if (uint32_t id = MouseButtonMessage(button, buttonStates[button])) {
      PostInputEvent(targets, id, 0);
    }
  }
  if (uint32_t id = WheelMessage(wheelDelta)) {
    int32_t delta = wheelDelta;
    PostInputEvent(targets, id, reinterpret_cast<intptr_t>(&delta));
  }
  if (motionX * motionX + motionY * motionY > 0.0f) PostInputEvent(targets, eMSG_UIOMOUSEMOVE, 0);
}

void PostPadMessages(const InputTargets& targets, const PadSnapshot& pad) {
  auto any = [&](uint16_t state) {
    for (uint16_t button : pad.buttons) {
      if (button == state) return true;
    }
    for (uint16_t direction : pad.directions) {
      if (direction == state) return true;
    }
    return false;
  };
  if (any(1)) PostInputEvent(targets, eMSG_UIOPADDOWN, 0);
  if (pad.buttonRepeat || pad.directionRepeat) PostInputEvent(targets, eMSG_UIOPADHELD, 0);
  if (any(0xFFFF)) PostInputEvent(targets, eMSG_UIOPADUP, 0);
}
