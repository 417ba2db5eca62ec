#pragma once

#include <cstdint>

#include "engine/foundation/Vector3.h"

// An axis-aligned box. a and b are opposite corners with a fixed
// orientation: a = (smallest x, largest y, largest z), b = (largest x,
// smallest y, smallest z); min and max are the per-axis extremes.
class BoundingBox {
 public:
  Vector3 a;
  Vector3 b;
  Vector3 centre;
  Vector3 min;
  Vector3 max;

  virtual ~BoundingBox() = default;
  BoundingBox() = default;
  BoundingBox(const BoundingBox&) = default;
  BoundingBox& operator=(const BoundingBox&) = default;

  // A box of the given size about inCentre.
  void SetCentreSize(const Vector3& inCentre, float width, float height, float depth);
  void SetCentreSizeVector(const Vector3& inCentre, const Vector3& size);
  void SetCentreSize(const Vector3& inCentre, const Vector3& size) { SetCentreSizeVector(inCentre, size); }
  // A box from its extremes; the corners a and b follow.
  void SetMinMax(const Vector3& inMin, const Vector3& inMax);
  // Copies every field into other.
  void CopyTo(BoundingBox& other) const { other = *this; }
  // Extent per axis, from the corners a and b.
  Vector3 GetSize() const;
  float GetWidth() const { return GetSize().x; }
  float GetHeight() const { return GetSize().y; }
  float GetDepth() const { return GetSize().z; }
  float GetLargestSide() const;
  // Inclusive: a.x <= x <= b.x, b.y <= y <= a.y, b.z <= z <= a.z.
  bool ContainsPoint(const Vector3& p) const;
  // True when the two boxes share at least one point (inclusive).
  bool OverlapsBox(const BoundingBox& other) const;
  // p inside either box.
  static bool EitherContains(const BoundingBox& box1, const BoundingBox& box2, const Vector3& p);
};

// A sphere; the transform node derives from it (its centre is the node's
// position).
class BoundingSphere {
 public:
  Vector3 centre;
  float radius = 0.0f;

  BoundingSphere() = default;
  BoundingSphere(const Vector3& inCentre, float inRadius) : centre(inCentre), radius(inRadius) {}
  virtual ~BoundingSphere() = default;
  BoundingSphere(const BoundingSphere&) = default;
  BoundingSphere& operator=(const BoundingSphere&) = default;

  void Set(const Vector3& inCentre, float inRadius) {
    centre = inCentre;
    radius = inRadius;
  }
  void CopyTo(BoundingSphere& other) const {
    other.centre = centre;
    other.radius = radius;
  }
  // The distance between the centres is at most the sum of the radii.
  bool Intersects(const BoundingSphere& other) const;
  // The distance from the centre is at most the radius.
  bool ContainsPoint(const Vector3& p) const;
};

// The axis shared by capsules and cylinders: end points A and B.
class LineSegment {
 public:
  Vector3 A;
  Vector3 B;

  virtual ~LineSegment() = default;
  LineSegment() = default;
  LineSegment(const LineSegment&) = default;
  LineSegment& operator=(const LineSegment&) = default;

  // |A - B|.
  float AxisLength() const;
  // The point of the segment nearest p (A when the segment has no length).
  Vector3 ClosestPoint(const Vector3& p) const;
  // Distance from p to ClosestPoint(p).
  float DistanceToPoint(const Vector3& p) const;
};

class Capsule : public LineSegment {
 public:
  float radius = 0.0f;

  // Copies A, B and the radius.
  void Assign(const Capsule& other) {
    A = other.A;
    B = other.B;
    radius = other.radius;
  }
};

class Cylinder : public LineSegment {
 public:
  uint8_t capA = 0;  // end cap at A
  uint8_t capB = 0;  // end cap at B
  float radius = 0.0f;

  // Copies A, B, both cap flags and the radius.
  void Assign(const Cylinder& other) {
    A = other.A;
    B = other.B;
    capA = other.capA;
    capB = other.capB;
    radius = other.radius;
  }
};
