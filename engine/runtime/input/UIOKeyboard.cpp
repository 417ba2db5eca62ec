// Keyboard key states and repeat timing.

#include "engine/runtime/input/UIOKeyboard.h"

#include <algorithm>
#include <cstring>

#include "platform/DebugOutput.h"
#include "platform/KeyCodes.h"

CUIOKeyboard::CUIOKeyboard(platform::KeyboardSource* source) : source_(source) {}

CUIOKeyboard::~CUIOKeyboard() { ClearStates(); }

bool CUIOKeyboard::Init() {
  acquired_ = source_ != nullptr && source_->Acquire();
  if (acquired_) ClearStates();
  return acquired_;
}

bool CUIOKeyboard::CheckLost() {
  bool wasAcquired = acquired_;
  acquired_ = source_ != nullptr && source_->Acquire();
  if (!wasAcquired && acquired_) platform::DebugOutput("[UIO] Lost keyboard...\n");
  return acquired_;
}

void CUIOKeyboard::ClearStates() {
  std::memset(keyState_, 0, sizeof keyState_);
  std::memset(heldSeconds_, 0, sizeof heldSeconds_);
  std::memset(tracked_, 0, sizeof tracked_);
  std::memset(withheld_, 0, sizeof withheld_);
  pendingCount_ = 0;
}

void CUIOKeyboard::AddToList(uint8_t* list, uint8_t* count, uint8_t code) {
  // Keys beyond the tenth in one poll still change state; they are only not listed.
  if (*count < kListCapacity) list[(*count)++] = code;
}

void CUIOKeyboard::AddPress(uint8_t code, bool shifted) {
  if (pressedCount_ < kListCapacity) pressedShifted_[pressedCount_] = shifted;
  AddToList(pressed_, &pressedCount_, code);
}

namespace {

bool IsDown(uint8_t raw) { return (raw & platform::kDownBit) != 0; }

bool ShiftDown(const uint8_t raw[platform::kKeyCount]) {
  return IsDown(raw[platform::key::LeftShift]) || IsDown(raw[platform::key::RightShift]);
}

// Drops every entry of code from a list, keeping the order and zeros past the count.
void RemoveFromList(uint8_t* list, uint8_t* count, bool* flags, uint8_t code) {
  uint8_t kept = 0;
  for (uint8_t i = 0; i < *count; ++i) {
    if (list[i] == code) continue;
    if (flags != nullptr) flags[kept] = flags[i];
    list[kept++] = list[i];
  }
  for (uint8_t i = kept; i < *count; ++i) {
    list[i] = 0;
    if (flags != nullptr) flags[i] = false;
  }
  *count = kept;
}

}  // namespace

void CUIOKeyboard::QueueEvents() {
  // A source that is not acquired drops its changes.
  platform::KeyEvent taken[platform::kMaxKeyEvents];
  int count = source_ != nullptr ? source_->TakeEvents(taken) : 0;
  if (count < 0 || count > platform::kMaxKeyEvents) count = 0;
  // Far more than a keyboard makes between polls: the excess is dropped,
  // and the keys catch up with their state once nothing is pending.
  count = std::min(count, kPendingCapacity - pendingCount_);
  std::copy_n(taken, count, pending_ + pendingCount_);
  pendingCount_ += count;
}

void CUIOKeyboard::ListPresses(bool wentDown[platform::kKeyCount]) {
  // The replay knows, for each press, whether a shift key was down then.
  int used = 0;
  for (; used < pendingCount_; ++used) {
    const platform::KeyEvent& event = pending_[used];
    if (!event.down) {
      tracked_[event.code] = 0;
      continue;
    }
    // A second "down" without an "up" between is no new press.
    if (IsDown(tracked_[event.code])) continue;
    if (pressedCount_ == kListCapacity) break;
    tracked_[event.code] = platform::kDownBit;
    wentDown[event.code] = true;
    withheld_[event.code] = false;
    AddPress(event.code, ShiftDown(tracked_));
  }
  if (used == 0) return;
  std::copy(pending_ + used, pending_ + pendingCount_, pending_);
  pendingCount_ -= used;
}

void CUIOKeyboard::Withhold(uint8_t code) {
  withheld_[code] = true;
  RemoveFromList(pressed_, &pressedCount_, pressedShifted_, code);
  RemoveFromList(repeated_, &repeatedCount_, nullptr, code);
}

bool CUIOKeyboard::Poll(float dtSeconds) {
  if (!acquired_) acquired_ = source_ != nullptr && source_->Acquire();
  if (acquired_) acquired_ = source_->Read(raw_);
  QueueEvents();
  pressedCount_ = repeatedCount_ = releasedCount_ = 0;
  // A key message carries only a list's address: a reader of all ten codes
  // must find zeros past the count, never the keys of an earlier poll.
  std::memset(pressed_, 0, sizeof pressed_);
  std::memset(repeated_, 0, sizeof repeated_);
  std::memset(released_, 0, sizeof released_);
  std::memset(pressedShifted_, 0, sizeof pressedShifted_);
  anyKeyDown_ = false;
  if (!acquired_) {
    // Focus went elsewhere: forget every key without reporting releases.
    ClearStates();
    return false;
  }

  bool wentDown[platform::kKeyCount] = {};
  ListPresses(wentDown);
  if (pendingCount_ == 0) std::memcpy(tracked_, raw_, sizeof tracked_);
  for (int code = 0; code < platform::kKeyCount; ++code) {
    uint16_t& state = keyState_[code];
    float& held = heldSeconds_[code];
    uint8_t key = static_cast<uint8_t>(code);
    if (wentDown[code]) {
      // Down in this poll even when already released again: the release
      // shows in the next poll.
      anyKeyDown_ = true;
      state = kKeyWentDown;
      held = 0.0f;
    } else if (IsDown(tracked_[code])) {
      anyKeyDown_ = true;
      if (state == kKeyIdle || state == kKeyWentUp) {
        // Down with no change seen: a source that keeps no changes, or a
        // key held while the focus came back.
        state = kKeyWentDown;
        held = 0.0f;
        withheld_[code] = false;
        AddPress(key, ShiftDown(tracked_));
      } else {
        state = NextHeldState(state);
        if (AdvanceRepeat(&held, dtSeconds, repeatDelay, repeatInterval) && !withheld_[code]) {
          AddToList(repeated_, &repeatedCount_, key);
        }
      }
    } else {
      if (state == kKeyWentUp) {
        state = kKeyIdle;
      } else if (state != kKeyIdle) {
        state = kKeyWentUp;
        if (!withheld_[code]) AddToList(released_, &releasedCount_, key);
        withheld_[code] = false;
      }
      held = 0.0f;
    }
  }
  return true;
}
