#pragma once
// Turning polled input into messages. Every input event is posted twice with
// no delay, so it is delivered inside the post: first on the GEM service from
// the application to itself, then on the GUI service to the window manager.

#include <cstdint>

#include "engine/app/HotKeys.h"

class CUIOKeyboard;

// Where input events go.
struct InputTargets {
  int32_t application = -1;    // receiver id of the application (GEM)
  int32_t windowManager = -1;  // receiver id of the window manager (GUI)
};

// The key state reader (KeyStateReader) over a CUIOKeyboard.
uint16_t ReadKeyState(const void* keyboard, uint8_t code);

// Posts one input event to the application and then to the window manager.
void PostInputEvent(const InputTargets& targets, uint32_t id, intptr_t parameter);

// The message of a mouse button state (button 0 left, 1 middle, 2 right;
// state 1 down, 2 held, 4 up, 8 double click); 0 for any other state.
uint32_t MouseButtonMessage(int button, int state);

// The wheel message for a non-zero delta (positive turns up); 0 for no turn.
uint32_t WheelMessage(int32_t delta);

// One frame of keyboard lists: codes that went down, repeated and went up.
struct KeyLists {
  const uint8_t* pressed = nullptr;
  uint8_t pressedCount = 0;
  const uint8_t* repeated = nullptr;
  uint8_t repeatedCount = 0;
  const uint8_t* released = nullptr;
  uint8_t releasedCount = 0;
};

// Posts key down, key held and key up for the non-empty lists; the parameter
// is the list's address. Without toApplication only the window manager gets
// them.
void PostKeyMessages(const InputTargets& targets, const KeyLists& keys, bool toApplication = true);

// One polled keyboard into messages. The hot keys are decided first and the
// keys that made them withheld, so that they reach nobody else; the rest is
// posted, to the GUI alone while a text box takes the typing. Returns the
// hot-key actions.
uint32_t PostKeyboardPoll(const InputTargets& targets, CUIOKeyboard& keyboard, const HotKeySwitches& switches);

// Posts the three buttons, the wheel (parameter: address of the delta, valid
// during delivery) and the motion of one mouse poll.
void PostMouseMessages(const InputTargets& targets, const int buttonStates[3], int32_t wheelDelta, float motionX,
                       float motionY);

// One poll of the pad: its first six button states and four direction states
// (1 went down, 0xFFFF went up) and its two repeat indicators.
struct PadSnapshot {
  uint16_t buttons[6] = {};
  uint16_t directions[4] = {};
  bool buttonRepeat = false;
  bool directionRepeat = false;
};

// Posts pad down, pad held and pad up as the snapshot asks (parameter 0).
void PostPadMessages(const InputTargets& targets, const PadSnapshot& pad);
