#include "physics/math/dgMatrix.h"

#include <cstring>

#include "physics/math/dgQuaternion.h"

dgMatrix::dgMatrix(const dgQuaternion& q, const dgVector& position) {
  const float x2 = q.x * q.x;
  const float y2 = q.y * q.y;
  const float z2 = q.z * q.z;
  const float w2 = q.w * q.w;
  const float xy = q.x * q.y;
  const float xz = q.x * q.z;
  const float yz = q.y * q.z;
  const float xw = q.x * q.w;
  const float yw = q.y * q.w;
  const float zw = q.z * q.w;
  front = dgVector(2.0f * (x2 + w2) - 1.0f, 2.0f * (xy + zw), 2.0f * (xz - yw), 0.0f);
  up = dgVector(2.0f * (xy - zw), 2.0f * (y2 + w2) - 1.0f, 2.0f * (yz + xw), 0.0f);
  right = dgVector(2.0f * (xz + yw), 2.0f * (yz - xw), 2.0f * (z2 + w2) - 1.0f, 0.0f);
  posit = dgVector(position.x, position.y, position.z, 1.0f);
}

dgMatrix dgMatrix::FromFloats(const float* f) {
  return dgMatrix(dgVector(f[0], f[1], f[2], f[3]), dgVector(f[4], f[5], f[6], f[7]),
                  dgVector(f[8], f[9], f[10], f[11]), dgVector(f[12], f[13], f[14], f[15]));
}

void dgMatrix::ToFloats(float* f) const {
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) f[row * 4 + col] = (*this)[row][col];
  }
}

dgMatrix dgMatrix::Multiply(const dgMatrix& b) const {
  dgMatrix out;
  for (int i = 0; i < 4; ++i) {
    const dgVector& a = (*this)[i];
    for (int j = 0; j < 4; ++j) out[i][j] = a.x * b.front[j] + a.y * b.up[j] + a.z * b.right[j] + a.w * b.posit[j];
  }
  return out;
}

dgMatrix dgMatrix::Inverse() const {
  return dgMatrix(dgVector(front.x, up.x, right.x, 0.0f), dgVector(front.y, up.y, right.y, 0.0f),
                  dgVector(front.z, up.z, right.z, 0.0f),
                  dgVector(-posit.DotProduct(front), -posit.DotProduct(up), -posit.DotProduct(right), 1.0f));
}

void dgMatrix::TransformTriplex(float* out, int outStrideBytes, const float* in, int inStrideBytes, int count) const {
  auto* outBytes = reinterpret_cast<unsigned char*>(out);
  auto* inBytes = reinterpret_cast<const unsigned char*>(in);
  for (int i = 0; i < count; ++i) {
    float p[3];
    std::memcpy(p, inBytes + static_cast<long>(i) * inStrideBytes, sizeof p);
    const dgVector t = TransformVector(dgVector(p[0], p[1], p[2], 1.0f));
    const float result[3] = {t.x, t.y, t.z};
    std::memcpy(outBytes + static_cast<long>(i) * outStrideBytes, result, sizeof result);
  }
}

const dgMatrix& dgGetIdentityMatrix() {
  static const dgMatrix identity;
  return identity;
}
