#pragma once
// Builds the shared half-edge table of a primitive's hull from its faces.

#include "physics/shapes/dgConvexCollision.h"

// Fills outEdges with the half-edges of a closed polyhedron given as faces
// of vertex indices (faceSizes[i] indices each, wound outward, one after the
// other in indices), built through a half-edge mesh and numbered in the
// mesh's order (its edge tree's key order: end vertex, then start vertex).
// Returns the half-edge count, or 0 when the faces are not a closed manifold
// or need more than maxEdges edges.
int dgBuildConvexEdgeTable(int faceCount, const int* faceSizes, const int* indices, dgConvexEdge* outEdges,
                           int maxEdges);
