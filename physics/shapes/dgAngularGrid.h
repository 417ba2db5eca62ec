#pragma once
// The latitude-longitude grid on which the round primitives pick their
// support points, so that a support point stays put while the direction
// turns a little; and the subdivided octahedron they tessellate with.

#include <cmath>

#include "physics/math/dgVector.h"

class dgAngularGrid {
 public:
  // n = floor(256 r) kept within 128..1024 steps around a full turn.
  explicit dgAngularGrid(float radius);
  ~dgAngularGrid();
  dgAngularGrid(const dgAngularGrid&) = delete;
  dgAngularGrid& operator=(const dgAngularGrid&) = delete;

  // The best of the four grid points around dir on the sphere of this radius,
  // (x, y, z, 0). Directions of any length are taken as their unit direction.
  // Inline, as the next two: the contact solver's inner loop.
  dgVector SphereSupport(const dgVector& dir, float radius) const;

  // The sine and cosine of the grid angle floor(asin(sine) / step) · step.
  void LatitudeSinCos(float sine, float& outSin, float& outCos) const;
  // The sine and cosine of the grid angle floor(atan2(y, x) / step) · step.
  void LongitudeSinCos(float y, float x, float& outSin, float& outCos) const;

  // atan2(y, x) within 1e-6 radians, NaN when both are zero or one is NaN.
  static float ApproximateAtan2(float y, float x);

  float step = 0.0f;  // radians
  float invStep = 0.0f;
  float cosStep = 1.0f;
  float sinStep = 0.0f;

 private:
  static constexpr float kPi = 3.14159265359f;
  static constexpr float kHalfPi = 1.57079632679f;
  // No grid angle lies this many cells from 0.
  static constexpr float kLargestCell = 2048.0f;
  // An approximate angle this close (in cells) to a cell border may lie on
  // the other side of it than the exact formula's angle. The approximation
  // is within 1e-6 radians, the library's asin and atan2 within 2 ulp, and
  // their products with the inverse step within half an ulp: together less
  // than 4e-4 of a cell at the finest step.
  static constexpr float kCellMargin = 2e-3f;
  // atan(t) / t as a polynomial in t^2 on [0, 1]: t times it, evaluated in
  // float as in ApproximateAtan2, is within 5.6e-7 radians of atan(t) for
  // every float t.
  static constexpr float kAtanCoefficients[] = {0.999999226f, -0.33325678f,   0.198720403f,  -0.134478641f,
                                                0.083126453f, -0.0363604309f, 0.00764835393f};

  // The grid cell of an angle near approximate (radians), when the cell is
  // certain: the angle the exact formula would compute lies in the same cell.
  bool CertainCell(float approximate, int& outCell) const;
  // Sine and cosine of cell · step from the table, as sin and cos give them.
  void TableSinCos(int cell, float& outSin, float& outCos) const;
  // The formula the table stands for, for the angles whose cell the
  // approximation leaves in doubt: sine and cosine of the grid angle below
  // angle (the exact angle's cell, then the table).
  void FormulaSinCos(float angle, float& outSin, float& outCos) const;

  // sin and cos of k · step for k from firstCell_ on, two floats per cell;
  // null when it could not be allocated (every angle then takes the
  // trigonometric functions).
  float* sinCos_ = nullptr;
  int firstCell_ = 0;
  int cellCount_ = 0;
};

inline float dgAngularGrid::ApproximateAtan2(float y, float x) {
  // The octant's ratio in [0, 1] through the polynomial, by Estrin's scheme
  // (short chains of dependent operations).
  const float ay = std::fabs(y);
  const float ax = std::fabs(x);
  const bool steep = ay > ax;
  const float t = steep ? ax / ay : ay / ax;
  const float t2 = t * t;
  const float t4 = t2 * t2;
  const float t8 = t4 * t4;
  const float* c = kAtanCoefficients;
  const float low = (c[0] + c[1] * t2) + t4 * (c[2] + c[3] * t2);
  const float high = (c[4] + c[5] * t2) + t4 * c[6];
  float angle = t * (low + t8 * high);
  if (steep) angle = kHalfPi - angle;
  if (x < 0.0f) angle = kPi - angle;
  // The sign of y, zero included: atan2(-0, -1) is -pi.
  return std::signbit(y) ? -angle : angle;
}

