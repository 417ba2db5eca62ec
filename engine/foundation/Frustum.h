#pragma once

#include <string>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Plane.h"

// A view volume of six planes whose normals face inward, with a margin that
// every test compares plane distances against.
class Frustum {
 public:
  // Storage order of the planes.
  enum PlaneIndex : int {
    kFar = 0,
    kNear = 1,
    kLeft = 2,
    kTop = 3,
    kRight = 4,
    kBottom = 5,
    kPlaneCount = 6,
  };

  // ClassifySphere results.
  static constexpr int kSphereInside = 0;    // the whole sphere clears every plane
  static constexpr int kSphereCrossing = 1;  // centre inside, sphere crosses a plane
  static constexpr int kSphereCentreOutside = 2;

  // TestBox / TestBoxAt results.
  static constexpr int kBoxCornerAInside = 0;
  static constexpr int kBoxPartly = 1;
  static constexpr int kBoxOutside = 2;

  float margin = 1.0f;
  Plane planes[kPlaneCount];
  Matrix4 view;
  Matrix4 projection;

  virtual ~Frustum() = default;
  Frustum() = default;
  Frustum(const Frustum&) = default;
  Frustum& operator=(const Frustum&) = default;

  // view := projection x view, then the six planes from the rows of that
  // clip matrix, each normalised.
  void ExtractPlanes();
  // False as soon as one plane has distance <= margin.
  bool ContainsPoint(const Vector3& p) const;
  // kSphereInside, kSphereCrossing or kSphereCentreOutside (the sphere may
  // still overlap then).
  int ClassifySphere(const BoundingSphere& sphere) const { return ClassifySphere(sphere.centre, sphere.radius); }
  int ClassifySphere(const Vector3& centre, float radius) const;
  // kBoxOutside when all eight corners fail one plane, kBoxCornerAInside
  // when corner a passes every plane, else kBoxPartly. A corner passes a
  // plane at distance >= margin.
  int TestBox(const BoundingBox& box) const;
  // TestBox on the box moved by position.
  int TestBoxAt(const BoundingBox& box, const Vector3& position) const;
  // False when all three corners are at or below the margin of one plane.
  bool TestTriangle(const Vector3& a, const Vector3& b, const Vector3& c) const;
  bool TestTriangle(const Triangle& triangle) const { return TestTriangle(triangle.A(), triangle.B, triangle.C); }
  // Copies both matrices, the planes and the margin.
  void Copy(const Frustum& other) { *this = other; }
  // The plane table for the developer view: a header and one line per
  // plane (left, right, top, bottom, near, far), each ending in "\n".
  std::string DescribePlanes() const;
};
