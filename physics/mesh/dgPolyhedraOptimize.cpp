// The passes of dgPolyhedra::Optimize other than the edge collapse:
// triangulation by ear clipping, removal of tiny faces and the merge of
// coplanar neighbours into convex faces.

#include <cmath>

#include "physics/memory/dgHeap.h"
#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"
#include "physics/mesh/dgPolyhedraSimplify.h"

namespace {

// A face whose squared normal length is below this has no usable plane.
constexpr double kDegenerateNormal = 1e-12;
// Edge lengths are floored at this before dividing.
constexpr double kMinEdgeLength = 1e-10;
// Every corner rated above this: the polygon is convex enough to cut the best ear blindly.
constexpr double kConvexEarRating = 0.1;
// A loop vertex counts as inside a candidate ear unless it lies outside one
// of the ear's edges by more than this sine of the angle (about 2.9 degrees).
constexpr double kEarInsideTolerance = 0.05;
// Faces with an area below this go.
constexpr double kSmallFaceArea = 0.0001;
// Collapses that move the surface less than this are taken.
constexpr double kSimplifyTolerance = 0.001;
// Coplanar patch: unit normals at least this aligned, every vertex this
// close to the seed plane (relative to the coordinates' size). A merged
// face answers rays and contacts by the plane of its first corners, so its
// corners must all lie in that plane: a looser band leaves gaps between a
// merged face and its neighbours on curved surfaces.
constexpr double kCoplanarDot = 0.9999;
constexpr double kCoplanarDistance = 1e-5;
// A merged corner must turn by more than this sine (about 5.7 degrees).
constexpr double kConvexCornerSine = 0.1;
constexpr double kCoincidentSquared = 1e-12;
constexpr int kMergePasses = 2;

dgVector3d Unit(const dgVector3d& v) {
  double length = std::sqrt(v.LengthSquared());
  if (length < kMinEdgeLength) length = kMinEdgeLength;
  return v * (1.0 / length);
}

dgVector3d FaceNormal3d(const dgEdge* face, const float* vertices, int strideBytes, int maxEdges) {
  const dgVector n = dgPolyhedraFaceNormal(face, vertices, strideBytes, maxEdges);
  return {n.x, n.y, n.z};
}

// Rating of the corner where e starts: (unit incoming x unit outgoing) · n.
double CornerRating(const dgEdge* e, const float* vertices, int strideBytes, const dgVector3d& normal) {
  const dgVector3d previous = dgReadVertex3d(vertices, strideBytes, e->prev->vertex);
  const dgVector3d corner = dgReadVertex3d(vertices, strideBytes, e->vertex);
  const dgVector3d following = dgReadVertex3d(vertices, strideBytes, e->next->vertex);
  return Unit(corner - previous).Cross(Unit(following - corner)).Dot(normal);
}

// True when point p lies inside (or on) triangle a, b, c wound about normal.
bool InsideEar(const dgVector3d& p, const dgVector3d& a, const dgVector3d& b, const dgVector3d& c,
               const dgVector3d& normal) {
  const dgVector3d corners[3] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    const dgVector3d edge = corners[(i + 1) % 3] - corners[i];
    const dgVector3d toPoint = p - corners[i];
    const double scale = std::sqrt(edge.LengthSquared() * toPoint.LengthSquared());
    if (scale < kMinEdgeLength) return true;  // on a corner of the ear
    if (edge.Cross(toPoint).Dot(normal) < -kEarInsideTolerance * scale) return false;
  }
  return true;
}

}  // namespace

void dgPolyhedra::Optimize(const float* vertices, int strideBytes, dgPolyhedra* sideMesh) {
  if (GetEdgeCount() == 0 || !vertices) return;
  Triangulate(vertices, strideBytes, sideMesh);
  RemoveSmallFaces(vertices, strideBytes, kSmallFaceArea);
  dgPolyhedraSimplify(*this, vertices, strideBytes, kSimplifyTolerance);
  RemoveSmallFaces(vertices, strideBytes, kSmallFaceArea);
  for (int pass = 0; pass < kMergePasses; ++pass) {
    if (!MergeCoplanarFaces(vertices, strideBytes)) break;
  }
}

