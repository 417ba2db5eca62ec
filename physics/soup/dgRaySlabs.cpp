#include "physics/soup/dgRaySlabs.h"

#include <cmath>

dgRaySlabs::dgRaySlabs(const dgVector& p0, const dgVector& p1, const float* lo, const float* hi) {
  float largest = 0.0f;
  float span[3];
  mFinite = true;
  for (int axis = 0; axis < 3; ++axis) {
    span[axis] = p1[axis] - p0[axis];
    mFinite = mFinite && std::isfinite(span[axis]) && std::isfinite(lo[axis]) && std::isfinite(hi[axis]);
    largest = std::fmax(largest, std::fmax(std::fmax(std::fabs(p0[axis]), std::fabs(p1[axis])),
                                           std::fmax(std::fabs(lo[axis]), std::fabs(hi[axis]))));
  }
  const float pad = kRelativeSlack * largest;
  for (int axis = 0; axis < 3; ++axis) {
    // A span of (nearly) nothing is taken as a tiny one of its sign, so that
    // a bound the segment starts on gives 0 rather than 0 * infinity.
    float s = span[axis];
    if (std::fabs(s) < kTinySpan) s = std::signbit(s) ? -kTinySpan : kTinySpan;
    mInverse[axis] = 1.0f / s;
    mNearIsLow[axis] = s > 0.0f;
    // Moving the start by the slack against the travel for the bounds met
    // first, and with it for those left by, widens every box by it.
    const float back = mNearIsLow[axis] ? pad : -pad;
    mNearOrigin[axis] = p0[axis] + back;
    mFarOrigin[axis] = p0[axis] - back;
  }
}
