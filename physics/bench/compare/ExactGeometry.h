#pragma once
// Exact answers of the comparison's pair and closest-point scenes, in double
// precision from the shapes' true surfaces (not from either library's
// support grid or margin): the distance of two placed convex shapes by a
// distance search on their exact support functions, and the closest point
// of a box and of a capsule in closed form.

#include <vector>

#include "physics/math/dgVector.h"

// A convex shape as its exact surface; round shapes lie along x, as ours do.
struct ExactShape {
  enum Kind { kBox, kSphere, kCapsule, kCylinder, kHull };
  Kind kind = kBox;
  // Box: half sides; sphere: radius; capsule: radius, half length of the
  // straight part; cylinder: radius, half height.
  double size[3] = {};
  std::vector<dgVector> hull;  // the hull's vertices

  static ExactShape Box(double side);
  static ExactShape Sphere(double radius);
  static ExactShape Capsule(double radius, double height);
  static ExactShape Cylinder(double radius, double height);
  static ExactShape Hull(std::vector<dgVector> vertices);
};

// Distance between a placed by matrixA and b placed by matrixB (sixteen
// floats each, rows front, up, right, posit); 0 when they touch or overlap.
double ExactDistance(const ExactShape& a, const float* matrixA, const ExactShape& b, const float* matrixB);

// Distance at or below which a pair counts as touching: the search's own
// rounding, far below either library's tolerances.
inline constexpr double kExactTouching = 1e-9;

// The point of the box or capsule (unplaced) nearest to point, outside it.
void ExactClosestPoint(const ExactShape& shape, const float* point, double* outPoint);
