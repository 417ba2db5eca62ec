#pragma once

#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Vector3.h"

// A rotation as (x, y, z) vector part and w scalar part; the identity is
// (0, 0, 0, 1) and a turn by angle a about unit axis n is (n*sin(a/2),
// cos(a/2)). Angles are in radians. Every normalisation in here turns a
// zero-norm quaternion into the identity instead of dividing by zero.
struct Quaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;

  Quaternion() = default;
  Quaternion(float inX, float inY, float inZ, float inW) : x(inX), y(inY), z(inZ), w(inW) {}

  // sqrt(x^2 + y^2 + z^2 + w^2).
  float Norm() const;
  // Four-component dot product.
  static float Dot(const Quaternion& a, const Quaternion& b);
  // Divides by the norm in place.
  void Normalise();
  // out = this / Norm().
  void NormalisedCopy(Quaternion& out) const;
  // In place: (-x, -y, -z, w) / (x^2 + y^2 + z^2 + w^2).
  void Invert();
  // In place: this = this (x) q (Hamilton product), then normalised.
  void Multiply(const Quaternion& q);
  // In place: this += q component-wise, then normalised.
  void AddNormalised(const Quaternion& q);

  // (axis*sin(a/2), cos(a/2)); the axis is used as given, not normalised.
  void SetAxisAngle(const Vector3& axis, float radians);
  // qz (x) qy (x) qx: about X first, then Y, then Z, as
  // Matrix4::SetRotationEuler.
  void SetEuler(float aboutX, float aboutY, float aboutZ);
  // Normalises in place, then gives the three angles in radians. Note the
  // parameter order X, Z, Y.
  void GetEuler(float& aboutX, float& aboutZ, float& aboutY);

  // Writes the rotation matrix of this (assumed unit) quaternion into out.
  void ToMatrix(Matrix4& out) const;
  // Reads the rotation block with rows and columns exchanged relative to
  // ToMatrix: converting the matrix of q back gives the inverse of q.
  void FromMatrix(const Matrix4& m);

  // In place: this*(1-t) + target*t, negating target when the dot is
  // negative; not normalised.
  void Lerp(const Quaternion& target, float t);
  // In place: spherical interpolation along the shorter arc; t = 0 leaves
  // this, t = 1 gives target. Not renormalised.
  void Slerp(const Quaternion& target, float t);

  // The direction of v turned by this quaternion, as a unit vector (not v
  // at its own length). A zero v gives the zero vector.
  Vector3 RotateVector(const Vector3& v) const;
  // Normalises in place, then returns row 2 of its rotation matrix
  // (m2, m6, m10): the z axis as the inverse turn carries it.
  Vector3 GetZAxis();
  // The rotation that turns direction a onto direction b; a and b come
  // back normalised.
  static Quaternion RotationBetween(Vector3& a, Vector3& b);
};