void dgPolyhedra::Triangulate(const float* vertices, int strideBytes, dgPolyhedra* sideMesh) {
  dgStack<dgEdge*> faces(GetEdgeCount() + 1);
  if (!faces.IsValid()) return;
  int faceCount = 0;
  ForEachFace([&](EdgeNode*, dgEdge* e, int length) {
    if (length > 3) faces[faceCount++] = e;
  });
  for (int i = 0; i < faceCount; ++i) {
    if (dgEdge* left = TriangulateFace(faces[i], vertices, strideBytes)) MoveFaceToSideMesh(left, sideMesh);
  }
}

dgEdge* dgPolyhedra::TriangulateFace(dgEdge* face, const float* vertices, int strideBytes) {
  const int maxEdges = GetEdgeCount();
  dgVector3d normal = FaceNormal3d(face, vertices, strideBytes, maxEdges);
  if (normal.LengthSquared() < kDegenerateNormal) return face;
  normal = normal * (1.0 / std::sqrt(normal.LengthSquared()));

  int length = GetLoopLength(face);
  if (length < 0) return nullptr;
  using EarHeap = dgHeap<dgEdge*, double>;
  dgStack<EarHeap::Entry> storage(length);
  dgStack<dgEdge*> loop(length);
  if (!storage.IsValid() || !loop.IsValid()) return face;

  dgEdge* start = face;
  while (length > 3) {
    EarHeap ears(storage.Data(), length);
    bool allConvex = true;
    dgEdge* walk = start;
    for (int i = 0; i < length; ++i, walk = walk->next) {
      loop[i] = walk;
      const double rating = CornerRating(walk, vertices, strideBytes, normal);
      if (rating <= kConvexEarRating) allConvex = false;
      if (rating >= 0.0) ears.Push(rating, walk);
    }

    dgEdge* ear = nullptr;
    for (bool blind = allConvex; ears.GetCount() > 0; blind = false) {
      dgEdge* candidate = ears.TopValue();
      ears.Pop();
      const int before = candidate->prev->vertex;
      const int after = candidate->next->vertex;
      if (before == after || FindEdge(before, after) || FindEdge(after, before)) continue;
      if (!blind) {
        const dgVector3d a = dgReadVertex3d(vertices, strideBytes, before);
        const dgVector3d b = dgReadVertex3d(vertices, strideBytes, candidate->vertex);
        const dgVector3d c = dgReadVertex3d(vertices, strideBytes, after);
        bool contains = false;
        for (int i = 0; i < length && !contains; ++i) {
          const int v = loop[i]->vertex;
          if (v == before || v == after || v == candidate->vertex) continue;
          contains = InsideEar(dgReadVertex3d(vertices, strideBytes, v), a, b, c, normal);
        }
        if (contains) continue;
      }
      ear = candidate;
      break;
    }
    if (!ear) return start;

    // Cut triangle (before, corner, after) off with the diagonal after -> before.
    dgEdge* incoming = ear->prev;
    dgEdge* outgoing = ear->next;
    dgEdge* beforeIncoming = incoming->prev;
    dgEdge* diagonal = InsertEdge(outgoing->vertex, incoming->vertex, ear->face, ear->userData);
    dgEdge* remaining = diagonal ? InsertEdge(incoming->vertex, outgoing->vertex, ear->face, ear->userData) : nullptr;
    if (!remaining) {
      if (diagonal) RemoveEdge(diagonal);
      return start;
    }
    diagonal->mark = remaining->mark = ear->mark;
    diagonal->twin = remaining;
    remaining->twin = diagonal;
    remaining->prev = beforeIncoming;
    beforeIncoming->next = remaining;
    remaining->next = outgoing;
    outgoing->prev = remaining;
    incoming->prev = diagonal;
    diagonal->next = incoming;
    ear->next = diagonal;
    diagonal->prev = ear;
    start = remaining;
    --length;
  }
  return nullptr;
}

