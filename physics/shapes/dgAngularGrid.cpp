#include "physics/shapes/dgAngularGrid.h"

#include <cmath>

#include "physics/memory/dgMemory.h"

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

dgAngularGrid::dgAngularGrid(float radius) {
  float steps = std::floor(256.0f * radius);
  if (!(steps >= 128.0f)) steps = 128.0f;
  if (steps > 1024.0f) steps = 1024.0f;
  step = kTwoPi / steps;
  invStep = 1.0f / step;
  cosStep = std::cos(step);
  sinStep = std::sin(step);

  // Every cell an angle in [-pi, pi] can fall in, with one to spare each side.
  firstCell_ = static_cast<int>(std::floor(-kPi * invStep)) - 1;
  cellCount_ = static_cast<int>(std::floor(kPi * invStep)) + 2 - firstCell_;
  sinCos_ = static_cast<float*>(dgMalloc(sizeof(float) * 2 * static_cast<size_t>(cellCount_)));
  if (!sinCos_) return;
  for (int i = 0; i < cellCount_; ++i) {
    // The angle as the trigonometric path forms it: a whole number of steps.
    const float angle = static_cast<float>(firstCell_ + i) * step;
    sinCos_[2 * i] = std::sin(angle);
    sinCos_[2 * i + 1] = std::cos(angle);
  }
}

dgAngularGrid::~dgAngularGrid() { dgFree(sinCos_); }

void dgAngularGrid::FormulaSinCos(float angle, float& outSin, float& outCos) const {
  const float cell = std::floor(angle * invStep);
  // A whole number of steps: the table holds its sine and cosine as the
  // functions give them (NaN fails both comparisons), except for -0 steps,
  // whose sine is -0.
  const bool inTable = cell >= static_cast<float>(firstCell_) && cell < static_cast<float>(firstCell_ + cellCount_);
  if (sinCos_ && inTable && !(cell == 0.0f && std::signbit(cell))) {
    TableSinCos(static_cast<int>(cell), outSin, outCos);
    return;
  }
  const float cellAngle = cell * step;
  outSin = std::sin(cellAngle);
  outCos = std::cos(cellAngle);
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
