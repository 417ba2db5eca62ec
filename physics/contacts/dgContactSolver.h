#pragma once
// The convex-convex contact solver of one shape pair. It works on the
// Minkowski difference of the two shapes through their support-vertex and
// plane-section operations; one solver lives on the stack per query.

#include <cstdint>

#include "physics/math/dgMatrix.h"
#include "physics/math/dgVector.h"

class dgBody;
class dgCollision;

class dgContactSolver {
 public:
  static constexpr int kMaxVertices = 128;
  static constexpr int kMaxFaces = 128;
  static constexpr int kMaxEdges = 512;
  static constexpr int kDirectionCount = 14;

  // One half-edge of the expanding polytope.
  struct dgPolytopeEdge {
    // Bits 0-15: face number (signed; -1 removed, -2 horizon); bits 16-30:
    // start vertex; bit 31: the face is in the heap.
    uint32_t faceAndVertex = 0;
    dgPolytopeEdge* twin = nullptr;
    dgPolytopeEdge* next = nullptr;
    dgPolytopeEdge* prev = nullptr;
  };

  // Fills the table of search directions; the world calls it once when it is built.
  static void InitTables();
  // Search direction i (0-13): the 8 unit cube diagonals, then the 6 axes.
  static const dgVector& GetSearchDirection(int i) { return sDirections[i]; }
  // The four faces of the starting tetrahedron: three vertices, then the opposite one.
  static constexpr int kTetrahedronFaces[4][4] = {{0, 1, 2, 3}, {0, 2, 3, 1}, {2, 1, 3, 0}, {1, 0, 3, 2}};

 private:
  static dgVector sDirections[kDirectionCount];

  dgMatrix mMatrix;  // body 1's matrix in body 0's frame
  dgVector mVertices[kMaxVertices];
  dgVector mSums[kMaxVertices];
  dgVector mPlanes[kMaxFaces];
  dgPolytopeEdge mEdges[kMaxEdges];
  int mEdgeCount = 0;
  int mVertexCount = 0;
  int mFaceCount = 0;
  dgBody* mBody1 = nullptr;
  dgBody* mBody0 = nullptr;
  dgCollision* mCollision1 = nullptr;
  dgCollision* mCollision0 = nullptr;
  dgVector* mFreeFaces = nullptr;
  dgPolytopeEdge* mFreeEdges = nullptr;
};
