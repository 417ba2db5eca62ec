#pragma once
// The keyboard as a small state machine per key, fed once a poll from a raw
// key source, with auto-repeat after 0.5 s and then every 1/15 s. Every key
// that went down since the last poll is listed, in the order pressed, even
// one already released again: such a tap reads as down in this poll and as
// up in the next. Presses beyond the ten a list holds wait, in order, for
// the next poll.

#include <cstdint>

#include "engine/runtime/input/UIOKeyState.h"
#include "platform/InputSources.h"

class CUIOKeyboard {
 public:
  // The most codes a key list holds: the length of every key message's
  // list (a shorter list a caller builds ends early at a 0).
  static constexpr int kListCapacity = 10;
  // Calls visit with each code of a key message's list, in order: at most
  // kListCapacity codes, ending at the first 0. A null list holds none.
  template <typename Visit>
  static void ForEachListedKey(const uint8_t* list, Visit&& visit) {
    for (int i = 0; list != nullptr && i < kListCapacity && list[i] != 0; ++i) visit(list[i]);
  }
  // Key changes kept for later polls when more keys went down than a list holds.
  static constexpr int kPendingCapacity = 2 * platform::kMaxKeyEvents;

  // Reads from source (not owned); the source must outlive the keyboard.
  explicit CUIOKeyboard(platform::KeyboardSource* source);
  virtual ~CUIOKeyboard();

  // Asks the source for the keyboard and records the answer.
  bool Init();
  // One poll dtSeconds after the previous; returns whether the keyboard is acquired.
  bool Poll(float dtSeconds);
  // Takes a key out of this poll's lists (a hot key used it): it is no
  // longer listed as pressed or repeated, and stays silent, with no repeat
  // and no release, until it has been released.
  void Withhold(uint8_t code);
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
  // Whether a shift key was down when the pressed key at that list position
  // went down (false past the count).
  bool WasShiftedAt(int index) const { return index >= 0 && index < pressedCount_ && pressedShifted_[index]; }
  bool IsAnyKeyDown() const { return anyKeyDown_; }
  bool IsAcquired() const { return acquired_; }

  float repeatDelay = kRepeatDelaySeconds;
  float repeatInterval = kRepeatIntervalSeconds;

 private:
  void ClearStates();
  static void AddToList(uint8_t* list, uint8_t* count, uint8_t code);
  void AddPress(uint8_t code, bool shifted);
  // Takes the source's changes into the pending queue.
  void QueueEvents();
  // Replays the pending changes until the pressed list is full, listing the
  // presses and marking their keys in wentDown; the rest stays pending.
  void ListPresses(bool wentDown[platform::kKeyCount]);

  platform::KeyboardSource* source_;
  uint8_t raw_[platform::kKeyCount] = {};
  // The keys as the changes replayed so far leave them: the raw keys once
  // no change is left pending.
  uint8_t tracked_[platform::kKeyCount] = {};
  platform::KeyEvent pending_[kPendingCapacity];
  int pendingCount_ = 0;
  bool withheld_[platform::kKeyCount] = {};
  float heldSeconds_[platform::kKeyCount] = {};
  uint16_t keyState_[platform::kKeyCount] = {};
  uint8_t pressed_[kListCapacity] = {};
  uint8_t repeated_[kListCapacity] = {};
  uint8_t released_[kListCapacity] = {};
  bool pressedShifted_[kListCapacity] = {};
  uint8_t pressedCount_ = 0;
  uint8_t repeatedCount_ = 0;
  uint8_t releasedCount_ = 0;
  bool acquired_ = false;
  bool anyKeyDown_ = false;
};
