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

  bool IsValid() const { return faces_ != nullptr; }

  // The tree's faces, numbered in the order their runs lie in the index array.
  int GetFaceCount() const { return faceCount_; }
  // The face's vertex indices in the tree's index array (edge flags kept).
  int* FaceIndices(int face) const { return indices_ + faces_[face].position; }
  int FaceIndexCount(int face) const { return faces_[face].count; }

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

  int* indices_;
  int vertexCount_ = 0;
  int faceCount_ = 0;
  Face* faces_ = nullptr;
  // Edges starting at vertex v, in face order and then edge order:
  // edges_[firstEdge_[v]] up to edges_[firstEdge_[v + 1]].
  int* firstEdge_ = nullptr;
  Edge* edges_ = nullptr;
  // Per face, the face whose neighbours it was last handed out as (no face twice).
  int* visitedBy_ = nullptr;
};

template <class Visit>
void dgSoupEdgeTable::ForFacesAcross(int face, Visit visit) {
  const int* indices = FaceIndices(face);
  const int count = FaceIndexCount(face);
  for (int i = 0; i < count; ++i) {
    const int a = indices[i] & dgAABBPolygonSoup::kIndexMask;
    const int b = indices[(i + 1) % count] & dgAABBPolygonSoup::kIndexMask;
    if (b >= vertexCount_) continue;
    for (int e = firstEdge_[b]; e < firstEdge_[b + 1]; ++e) {
      const Edge& edge = edges_[e];
      if (edge.end != a || edge.face == face || visitedBy_[edge.face] == face) continue;
      visitedBy_[edge.face] = face;
      visit(edge.face, i, edge.slot);
    }
  }
}
