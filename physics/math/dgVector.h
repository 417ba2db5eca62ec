#pragma once
// Four-float vector of the physics library. Points carry w = 1; directions
// keep whatever w their left operand had.

#include <cmath>

struct dgVector {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;

  constexpr dgVector() = default;
  constexpr dgVector(float inX, float inY, float inZ, float inW = 0.0f) : x(inX), y(inY), z(inZ), w(inW) {}
  // Reads x, y, z from three consecutive floats; w as given.
  explicit dgVector(const float* xyz, float inW = 0.0f) : x(xyz[0]), y(xyz[1]), z(xyz[2]), w(inW) {}

  // Component i (0 x, 1 y, 2 z, 3 w).
  float& operator[](int i) { return (&x)[i]; }
  const float& operator[](int i) const { return (&x)[i]; }

  // (x·s, y·s, z·s) with this w.
  constexpr dgVector Scale(float s) const { return {x * s, y * s, z * s, w}; }
  // Component sum of x, y, z with this w.
  constexpr dgVector Add(const dgVector& v) const { return {x + v.x, y + v.y, z + v.z, w}; }
  // Component difference of x, y, z with this w.
  constexpr dgVector Sub(const dgVector& v) const { return {x - v.x, y - v.y, z - v.z, w}; }
  // Adds v's x, y, z to this; w unchanged.
  constexpr void AddInPlace(const dgVector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
  }
  // Cross product of x, y, z with this w.
  constexpr dgVector CrossProduct(const dgVector& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x, w};
  }
  // Dot product of x, y, z (w not used).
  constexpr float DotProduct(const dgVector& v) const { return x * v.x + y * v.y + z * v.z; }
  // Squared length of x, y, z.
  constexpr float LengthSquared() const { return DotProduct(*this); }

  constexpr dgVector operator+(const dgVector& v) const { return Add(v); }
  constexpr dgVector operator-(const dgVector& v) const { return Sub(v); }
  constexpr dgVector operator*(float s) const { return Scale(s); }
  constexpr dgVector& operator+=(const dgVector& v) {
    AddInPlace(v);
    return *this;
  }
  constexpr dgVector& operator-=(const dgVector& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  constexpr bool operator==(const dgVector& v) const = default;
};

// A plane: x, y, z the normal, w the distance term (normal · p + w = 0 on it).
struct dgPlane : dgVector {
  constexpr dgPlane() = default;
  constexpr dgPlane(float nx, float ny, float nz, float d) : dgVector(nx, ny, nz, d) {}
  constexpr dgPlane(const dgVector& normal, float d) : dgVector(normal.x, normal.y, normal.z, d) {}
  // Plane through three points; the normal (p1-p0)×(p2-p0) is not normalised.
  constexpr dgPlane(const dgVector& p0, const dgVector& p1, const dgVector& p2)
      : dgVector((p1 - p0).CrossProduct(p2 - p0)) {
    w = -DotProduct(p0);
  }
  // All four components times s.
  constexpr dgPlane Scale(float s) const { return {x * s, y * s, z * s, w * s}; }
  // normal · p + w.
  constexpr float Evaluate(const dgVector& p) const { return DotProduct(p) + w; }
};

// 1 / sqrt(x), the root taken in double precision and rounded to a float first.
inline float dgRsqrt(float x) { return 1.0f / static_cast<float>(std::sqrt(static_cast<double>(x))); }
