#include "physics/shapes/dgAngularGrid.h"

#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318530718f;

dgVector UnitMidpoint(const dgVector& a, const dgVector& b) {
  const dgVector m = (a + b).Scale(0.5f);
  return m.Scale(1.0f / std::sqrt(m.LengthSquared()));
}

}  // namespace

const dgVector dgOctahedronFaces[8][3] = {
    {{0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}},    {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}},
    {{0, 0, 1, 0}, {-1, 0, 0, 0}, {0, -1, 0, 0}},  {{0, 0, 1, 0}, {0, -1, 0, 0}, {1, 0, 0, 0}},
    {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}},   {{0, 0, -1, 0}, {-1, 0, 0, 0}, {0, 1, 0, 0}},
    {{0, 0, -1, 0}, {0, -1, 0, 0}, {-1, 0, 0, 0}}, {{0, 0, -1, 0}, {1, 0, 0, 0}, {0, -1, 0, 0}},
};

dgAngularGrid dgAngularGrid::ForRadius(float radius) {
  float steps = std::floor(256.0f * radius);
  if (!(steps >= 128.0f)) steps = 128.0f;
  if (steps > 1024.0f) steps = 1024.0f;
  dgAngularGrid grid;
  grid.step = kTwoPi / steps;
  grid.invStep = 1.0f / grid.step;
  grid.cosStep = std::cos(grid.step);
  grid.sinStep = std::sin(grid.step);
  return grid;
}

dgVector dgAngularGrid::SphereSupport(const dgVector& inDir, float radius) const {
  dgVector dir = inDir;
  const float length2 = dir.LengthSquared();
  if (length2 > 0.0f && std::fabs(length2 - 1.0f) > 1e-6f) dir = dir.Scale(1.0f / std::sqrt(length2));
  // Rounding can leave |x| a hair above 1; asin must not see it.
  float sine = dir.x;
  if (sine > 1.0f) sine = 1.0f;
  if (sine < -1.0f) sine = -1.0f;
  const float theta = std::floor(std::asin(sine) * invStep) * step;
  const float phi = std::floor(std::atan2(dir.y, dir.z) * invStep) * step;

  const float sinT0 = std::sin(theta), cosT0 = std::cos(theta);
  const float sinP0 = std::sin(phi), cosP0 = std::cos(phi);
  const float sinT1 = sinT0 * cosStep + cosT0 * sinStep, cosT1 = cosT0 * cosStep - sinT0 * sinStep;
  const float sinP1 = sinP0 * cosStep + cosP0 * sinStep, cosP1 = cosP0 * cosStep - sinP0 * sinStep;

  const float sinTheta[4] = {sinT0, sinT1, sinT0, sinT1};
  const float cosTheta[4] = {cosT0, cosT1, cosT0, cosT1};
  const float sinPhi[4] = {sinP0, sinP0, sinP1, sinP1};
  const float cosPhi[4] = {cosP0, cosP0, cosP1, cosP1};
  dgVector best;
  float bestDot = 0.0f;
  for (int i = 0; i < 4; ++i) {
    const dgVector p(radius * sinTheta[i], radius * cosTheta[i] * sinPhi[i], radius * cosTheta[i] * cosPhi[i], 0.0f);
    const float dot = p.DotProduct(dir);
    if (i == 0 || dot > bestDot) {
      best = p;
      bestDot = dot;
    }
  }
  return best;
}

void dgSubdivideUnitTriangle(const dgVector& a, const dgVector& b, const dgVector& c, int levels,
                             void (*emit)(void* context, const dgVector* triangle), void* context) {
  if (levels <= 0) {
    const dgVector triangle[3] = {a, b, c};
    emit(context, triangle);
    return;
  }
  const dgVector ab = UnitMidpoint(a, b);
  const dgVector bc = UnitMidpoint(b, c);
  const dgVector ca = UnitMidpoint(c, a);
  dgSubdivideUnitTriangle(a, ab, ca, levels - 1, emit, context);
  dgSubdivideUnitTriangle(b, bc, ab, levels - 1, emit, context);
  dgSubdivideUnitTriangle(c, ca, bc, levels - 1, emit, context);
  dgSubdivideUnitTriangle(ab, bc, ca, levels - 1, emit, context);
}
