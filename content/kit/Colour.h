#pragma once
// A colour being painted: red, green, blue and alpha from 0 to 1.

#include <algorithm>

struct Colour {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

  Colour Scaled(float k) const { return {r * k, g * k, b * k, a}; }
  Colour WithAlpha(float alpha) const { return {r, g, b, alpha}; }
};

// The colour a fraction t of the way from a to b (t clamped to 0..1).
inline Colour Mix(const Colour& a, const Colour& b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
