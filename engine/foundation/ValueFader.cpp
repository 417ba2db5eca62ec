#include "engine/foundation/ValueFader.h"

#include <cmath>

namespace {

constexpr float kShortestStep = 0.001f;
constexpr float kStandInStep = 0.01f;

}  // namespace

bool ValueFader::Start(uint8_t inFlags, float inStart, float inTarget, float inDuration) {
  flags = inFlags;
  if (inDuration < 0.0f) return false;
  current = inStart;
  start = inStart;
  target = inTarget;
  rate = 0.0f;
  acceleration = 0.0f;
  timeLeft = duration = inDuration;
  if (flags == 0 || inDuration == 0.0f) return true;
  const float distance = inTarget - inStart;
  // Accelerating from rest at a = distance / (duration^2 / 4) covers half
  // the distance by mid-time.
  const float accelerationToArrive = distance / (inDuration * inDuration / 4.0f);
  if (flags & kLinear)
    rate = distance / inDuration;
  else if ((flags & kPingPong) || (flags & kAccelerate))
    acceleration = accelerationToArrive;
  else if (flags & kAccelerateToo)
    acceleration = -accelerationToArrive;  // subtracted again in Update
  return true;
}

void ValueFader::SetCurrent(float value) {
  current = value;
  Clamp();
}

bool ValueFader::Finished() const { return target >= start ? current >= target : current <= target; }

void ValueFader::Clamp() {
  const float low = start < target ? start : target;
  const float high = start < target ? target : start;
  if (current < low) current = low;
  if (current > high) current = high;
  if (timeLeft < 0.0f) timeLeft = 0.0f;
}

void ValueFader::SCurveStep(float dtSeconds) {
  if (timeLeft < 0.0f) {
    // Time is up: land on the target rather than creep toward it.
    current = target;
    return;
  }
  // Speed grows with the time elapsed through the first half and shrinks
  // with the time left through the second, so the fade eases in and out
  // and arrives as the duration ends.
  const float elapsed = duration - timeLeft;
  const float fromEdge = timeLeft < duration / 2.0f ? timeLeft : elapsed;
  const float speed = std::fabs(acceleration) * fromEdge;
  current += (target >= start ? speed : -speed) * dtSeconds;
}

bool ValueFader::Update(float dtSeconds) {
  if (dtSeconds < kShortestStep) dtSeconds = kStandInStep;
  if (Finished()) {
    if (flags & kRepeat) Restart();
    return false;
  }
  if (flags == 0) {
    Clamp();
    return false;
  }
  timeLeft -= dtSeconds;
  if (flags & kLinear) {
    current += dtSeconds * rate;
    Clamp();
    return current == target;
  }
  if (flags & kPingPong) {
    SCurveStep(dtSeconds);
    Clamp();
    if (Finished()) Start(flags, target, start, duration);
    return false;
  }
  if ((flags & kSCurve) == kSCurve)
    SCurveStep(dtSeconds);
  else if (flags & kAccelerate) {
    rate += dtSeconds * acceleration;
    current += rate * dtSeconds;
  } else {
    rate -= dtSeconds * acceleration;
    current += rate * dtSeconds;
  }
  Clamp();
  return Finished();
}
