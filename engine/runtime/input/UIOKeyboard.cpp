// Keyboard key states and repeat timing.

#include "engine/runtime/input/UIOKeyboard.h"

#include "platform/DebugOutput.h"

#include <cstring>

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
}

void CUIOKeyboard::AddToList(uint8_t* list, uint8_t* count, uint8_t code) {
  // Keys beyond the tenth in one poll still change state; they are only not listed.
  if (*count < kListCapacity) list[(*count)++] = code;
}

bool CUIOKeyboard::Poll(float dtSeconds) {
  if (!acquired_) acquired_ = source_ != nullptr && source_->Acquire();
  if (acquired_) acquired_ = source_->Read(raw_);
  pressedCount_ = repeatedCount_ = releasedCount_ = 0;
  // A key message carries only a list's address: a reader of all ten codes
  // must find zeros past the count, never the keys of an earlier poll.
  std::memset(pressed_, 0, sizeof pressed_);
  std::memset(repeated_, 0, sizeof repeated_);
  std::memset(released_, 0, sizeof released_);
  anyKeyDown_ = false;
  if (!acquired_) {
    // Focus went elsewhere: forget every key without reporting releases.
    std::memset(keyState_, 0, sizeof keyState_);
    return false;
  }

  for (int code = 0; code < platform::kKeyCount; ++code) {
    uint16_t& state = keyState_[code];
    float& held = heldSeconds_[code];
    uint8_t key = static_cast<uint8_t>(code);
    if (raw_[code] & platform::kDownBit) {
      anyKeyDown_ = true;
      if (state == kKeyIdle || state == kKeyWentUp) {
        state = kKeyWentDown;
        held = 0.0f;
        AddToList(pressed_, &pressedCount_, key);
      } else {
        state = NextHeldState(state);
        if (AdvanceRepeat(&held, dtSeconds, repeatDelay, repeatInterval)) {
          AddToList(repeated_, &repeatedCount_, key);
        }
      }
    } else {
      if (state == kKeyWentUp) {
        state = kKeyIdle;
      } else if (state != kKeyIdle) {
        state = kKeyWentUp;
        AddToList(released_, &releasedCount_, key);
      }
      held = 0.0f;
    }
  }
  return true;
}
