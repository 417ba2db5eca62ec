#pragma once
// The keyboard, mouse and focus state that SDL events keep up to date. An
// event watch sees every event as it enters SDL's queue (including those that
// tests push), so the state does not depend on who drains the queue.

#include <cstdint>

#include "platform/InputSources.h"

namespace platform {

// Starts SDL's event subsystem and (re)installs the event watch.
void StartSdlInputState();
// Marks whether the program's window has the keyboard focus.
void SetSdlInputFocus(bool focused);
bool SdlInputHasFocus();
// Copies the key bytes (kDownBit when down).
void CopySdlKeys(uint8_t keys[kKeyCount]);
// Moves the key changes since the previous take into out, oldest first.
int TakeSdlKeyEvents(KeyEvent out[kMaxKeyEvents]);
// Movement since the previous take, and the buttons now; resets the movement.
void TakeSdlMouse(MouseRawState* state);

}  // namespace platform
