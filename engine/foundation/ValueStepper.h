#pragma once

#include <cstdint>

// A value stepped by a rate between two limits, where it wraps to the
// opposite limit, clamps, or bounces back.
class ValueStepper {
 public:
  enum Mode : int32_t {
    kWrap = 1,  // past one limit, jump to the other (not modulo)
    kClamp = 2,
    kBounce = 3,  // stop at the limit and travel back
  };

  bool moved = false;     // the last step changed the value
  bool reversed = false;  // bouncing back
  float minimum = 0.0f;
  float maximum = 0.0f;
  float value = 0.0f;
  float rate = 0.0f;
  int32_t mode = 0;  // any other mode applies no limit

  ValueStepper() = default;
  virtual ~ValueStepper() = default;
  ValueStepper(const ValueStepper&) = default;
  ValueStepper& operator=(const ValueStepper&) = default;

  void Set(int32_t inMode, float inMinimum, float inMaximum, float inValue, float inRate);
  void SetMode(int32_t inMode) { mode = inMode; }
  void SetRate(float inRate) { rate = inRate; }
  void ToMinimum() { value = minimum; }
  void ToMaximum() { value = maximum; }
  // value = the point at fraction (0 to 1) of the way from minimum to maximum.
  void SetFraction(float fraction) { value = minimum + (maximum - minimum) * fraction; }
  float GetValue() const { return value; }
  bool Moved() const { return moved; }
  bool AtMinimum() const { return value == minimum; }
  bool AtMaximum() const { return value == maximum; }

  // rate = amount (negated while bouncing back), value += rate, limits
  // applied; returns the value.
  float Step(float amount);
  // Steps by rate x dtSeconds and keeps rate as the per-second rate (Step
  // would replace it by the amount).
  void StepAtRate(float dtSeconds);
  // value += rate, limits applied.
  void Advance();
  // Applies the mode at a limit; true when a limit was hit.
  bool ApplyLimits();
};
