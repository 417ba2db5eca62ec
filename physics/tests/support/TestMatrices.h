#pragma once
// Matrices the physics tests build their placements from.

#include <cmath>

#include "physics/math/dgMatrix.h"

// A rotation of angle radians about one axis (0 front, 1 up, 2 right), then a shift.
inline dgMatrix AxisRotation(int axis, float angle, const dgVector& shift = dgVector()) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const int a = (axis + 1) % 3;
  const int b = (axis + 2) % 3;
  dgMatrix m;
  m[a][a] = c;
  m[a][b] = s;
  m[b][a] = -s;
  m[b][b] = c;
  m.posit = dgVector(shift.x, shift.y, shift.z, 1.0f);
  return m;
}
