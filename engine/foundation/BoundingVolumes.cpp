#include "engine/foundation/BoundingVolumes.h"

#include <algorithm>
#include <cmath>

void BoundingBox::SetCentreSize(const Vector3& inCentre, float width, float height, float depth) {
  centre = inCentre;
  a.Set(inCentre.x - width / 2.0f, inCentre.y + height / 2.0f, inCentre.z + depth / 2.0f);
  b.Set(inCentre.x + width / 2.0f, inCentre.y - height / 2.0f, inCentre.z - depth / 2.0f);
  // A negative size turns a and b round; min and max stay ordered.
  min.Set(a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z);
  max.Set(a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z);
}

void BoundingBox::SetCentreSizeVector(const Vector3& inCentre, const Vector3& size) {
  SetCentreSize(inCentre, size.x, size.y, size.z);
}

void BoundingBox::SetMinMax(const Vector3& inMin, const Vector3& inMax) {
  min = inMin;
  max = inMax;
  centre = inMin + (inMax - inMin) * 0.5f;
  a.Set(inMin.x, inMax.y, inMax.z);
  b.Set(inMax.x, inMin.y, inMin.z);
}

Vector3 BoundingBox::GetSize() const { return {std::fabs(b.x - a.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)}; }

float BoundingBox::GetLargestSide() const {
  const Vector3 size = GetSize();
  return std::max({size.x, size.y, size.z});
}

bool BoundingBox::ContainsPoint(const Vector3& p) const {
  return a.x <= p.x && p.x <= b.x && b.y <= p.y && p.y <= a.y && b.z <= p.z && p.z <= a.z;
}

bool BoundingBox::OverlapsBox(const BoundingBox& other) const {
  // Interval test per axis on the corners: testing only some corners of one
  // box inside the other misses a box that encloses this one.
  return a.x <= other.b.x && other.a.x <= b.x && b.y <= other.a.y && other.b.y <= a.y && b.z <= other.a.z &&
         other.b.z <= a.z;
}

bool BoundingBox::EitherContains(const BoundingBox& box1, const BoundingBox& box2, const Vector3& p) {
  return box1.ContainsPoint(p) || box2.ContainsPoint(p);
}

bool BoundingSphere::Intersects(const BoundingSphere& other) const {
  return Vector3::Distance(centre, other.centre) <= radius + other.radius;
}

bool BoundingSphere::ContainsPoint(const Vector3& p) const { return Vector3::Distance(centre, p) <= radius; }

float LineSegment::AxisLength() const { return (A - B).Length(); }

Vector3 LineSegment::ClosestPoint(const Vector3& p) const {
  const Vector3 axis = B - A;
  const float lengthSquared = axis.LengthSquared();
  if (lengthSquared == 0.0f) return A;  // a point-like segment: nothing to project onto
  const float t = Vector3::Dot(p - A, axis) / lengthSquared;
  if (t < 0.0f) return A;
  if (t > 1.0f) return B;
  return A + axis * t;
}

float LineSegment::DistanceToPoint(const Vector3& p) const { return Vector3::Distance(p, ClosestPoint(p)); }
