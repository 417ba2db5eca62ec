#include "engine/foundation/Ray.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kParallelSlab = 0.00001f;
constexpr float kParallelPlane = 0.00001f;
constexpr float kOneSidedDeterminant = 0.001f;
constexpr float kTwoSidedDeterminant = 0.0001f;
constexpr float kSlabStart = 999999.9f;

RayMeshTest gMeshTest = nullptr;

// A found distance counts only below the limit, unless the limit is 0.
bool WithinLimit(float distance, float limit) { return limit == 0.0f || distance < limit; }

}  // namespace

void Ray::SetFromPoints(const Vector3& a, const Vector3& b) {
  origin = a;
  direction = b - a;
  length = direction.Length();
  direction.Normalise();
}

bool Ray::IntersectBox(const BoundingBox& box, float* distanceOut) const {
  // Per-axis bounds from the oriented corners: a holds the low x, b the low y and z.
  const float lo[3] = {box.a.x, box.b.y, box.b.z};
  const float hi[3] = {box.b.x, box.a.y, box.a.z};
  const float from[3] = {origin.x, origin.y, origin.z};
  const float along[3] = {direction.x, direction.y, direction.z};
  float tmin = -kSlabStart;
  float tmax = kSlabStart;
  for (int axis = 0; axis < 3; ++axis) {
    if (std::fabs(along[axis]) < kParallelSlab) {
      if (from[axis] < lo[axis] || from[axis] > hi[axis]) return false;
      if (along[axis] == 0.0f) continue;  // the slab bounds nothing; 0/0 would only give NaN
    }
    float t1 = (lo[axis] - from[axis]) / along[axis];
    float t2 = (hi[axis] - from[axis]) / along[axis];
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > tmin) tmin = t1;
    if (t2 < tmax) tmax = t2;
    if (tmin > tmax || tmax < 0.0f) return false;
  }
  if (distanceOut == nullptr) return true;
  const float distance = tmin > 0.0f ? tmin : tmax;
  *distanceOut = distance;
  return WithinLimit(distance, length);
}

bool Ray::IntersectPlane(const Plane& plane, bool oneSided, Vector3* pointOut, float* distanceOut) const {
  const float facing = Vector3::Dot(direction, plane.normal);
  if (std::fabs(facing) < kParallelPlane) return false;
  if (oneSided && facing > 0.0f) return false;
  const float t = -(Vector3::Dot(origin, plane.normal) + plane.d) / facing;
  if (t < 0.0f) return false;
  if (pointOut != nullptr) *pointOut = origin + direction * t;
  if (distanceOut == nullptr) return true;
  *distanceOut = t;
  return WithinLimit(t, length);
}

bool Ray::IntersectTriangle(const Ray& ray, const Vector3& v0, const Vector3& v1, const Vector3& v2, bool oneSided,
                            float* distanceOut, float maxDistance) {
  const Vector3 e1 = v1 - v0;
  const Vector3 e2 = v2 - v0;
  const Vector3 p = Vector3::Cross(ray.direction, e2);
  const float det = Vector3::Dot(e1, p);
  if (oneSided) {
    if (det < kOneSidedDeterminant) return false;
  } else if (det > -kTwoSidedDeterminant && det < kTwoSidedDeterminant) {
    return false;
  }
  // u and v stay unscaled by 1/det, so a negative det (a back face in a
  // two-sided test) fails these bounds too.
  const Vector3 s = ray.origin - v0;
  const float u = Vector3::Dot(s, p);
  if (u < 0.0f || u > det) return false;
  const Vector3 q = Vector3::Cross(s, e1);
  const float v = Vector3::Dot(ray.direction, q);
  if (v < 0.0f || u + v > det) return false;
  if (distanceOut == nullptr) return true;
  const float t = Vector3::Dot(e2, q) / det;
  *distanceOut = t;
  return WithinLimit(t, maxDistance);
}

bool Ray::IntersectTriangle(const Triangle& triangle, bool oneSided, float* distanceOut) const {
  return IntersectTriangle(*this, triangle.A(), triangle.B, triangle.C, oneSided, distanceOut, length);
}

bool Ray::IntersectSphere(const BoundingSphere& sphere, float* nearOut, float* farOut) const {
  const Vector3 oc = origin - sphere.centre;
  const float b = -Vector3::Dot(direction, oc);
  const float disc = b * b - oc.LengthSquared() + sphere.radius * sphere.radius;
  if (disc < 0.0f) return false;
  const float root = std::sqrt(disc);
  float nearDistance = b - root;
  const float farDistance = b + root;
  if (nearOut != nullptr) *nearOut = nearDistance;
  if (farOut != nullptr) *farOut = farDistance;
  if (farDistance < 0.0f) return false;
  if (nearDistance < 0.0f) {
    nearDistance = 0.0f;  // the origin is inside
    if (nearOut != nullptr) *nearOut = 0.0f;
  }
  return WithinLimit(nearDistance, length);
}

bool Ray::IntersectSphere(const Ray& ray, const Vector3& centre, float radius) {
  return ray.IntersectSphere(BoundingSphere(centre, radius));
}

bool Ray::IntersectMesh(const CCDSMesh& mesh, bool oneSided, float* distanceOut, float maxDistance) const {
  if (gMeshTest == nullptr) return false;
  return gMeshTest(mesh, *this, oneSided, distanceOut, maxDistance);
}

void Ray::SetMeshTest(RayMeshTest test) { gMeshTest = test; }