void dgPolyhedra::MoveFaceToSideMesh(dgEdge* face, dgPolyhedra* sideMesh) {
  // Any edge of the loop that is left: the loop may have been partly cut.
  const int length = GetLoopLength(face);
  if (length < 0) return;
  if (sideMesh) {
    dgStack<int> indices(length);
    dgStack<int64_t> data(length);
    if (indices.IsValid() && data.IsValid()) {
      dgEdge* walk = face;
      for (int i = 0; i < length; ++i, walk = walk->next) {
        indices[i] = walk->vertex;
        data[i] = walk->userData;
      }
      sideMesh->AddFaceWithData(length, indices.Data(), data.Data());
    }
  }
  DeleteFace(face);
}

void dgPolyhedra::RemoveSmallFaces(const float* vertices, int strideBytes, double tolerance) {
  dgStack<dgEdge*> faces(GetEdgeCount() + 1);
  if (!faces.IsValid()) return;
  int faceCount = 0;
  ForEachFace([&](EdgeNode*, dgEdge* e, int) { faces[faceCount++] = e; });
  const double limit = 4.0 * tolerance * tolerance;
  for (int i = 0; i < faceCount; ++i) {
    if (FaceNormal3d(faces[i], vertices, strideBytes, GetEdgeCount()).LengthSquared() < limit) DeleteFace(faces[i]);
  }
}

bool dgPolyhedra::MergeCoplanarFaces(const float* vertices, int strideBytes) {
  const int edgeCount = GetEdgeCount();
  dgStack<dgEdge*> patch(edgeCount + 100);
  dgStack<dgEdge*> pending(edgeCount + 100);
  dgStack<int64_t> interior(edgeCount + 100);
  if (!patch.IsValid() || !pending.IsValid() || !interior.IsValid()) return false;

  // Seeds are remembered by their vertices: joins remove edges as we go.
  dgStack<int64_t> seeds(edgeCount + 1);
  if (!seeds.IsValid()) return false;
  int seedCount = 0;
  ForEachFace([&](EdgeNode* node, dgEdge*, int) { seeds[seedCount++] = node->GetKey(); });
  const int mark = IncrementMark();

  bool merged = false;
  for (int s = 0; s < seedCount; ++s) {
    EdgeNode* node = edges_.Find(seeds[s]);
    if (!node) continue;
    dgEdge* seed = &node->GetInfo();
    // Marks only grow: anything stamped since this pass began was visited.
    if (seed->mark >= mark || seed->face <= 0) continue;
    const int seedLength = GetLoopLength(seed);
    if (seedLength < 0) continue;
    MarkLoop(seed, seedLength, mark);
    dgVector3d normal = FaceNormal3d(seed, vertices, strideBytes, edgeCount);
    if (normal.LengthSquared() < kDegenerateNormal) continue;
    normal = normal * (1.0 / std::sqrt(normal.LengthSquared()));
    const dgVector3d seedPoint = dgReadVertex3d(vertices, strideBytes, seed->vertex);
    const double offset = -normal.Dot(seedPoint);
    const double seedSize =
        std::fmax(std::fmax(std::fabs(seedPoint.x), std::fabs(seedPoint.y)), std::fabs(seedPoint.z));

    // Gather the coplanar patch across shared edges; every face in it is stamped.
    int patchCount = 0;
    int pendingCount = 0;
    patch[patchCount++] = seed;
    pending[pendingCount++] = seed;
    while (pendingCount > 0) {
      dgEdge* face = pending[--pendingCount];
      dgEdge* walk = face;
      const int length = GetLoopLength(face);
      for (int i = 0; i < length; ++i, walk = walk->next) {
        dgEdge* neighbour = walk->twin;
        if (!neighbour || neighbour->face <= 0 || neighbour->mark >= mark) continue;
        const int neighbourLength = GetLoopLength(neighbour);
        if (neighbourLength < 0) continue;
        dgVector3d n = FaceNormal3d(neighbour, vertices, strideBytes, edgeCount);
        if (n.LengthSquared() < kDegenerateNormal) continue;
        n = n * (1.0 / std::sqrt(n.LengthSquared()));
        if (n.Dot(normal) < kCoplanarDot) continue;
        bool onPlane = true;
        dgEdge* corner = neighbour;
        for (int k = 0; k < neighbourLength && onPlane; ++k, corner = corner->next) {
          const dgVector3d p = dgReadVertex3d(vertices, strideBytes, corner->vertex);
          const double size = std::fmax(std::fmax(std::fabs(p.x), std::fabs(p.y)), std::fabs(p.z));
          onPlane = std::fabs(normal.Dot(p) + offset) <= kCoplanarDistance * (1.0 + size + seedSize);
        }
        if (!onPlane) continue;
        corner = neighbour;
        for (int k = 0; k < neighbourLength; ++k, corner = corner->next) corner->mark = mark;
        if (patchCount < edgeCount + 100 && pendingCount < edgeCount + 100) {
          patch[patchCount++] = neighbour;
          pending[pendingCount++] = neighbour;
        }
      }
    }
    if (patchCount < 2) continue;
    merged = true;

    // A mark of this patch alone, so edges towards faces of earlier patches
    // of the pass are not taken for interior ones.
    const int patchMark = IncrementMark();
    for (int f = 0; f < patchCount; ++f) MarkLoop(patch[f], GetLoopLength(patch[f]), patchMark);

    // Interior edges: both sides belong to faces of the patch (both stamped
    // by this pass and real). One of each twin pair (the one starting at the
    // lower vertex) so each pair is seen once.
    int interiorCount = 0;
    for (int f = 0; f < patchCount; ++f) {
      dgEdge* walk = patch[f];
      const int length = GetLoopLength(walk);
      for (int i = 0; i < length; ++i, walk = walk->next) {
        dgEdge* twin = walk->twin;
        if (!twin || twin->face <= 0 || twin->mark != patchMark) continue;
        if (walk->vertex < twin->vertex && interiorCount < edgeCount + 100)
          interior[interiorCount++] = EdgeKey(walk->vertex, twin->vertex);
      }
    }
    // Interior edges are kept by key and looked up again: joins remove edges.
    for (int i = 0; i < interiorCount; ++i) {
      EdgeNode* found = edges_.Find(interior[i]);
      dgEdge* e = found ? &found->GetInfo() : nullptr;
      if (!e || !e->twin || e->face <= 0 || e->twin->face <= 0) continue;
      dgEdge* t = e->twin;
      // Both sides must still be different loops.
      bool sameLoop = false;
      const int length = GetLoopLength(e);
      if (length < 0) continue;
      dgEdge* walk = e->next;
      for (int k = 1; k < length && !sameLoop; ++k, walk = walk->next) sameLoop = walk == t;
      if (sameLoop) continue;

      const double unitNormal[3] = {normal.x, normal.y, normal.z};
      if (!JoinKeepsCornersConvex(e, vertices, strideBytes, unitNormal)) continue;

      // Join: t's loop takes e's face id, then the pair goes.
      const int twinLength = GetLoopLength(t);
      if (twinLength < 0) continue;
      dgEdge* w = t;
      for (int k = 0; k < twinLength; ++k, w = w->next) w->face = e->face;
      RemoveEdgePair(e);
    }
  }
  return merged;
}

