#pragma once
// The keyboard as a small state machine per key, fed once a poll from a raw
// key source, with auto-repeat after 0.5 s and then every 1/15 s.

#include <cstdint>

#include "engine/runtime/input/UIOKeyState.h"
#include "platform/InputSources.h"

class CUIOKeyboard {
 public:
  static constexpr int kListCapacity = 10;

  // Reads from source (not owned); the source must outlive the keyboard.
  explicit CUIOKeyboard(platform::KeyboardSource* source);
  virtual ~CUIOKeyboard();

  // Asks the source for the keyboard and records the answer.
  bool Init();
  // One poll dtSeconds after the previous; returns whether the keyboard is acquired.
  bool Poll(float dtSeconds);
  // Tries to acquire again and records the result (true when acquired); a
  // device that had been lost and comes back is noted on the debugger output.
  bool CheckLost();

  // State code of one key (see UIOKeyState.h).
  uint16_t GetKeyState(uint8_t code) const { return keyState_[code]; }
  // Keys that went down, fired a repeat, or went up in the last poll.
  const uint8_t* GetPressed() const { return pressed_; }
  const uint8_t* GetRepeated() const { return repeated_; }
  const uint8_t* GetReleased() const { return released_; }
  uint8_t GetPressedCount() const { return pressedCount_; }
  uint8_t GetRepeatedCount() const { return repeatedCount_; }
  uint8_t GetReleasedCount() const { return releasedCount_; }
  bool IsAnyKeyDown() const { return anyKeyDown_; }
  bool IsAcquired() const { return acquired_; }

  float repeatDelay = kRepeatDelaySeconds;
  float repeatInterval = kRepeatIntervalSeconds;

 private:
  void ClearStates();
  static void AddToList(uint8_t* list, uint8_t* count, uint8_t code);

  platform::KeyboardSource* source_;
  uint8_t raw_[platform::kKeyCount] = {};
  float heldSeconds_[platform::kKeyCount] = {};
  uint16_t keyState_[platform::kKeyCount] = {};
  uint8_t pressed_[kListCapacity] = {};
  uint8_t repeated_[kListCapacity] = {};
  uint8_t released_[kListCapacity] = {};
  uint8_t pressedCount_ = 0;
  uint8_t repeatedCount_ = 0;
  uint8_t releasedCount_ = 0;
  bool acquired_ = false;
  bool anyKeyDown_ = false;
};
