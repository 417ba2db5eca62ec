// Input sources driven by hand.

#include "platform/ScriptedInputSources.h"

#include <cstring>

namespace platform {

bool ScriptedKeyboardSource::Read(uint8_t out[kKeyCount]) {
  if (!acquired) return false;
  std::memcpy(out, keys, sizeof keys);
  return true;
}

bool ScriptedMouseSource::Read(MouseRawState* out) {
  if (!acquired) return false;
  *out = state;
  state.dx = 0;
  state.dy = 0;
  state.wheel = 0;
  return true;
}

std::string ScriptedPadSource::Name(int index) {
  if (index < 0 || index >= Count()) return {};
  return names[index];
}

bool ScriptedPadSource::Open(int index) {
  if (index < 0 || index >= Count()) return false;
  opened = index;
  return true;
}

bool ScriptedPadSource::Read(PadRawState* out) {
  if (!Acquire()) return false;
  *out = state;
  return true;
}

}  // namespace platform
