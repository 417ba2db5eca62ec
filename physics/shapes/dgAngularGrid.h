#pragma once
// The latitude-longitude grid on which the round primitives pick their
// support points, so that a support point stays put while the direction
// turns a little; and the subdivided octahedron they tessellate with.

#include "physics/math/dgVector.h"

struct dgAngularGrid {
  float step = 0.0f;  // radians
  float invStep = 0.0f;
  float cosStep = 1.0f;
  float sinStep = 0.0f;

  // n = floor(256 r) kept within 128..1024 steps around a full turn.
  static dgAngularGrid ForRadius(float radius);

  // The best of the four grid points around dir on the sphere of this radius,
  // (x, y, z, 0). Directions of any length are taken as their unit direction.
  dgVector SphereSupport(const dgVector& dir, float radius) const;
};

// The eight faces of the unit octahedron (three unit vertices each, wound outward).
extern const dgVector dgOctahedronFaces[8][3];

// Subdivides the triangle (a, b, c) levels times, pushing new vertices onto
// the unit sphere, and calls emit(context, triangle) for every resulting triangle.
void dgSubdivideUnitTriangle(const dgVector& a, const dgVector& b, const dgVector& c, int levels,
                             void (*emit)(void* context, const dgVector* triangle), void* context);
