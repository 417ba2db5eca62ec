#pragma once
// The edge-collapse pass of dgPolyhedra::Optimize.

#include "physics/mesh/dgPolyhedra.h"

// Collapses half-edges whose quadric error stays below tolerance² · 10,
// cheapest first, refusing collapses that fold or crush a face. With
// patchOfFace (indexed by face id, faceIdCount entries), a vertex only goes
// when every face around it belongs to one patch (a non-zero entry).
void dgPolyhedraSimplify(dgPolyhedra& mesh, const float* vertices, int strideBytes, double tolerance,
                         const int* patchOfFace = nullptr, int faceIdCount = 0);
