#pragma once

#include <cstdint>

#include "engine/foundation/Vector3.h"

// Point classes returned by Plane::ClassifyPoint and Polygon::ClassifyPlane.
enum PlaneSide : int {
  kPlaneSpanning = 1,
  kPlaneFront = 3,
  kPlaneBehind = 4,
  kPlaneOn = 5,
};

// A plane kept as a point on it, a unit normal and d, so that
// normal.p + d = 0 on the plane.
class Plane {
 public:
  Vector3 point;
  Vector3 normal;
  float d = 0.0f;

  Plane() = default;
  virtual ~Plane() = default;
  Plane(const Plane&) = default;
  Plane& operator=(const Plane&) = default;

  // point = A, normal = normalise((A - B) x (C - B)), d = -(normal.A).
  virtual void Set(const Vector3& a, const Vector3& b, const Vector3& c);
  // Stores both, normalises the normal, d = -(normal.point).
  void SetPointNormal(const Vector3& inPoint, const Vector3& inNormal);
  // Divides the normal and d by the normal's length; a zero normal is kept.
  void Normalise();
  // Signed distance normal.p + d.
  float Distance(const Vector3& p) const { return Vector3::Dot(normal, p) + d; }
  // True only when p lies exactly on the plane.
  bool Contains(const Vector3& p) const { return Distance(p) == 0.0f; }
  // kPlaneFront beyond 0.00001, kPlaneBehind below -0.00001, else kPlaneOn.
  int ClassifyPoint(const Vector3& p) const;
  // True when the three points do not all classify alike.
  bool SeparatesPoints(const Vector3& p, const Vector3& q, const Vector3& r) const;
  // p moved onto the plane along the normal.
  Vector3 ProjectPoint(const Vector3& p) const;
  // One point strictly in front and the other strictly behind; a point on
  // the plane never crosses.
  bool SegmentCrosses(const Vector3& p, const Vector3& q) const;
  // Where the line through a and b meets the plane; for a line parallel to
  // the plane, the line's direction b - a instead.
  Vector3 IntersectLine(const Vector3& a, const Vector3& b) const;
};

// A triangle: the plane's point is corner A, the other two are B and C.
class Triangle : public Plane {
 public:
  Vector3 B;
  Vector3 C;

  // Stores B and C, then the plane through A, B, C.
  void Set(const Vector3& a, const Vector3& b, const Vector3& c) override;
  // Recomputes the plane from the current corners.
  void Refresh() { Set(point, B, C); }
  const Vector3& A() const { return point; }
  // (A + B + C) / 3.
  Vector3 Centroid() const;
  // Per-axis minimum / maximum of the corners.
  Vector3 GetMin() const;
  Vector3 GetMax() const;
  // Angle-sum test: the angles at p toward A, B and C add up to a full turn
  // within 0.001.
  bool ContainsPoint(const Vector3& p) const;
  // Same-side test: p lies on the inner side of every edge.
  bool ContainsPointSides(const Vector3& p) const;
};

// Tests of a polygon (an array of vertices) against a plane.
namespace Polygon {

// kPlaneOn when every vertex lies within 0.00001 of the plane (or there are
// none), kPlaneBehind when all are behind or on, kPlaneFront when all are in
// front or on, else kPlaneSpanning.
int ClassifyPlane(const Vector3* vertices, uint32_t count, const Plane& plane);
// True when the polygon spans the plane or lies in it.
bool TouchesPlane(const Vector3* vertices, uint32_t count, const Plane& plane);

}  // namespace Polygon
