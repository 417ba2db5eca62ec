#include "engine/foundation/Quaternion.h"

#include <cmath>

namespace {

const Quaternion kIdentity;

// Divides q by divisor, or gives the identity when the divisor is zero: a
// zero-norm quaternion has no direction to keep.
Quaternion DividedOrIdentity(const Quaternion& q, float divisor) {
  if (divisor == 0.0f) return kIdentity;
  return {q.x / divisor, q.y / divisor, q.z / divisor, q.w / divisor};
}

float ClampUnit(float value) { return value > 1.0f ? 1.0f : (value < -1.0f ? -1.0f : value); }

}  // namespace

float Quaternion::Norm() const { return std::sqrt(x * x + y * y + z * z + w * w); }

float Quaternion::Dot(const Quaternion& a, const Quaternion& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

void Quaternion::Normalise() { *this = DividedOrIdentity(*this, Norm()); }

void Quaternion::NormalisedCopy(Quaternion& out) const { out = DividedOrIdentity(*this, Norm()); }

void Quaternion::Invert() {
  const Quaternion conjugate(-x, -y, -z, w);
  *this = DividedOrIdentity(conjugate, Dot(*this, *this));
}

void Quaternion::Multiply(const Quaternion& q) {
  const Quaternion product(w * q.x + x * q.w + y * q.z - z * q.y, w * q.y - x * q.z + y * q.w + z * q.x,
                           w * q.z + x * q.y - y * q.x + z * q.w, w * q.w - x * q.x - y * q.y - z * q.z);
  *this = product;
  Normalise();
}

void Quaternion::AddNormalised(const Quaternion& q) {
  x += q.x;
  y += q.y;
  z += q.z;
  w += q.w;
  Normalise();
}

void Quaternion::SetAxisAngle(const Vector3& axis, float radians) {
  const float s = std::sin(radians * 0.5f);
  x = axis.x * s;
  y = axis.y * s;
  z = axis.z * s;
  w = std::cos(radians * 0.5f);
}

void Quaternion::SetEuler(float aboutX, float aboutY, float aboutZ) {
  Quaternion qx, qy, qz;
  qx.SetAxisAngle(Vector3(1, 0, 0), aboutX);
  qy.SetAxisAngle(Vector3(0, 1, 0), aboutY);
  qz.SetAxisAngle(Vector3(0, 0, 1), aboutZ);
  // Each step premultiplies, so the last axis applied ends up leftmost.
  Quaternion result;
  qx.Multiply(result);
  result = qx;
  qy.Multiply(result);
  result = qy;
  qz.Multiply(result);
  result = qz;
  result.Normalise();
  *this = result;
}

void Quaternion::GetEuler(float& aboutX, float& aboutZ, float& aboutY) {
  Normalise();
  const float xx = x * x, yy = y * y, zz = z * z, ww = w * w;
  aboutZ = std::atan2(2.0f * (w * z + x * y), xx - yy - zz + ww);
  aboutX = std::atan2(2.0f * (y * z + w * x), ww - xx - yy + zz);
  aboutY = std::asin(ClampUnit(-2.0f * (x * z - w * y)));
}

void Quaternion::ToMatrix(Matrix4& out) const {
  float* m = out.m;
  m[0] = 1.0f - 2.0f * (y * y + z * z);
  m[1] = 2.0f * (x * y + w * z);
  m[2] = 2.0f * (x * z - w * y);
  m[4] = 2.0f * (x * y - w * z);
  m[5] = 1.0f - 2.0f * (x * x + z * z);
  m[6] = 2.0f * (y * z + w * x);
  m[8] = 2.0f * (x * z + w * y);
  m[9] = 2.0f * (y * z - w * x);
  m[10] = 1.0f - 2.0f * (x * x + y * y);
  m[3] = m[7] = m[11] = m[12] = m[13] = m[14] = 0.0f;
  m[15] = 1.0f;
}

void Quaternion::FromMatrix(const Matrix4& matrix) {
  const float* m = matrix.m;
  const float trace = m[0] + m[5] + m[10];
  if (trace > 0.0f) {
    float s = std::sqrt(trace + 1.0f);
    w = s * 0.5f;
    s = 0.5f / s;
    x = (m[9] - m[6]) * s;
    y = (m[2] - m[8]) * s;
    z = (m[4] - m[1]) * s;
    return;
  }
  // The largest diagonal element picks the component computed first.
  static const int kNext[3] = {1, 2, 0};
  int i = 0;
  if (m[5] > m[0]) i = 1;
  if (m[10] > m[i * 5]) i = 2;
  const int j = kNext[i];
  const int k = kNext[j];
  float s = std::sqrt(m[i * 5] - (m[j * 5] + m[k * 5]) + 1.0f);
  float q[3];
  q[i] = s * 0.5f;
  if (s != 0.0f) s = 0.5f / s;
  w = (m[j + k * 4] - m[k + j * 4]) * s;
  q[j] = (m[i + j * 4] + m[j + i * 4]) * s;
  q[k] = (m[i + k * 4] + m[k + i * 4]) * s;
  x = q[0];
  y = q[1];
  z = q[2];
}

void Quaternion::Lerp(const Quaternion& target, float t) {
  Quaternion to = target;
  if (Dot(*this, target) < 0.0f) to = Quaternion(-target.x, -target.y, -target.z, -target.w);
  const float keep = 1.0f - t;
  x = x * keep + to.x * t;
  y = y * keep + to.y * t;
  z = z * keep + to.z * t;
  w = w * keep + to.w * t;
}

void Quaternion::Slerp(const Quaternion& target, float t) {
  double cosine = static_cast<double>(x) * target.x + static_cast<double>(y) * target.y +
                  static_cast<double>(z) * target.z + static_cast<double>(w) * target.w;
  Quaternion to = target;
  if (cosine < 0.0) {
    cosine = -cosine;
    to = Quaternion(-target.x, -target.y, -target.z, -target.w);
  }
  double weightFrom, weightTo;
  if (1.0 - cosine <= 0.000001) {
    // Nearly the same rotation: sin(theta) is too small to divide by.
    weightFrom = 1.0 - t;
    weightTo = t;
  } else {
    const double theta = std::acos(cosine > 1.0 ? 1.0 : cosine);
    const double sinTheta = std::sin(theta);
    weightFrom = std::sin((1.0 - t) * theta) / sinTheta;
    weightTo = std::sin(t * theta) / sinTheta;
  }
  x = static_cast<float>(x * weightFrom + to.x * weightTo);
  y = static_cast<float>(y * weightFrom + to.y * weightTo);
  z = static_cast<float>(z * weightFrom + to.z * weightTo);
  w = static_cast<float>(w * weightFrom + to.w * weightTo);
}

Vector3 Quaternion::RotateVector(const Vector3& v) const {
  // The zero vector has no direction; the normalising products below would
  // turn it into the identity and return the rotation's own axis.
  if (v.x == 0.0f && v.y == 0.0f && v.z == 0.0f) return Vector3();
  Quaternion inverse = *this;
  inverse.Invert();
  Quaternion turned(v.x, v.y, v.z, 0.0f);
  turned.Multiply(inverse);
  Quaternion result = *this;
  result.Multiply(turned);
  return {result.x, result.y, result.z};
}

Vector3 Quaternion::GetZAxis() {
  Normalise();
  return {2.0f * (x * z - w * y), 2.0f * (y * z + w * x), 1.0f - 2.0f * (x * x + y * y)};
}

Quaternion Quaternion::RotationBetween(Vector3& a, Vector3& b) {
  a.Normalise();
  b.Normalise();
  const float d = Vector3::Dot(a, b);
  if (d > 0.99999f) return kIdentity;
  if (d >= -0.99999f) {
    Vector3 axis = Vector3::Cross(a, b);
    axis.Normalise();
    const float s = std::sqrt((1.0f - d) * 0.5f);
    return {axis.x * s, axis.y * s, axis.z * s, std::sqrt((1.0f + d) * 0.5f)};
  }
  // Opposite directions: half a turn about any axis perpendicular to a;
  // cross with the x axis unless a lies along it.
  Vector3 axis = Vector3::Cross(a, Vector3(1, 0, 0));
  if (axis.LengthSquared() < 0.000001f) axis = Vector3::Cross(a, Vector3(0, 1, 0));
  axis.Normalise();
  return {axis.x, axis.y, axis.z, 0.0f};
}
