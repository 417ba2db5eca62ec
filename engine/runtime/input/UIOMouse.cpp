// Mouse button states and the shared double-click countdown.

#include "engine/runtime/input/UIOMouse.h"

#include "platform/DebugOutput.h"

CUIOMouse::CUIOMouse(platform::MouseSource* source) : source_(source) {}

bool CUIOMouse::Init() {
  acquired_ = source_ != nullptr && source_->Acquire();
  return acquired_;
}

bool CUIOMouse::CheckLost() {
  bool wasAcquired = acquired_;
  acquired_ = source_ != nullptr && source_->Acquire();
  if (!wasAcquired && acquired_) platform::DebugOutput("[UIO] Lost mouse...\n");
  return acquired_;
}

void CUIOMouse::ClearButtons() {
  left_ = right_ = middle_ = kMouseIdle;
  doubleClickCountdown_ = 0;
  raw_ = platform::MouseRawState{};
}

int32_t CUIOMouse::NextState(int32_t state, bool down) {
  if (!down) return (state == kMouseDown || state == kMouseHeld) ? kMouseUp : kMouseIdle;
  buttonActivity_ = true;
  switch (state) {
    case kMouseIdle:
    case kMouseUp:
      // The countdown is shared: a press of any button soon after a press of
      // any other counts as a double click.
      if (doubleClickCountdown_ > 0) {
        doubleClickCountdown_ = 0;
        return kMouseDoubleClick;
      }
      doubleClickCountdown_ = kDoubleClickPolls;
      return kMouseDown;
    case kMouseDoubleClick:
      return kMouseDoubleClick;
    default:
      return kMouseHeld;
  }
}

bool CUIOMouse::Poll() {
  if (!acquired_) acquired_ = source_ != nullptr && source_->Acquire();
  if (acquired_) acquired_ = source_->Read(&raw_);
  buttonActivity_ = false;
  if (!acquired_) {
    // Buttons released while another window had the focus never reach us.
    ClearButtons();
    return false;
  }
  if (doubleClickCountdown_ > 0) --doubleClickCountdown_;
  left_ = NextState(left_, raw_.buttons[0] != 0);
  right_ = NextState(right_, raw_.buttons[1] != 0);
  middle_ = NextState(middle_, raw_.buttons[2] != 0);
  return true;
}

void CUIOMouse::Accumulate() {
  x_ += raw_.dx;
  y_ += raw_.dy;
  z_ += raw_.wheel;
  if (x_ < 0) x_ = 1024;
  if (x_ > 1024) x_ = 0;
  if (y_ < 0) y_ = 768;
  if (y_ > 768) y_ = 0;
  if (z_ < 0) z_ = 0;
  if (z_ > 1000) z_ = 1000;
}
