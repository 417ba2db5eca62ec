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
    // Per axis the bound the segment meets first and the one it leaves by,
    // each widened by the slack (folded into the shifted origins).
    const float enterX = ((mNearIsLow[0] ? lo[0] : hi[0]) - mNearOrigin[0]) * mInverse[0];
    const float enterY = ((mNearIsLow[1] ? lo[1] : hi[1]) - mNearOrigin[1]) * mInverse[1];
    const float enterZ = ((mNearIsLow[2] ? lo[2] : hi[2]) - mNearOrigin[2]) * mInverse[2];
    const float exitX = ((mNearIsLow[0] ? hi[0] : lo[0]) - mFarOrigin[0]) * mInverse[0];
    const float exitY = ((mNearIsLow[1] ? hi[1] : lo[1]) - mFarOrigin[1]) * mInverse[1];
    const float exitZ = ((mNearIsLow[2] ? hi[2] : lo[2]) - mFarOrigin[2]) * mInverse[2];
    const float enter = Max(Max(enterX, enterY), Max(enterZ, 0.0f));
    const float exit = Min(Min(exitX, exitY), Min(exitZ, limit));
    outEnter = enter;
    return enter <= exit;
  }

  // The same for the vertex box of a face (inside the bounding box),
  // widened by the face slack as well.
  bool CrossesFace(const float* lo, const float* hi, float limit, float& outEnter) const {
    const float extent = Max(Max(hi[0] - lo[0], hi[1] - lo[1]), Max(hi[2] - lo[2], 0.0f));
    const float pad = kFaceSlack * extent;
    const float low[3] = {lo[0] - pad, lo[1] - pad, lo[2] - pad};
    const float high[3] = {hi[0] + pad, hi[1] + pad, hi[2] + pad};
    return CrossesNode(low, high, limit, outEnter);
  }

  // Per axis: whether the segment meets a box's minimum first (it runs
  // towards +), the starts (slack folded in) for the bounds met first and
  // left by, and the reciprocal of the span.
  bool NearIsLow(int axis) const { return mNearIsLow[axis]; }
  float NearOrigin(int axis) const { return mNearOrigin[axis]; }
  float FarOrigin(int axis) const { return mFarOrigin[axis]; }
  float Inverse(int axis) const { return mInverse[axis]; }

 private:
  static float Min(float a, float b) { return a < b ? a : b; }
  static float Max(float a, float b) { return a > b ? a : b; }

  float mInverse[3];
  // The start moved against the direction of travel by the slack, for the
  // bounds met first, and with it, for the bounds left by.
  float mNearOrigin[3];
  float mFarOrigin[3];
  bool mNearIsLow[3];
  bool mFinite;
};
