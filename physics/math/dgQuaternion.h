#pragma once
// Rotation quaternion (x, y, z, w); the identity is (0, 0, 0, 1).

#include "physics/math/dgVector.h"

struct dgMatrix;

struct dgQuaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;

  constexpr dgQuaternion() = default;
  constexpr dgQuaternion(float inX, float inY, float inZ, float inW) : x(inX), y(inY), z(inZ), w(inW) {}
  // Rotation by angleRadians about a unit axis: (axis·sin(θ/2), cos(θ/2)).
  dgQuaternion(const dgVector& unitAxis, float angleRadians);
  // The rotation held by a matrix's 3x3 part (row-vector convention).
  static dgQuaternion FromMatrix(const dgMatrix& m);

  // The quaternion product this · other.
  dgQuaternion Multiply(const dgQuaternion& other) const;
  dgQuaternion operator*(const dgQuaternion& other) const { return Multiply(other); }
  // Four-component dot product.
  float DotProduct(const dgQuaternion& other) const { return x * other.x + y * other.y + z * other.z + w * other.w; }
  // This divided by its length (unchanged when the length is 0).
  dgQuaternion Normalized() const;

  bool operator==(const dgQuaternion& other) const = default;
};