inline bool dgAngularGrid::CertainCell(float approximate, int& outCell) const {
  const float u = approximate * invStep;
  if (!(std::fabs(u) < kLargestCell)) return false;  // also NaN
  int cell = static_cast<int>(u);
  if (u < static_cast<float>(cell)) --cell;
  const float fraction = u - static_cast<float>(cell);
  if (!(fraction > kCellMargin && fraction < 1.0f - kCellMargin)) return false;
  if (cell < firstCell_ || cell >= firstCell_ + cellCount_) return false;
  outCell = cell;
  return true;
}

inline void dgAngularGrid::TableSinCos(int cell, float& outSin, float& outCos) const {
  const float* entry = sinCos_ + 2 * (cell - firstCell_);
  outSin = entry[0];
  outCos = entry[1];
}

inline void dgAngularGrid::LatitudeSinCos(float sine, float& outSin, float& outCos) const {
  int cell;
  if (sinCos_ && CertainCell(ApproximateAtan2(sine, std::sqrt((1.0f - sine) * (1.0f + sine))), cell)) {
    TableSinCos(cell, outSin, outCos);
    return;
  }
  FormulaSinCos(std::asin(sine), outSin, outCos);
}

inline void dgAngularGrid::LongitudeSinCos(float y, float x, float& outSin, float& outCos) const {
  int cell;
  if (sinCos_ && CertainCell(ApproximateAtan2(y, x), cell)) {
    TableSinCos(cell, outSin, outCos);
    return;
  }
  FormulaSinCos(std::atan2(y, x), outSin, outCos);
}

inline dgVector dgAngularGrid::SphereSupport(const dgVector& inDir, float radius) const {
  dgVector dir = inDir;
  const float length2 = dir.LengthSquared();
  if (length2 > 0.0f && std::fabs(length2 - 1.0f) > 1e-6f) dir = dir.Scale(1.0f / std::sqrt(length2));
  // Rounding can leave |x| a hair above 1; asin must not see it.
  float sine = dir.x;
  if (sine > 1.0f) sine = 1.0f;
  if (sine < -1.0f) sine = -1.0f;
  float sinT0, cosT0, sinP0, cosP0;
  LatitudeSinCos(sine, sinT0, cosT0);
  LongitudeSinCos(dir.y, dir.z, sinP0, cosP0);
  const float sinT1 = sinT0 * cosStep + cosT0 * sinStep, cosT1 = cosT0 * cosStep - sinT0 * sinStep;
  const float sinP1 = sinP0 * cosStep + cosP0 * sinStep, cosP1 = cosP0 * cosStep - sinP0 * sinStep;

  // The four corners of the cell and their reach along dir, side by side;
  // the first of the farthest wins.
  const float sinTheta[4] = {sinT0, sinT1, sinT0, sinT1};
  const float cosTheta[4] = {cosT0, cosT1, cosT0, cosT1};
  const float sinPhi[4] = {sinP0, sinP0, sinP1, sinP1};
  const float cosPhi[4] = {cosP0, cosP0, cosP1, cosP1};
  float x[4], y[4], z[4], reach[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = radius * sinTheta[i];
    y[i] = radius * cosTheta[i] * sinPhi[i];
    z[i] = radius * cosTheta[i] * cosPhi[i];
    reach[i] = x[i] * dir.x + y[i] * dir.y + z[i] * dir.z;
  }
  int best = 0;
  for (int i = 1; i < 4; ++i) {
    if (reach[i] > reach[best]) best = i;
  }
  return dgVector(x[best], y[best], z[best], 0.0f);
}

// The eight faces of the unit octahedron (three unit vertices each, wound outward).
extern const dgVector dgOctahedronFaces[8][3];

// Subdivides the triangle (a, b, c) levels times, pushing new vertices onto
// the unit sphere, and calls emit(context, triangle) for every resulting triangle.
void dgSubdivideUnitTriangle(const dgVector& a, const dgVector& b, const dgVector& c, int levels,
                             void (*emit)(void* context, const dgVector* triangle), void* context);
