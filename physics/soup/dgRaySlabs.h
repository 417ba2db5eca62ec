#pragma once
// A segment made ready for many slab tests along it (where it enters a box,
// as a fraction of the segment, and whether it crosses it before a limit):
// per axis the reciprocal of its span, and its start shifted so that every
// box is widened by a slack covering the rounding of the test, so that a
// box the segment touches is never missed. A face's box is widened further
// where it is stored, by more than the face test may reach outside the
// face, so that a face the face test hits is never left out.

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

  // Per axis: whether the segment meets a box's minimum first (it runs
  // towards +), the starts (slack folded in) for the bounds met first and
  // left by, and the reciprocal of the span.
  bool NearIsLow(int axis) const { return mNearIsLow[axis]; }
  float NearOrigin(int axis) const { return mNearOrigin[axis]; }
  float FarOrigin(int axis) const { return mFarOrigin[axis]; }
  float Inverse(int axis) const { return mInverse[axis]; }

 private:
  float mInverse[3];
  // The start moved against the direction of travel by the slack, for the
  // bounds met first, and with it, for the bounds left by.
  float mNearOrigin[3];
  float mFarOrigin[3];
  bool mNearIsLow[3];
  bool mFinite;
};
