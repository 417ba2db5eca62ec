#pragma once
// The directed edges of a built face tree grouped by their start vertex, so
// that the faces across each edge of a face are found directly instead of
// by a box query over the tree.

#include "physics/soup/dgAABBPolygonSoup.h"

class dgSoupEdgeTable {
 public:
  // Reads every face of the tree; IsValid() is false when scratch memory
  // ran out (or the tree holds nothing).
  explicit dgSoupEdgeTable(const dgAABBPolygonSoup& soup);
  dgSoupEdgeTable(const dgSoupEdgeTable&) = delete;
  dgSoupEdgeTable& operator=(const dgSoupEdgeTable&) = delete;
  ~dgSoupEdgeTable();

  bool IsValid() const { return mFaces != nullptr; }

  // Calls visit(indices, count) once for every other face of the tree with
  // an edge b -> a opposite an edge a -> b of the face at `indices` (edge
  // flags ignored). The face must be one of the tree's own.
  template <class Visit>
  void ForFacesAcross(const int* indices, int count, Visit visit);

 private:
  struct Face {
    int position;  // of its first vertex index in the tree's index array
    int count;
  };
  struct Edge {
    int end;
    int face;
  };

  const int* mIndices;
  int mVertexCount = 0;
  Face* mFaces = nullptr;
  // Edges starting at vertex v: mEdges[mFirstEdge[v]] up to mEdges[mFirstEdge[v + 1]].
  int* mFirstEdge = nullptr;
  Edge* mEdges = nullptr;
  // Per face, the position of the face that visited it last (no face visited twice).
  int* mVisitedBy = nullptr;
};

template <class Visit>
void dgSoupEdgeTable::ForFacesAcross(const int* indices, int count, Visit visit) {
  const int position = static_cast<int>(indices - mIndices);
  for (int i = 0; i < count; ++i) {
    const int a = indices[i] & dgAABBPolygonSoup::kIndexMask;
    const int b = indices[(i + 1) % count] & dgAABBPolygonSoup::kIndexMask;
    if (b >= mVertexCount) continue;
    for (int e = mFirstEdge[b]; e < mFirstEdge[b + 1]; ++e) {
      const Edge& edge = mEdges[e];
      const Face& other = mFaces[edge.face];
      if (edge.end != a || other.position == position || mVisitedBy[edge.face] == position) continue;
      mVisitedBy[edge.face] = position;
      visit(mIndices + other.position, other.count);
    }
  }
}
