#pragma once
// Corner geometry of a soup face given as an index loop, and the walk that
// hands out the face loops of a half-edge mesh: shared by the builder's
// cleaning of incoming polygons and its merge.

#include <cmath>
#include <cstring>

#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"
#include "physics/soup/dgPolygonSoupBuilder.h"

// v over its length, with 1e-10 added to the squared length.
inline dgVector3d dgSoupUnit(const dgVector3d& v) { return v * (1.0 / std::sqrt(v.LengthSquared() + 1.0e-10)); }

// Corner geometry of an index loop over a three-float vertex array. Loops
// of up to kCachedCorners corners keep their points, edges and unit edge
// directions, worked out once and again only after a corner goes; longer
// ones work each out when asked. Both give the same values.
class dgSoupFaceLoop {
 public:
  static constexpr int kCachedCorners = 64;

  dgSoupFaceLoop(const float* vertices, int* indices, int count)
      : vertices_(vertices), indices_(indices), count_(count), cached_(count <= kCachedCorners) {
    if (!cached_) return;
    for (int i = 0; i < count_; ++i) points_[i].Set(dgReadVertex3d(vertices_, 12, indices_[i]));
    UpdateEdges();
  }

  int Count() const { return count_; }

  dgVector3d At(int i) const { return cached_ ? points_[i].Get() : dgReadVertex3d(vertices_, 12, indices_[i]); }
  // The unit direction into corner i and out of it.
  dgVector3d In(int i) const { return Out(i == 0 ? count_ - 1 : i - 1); }
  dgVector3d Out(int i) const { return cached_ ? units_[i].Get() : dgSoupUnit(Edge(i)); }

  void Erase(int i) {
    std::memmove(indices_ + i, indices_ + i + 1, static_cast<size_t>(count_ - i - 1) * sizeof(int));
    if (cached_) std::memmove(points_ + i, points_ + i + 1, static_cast<size_t>(count_ - i - 1) * sizeof(Stored));
    --count_;
    if (cached_) UpdateEdges();
  }

  // Drops the start corner of every edge shorter than the weld distance.
  void RemoveShortEdges() {
    for (bool removed = true; removed && count_ >= 3;) {
      removed = false;
      for (int i = 0; i < count_; ++i) {
        const dgVector3d edge = cached_ ? edges_[i].Get() : Edge(i);
        if (edge.LengthSquared() < dgPolygonSoupDatabaseBuilder::kShortEdgeSquared) {
          Erase(i);
          removed = true;
          break;
        }
      }
    }
  }

  // Unit normal from the sum of the fan's cross products.
  dgVector3d Normal() const {
    dgVector3d n;
    const dgVector3d p0 = At(0);
    for (int i = 2; i < count_; ++i) n = n + (At(i - 1) - p0).Cross(At(i) - p0);
    return dgSoupUnit(n);
  }

  void RemoveStraightCorners() {
    for (bool removed = true; removed && count_ >= 3;) {
      removed = false;
      for (int i = 0; i < count_; ++i) {
        if (In(i).Dot(Out(i)) > dgPolygonSoupDatabaseBuilder::kStraightCorner) {
          Erase(i);
          removed = true;
          break;
        }
      }
    }
  }

  bool IsReflex(int i, const dgVector3d& normal) const {
    return In(i).Cross(Out(i)).Dot(normal) < dgPolygonSoupDatabaseBuilder::kReflexTolerance;
  }

  // The corner closest to a right angle (the first such corner on ties):
  // a stored face starts there.
  int RightAngleCorner() const {
    int best = 0;
    double bestDot = 2.0;
    for (int i = 0; i < count_; ++i) {
      const double dot = std::fabs(In(i).Dot(Out(i)));
      if (dot < bestDot) {
        bestDot = dot;
        best = i;
      }
    }
    return best;
  }

  // The first reflex corner, or -1 when the loop is convex.
  int FindReflex(const dgVector3d& normal) const {
    for (int i = 0; i < count_; ++i) {
      if (IsReflex(i, normal)) return i;
    }
    return -1;
  }

 private:
  // The edge from corner i to the next.
  dgVector3d Edge(int i) const { return At(i + 1 == count_ ? 0 : i + 1) - At(i); }

  void UpdateEdges() {
    for (int i = 0; i < count_; ++i) {
      const dgVector3d edge = points_[i + 1 == count_ ? 0 : i + 1].Get() - points_[i].Get();
      edges_[i].Set(edge);
      units_[i].Set(dgSoupUnit(edge));
    }
  }

  // A vector kept in the cache; left uninitialised until set, so that
  // making a loop costs nothing for the corners it does not have.
  struct Stored {
    double x, y, z;
    void Set(const dgVector3d& v) {
      x = v.x;
      y = v.y;
      z = v.z;
    }
    dgVector3d Get() const { return {x, y, z}; }
  };

  const float* vertices_;
  int* indices_;
  int count_;
  bool cached_;
  Stored points_[kCachedCorners];
  Stored edges_[kCachedCorners];
  Stored units_[kCachedCorners];
};

// Calls emit(indices, count) once for every closed face loop of the mesh.
template <class Emit>
bool dgEmitFaceLoops(dgPolyhedra& mesh, Emit emit) {
  const int mark = mesh.IncrementMark();
  for (auto* node = mesh.GetFirstNode(); node; node = node->Next()) {
    dgEdge* e = &node->GetInfo();
    if (e->mark == mark) continue;
    const int length = mesh.GetLoopLength(e);
    if (length < 0) continue;
    dgStack<int> loop(length);
    if (!loop.IsValid()) return false;
    dgEdge* walk = e;
    for (int i = 0; i < length; ++i, walk = walk->next) {
      walk->mark = mark;
      loop[i] = walk->vertex;
    }
    if (e->face > 0 && length >= 3 && !emit(loop.Data(), length)) return false;
  }
  return true;
}

// Cuts a convex loop longer than the face tree holds into a fan of convex
// pieces sharing its first corner, each of at most
// dgPolygonSoupDatabaseBuilder::kMaxFaceIndices corners, and calls
// store(indices, count) for each; false as soon as store fails.
template <class Store>
bool dgForEachFanPiece(const int* indices, int count, Store store) {
  constexpr int kMaxCorners = dgPolygonSoupDatabaseBuilder::kMaxFaceIndices;
  int piece[kMaxCorners];
  piece[0] = indices[0];
  for (int start = 1; start < count - 1;) {
    const int end = start + kMaxCorners - 2 < count - 1 ? start + kMaxCorners - 2 : count - 1;
    const int n = end - start + 1;
    std::memcpy(piece + 1, indices + start, static_cast<size_t>(n) * sizeof(int));
    if (!store(piece, n + 1)) return false;
    start = end;
  }
  return true;
}
