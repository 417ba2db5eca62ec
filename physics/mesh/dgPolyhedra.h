#pragma once
// A polygon mesh stored as half-edges in a red-black tree keyed by the
// directed vertex pair (end << 32 | start). At most one half-edge exists per
// directed pair, which keeps the mesh manifold; vertices are indices only,
// positions come from the vertex arrays given to the geometric operations.

#include <cstdint>

#include "physics/math/dgVector.h"
#include "physics/memory/dgTree.h"

struct dgEdge {
  int64_t userData = 0;    // per-edge data given to AddFaceWithData (the face attribute)
  dgEdge* twin = nullptr;  // same two vertices, other direction; null until EndFace
  dgEdge* next = nullptr;  // next half-edge around the same face
  dgEdge* prev = nullptr;  // previous half-edge around the same face
  int mark = 0;            // last mark stamped on this edge
  int face = 0;            // id of the face on the left; -1 for an open loop
  int vertex = 0;          // vertex the edge starts at
  void* node = nullptr;    // the tree node holding this edge
};

class dgPolyhedra {
 public:
  using EdgeTree = dgTree<dgEdge, int64_t>;
  using EdgeNode = EdgeTree::dgTreeNode;

  dgPolyhedra() = default;
  dgPolyhedra(const dgPolyhedra&) = delete;
  dgPolyhedra& operator=(const dgPolyhedra&) = delete;
  ~dgPolyhedra() = default;

  // The tree key of the half-edge from start to end.
  static int64_t EdgeKey(int start, int end) { return static_cast<int64_t>(end) * 4294967296LL + start; }

  // Adds a face of count vertex indices (user data 0 on every edge); returns
  // its first half-edge, or null, with nothing changed, when the polygon uses
  // an edge twice, has two equal consecutive indices, fewer than three
  // indices, a negative index, or a directed edge already in the mesh.
  dgEdge* AddFace(int count, const int* indices);
  // AddFace with three indices.
  dgEdge* AddTriangle(int a, int b, int c);
  // AddFace where the edge starting at indices[i] carries userData[i].
  dgEdge* AddFaceWithData(int count, const int* indices, const int64_t* userData);
  // Links twins and closes every open border with face -1 loops.
  void EndFace();
  // The half-edge from start to end, or null.
  dgEdge* FindEdge(int start, int end) const;
  // Makes a face open (-1); edges with no face on either side leave the mesh.
  void DeleteFace(dgEdge* faceEdge);
  // Simplifies in place: splits faces into triangles, drops tiny faces,
  // collapses edges that change the shape less than 0.001, drops tiny faces
  // again and merges coplanar neighbours into convex faces. Faces that cannot
  // be triangulated are copied to sideMesh (when given) and removed.
  void Optimize(const float* vertices, int strideBytes, dgPolyhedra* sideMesh);
  // Joins faces into larger convex faces without moving the surface by more
  // than tolerance: faces are grouped into patches that lie within tolerance
  // of one plane; inside a patch faces are split into triangles, vertices
  // whose faces all belong to it (or that lie on a straight open border)
  // leave, and neighbours join while every corner stays convex. No vertex
  // moves and no face is dropped. Faces that cannot be triangulated are
  // copied to sideMesh (when given) and removed. The faces given must be
  // convex and flat within tolerance.
  void MergeFlatPatches(const float* vertices, int strideBytes, double tolerance, dgPolyhedra* sideMesh);

  // Number of half-edges.
  int GetEdgeCount() const { return edges_.GetCount(); }
  // The last face id handed out.
  int GetFaceCounter() const { return faceCounter_; }
  // Advances the mark and returns the new value.
  int IncrementMark() { return ++mark_; }
  int GetMark() const { return mark_; }
  // The first tree node (walk with Next()); null when empty.
  EdgeNode* GetFirstNode() const { return edges_.Minimum(); }
  // Number of edges in the loop of e, or -1 when it does not close within
  // the edge count (a corrupt loop).
  int GetLoopLength(const dgEdge* e) const;

 private:
  friend class dgPolyhedraSimplifier;

  // Inserts a half-edge start -> end; null when the key exists or no node can be had.
  dgEdge* InsertEdge(int start, int end, int face, int64_t userData);
  // Takes a half-edge out of the tree and frees it.
  void RemoveEdge(dgEdge* e);
  // Removes e and its twin, joining the loops on both sides.
  void RemoveEdgePair(dgEdge* e);
  // Re-keys e (start = e->vertex) to the given end vertex.
  bool RekeyEdge(dgEdge* e, int start, int end);

  // Stamps mark on the length edges of the loop starting at e.
  static void MarkLoop(dgEdge* e, int length, int mark) {
    for (int i = 0; i < length; ++i, e = e->next) e->mark = mark;
  }
  // Calls visit(node, edge, length) once for each face with an id (corrupt
  // loops skipped), stamping a fresh mark on its loop. visit must not change
  // the mesh: the passes that do gather faces first and work on them after.
  template <class Visit>
  void ForEachFace(Visit visit) {
    const int mark = IncrementMark();
    for (EdgeNode* node = GetFirstNode(); node; node = node->Next()) {
      dgEdge* e = &node->GetInfo();
      if (e->mark == mark || e->face <= 0) continue;
      const int length = GetLoopLength(e);
      if (length < 0) continue;
      MarkLoop(e, length, mark);
      visit(node, e, length);
    }
  }

  void Triangulate(const float* vertices, int strideBytes, dgPolyhedra* sideMesh);
  // Null when the face was split into triangles, else an edge of the loop left.
  dgEdge* TriangulateFace(dgEdge* face, const float* vertices, int strideBytes);
  void MoveFaceToSideMesh(dgEdge* face, dgPolyhedra* sideMesh);
  void RemoveSmallFaces(const float* vertices, int strideBytes, double tolerance);
  bool MergeCoplanarFaces(const float* vertices, int strideBytes);
  // True when removing e (joining its two faces) leaves both corners it
  // creates convex about the unit normal (x, y, z).
  static bool JoinKeepsCornersConvex(const dgEdge* e, const float* vertices, int strideBytes, const double* normal);
  // Patch of each face id (the id of its seed face; 0 for none) and the unit
  // normal of each patch, three doubles per id.
  void GatherFlatPatches(const float* vertices, int strideBytes, double tolerance, int* patchOfFace,
                         double* patchNormals);
  // Joins neighbouring faces of one patch; true when any joined.
  bool JoinPatchFaces(const float* vertices, int strideBytes, const int* patchOfFace, const double* patchNormals);

  EdgeTree edges_;
  int mark_ = 0;
  int faceCounter_ = 0;
};

// The face normal of the loop starting at faceEdge: the sum of the fan's
// cross products, computed in double precision, w = 0; its length is twice
// the face area. The walk stops after maxEdges edges (a corrupt loop).
dgVector dgPolyhedraFaceNormal(const dgEdge* faceEdge, const float* vertices, int strideBytes, int maxEdges = 1 << 24);
