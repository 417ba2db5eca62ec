#pragma once
// Input sources whose state a test or a replay sets by hand.

#include <string>
#include <vector>

#include "platform/InputSources.h"

namespace platform {

class ScriptedKeyboardSource final : public KeyboardSource {
 public:
  bool acquired = true;
  uint8_t keys[kKeyCount] = {};
  // Changes not yet taken, oldest first (at most kMaxKeyEvents, as a real
  // keyboard keeps).
  std::vector<KeyEvent> events;

  // Presses or releases one key code; a change is also kept as an event.
  void Set(uint8_t code, bool down);
  // Presses and releases a key before the next read.
  void Tap(uint8_t code) {
    Set(code, true);
    Set(code, false);
  }
  bool Acquire() override { return acquired; }
  bool Read(uint8_t out[kKeyCount]) override;
  int TakeEvents(KeyEvent out[kMaxKeyEvents]) override;
};

class ScriptedMouseSource final : public MouseSource {
 public:
  bool acquired = true;
  MouseRawState state;  // movement is handed out once, then reset

  bool Acquire() override { return acquired; }
  bool Read(MouseRawState* out) override;
};

class ScriptedPadSource final : public PadSource {
 public:
  bool acquired = true;
  std::vector<std::string> names;  // one per attached controller
  int opened = -1;
  PadRawState state;

  int Count() override { return static_cast<int>(names.size()); }
  std::string Name(int index) override;
  bool Open(int index) override;
  void Close() override { opened = -1; }
  bool Acquire() override { return acquired && opened >= 0; }
  bool Read(PadRawState* out) override;
};

}  // namespace platform
