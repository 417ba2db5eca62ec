// Game-controller direction and button states.

#include "engine/runtime/input/UIOJoystick.h"

#include <cstring>

#include "engine/foundation/Clock.h"

CUIOJoystick::CUIOJoystick(platform::PadSource* source, int padIndex) : source_(source), padIndex_(padIndex) {}

CUIOJoystick::~CUIOJoystick() {
  if (source_ != nullptr && acquired_) source_->Close();
}

bool CUIOJoystick::Init() {
  acquired_ = source_ != nullptr && source_->Open(padIndex_) && source_->Acquire();
  if (acquired_) ClearStates();
  return acquired_;
}

bool CUIOJoystick::CheckLost() {
  acquired_ = source_ != nullptr && source_->Acquire();
  return acquired_;
}

void CUIOJoystick::ClearStates() {
  std::memset(directions_, 0, sizeof directions_);
  std::memset(axisHeldSeconds_, 0, sizeof axisHeldSeconds_);
  std::memset(buttons_, 0, sizeof buttons_);
  std::memset(buttonHeldSeconds_, 0, sizeof buttonHeldSeconds_);
}

uint16_t CUIOJoystick::GetDirectionState(int direction) const {
  return direction >= 0 && direction < 4 ? directions_[direction] : kKeyIdle;
}

uint16_t CUIOJoystick::GetButtonState(int button) const {
  return button >= 0 && button < kButtonCount ? buttons_[button] : kKeyIdle;
}

bool CUIOJoystick::IsDirection(uint16_t code) const {
  for (uint16_t state : directions_) {
    if (state == code) return true;
  }
  return false;
}

bool CUIOJoystick::IsButton(uint16_t code) const {
  for (uint16_t state : buttons_) {
    if (state == code) return true;
  }
  return false;
}

void CUIOJoystick::UpdateDirection(int direction, bool holds, float* axisHeld, float dtSeconds) {
  uint16_t& state = directions_[direction];
  if (state == kKeyIdle || state == kKeyWentUp) {
    state = holds ? kKeyWentDown : kKeyIdle;
  } else if (holds) {
    state = NextHeldState(state);
    if (AdvanceRepeat(axisHeld, dtSeconds, repeatDelay, repeatInterval)) directionRepeat_ = true;
  } else {
    state = kKeyWentUp;
  }
}

bool CUIOJoystick::Poll() { return Poll(Clock::Instance().GetGameDelta()); }

bool CUIOJoystick::Poll(float dtSeconds) {
  buttonChanged_ = buttonRepeat_ = directionRepeat_ = anyButtonDown_ = false;
  if (!acquired_) acquired_ = source_ != nullptr && source_->Acquire();
  if (acquired_) acquired_ = source_->Read(&raw_);
  if (!acquired_) {
    ClearStates();
    return false;
  }

  const int32_t x = raw_.x;
  const int32_t y = raw_.y;
  if (x >= -kDeadZone && x <= kDeadZone) axisHeldSeconds_[0] = 0.0f;
  if (y >= -kDeadZone && y <= kDeadZone) axisHeldSeconds_[1] = 0.0f;
  UpdateDirection(kLeft, x < -kDeadZone, &axisHeldSeconds_[0], dtSeconds);
  UpdateDirection(kRight, x > kDeadZone, &axisHeldSeconds_[0], dtSeconds);
  UpdateDirection(kUp, y < -kDeadZone, &axisHeldSeconds_[1], dtSeconds);
  UpdateDirection(kDown, y > kDeadZone, &axisHeldSeconds_[1], dtSeconds);

  for (int i = 0; i < kButtonCount; ++i) {
    uint16_t& state = buttons_[i];
    float& held = buttonHeldSeconds_[i];
    if (raw_.buttons[i] & platform::kDownBit) {
      buttonChanged_ = true;
      anyButtonDown_ = true;
      if (state == kKeyIdle || state == kKeyWentUp) {
        state = kKeyWentDown;
        held = 0.0f;
      } else {
        state = NextHeldState(state);
        if (AdvanceRepeat(&held, dtSeconds, repeatDelay, repeatInterval)) buttonRepeat_ = true;
      }
    } else {
      if (state != kKeyIdle) buttonChanged_ = true;  // went up, or back to idle
      state = state == kKeyIdle || state == kKeyWentUp ? kKeyIdle : kKeyWentUp;
      held = 0.0f;
    }
  }
  return true;
}
