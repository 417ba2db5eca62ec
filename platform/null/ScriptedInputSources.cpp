// Input sources driven by hand.

#include "platform/null/ScriptedInputSources.h"

#include <algorithm>
#include <cstring>

namespace platform {

void ScriptedKeyboardSource::Set(uint8_t code, bool down) {
  const uint8_t value = down ? kDownBit : 0;
  if (keys[code] == value) return;
  keys[code] = value;
  if (events.size() < static_cast<size_t>(kMaxKeyEvents)) events.push_back(KeyEvent{code, down});
}

bool ScriptedKeyboardSource::Read(uint8_t out[kKeyCount]) {
  if (!acquired) return false;
  std::memcpy(out, keys, sizeof keys);
  return true;
}

int ScriptedKeyboardSource::TakeEvents(KeyEvent out[kMaxKeyEvents]) {
  const int count = acquired ? static_cast<int>(events.size()) : 0;
  std::copy_n(events.begin(), count, out);
  events.clear();
  return count;
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
