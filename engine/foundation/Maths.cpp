#include "engine/foundation/Maths.h"

#include <cmath>
#include <ctime>

#include "platform/Random.h"

int RoundToInt(float x) { return TruncateToInt(std::ceil(x)); }

int TruncateToInt(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return INT32_MAX;
  if (x <= -2147483648.0) return INT32_MIN;
  return static_cast<int>(x);
}

float RandomFloat(float max) {
  if (max <= 0.0f) return 0.0f;
  return static_cast<float>(platform::NextRandom()) / 32767.0f * max;
}

float RandomRange(float min, float max) {
  const float span = max - min;
  if (span <= 0.0f) return min;
  return min + static_cast<float>(platform::NextRandom()) / 32767.0f * span;
}

int RandomInt(int min, int max) {
  const uint16_t range = static_cast<uint16_t>(max - min);
  if (range == 0) return min;
  return min + platform::NextRandom() % range;
}

int RandomBelow(uint16_t n) {
  if (n == 0) return 0;
  return platform::NextRandom() % n;
}

void SeedRandom() { platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr))); }

float HeadingDegreesOf(float across, float forward) {
  if (forward == 0.0f) {
    if (across > 0.0f) return 90.0f;
    return across < 0.0f ? -90.0f : 0.0f;
  }
  if (across == 0.0f) return forward < 0.0f ? 180.0f : 0.0f;
  float degrees = std::atan(across / forward) * kRadiansToDegrees;
  if (forward < 0.0f) degrees += across > 0.0f ? 180.0f : -180.0f;
  return degrees;
}

float AngleFromCosine(float dot, float lengthProduct) {
  if (lengthProduct == 0.0f) return 0.0f;
  float cosine = dot / lengthProduct;
  cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
  return std::acos(cosine) * kRadiansToDegrees;
}
