#pragma once
// The latitude-longitude grid on which the round primitives pick their
// support points, so that a support point stays put while the direction
// turns a little; and the subdivided octahedron they tessellate with.

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
  dgVector SphereSupport(const dgVector& dir, float radius) const;

  // The sine and cosine of the grid angle floor(asin(sine) / step) · step.
  void LatitudeSinCos(float sine, float& outSin, float& outCos) const;
  // The sine and cosine of the grid angle floor(atan2(y, x) / step) · step.
  void LongitudeSinCos(float y, float x, float& outSin, float& outCos) const;

  float step = 0.0f;  // radians
  float invStep = 0.0f;
  float cosStep = 1.0f;
  float sinStep = 0.0f;

 private:
  // The grid cell of an angle near approximate (radians), when the cell is
  // certain: the angle the exact formula would compute lies in the same cell.
  bool CertainCell(float approximate, int& outCell) const;
  // Sine and cosine of cell · step from the table, as sin and cos give them.
  void TableSinCos(int cell, float& outSin, float& outCos) const;

  // sin and cos of k · step for k from mFirstCell on, two floats per cell;
  // null when it could not be allocated (every angle then takes the
  // trigonometric functions).
  float* mSinCos = nullptr;
  int mFirstCell = 0;
  int mCellCount = 0;
};

// The eight faces of the unit octahedron (three unit vertices each, wound outward).
extern const dgVector dgOctahedronFaces[8][3];

// Subdivides the triangle (a, b, c) levels times, pushing new vertices onto
// the unit sphere, and calls emit(context, triangle) for every resulting triangle.
void dgSubdivideUnitTriangle(const dgVector& a, const dgVector& b, const dgVector& c, int levels,
                             void (*emit)(void* context, const dgVector* triangle), void* context);
