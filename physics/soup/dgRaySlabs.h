#pragma once
// A segment made ready for many box tests along it: where it enters a box
// (as a fraction of the segment) and whether it crosses it before a limit,
// by the slab test. The boxes are widened by a slack that covers the
// rounding of the test, so a box the segment touches is never missed; a
// face's box is widened further, by more than the face test may reach
// outside the face, so a face the face test hits is never left out.

#include "physics/math/dgVector.h"

class dgRaySlabs {
 public:
  // Rounding slack, relative to the largest coordinate of the segment and of the boxes.
  static constexpr float kRelativeSlack = 1.0e-5f;
  // Slack of a face's box, relative to its largest side.
  static constexpr float kFaceSlack = 1.0f / 256.0f;
  // Spans shorter than this count as this long (keeping their sign).
  static constexpr float kTinySpan = 1.0e-30f;

  // The segment p0-p1 among boxes inside the box lo-hi (every node of a tree
  // lies inside its root's).
  dgRaySlabs(const dgVector& p0, const dgVector& p1, const float* lo, const float* hi);

  // False when an end, the span or the bounding box is not finite: then no box test holds.
  bool IsFinite() const { return mFinite; }
  // True when the segment, up to the fraction limit, crosses the tree node
  // box lo-hi; outEnter is where it enters (0 when it starts inside).
  bool CrossesNode(const float* lo, const float* hi, float limit, float& outEnter) const {
    return Crosses(lo, hi, mPad, limit, outEnter);
  }
  // The same for the vertex box of a face (inside the bounding box), widened by the face slack.
  bool CrossesFace(const float* lo, const float* hi, float limit, float& outEnter) const {
    float extent = 0.0f;
    for (int axis = 0; axis < 3; ++axis) extent = Max(extent, hi[axis] - lo[axis]);
    return Crosses(lo, hi, mPad + kFaceSlack * extent, limit, outEnter);
  }

 private:
  static float Min(float a, float b) { return a < b ? a : b; }
  static float Max(float a, float b) { return a > b ? a : b; }

  bool Crosses(const float* lo, const float* hi, float pad, float limit, float& outEnter) const {
    float enter = 0.0f;
    float exit = limit;
    for (int axis = 0; axis < 3; ++axis) {
      const float a = (lo[axis] - pad - mOrigin[axis]) * mInverse[axis];
      const float b = (hi[axis] + pad - mOrigin[axis]) * mInverse[axis];
      enter = Max(enter, Min(a, b));
      exit = Min(exit, Max(a, b));
    }
    outEnter = enter;
    return enter <= exit;
  }

  float mOrigin[3];
  float mInverse[3];
  float mPad;
  bool mFinite;
};
