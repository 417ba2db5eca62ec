#pragma once

// A 3D value of three floats (12 bytes, no virtual table, so arrays of them
// can be handed to OpenGL as they are). Rotation and heading angles are in
// degrees.
struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  Vector3() = default;
  Vector3(float inX, float inY, float inZ) : x(inX), y(inY), z(inZ) {}

  // Sets the three components.
  void Set(float inX, float inY, float inZ) {
    x = inX;
    y = inY;
    z = inZ;
  }
  // Sets all three components to s.
  void SetAll(float s) { x = y = z = s; }
  // Sets all three components to zero.
  void SetZero() { x = y = z = 0.0f; }
  // Writes the three components into out.
  void CopyTo(Vector3& out) const { out = *this; }

  Vector3& operator+=(const Vector3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  Vector3& operator-=(const Vector3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  Vector3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  Vector3& operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }
  // Component-wise product in place.
  void MultiplyComponentsInPlace(const Vector3& v) {
    x *= v.x;
    y *= v.y;
    z *= v.z;
  }

  // a + b.
  static Vector3 Add(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  // a - b.
  static Vector3 Subtract(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  // -v.
  static Vector3 Negate(const Vector3& v) { return {-v.x, -v.y, -v.z}; }
  // v * s.
  static Vector3 Scale(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
  // v / s.
  static Vector3 Divide(const Vector3& v, float s) { return {v.x / s, v.y / s, v.z / s}; }
  // Component-wise product.
  static Vector3 MultiplyComponents(const Vector3& a, const Vector3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
  // Cross product a x b.
  static Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  }
  // Dot product.
  static float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

  // x*x + y*y + z*z.
  float LengthSquared() const { return x * x + y * y + z * z; }
  // Euclidean length.
  float Length() const;

  // Squared distance; 0 when a is absent.
  static float DistanceSquared(const Vector3* a, const Vector3& b);
  static float DistanceSquared(const Vector3& a, const Vector3& b) { return DistanceSquared(&a, b); }
  // Distance; 0 when a is absent.
  static float Distance(const Vector3* a, const Vector3& b);
  static float Distance(const Vector3& a, const Vector3& b) { return Distance(&a, b); }

  // Divides by the length in place; a zero vector is left as it is.
  void Normalise();
  // Angle between a and b in degrees.
  static float AngleBetween(const Vector3& a, const Vector3& b);

  // Exact comparison of all three components.
  bool operator==(const Vector3& v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const Vector3& v) const { return !(*this == v); }
  // True only when no component equals s.
  bool NoneEqual(float s) const { return x != s && y != s && z != s; }

  // this = b + (a - b) * t: t = 0 gives b, t = 1 gives a.
  void Interpolate(const Vector3& a, const Vector3& b, float t);
  // Rounds each component up to an integer value.
  void Ceil();
  // Moves each component to the nearest multiple of step.
  void SnapToStep(float step);

  // Turns about the x axis in place: y' = cos*y + sin*z, z' = -sin*y + cos*z
  // (the other way round from Y and Z for a positive angle).
  void RotateAboutX(float degrees);
  void RotateAboutX(float degrees, const Vector3& pivot);
  // Turns about the y axis in place: x' = cos*x - sin*z, z' = sin*x + cos*z.
  void RotateAboutY(float degrees);
  void RotateAboutY(float degrees, const Vector3& pivot);
  // v turned about the y axis, as a new vector.
  static Vector3 RotateAboutY(const Vector3& v, float degrees);
  // Turns about the z axis in place: x' = cos*x - sin*y, y' = sin*x + cos*y.
  void RotateAboutZ(float degrees);
  void RotateAboutZ(float degrees, const Vector3& pivot);
  // About X, then Y, then Z; an angle of exactly 0 is skipped.
  void RotateEuler(float aboutX, float aboutY, float aboutZ);
  void RotateEuler(float aboutX, float aboutY, float aboutZ, const Vector3& pivot);

  // Angle of (x, z) from +z toward +x in degrees, in (-180, 180].
  float HeadingDegrees() const;
  // Angle of (x, y) from +y toward +x in degrees; for y < 0 the results lie
  // in (180, 270) and (-270, -180), so compare them modulo 360.
  float ElevationDegrees() const;
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return Vector3::Add(a, b); }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return Vector3::Subtract(a, b); }
inline Vector3 operator-(const Vector3& v) { return Vector3::Negate(v); }
inline Vector3 operator*(const Vector3& v, float s) { return Vector3::Scale(v, s); }

static_assert(sizeof(Vector3) == 12, "Vector3 goes to OpenGL as three packed floats");
