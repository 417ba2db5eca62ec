#pragma once

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Plane.h"
#include "engine/foundation/Vector3.h"

class CCDSMesh;
class Ray;

// The collision mesh's own ray test, registered by the collision system
// (which lives above this layer): mesh, ray, one-sided flag, distance out
// (may be null) and maximum distance (0 = none).
using RayMeshTest = bool (*)(const CCDSMesh& mesh, const Ray& ray, bool oneSided, float* distanceOut,
                             float maxDistance);

// A half-line from origin along a unit direction; a length of 0 means
// unbounded, any other length drops hits at or beyond it.
class Ray {
 public:
  Vector3 origin;
  Vector3 direction;
  float length = 0.0f;

  Ray() = default;
  virtual ~Ray() = default;
  Ray(const Ray&) = default;
  Ray& operator=(const Ray&) = default;

  void CopyTo(Ray& other) const { other = *this; }
  // origin = a, direction = normalise(b - a), length = |b - a|.
  void SetFromPoints(const Vector3& a, const Vector3& b);

  // Slab test. The distance is the entry distance, or the exit distance
  // when the origin is inside the box.
  bool IntersectBox(const BoundingBox& box, float* distanceOut = nullptr) const;
  // With oneSided, a plane facing away from the ray is missed.
  bool IntersectPlane(const Plane& plane, bool oneSided, Vector3* pointOut = nullptr,
                      float* distanceOut = nullptr) const;
  // Moller-Trumbore; one-sided tests keep only counter-clockwise faces.
  bool IntersectTriangle(const Triangle& triangle, bool oneSided, float* distanceOut = nullptr) const;
  // The same on three corners, with maxDistance (0 = none) in place of the
  // ray's length.
  static bool IntersectTriangle(const Ray& ray, const Vector3& v0, const Vector3& v1, const Vector3& v2, bool oneSided,
                                float* distanceOut, float maxDistance);
  // near and far distances of the two crossings; near is 0 from inside.
  bool IntersectSphere(const BoundingSphere& sphere, float* nearOut = nullptr, float* farOut = nullptr) const;
  static bool IntersectSphere(const Ray& ray, const Vector3& centre, float radius);
  // The collision mesh's ray test through the registered hook; false while
  // none is registered.
  bool IntersectMesh(const CCDSMesh& mesh, bool oneSided, float* distanceOut = nullptr, float maxDistance = 0.0f) const;

  // Registers (or clears, with null) the collision mesh's ray test.
  static void SetMeshTest(RayMeshTest test);
};