bool dgPolyhedra::JoinKeepsCornersConvex(const dgEdge* e, const float* vertices, int strideBytes,
                                         const double* normal) {
  const dgEdge* t = e->twin;
  const dgVector3d unitNormal{normal[0], normal[1], normal[2]};
  // The corners the join creates at both ends, with their loop neighbours.
  const dgEdge* corners[2][3] = {{e->prev, e, t->next}, {t->prev, t, e->next}};
  for (const auto& c : corners) {
    if (!dgJoinedCornerIsConvex(dgReadVertex3d(vertices, strideBytes, c[1]->vertex),
                                dgReadVertex3d(vertices, strideBytes, c[0]->vertex),
                                dgReadVertex3d(vertices, strideBytes, c[2]->next->vertex), unitNormal)) {
      return false;
    }
  }
  return true;
}

bool dgJoinedCornerIsConvex(const dgVector3d& corner, const dgVector3d& before, const dgVector3d& after,
                            const dgVector3d& unitNormal) {
  const dgVector3d in = before - corner;
  const dgVector3d out = after - corner;
  if (in.LengthSquared() < kCoincidentSquared || out.LengthSquared() < kCoincidentSquared) return true;
  return Unit(out).Cross(Unit(in)).Dot(unitNormal) > kConvexCornerSine;
}
