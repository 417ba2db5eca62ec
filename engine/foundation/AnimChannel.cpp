#include "engine/foundation/AnimChannel.h"

#include <cmath>

#include "engine/foundation/Maths.h"

void AnimChannel::Set(int32_t inCurve, bool inLoop, float inStart, float end, float inDuration) {
  curve = inCurve;
  loop = inLoop;
  start = inStart;
  range = end - inStart;
  duration = inDuration;
  Reset();
}

void AnimChannel::Reset() {
  t = 0.0f;
  output = start;
}

float AnimChannel::Update(float dtSeconds) {
  if (duration > 0.0f) {
    t += dtSeconds / duration;
    if (t > 1.0f) t = loop ? 0.0f : 1.0f;
  } else {
    // No time to cover: jump to the end rather than divide by zero.
    t = 1.0f;
  }

  float c;
  switch (curve) {
    case kRiseFast:
      c = 2.0f - 2.0f / (t + 1.0f);
      break;
    case kFallFast:
      c = 2.0f / (t + 1.0f) - 1.0f;
      break;
    case kPulse:
      loop = true;
      c = (std::sin(2.0f * kPi * t - kPi / 2.0f) + 1.0f) / 2.0f;
      break;
    case kStep:
      c = t > 0.5f ? 1.0f : 0.0f;
      break;
    case kSmoothRise:
      c = (std::sin(kPi * t - kPi / 2.0f) + 1.0f) / 2.0f;
      break;
    case kSmoothFall:
      c = (std::sin(kPi * t + kPi / 2.0f) + 1.0f) / 2.0f;
      break;
    case kLinear:
    default:
      c = t;
      break;
  }
  output = start + range * c;
  return output;
}
