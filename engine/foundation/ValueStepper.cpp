#include "engine/foundation/ValueStepper.h"

void ValueStepper::Set(int32_t inMode, float inMinimum, float inMaximum, float inValue, float inRate) {
  mode = inMode;
  minimum = inMinimum;
  maximum = inMaximum;
  value = inValue;
  rate = inRate;
}

float ValueStepper::Step(float amount) {
  const float before = value;
  rate = (mode == kBounce && reversed) ? -amount : amount;
  value += rate;
  ApplyLimits();
  moved = value != before;
  return value;
}

void ValueStepper::StepAtRate(float dtSeconds) {
  const float perSecond = rate;
  Step(perSecond * dtSeconds);
  rate = perSecond;
}

void ValueStepper::Advance() {
  const float before = value;
  value += rate;
  ApplyLimits();
  moved = value != before;
}

bool ValueStepper::ApplyLimits() {
  if (minimum <= value && value <= maximum) return false;
  switch (mode) {
    case kWrap:
      value = value > maximum ? minimum : maximum;
      return true;
    case kClamp:
      value = value > maximum ? maximum : minimum;
      return true;
    case kBounce:
      rate = -rate;
      if (value > maximum) {
        value = maximum;
        reversed = true;
      } else {
        value = minimum;
        reversed = false;
      }
      return true;
    default:
      return false;
  }
}
