#pragma once
// Rigid 4x4 matrix as four row vectors: front, up, right (the images of the
// x, y and z axes) and posit (the origin, w = 1). Points are row vectors:
// p maps to p.x·front + p.y·up + p.z·right + posit, so "A placed in B" is
// A.Multiply(B). The sixteen floats have the memory order of an OpenGL
// matrix with its translation in elements 12 to 14.

#include "physics/math/dgVector.h"

struct dgQuaternion;

struct dgMatrix {
  dgVector front{1.0f, 0.0f, 0.0f, 0.0f};
  dgVector up{0.0f, 1.0f, 0.0f, 0.0f};
  dgVector right{0.0f, 0.0f, 1.0f, 0.0f};
  dgVector posit{0.0f, 0.0f, 0.0f, 1.0f};

  // The identity.
  constexpr dgMatrix() = default;
  // The four rows copied.
  constexpr dgMatrix(const dgVector& inFront, const dgVector& inUp, const dgVector& inRight, const dgVector& inPosit)
      : front(inFront), up(inUp), right(inRight), posit(inPosit) {}
  // Rotation rows from a unit quaternion; posit = position with w = 1.
  dgMatrix(const dgQuaternion& rotation, const dgVector& position);
  // Sixteen floats in row order (front, up, right, posit).
  static dgMatrix FromFloats(const float* sixteen);
  // Writes the sixteen floats in row order.
  void ToFloats(float* sixteen) const;

  // Row i (0 front, 1 up, 2 right, 3 posit).
  dgVector& operator[](int i) { return (&front)[i]; }
  const dgVector& operator[](int i) const { return (&front)[i]; }

  // v.x·front + v.y·up + v.z·right, w = 1.
  dgVector RotateVector(const dgVector& v) const {
    return dgVector(v.x * front.x + v.y * up.x + v.z * right.x, v.x * front.y + v.y * up.y + v.z * right.y,
                    v.x * front.z + v.y * up.z + v.z * right.z, 1.0f);
  }
  // (v·front, v·up, v·right), w = 1.
  dgVector UnrotateVector(const dgVector& v) const {
    return dgVector(v.DotProduct(front), v.DotProduct(up), v.DotProduct(right), 1.0f);
  }
  // RotateVector(v) + posit, w = posit.w.
  dgVector TransformVector(const dgVector& v) const {
    const dgVector r = RotateVector(v);
    return dgVector(r.x + posit.x, r.y + posit.y, r.z + posit.z, posit.w);
  }
  // UnrotateVector(v - posit), w = 1.
  dgVector UntransformVector(const dgVector& v) const { return UnrotateVector(v.Sub(posit)); }
  // The 4x4 product this · other (this first, then other), w included.
  dgMatrix Multiply(const dgMatrix& other) const;
  dgMatrix operator*(const dgMatrix& other) const { return Multiply(other); }
  // Inverse of a rigid matrix: transposed rotation, posit brought back.
  dgMatrix Inverse() const;
  // Transforms count points of three floats; strides are in bytes and may differ.
  void TransformTriplex(float* out, int outStrideBytes, const float* in, int inStrideBytes, int count) const;

  bool operator==(const dgMatrix& other) const = default;
};

// The shared identity matrix.
const dgMatrix& dgGetIdentityMatrix();
