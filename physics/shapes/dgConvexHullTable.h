#pragma once
// Builds the shared half-edge table of a primitive's hull from its faces.

#include "physics/shapes/dgConvexCollision.h"

// Fills outEdges with the half-edges of a closed polyhedron given as faces
// of vertex indices (faceSizes[i] indices each, wound outward, one after the
// other in indices). The edges are numbered in the order of their key
// (end vertex, then start vertex), the order of the half-edge mesh's edge
// tree. Returns the half-edge count, or 0 when the faces are not a closed
// manifold or need more than maxEdges edges.
int dgBuildConvexEdgeTable(int faceCount, const int* faceSizes, const int* indices, dgConvexEdge* outEdges,
                           int maxEdges);
