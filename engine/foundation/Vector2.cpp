#include "engine/foundation/Vector2.h"

#include <cmath>

#include "engine/foundation/Maths.h"

float Vector2::Length() const { return std::sqrt(LengthSquared()); }

float Vector2::DistanceSquared(const Vector2* a, const Vector2& b) {
  if (a == nullptr) return 0.0f;
  return std::fabs(Subtract(*a, b).LengthSquared());
}

float Vector2::Distance(const Vector2* a, const Vector2& b) { return std::sqrt(DistanceSquared(a, b)); }

void Vector2::Normalise() {
  float length = Length();
  if (length == 0.0f) length = 1.0f;
  x /= length;
  y /= length;
}

float Vector2::AngleBetween(const Vector2& a, const Vector2& b) {
  return AngleFromCosine(Dot(a, b), a.Length() * b.Length());
}

void Vector2::Interpolate(const Vector2& a, const Vector2& b, float t) {
  x = b.x + (a.x - b.x) * t;
  y = b.y + (a.y - b.y) * t;
}

void Vector2::Rotate(float degrees) {
  const float radians = degrees * kDegreesToRadians;
  const float s = std::sin(radians);
  const float c = std::cos(radians);
  const float rotatedX = c * x - s * y;
  const float rotatedY = s * x + c * y;
  x = rotatedX;
  y = rotatedY;
}

void Vector2::Rotate(float degrees, const Vector2& pivot) {
  *this -= pivot;
  Rotate(degrees);
  *this += pivot;
}

float Vector2::HeadingDegrees() const { return HeadingDegreesOf(x, y); }
