#include "engine/foundation/Plane.h"

#include <algorithm>
#include <cmath>

#include "engine/foundation/Maths.h"

namespace {

constexpr float kOnPlaneBand = 0.00001f;
constexpr float kFullTurn = 6.2831855f;
constexpr float kAngleSumTolerance = 0.001f;

float ClampedAcos(float cosine) { return std::acos(std::clamp(cosine, -1.0f, 1.0f)); }

}  // namespace

void Plane::Set(const Vector3& a, const Vector3& b, const Vector3& c) {
  point = a;
  normal = Vector3::Cross(a - b, c - b);
  normal.Normalise();
  d = -Vector3::Dot(normal, a);
}

void Plane::SetPointNormal(const Vector3& inPoint, const Vector3& inNormal) {
  point = inPoint;
  normal = inNormal;
  normal.Normalise();
  d = -Vector3::Dot(normal, point);
}

void Plane::Normalise() {
  const float length = normal.Length();
  if (length == 0.0f) return;
  normal /= length;
  d /= length;
}

int Plane::ClassifyPoint(const Vector3& p) const {
  const float distance = Distance(p);
  if (distance > kOnPlaneBand) return kPlaneFront;
  if (distance < -kOnPlaneBand) return kPlaneBehind;
  return kPlaneOn;
}

bool Plane::SeparatesPoints(const Vector3& p, const Vector3& q, const Vector3& r) const {
  const int side = ClassifyPoint(p);
  return ClassifyPoint(q) != side || ClassifyPoint(r) != side;
}

Vector3 Plane::ProjectPoint(const Vector3& p) const { return p - normal * Distance(p); }

bool Plane::SegmentCrosses(const Vector3& p, const Vector3& q) const {
  const float dp = Distance(p);
  const float dq = Distance(q);
  return (dp > 0.0f && dq < 0.0f) || (dp < 0.0f && dq > 0.0f);
}

Vector3 Plane::IntersectLine(const Vector3& a, const Vector3& b) const {
  const Vector3 direction = b - a;
  const float along = Vector3::Dot(direction, normal);
  if (along == 0.0f) return direction;
  const float t = -Distance(a) / along;
  return a + direction * t;
}

void Triangle::Set(const Vector3& a, const Vector3& b, const Vector3& c) {
  B = b;
  C = c;
  Plane::Set(a, b, c);
}

Vector3 Triangle::Centroid() const { return Vector3::Divide(point + B + C, 3.0f); }

Vector3 Triangle::GetMin() const {
  return {std::min({point.x, B.x, C.x}), std::min({point.y, B.y, C.y}), std::min({point.z, B.z, C.z})};
}

Vector3 Triangle::GetMax() const {
  return {std::max({point.x, B.x, C.x}), std::max({point.y, B.y, C.y}), std::max({point.z, B.z, C.z})};
}

bool Triangle::ContainsPoint(const Vector3& p) const {
  Vector3 toA = point - p, toB = B - p, toC = C - p;
  toA.Normalise();
  toB.Normalise();
  toC.Normalise();
  // Rounding can push the cosine of nearly parallel directions past +-1,
  // where acos gives NaN and the test would fail silently.
  const float sum =
      ClampedAcos(Vector3::Dot(toA, toB)) + ClampedAcos(Vector3::Dot(toB, toC)) + ClampedAcos(Vector3::Dot(toC, toA));
  return std::fabs(sum - kFullTurn) < kAngleSumTolerance;
}

namespace {

// p and opposite lie on the same side of the edge start->end.
bool SameSide(const Vector3& p, const Vector3& opposite, const Vector3& start, const Vector3& end) {
  const Vector3 edge = end - start;
  const Vector3 crossP = Vector3::Cross(edge, p - start);
  const Vector3 crossOpposite = Vector3::Cross(edge, opposite - start);
  return Vector3::Dot(crossP, crossOpposite) >= 0.0f;
}

}  // namespace

bool Triangle::ContainsPointSides(const Vector3& p) const {
  return SameSide(p, C, point, B) && SameSide(p, point, B, C) && SameSide(p, B, C, point);
}

namespace Polygon {

int ClassifyPlane(const Vector3* vertices, uint32_t count, const Plane& plane) {
  uint32_t front = 0, behind = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const int side = plane.ClassifyPoint(vertices[i]);
    if (side == kPlaneFront)
      ++front;
    else if (side == kPlaneBehind)
      ++behind;
  }
  if (front == 0 && behind == 0) return kPlaneOn;
  if (front == 0) return kPlaneBehind;
  if (behind == 0) return kPlaneFront;
  return kPlaneSpanning;
}

bool TouchesPlane(const Vector3* vertices, uint32_t count, const Plane& plane) {
  const int side = ClassifyPlane(vertices, count, plane);
  return side == kPlaneSpanning || side == kPlaneOn;
}

}  // namespace Polygon
