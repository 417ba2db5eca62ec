#include "physics/soup/dgRaySlabs.h"

#include <cmath>

dgRaySlabs::dgRaySlabs(const dgVector& p0, const dgVector& p1, const float* lo, const float* hi) {
  float largest = 0.0f;
  mFinite = true;
  for (int axis = 0; axis < 3; ++axis) {
    mOrigin[axis] = p0[axis];
    float span = p1[axis] - p0[axis];
    mFinite = mFinite && std::isfinite(span) && std::isfinite(lo[axis]) && std::isfinite(hi[axis]);
    // A span of (nearly) nothing is taken as a tiny one of its sign, so that
    // a bound the segment starts on gives 0 rather than 0 * infinity.
    if (std::fabs(span) < kTinySpan) span = std::signbit(span) ? -kTinySpan : kTinySpan;
    mInverse[axis] = 1.0f / span;
    largest = std::fmax(largest, std::fmax(std::fabs(p0[axis]), std::fabs(p1[axis])));
    largest = std::fmax(largest, std::fmax(std::fabs(lo[axis]), std::fabs(hi[axis])));
  }
  mPad = kRelativeSlack * largest;
}
