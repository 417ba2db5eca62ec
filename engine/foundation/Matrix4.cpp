#include "engine/foundation/Matrix4.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "engine/foundation/Maths.h"

namespace {

// Element in row r, column c.
float& At(Matrix4& matrix, int r, int c) { return matrix.m[c * 4 + r]; }

}  // namespace

void Matrix4::SetIdentity() { *this = Matrix4(); }

void Matrix4::Set(const float source[16]) { std::memcpy(m, source, sizeof(m)); }

void Matrix4::SetTransposed(const float source[16]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m[c * 4 + r] = source[r * 4 + c];
}

void Matrix4::CopyTo(float out[16]) const { std::memcpy(out, m, sizeof(m)); }

void Matrix4::Transpose() {
  for (int r = 0; r < 4; ++r)
    for (int c = r + 1; c < 4; ++c) std::swap(m[c * 4 + r], m[r * 4 + c]);
}

void Matrix4::Multiply(const Matrix4& other) {
  const float* a = m;
  const float* b = other.m;
  float product[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      product[i * 4 + j] = a[i * 4 + 0] * b[0 * 4 + j] + a[i * 4 + 1] * b[1 * 4 + j] + a[i * 4 + 2] * b[2 * 4 + j] +
                           a[i * 4 + 3] * b[3 * 4 + j];
  std::memcpy(m, product, sizeof(m));
}

Matrix4 Matrix4::Invert(const Matrix4& source) {
  Matrix4 work = source;
  Matrix4 result;
  for (int i = 0; i < 4; ++i) {
    int pivot = i;
    for (int j = i + 1; j < 4; ++j)
      if (std::fabs(At(work, j, i)) > std::fabs(At(work, pivot, i))) pivot = j;
    if (At(work, pivot, i) == 0.0f) break;  // singular: the partly reduced result is returned as it is
    if (pivot != i) {
      for (int c = 0; c < 4; ++c) {
        std::swap(At(work, i, c), At(work, pivot, c));
        std::swap(At(result, i, c), At(result, pivot, c));
      }
    }
    const float divisor = At(work, i, i);
    for (int c = 0; c < 4; ++c) {
      At(work, i, c) /= divisor;
      At(result, i, c) /= divisor;
    }
    for (int r = 0; r < 4; ++r) {
      if (r == i) continue;
      const float factor = At(work, r, i);
      for (int c = 0; c < 4; ++c) {
        At(work, r, c) -= At(work, i, c) * factor;
        At(result, r, c) -= At(result, i, c) * factor;
      }
    }
  }
  return result;
}

Vector3 Matrix4::TransformPoint(const Vector3& p, float& w) const {
  w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
  return TransformPoint(p);
}

Vector3 Matrix4::TransformPoint(const Vector3& p) const {
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

float Matrix4::Determinant3() const {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) + m[8] * (m[1] * m[6] - m[5] * m[2]);
}

void Matrix4::SetRotationEuler(float a, float b, float c) {
  const float sa = std::sin(a), ca = std::cos(a);
  const float sb = std::sin(b), cb = std::cos(b);
  const float sc = std::sin(c), cc = std::cos(c);
  m[0] = cc * cb;
  m[1] = sc * cb;
  m[2] = -sb;
  m[4] = cc * sa * sb - sc * ca;
  m[5] = sc * sa * sb + cc * ca;
  m[6] = cb * sa;
  m[8] = cc * ca * sb + sc * sa;
  m[9] = sc * ca * sb - cc * sa;
  m[10] = cb * ca;
  m[3] = m[7] = m[11] = m[12] = m[13] = m[14] = 0.0f;
  m[15] = 1.0f;
}

Vector3 Matrix4::GetEulerDegrees() const {
  // A rotation built in float can carry |m2| a hair above 1.
  const float sineB = m[2] > 1.0f ? 1.0f : (m[2] < -1.0f ? -1.0f : m[2]);
  const float b = std::asin(sineB);
  const float cb = std::cos(b);
  float aboutX, aboutZ;
  const float aboutY = b * kRadiansToDegrees;
  if (std::fabs(cb) <= 0.005f) {
    // Gimbal lock: X and Z turn about the same axis, so Z takes it all.
    aboutX = 0.0f;
    aboutZ = std::atan2(m[4], m[5]) * kRadiansToDegrees;
  } else {
    aboutX = std::atan2(-m[6] / cb, m[10] / cb) * kRadiansToDegrees;
    aboutZ = std::atan2(-m[1] / cb, m[0] / cb) * kRadiansToDegrees;
  }
  Vector3 angles(aboutX, aboutY, aboutZ);
  if (angles.x < 0.0f) angles.x += 360.0f;
  if (angles.y < 0.0f) angles.y += 360.0f;
  if (angles.z < 0.0f) angles.z += 360.0f;
  return angles;
}

void Matrix4::SetBasisRows(const Vector3& u, const Vector3& v) {
  SetRow0(Vector3::Cross(v, u));
  SetRow1(u);
  SetRow2(v);
}

void Matrix4::LookAt(const Vector3& eye, const Vector3& target, const Vector3& up) {
  SetIdentity();
  Vector3 forward = target - eye;
  forward.Normalise();
  Vector3 upUnit = up;
  upUnit.Normalise();
  const Vector3 side = Vector3::Cross(forward, upUnit);
  const Vector3 trueUp = Vector3::Cross(side, forward);
  SetRow0(side);
  SetRow1(trueUp);
  SetRow2(-forward);
  *this = Invert(*this);
  SetTranslation(eye);
}

const Matrix4& Matrix4::Identity() {
  static const Matrix4 identity;
  return identity;
}
