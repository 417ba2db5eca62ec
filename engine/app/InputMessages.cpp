#include "engine/app/InputMessages.h"

#include "engine/runtime/messages/MSGService.h"

void PostInputEvent(const InputTargets& targets, uint32_t id, intptr_t parameter) {
  GetGEMMSGService()->Post(id, targets.application, targets.application, parameter, 0.0);
  GetGUIMSGService()->Post(id, targets.application, targets.windowManager, parameter, 0.0);
}

uint32_t MouseButtonMessage(int button, int state) {
  static constexpr uint32_t kFirst[3] = {eMSG_UIOLMB_DOWN, eMSG_UIOMMB_DOWN, eMSG_UIORMB_DOWN};
  if (button < 0 || button > 2) return 0;
  switch (state) {
    case 1: return kFirst[button];
    case 2: return kFirst[button] + 1;
    case 4: return kFirst[button] + 2;
    case 8: return kFirst[button] + 3;
    default: return 0;
  }
}

uint32_t WheelMessage(int32_t delta) {
  if (delta == 0) return 0;
  return delta > 0 ? eMSG_UIOWHEEL_UP : eMSG_UIOWHEEL_DOWN;
}

void PostKeyMessages(const InputTargets& targets, const KeyLists& keys) {
  if (keys.pressedCount > 0) {
    PostInputEvent(targets, eMSG_UIOKEYDOWN, reinterpret_cast<intptr_t>(keys.pressed));
  }
  if (keys.repeatedCount > 0) {
    PostInputEvent(targets, eMSG_UIOKEYHELD, reinterpret_cast<intptr_t>(keys.repeated));
  }
  if (keys.releasedCount > 0) {
    PostInputEvent(targets, eMSG_UIOKEYUP, reinterpret_cast<intptr_t>(keys.released));
  }
}

void PostMouseMessages(const InputTargets& targets, const int buttonStates[3], int32_t wheelDelta,
                       float motionX, float motionY) {
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
