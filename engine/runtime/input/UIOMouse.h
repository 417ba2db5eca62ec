#pragma once
// The mouse: relative motion, wheel and three buttons with press, hold,
// release and a double click shared by all buttons.

#include <cstdint>

#include "platform/InputSources.h"

// Mouse button state codes.
constexpr int32_t kMouseIdle = 0;
constexpr int32_t kMouseDown = 1;
constexpr int32_t kMouseHeld = 2;
constexpr int32_t kMouseUp = 4;
constexpr int32_t kMouseDoubleClick = 8;

// Polls after a press within which a second press counts as a double click.
constexpr int32_t kDoubleClickPolls = 30;

class CUIOMouse {
 public:
  // Reads from source (not owned); the source must outlive the mouse.
  explicit CUIOMouse(platform::MouseSource* source);
  virtual ~CUIOMouse() = default;

  // Asks the source for the mouse and records the answer.
  bool Init();
  // One poll; returns whether the mouse is acquired.
  bool Poll();
  // Tries to acquire again and records the result (true when acquired); a
  // device that had been lost and comes back is noted on the debugger output.
  bool CheckLost();

  int32_t GetLeft() const { return left_; }
  int32_t GetRight() const { return right_; }
  int32_t GetMiddle() const { return middle_; }
  // Movement of the last poll (wheel in 120 units per notch).
  int32_t GetRawX() const { return raw_.dx; }
  int32_t GetRawY() const { return raw_.dy; }
  int32_t GetRawWheel() const { return raw_.wheel; }
  bool HasMoved() const { return raw_.dx != 0 || raw_.dy != 0 || raw_.wheel != 0; }
  bool HasButtonActivity() const { return buttonActivity_; }
  bool IsAcquired() const { return acquired_; }

  // The window's cursor position in client pixels (fed from mouse-move events).
  void SetPosition(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
  }
  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  int32_t GetWheelTotal() const { return z_; }
  // Adds the last movement to the position, wrapping x over 0..1024 and y over
  // 0..768, and the wheel to a total held in 0..1000.
  void Accumulate();

 private:
  int32_t NextState(int32_t state, bool down);
  void ClearButtons();

  platform::MouseSource* source_;
  bool acquired_ = false;
  bool buttonActivity_ = false;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t z_ = 0;
  int32_t left_ = kMouseIdle;
  int32_t right_ = kMouseIdle;
  int32_t middle_ = kMouseIdle;
  platform::MouseRawState raw_;
  int32_t doubleClickCountdown_ = 0;
};
