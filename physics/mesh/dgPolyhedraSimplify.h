#pragma once
// The edge-collapse pass of dgPolyhedra::Optimize.

#include "physics/mesh/dgPolyhedra.h"

// Collapses half-edges whose quadric error stays below tolerance² · 10,
// cheapest first, refusing collapses that fold or crush a face.
void dgPolyhedraSimplify(dgPolyhedra& mesh, const float* vertices, int strideBytes, double tolerance);
