#include "physics/math/dgQuaternion.h"

#include <cmath>

#include "physics/math/dgMatrix.h"

dgQuaternion::dgQuaternion(const dgVector& unitAxis, float angleRadians) {
  const float s = std::sin(angleRadians * 0.5f);
  x = unitAxis.x * s;
  y = unitAxis.y * s;
  z = unitAxis.z * s;
  w = std::cos(angleRadians * 0.5f);
}

dgQuaternion dgQuaternion::FromMatrix(const dgMatrix& m) {
  dgQuaternion q;
  const float trace = m[0][0] + m[1][1] + m[2][2];
  if (trace > 0.0f) {
    const float s = std::sqrt(trace + 1.0f);
    const float f = 0.5f / s;
    q.w = s * 0.5f;
    q.x = (m[2][1] - m[1][2]) * f;
    q.y = (m[0][2] - m[2][0]) * f;
    q.z = (m[1][0] - m[0][1]) * f;
  } else {
    static constexpr int kNext[3] = {1, 2, 0};
    int i = 0;
    if (m[1][1] > m[0][0]) i = 1;
    if (m[2][2] > m[i][i]) i = 2;
    const int j = kNext[i];
    const int k = kNext[j];
    const float s = std::sqrt(m[i][i] - m[j][j] - m[k][k] + 1.0f);
    const float f = 0.5f / s;
    float v[3];
    v[i] = s * 0.5f;
    q.w = (m[k][j] - m[j][k]) * f;
    v[j] = (m[j][i] + m[i][j]) * f;
    v[k] = (m[k][i] + m[i][k]) * f;
    q.x = v[0];
    q.y = v[1];
    q.z = v[2];
  }
  // The row-vector matrix holds the transposed rotation.
  q.x = -q.x;
  q.y = -q.y;
  q.z = -q.z;
  return q;
}

dgQuaternion dgQuaternion::Multiply(const dgQuaternion& b) const {
  return dgQuaternion(w * b.x + x * b.w + y * b.z - z * b.y, w * b.y - x * b.z + y * b.w + z * b.x,
                      w * b.z + x * b.y - y * b.x + z * b.w, w * b.w - x * b.x - y * b.y - z * b.z);
}

dgQuaternion dgQuaternion::Normalized() const {
  const float length = std::sqrt(DotProduct(*this));
  if (length == 0.0f) return *this;
  const float inv = 1.0f / length;
  return dgQuaternion(x * inv, y * inv, z * inv, w * inv);
}
