#include "physics/shapes/dgAngularGrid.h"

#include <cmath>

#include "physics/memory/dgMemory.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr float kPi = 3.14159265359f;
constexpr float kHalfPi = 1.57079632679f;
// No grid angle lies this many cells from 0.
constexpr float kLargestCell = 2048.0f;
// An approximate angle this close (in cells) to a cell border may lie on
// the other side of it than the exact formula's angle. The approximation is
// within 1e-6 radians, the library's asin and atan2 within 2 ulp, and their
// products with the inverse step within half an ulp: together less than
// 4e-4 of a cell at the finest step.
constexpr float kCellMargin = 2e-3f;

// atan(t) / t as a polynomial in t^2 on [0, 1]: t times it, evaluated in
// float as below, is within 5.6e-7 radians of atan(t) for every float t.
constexpr float kAtanCoefficients[] = {0.999999226f,  -0.33325678f,  0.198720403f, -0.134478641f,
                                       0.083126453f,  -0.0363604309f, 0.00764835393f};

// atan2(y, x) within 1e-6 radians, NaN when both are zero or one is NaN:
// the octant's ratio in [0, 1] through the polynomial.
float ApproximateAtan2(float y, float x) {
  const float ay = std::fabs(y);
  const float ax = std::fabs(x);
  const bool steep = ay > ax;
  const float t = steep ? ax / ay : ay / ax;
  // Estrin's scheme: short chains of dependent operations.
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

// The formula the table stands for: sine and cosine of the grid angle
// below angle, for the angles the table cannot answer with certainty.
void FormulaSinCos(float angle, const dgAngularGrid& grid, float& outSin, float& outCos) {
  const float cellAngle = std::floor(angle * grid.invStep) * grid.step;
  outSin = std::sin(cellAngle);
  outCos = std::cos(cellAngle);
}

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
  mFirstCell = static_cast<int>(std::floor(-kPi * invStep)) - 1;
  mCellCount = static_cast<int>(std::floor(kPi * invStep)) + 2 - mFirstCell;
  mSinCos = static_cast<float*>(dgMalloc(sizeof(float) * 2 * static_cast<size_t>(mCellCount)));
  if (!mSinCos) return;
  for (int i = 0; i < mCellCount; ++i) {
    // The angle as the trigonometric path forms it: a whole number of steps.
    const float angle = static_cast<float>(mFirstCell + i) * step;
    mSinCos[2 * i] = std::sin(angle);
    mSinCos[2 * i + 1] = std::cos(angle);
  }
}

dgAngularGrid::~dgAngularGrid() { dgFree(mSinCos); }

bool dgAngularGrid::CertainCell(float approximate, int& outCell) const {
  const float u = approximate * invStep;
  if (!(std::fabs(u) < kLargestCell)) return false;  // also NaN
  int cell = static_cast<int>(u);
  if (u < static_cast<float>(cell)) --cell;
  const float fraction = u - static_cast<float>(cell);
  if (!(fraction > kCellMargin && fraction < 1.0f - kCellMargin)) return false;
  if (cell < mFirstCell || cell >= mFirstCell + mCellCount) return false;
  outCell = cell;
  return true;
}

void dgAngularGrid::TableSinCos(int cell, float& outSin, float& outCos) const {
  const float* entry = mSinCos + 2 * (cell - mFirstCell);
  outSin = entry[0];
  outCos = entry[1];
}

void dgAngularGrid::LatitudeSinCos(float sine, float& outSin, float& outCos) const {
  int cell;
  if (mSinCos && CertainCell(ApproximateAtan2(sine, std::sqrt((1.0f - sine) * (1.0f + sine))), cell)) {
    TableSinCos(cell, outSin, outCos);
    return;
  }
  FormulaSinCos(std::asin(sine), *this, outSin, outCos);
}

void dgAngularGrid::LongitudeSinCos(float y, float x, float& outSin, float& outCos) const {
  int cell;
  if (mSinCos && CertainCell(ApproximateAtan2(y, x), cell)) {
    TableSinCos(cell, outSin, outCos);
    return;
  }
  FormulaSinCos(std::atan2(y, x), *this, outSin, outCos);
}

dgVector dgAngularGrid::SphereSupport(const dgVector& inDir, float radius) const {
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
