#pragma once
// The directed edges of a built face tree grouped by their start vertex, so
// that the faces across each edge of a face are found directly instead of
// by a box query over the tree.

#include "physics/soup/dgAABBPolygonSoup.h"

class dgSoupEdgeTable {
 public:
  // Reads every face of the tree; IsValid() is false when scratch memory
  // ran out (or the tree holds nothing).
  explicit dgSoupEdgeTable(dgAABBPolygonSoup& soup);
  dgSoupEdgeTable(const dgSoupEdgeTable&) = delete;
  dgSoupEdgeTable& operator=(const dgSoupEdgeTable&) = delete;
  ~dgSoupEdgeTable();

  bool IsValid() const { return mFaces != nullptr; }

  // The tree's faces, numbered in the order their runs lie in the index array.
  int GetFaceCount() const { return mFaceCount; }
  // The face's vertex indices in the tree's index array (edge flags kept).
  int* FaceIndices(int face) const { return mIndices + mFaces[face].position; }
  int FaceIndexCount(int face) const { return mFaces[face].count; }

  // Calls visit(other, edge, otherEdge) once for every other face with an
  // edge b -> a opposite an edge a -> b of the face (edge flags ignored):
  // edge is the first such edge of the face (edge k runs from its k-th
  // index to the next) and otherEdge the first of the other face opposite it.
  template <class Visit>
  void ForFacesAcross(int face, Visit visit);

 private:
  struct Face {
    int position;  // of its first vertex index in the tree's index array
    int count;
  };
  struct Edge {
    int end;
    int face;
    int slot;  // the edge's number within its face
  };

  int* mIndices;
  int mVertexCount = 0;
  int mFaceCount = 0;
  Face* mFaces = nullptr;
  // Edges starting at vertex v, in face order and then edge order:
  // mEdges[mFirstEdge[v]] up to mEdges[mFirstEdge[v + 1]].
  int* mFirstEdge = nullptr;
  Edge* mEdges = nullptr;
  // Per face, the face whose neighbours it was last handed out as (no face twice).
  int* mVisitedBy = nullptr;
};

template <class Visit>
void dgSoupEdgeTable::ForFacesAcross(int face, Visit visit) {
  const int* indices = FaceIndices(face);
  const int count = FaceIndexCount(face);
  for (int i = 0; i < count; ++i) {
    const int a = indices[i] & dgAABBPolygonSoup::kIndexMask;
    const int b = indices[(i + 1) % count] & dgAABBPolygonSoup::kIndexMask;
    if (b >= mVertexCount) continue;
    for (int e = mFirstEdge[b]; e < mFirstEdge[b + 1]; ++e) {
      const Edge& edge = mEdges[e];
      if (edge.end != a || edge.face == face || mVisitedBy[edge.face] == face) continue;
      mVisitedBy[edge.face] = face;
      visit(edge.face, i, edge.slot);
    }
  }
}
