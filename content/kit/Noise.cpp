#include "content/kit/Noise.h"

#include <cmath>

float HashUnit(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / float(0x1000000);
}

float SeededRandom::Unit() {
  // xorshift32: fast, full period, and plenty for scattering stars.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return float(state_ >> 8) / float(1u << 24);
}

float ValueNoise(float x, float y, uint32_t seed, int32_t periodX) {
  const float fx = std::floor(x), fy = std::floor(y);
  int32_t x0 = int32_t(fx), y0 = int32_t(fy);
  int32_t x1 = x0 + 1;
  if (periodX > 0) {
    x0 = ((x0 % periodX) + periodX) % periodX;
    x1 = ((x1 % periodX) + periodX) % periodX;
  }
  const float tx = x - fx, ty = y - fy;
  const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
  const float top = HashUnit(x0, y0, seed) + (HashUnit(x1, y0, seed) - HashUnit(x0, y0, seed)) * sx;
  const float bottom = HashUnit(x0, y0 + 1, seed) + (HashUnit(x1, y0 + 1, seed) - HashUnit(x0, y0 + 1, seed)) * sx;
  return top + (bottom - top) * sy;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves, int32_t periodX) {
  float sum = 0.0f, weight = 1.0f, total = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += ValueNoise(x, y, seed + uint32_t(octave) * 101u, periodX) * weight;
    total += weight;
    x *= 2.0f;
    y *= 2.0f;
    if (periodX > 0) periodX *= 2;
    weight *= 0.5f;
  }
  return sum / total;
}
