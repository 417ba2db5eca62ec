#pragma once

#include "engine/foundation/Vector3.h"

// A 4x4 float matrix in OpenGL's column-major order: the element in row r and
// column c is m[c*4 + r], the translation is m[12], m[13], m[14]. 64 bytes
// and no virtual table, so Data() goes to the GL matrix calls unchanged.
// Angles are in radians for the builders and in degrees for GetEulerDegrees.
struct Matrix4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  // Identity.
  Matrix4() = default;

  // Back to the identity.
  void SetIdentity();
  // Copies sixteen floats as they stand.
  void Set(const float source[16]);
  // Copies sixteen floats transposed: m[c*4 + r] = source[r*4 + c].
  void SetTransposed(const float source[16]);
  // Writes the sixteen floats out.
  void CopyTo(float out[16]) const;
  // Address of m[0], for the GL calls.
  const float* Data() const { return m; }
  float* Data() { return m; }
  // Transposes the full 4x4 in place.
  void Transpose();

  // this := other x this in column-vector terms: this transform is applied
  // first, other's after it.
  void Multiply(const Matrix4& other);
  // Gauss-Jordan inverse with partial pivoting. A singular source stops the
  // elimination and yields the partly reduced result, without any report.
  static Matrix4 Invert(const Matrix4& source);

  // The upper three rows applied to (p, 1); w receives the fourth row's
  // result. No division by w.
  Vector3 TransformPoint(const Vector3& p, float& w) const;
  Vector3 TransformPoint(const Vector3& p) const;

  // (m12, m13, m14).
  Vector3 GetTranslation() const { return {m[12], m[13], m[14]}; }
  void SetTranslation(float x, float y, float z) {
    m[12] = x;
    m[13] = y;
    m[14] = z;
  }
  void SetTranslation(const Vector3& t) { SetTranslation(t.x, t.y, t.z); }

  // Rows of the rotation block: (m0, m4, m8), (m1, m5, m9), (m2, m6, m10).
  Vector3 GetRow0() const { return {m[0], m[4], m[8]}; }
  Vector3 GetRow1() const { return {m[1], m[5], m[9]}; }
  Vector3 GetRow2() const { return {m[2], m[6], m[10]}; }
  void SetRow0(float x, float y, float z) {
    m[0] = x;
    m[4] = y;
    m[8] = z;
  }
  void SetRow1(float x, float y, float z) {
    m[1] = x;
    m[5] = y;
    m[9] = z;
  }
  void SetRow2(float x, float y, float z) {
    m[2] = x;
    m[6] = y;
    m[10] = z;
  }
  void SetRow0(const Vector3& v) { SetRow0(v.x, v.y, v.z); }
  void SetRow1(const Vector3& v) { SetRow1(v.x, v.y, v.z); }
  void SetRow2(const Vector3& v) { SetRow2(v.x, v.y, v.z); }

  // The diagonal (m0, m5, m10).
  Vector3 GetScale() const { return {m[0], m[5], m[10]}; }
  // Multiplies m0, m5 and m10 only.
  void Scale(float sx, float sy, float sz) {
    m[0] *= sx;
    m[5] *= sy;
    m[10] *= sz;
  }
  void Scale(const Vector3& s) { Scale(s.x, s.y, s.z); }

  // Determinant of the upper-left 3x3 block.
  float Determinant3() const;

  // The whole matrix becomes Rz(c) * Ry(b) * Rx(a): about X first, then Y,
  // then Z (radians).
  void SetRotationEuler(float a, float b, float c);
  // Angles (X, Y, Z) in degrees, each in [0, 360).
  Vector3 GetEulerDegrees() const;
  // Row 0 = v x u, row 1 = u, row 2 = v; other elements left as they are.
  void SetBasisRows(const Vector3& u, const Vector3& v);
  // Places an object (a camera) at eye looking toward target: the inverse
  // of the usual view matrix.
  void LookAt(const Vector3& eye, const Vector3& target, const Vector3& up);

  // The identity, for callers whose matrix argument is optional.
  static const Matrix4& Identity();
};

static_assert(sizeof(Matrix4) == 64, "Matrix4 goes to OpenGL as sixteen packed floats");
