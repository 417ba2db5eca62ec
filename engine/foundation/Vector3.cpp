#include "engine/foundation/Vector3.h"

#include <cmath>

#include "engine/foundation/Maths.h"

float Vector3::Length() const { return std::sqrt(LengthSquared()); }

float Vector3::DistanceSquared(const Vector3* a, const Vector3& b) {
  if (a == nullptr) return 0.0f;
  return Subtract(*a, b).LengthSquared();
}

float Vector3::Distance(const Vector3* a, const Vector3& b) { return std::sqrt(DistanceSquared(a, b)); }

void Vector3::Normalise() {
  float length = Length();
  if (length == 0.0f) length = 1.0f;
  x /= length;
  y /= length;
  z /= length;
}

float Vector3::AngleBetween(const Vector3& a, const Vector3& b) {
  return AngleFromCosine(Dot(a, b), a.Length() * b.Length());
}

void Vector3::Interpolate(const Vector3& a, const Vector3& b, float t) {
  x = b.x + (a.x - b.x) * t;
  y = b.y + (a.y - b.y) * t;
  z = b.z + (a.z - b.z) * t;
}

void Vector3::Ceil() {
  x = std::ceil(x);
  y = std::ceil(y);
  z = std::ceil(z);
}

namespace {

// Nearest multiple of step, halves going up. The fraction is taken from the
// floor so that negative values round to the nearest multiple too.
float SnapComponent(float value, float step) {
  const float steps = value / step;
  const float below = std::floor(steps);
  const float rounded = (steps - below) < 0.5f ? below : std::ceil(steps);
  return step * rounded;
}

struct SineCosine {
  float s;
  float c;
};

SineCosine SineCosineOfDegrees(float degrees) {
  const float radians = degrees * kDegreesToRadians;
  return {std::sin(radians), std::cos(radians)};
}

}  // namespace

void Vector3::SnapToStep(float step) {
  x = SnapComponent(x, step);
  y = SnapComponent(y, step);
  z = SnapComponent(z, step);
}

void Vector3::RotateAboutX(float degrees) {
  const SineCosine t = SineCosineOfDegrees(degrees);
  const float rotatedY = t.c * y + t.s * z;
  const float rotatedZ = -t.s * y + t.c * z;
  y = rotatedY;
  z = rotatedZ;
}

void Vector3::RotateAboutY(float degrees) {
  const SineCosine t = SineCosineOfDegrees(degrees);
  const float rotatedX = t.c * x - t.s * z;
  const float rotatedZ = t.s * x + t.c * z;
  x = rotatedX;
  z = rotatedZ;
}

void Vector3::RotateAboutZ(float degrees) {
  const SineCosine t = SineCosineOfDegrees(degrees);
  const float rotatedX = t.c * x - t.s * y;
  const float rotatedY = t.s * x + t.c * y;
  x = rotatedX;
  y = rotatedY;
}

void Vector3::RotateAboutX(float degrees, const Vector3& pivot) {
  *this -= pivot;
  RotateAboutX(degrees);
  *this += pivot;
}

void Vector3::RotateAboutY(float degrees, const Vector3& pivot) {
  *this -= pivot;
  RotateAboutY(degrees);
  *this += pivot;
}

void Vector3::RotateAboutZ(float degrees, const Vector3& pivot) {
  *this -= pivot;
  RotateAboutZ(degrees);
  *this += pivot;
}

Vector3 Vector3::RotateAboutY(const Vector3& v, float degrees) {
  Vector3 turned = v;
  turned.RotateAboutY(degrees);
  return turned;
}

void Vector3::RotateEuler(float aboutX, float aboutY, float aboutZ) {
  if (aboutX != 0.0f) RotateAboutX(aboutX);
  if (aboutY != 0.0f) RotateAboutY(aboutY);
  if (aboutZ != 0.0f) RotateAboutZ(aboutZ);
}

void Vector3::RotateEuler(float aboutX, float aboutY, float aboutZ, const Vector3& pivot) {
  *this -= pivot;
  RotateEuler(aboutX, aboutY, aboutZ);
  *this += pivot;
}

float Vector3::HeadingDegrees() const { return HeadingDegreesOf(x, z); }

float Vector3::ElevationDegrees() const {
  if (y == 0.0f || x == 0.0f || y > 0.0f) return HeadingDegreesOf(x, y);
  // Below the horizon the half-turn goes the other way round from the
  // heading, which is why callers compare these angles modulo 360.
  return std::atan(x / y) * kRadiansToDegrees + (x < 0.0f ? 180.0f : -180.0f);
}
