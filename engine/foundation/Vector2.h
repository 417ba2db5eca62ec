#pragma once

// A 2D value of two floats (8 bytes, no virtual table, so arrays of them can
// be handed to OpenGL as they are). Angles are in degrees.
struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;

  Vector2() = default;
  Vector2(float inX, float inY) : x(inX), y(inY) {}

  // Sets both components.
  void Set(float inX, float inY) {
    x = inX;
    y = inY;
  }
  // Sets both components to s.
  void SetAll(float s) { x = y = s; }
  // Sets both components to zero.
  void SetZero() { x = y = 0.0f; }
  // Writes both components into out.
  void CopyTo(Vector2& out) const { out = *this; }

  Vector2& operator+=(const Vector2& v) {
    x += v.x;
    y += v.y;
    return *this;
  }
  Vector2& operator-=(const Vector2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
  }
  Vector2& operator*=(float s) {
    x *= s;
    y *= s;
    return *this;
  }
  Vector2& operator*=(const Vector2& v) {
    x *= v.x;
    y *= v.y;
    return *this;
  }
  Vector2& operator/=(float s) {
    x /= s;
    y /= s;
    return *this;
  }
  Vector2& operator/=(const Vector2& v) {
    x /= v.x;
    y /= v.y;
    return *this;
  }

  // a + b.
  static Vector2 Add(const Vector2& a, const Vector2& b) { return {a.x + b.x, a.y + b.y}; }
  // a - b.
  static Vector2 Subtract(const Vector2& a, const Vector2& b) { return {a.x - b.x, a.y - b.y}; }
  // -v.
  static Vector2 Negate(const Vector2& v) { return {-v.x, -v.y}; }
  // v * s.
  static Vector2 Scale(const Vector2& v, float s) { return {v.x * s, v.y * s}; }
  // Component-wise product.
  static Vector2 MultiplyComponents(const Vector2& a, const Vector2& b) { return {a.x * b.x, a.y * b.y}; }
  // Dot product.
  static float Dot(const Vector2& a, const Vector2& b) { return a.x * b.x + a.y * b.y; }

  // x*x + y*y.
  float LengthSquared() const { return x * x + y * y; }
  // Euclidean length.
  float Length() const;

  // Absolute squared distance; 0 when a is absent.
  static float DistanceSquared(const Vector2* a, const Vector2& b);
  static float DistanceSquared(const Vector2& a, const Vector2& b) { return DistanceSquared(&a, b); }
  // Distance; 0 when a is absent.
  static float Distance(const Vector2* a, const Vector2& b);
  static float Distance(const Vector2& a, const Vector2& b) { return Distance(&a, b); }

  // Divides by the length in place; a zero vector is left as it is.
  void Normalise();
  // Angle between a and b in degrees.
  static float AngleBetween(const Vector2& a, const Vector2& b);

  bool operator==(const Vector2& v) const { return x == v.x && y == v.y; }
  bool operator!=(const Vector2& v) const { return !(*this == v); }

  // this = b + (a - b) * t: t = 0 gives b, t = 1 gives a.
  void Interpolate(const Vector2& a, const Vector2& b, float t);
  // Turns counter-clockwise by degrees about the origin.
  void Rotate(float degrees);
  // Turns counter-clockwise by degrees about pivot.
  void Rotate(float degrees, const Vector2& pivot);
  // Angle of (x, y) from +y toward +x in degrees, in (-180, 180].
  float HeadingDegrees() const;
};

inline Vector2 operator+(const Vector2& a, const Vector2& b) { return Vector2::Add(a, b); }
inline Vector2 operator-(const Vector2& a, const Vector2& b) { return Vector2::Subtract(a, b); }
inline Vector2 operator-(const Vector2& v) { return Vector2::Negate(v); }
inline Vector2 operator*(const Vector2& v, float s) { return Vector2::Scale(v, s); }

static_assert(sizeof(Vector2) == 8, "Vector2 goes to OpenGL as two packed floats");
