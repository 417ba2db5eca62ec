#pragma once
// One game controller: four stick directions and six buttons, each a key-like
// state machine with auto-repeat, and a dead zone around the stick's centre.

#include <cstdint>

#include "engine/runtime/input/UIOKeyState.h"
#include "platform/InputSources.h"

class CUIOJoystick {
 public:
  static constexpr int kButtonCount = 6;
  static constexpr int32_t kDeadZone = 10;  // of the -128..128 axis range
  enum Direction { kLeft = 0, kRight = 1, kUp = 2, kDown = 3 };

  // Reads controller padIndex from source (not owned).
  CUIOJoystick(platform::PadSource* source, int padIndex);
  virtual ~CUIOJoystick();

  // Opens the controller and clears every state; returns whether it is acquired.
  bool Init();
  // One poll dtSeconds after the previous; returns whether the controller is acquired.
  bool Poll(float dtSeconds);
  // One poll with the engine clock's game delta (0 while paused).
  bool Poll();
  // Tries to acquire again and records the result (true when acquired).
  bool CheckLost();

  // State code of a direction (kLeft..kDown) or of buttons 0..5; 0 out of range.
  uint16_t GetDirectionState(int direction) const;
  uint16_t GetButtonState(int button) const;
  // True when any direction, or any button, is in that state.
  bool IsDirection(uint16_t code) const;
  bool IsButton(uint16_t code) const;

  bool HasButtonChanged() const { return buttonChanged_; }
  bool HasButtonRepeat() const { return buttonRepeat_; }
  bool HasDirectionRepeat() const { return directionRepeat_; }
  bool IsAnyButtonDown() const { return anyButtonDown_; }
  bool IsAcquired() const { return acquired_; }
  const platform::PadRawState& GetRawState() const { return raw_; }

  float repeatDelay = kRepeatDelaySeconds;
  float repeatInterval = kRepeatIntervalSeconds;

 private:
  void ClearStates();
  void UpdateDirection(int direction, bool holds, float* axisHeld, float dtSeconds);

  platform::PadSource* source_;
  int padIndex_;
  platform::PadRawState raw_;
  uint16_t directions_[4] = {};
  float axisHeldSeconds_[2] = {};  // X, Y
  uint16_t buttons_[kButtonCount] = {};
  float buttonHeldSeconds_[kButtonCount] = {};
  bool buttonChanged_ = false;
  bool buttonRepeat_ = false;
  bool directionRepeat_ = false;
  bool anyButtonDown_ = false;
  bool acquired_ = false;
};
