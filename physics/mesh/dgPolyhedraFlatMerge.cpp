// The merge of faces that keeps the surface where it was, for polygon soups
// whose merged faces must answer rays as the faces given did. Unlike
// Optimize, which lets collapses and merges move the surface by a thousandth
// or more and drops tiny faces, every change here stays inside a patch of
// faces lying within a tolerance of one plane: each vertex that remains is a
// vertex given, so every face made lies within the tolerance of the patch's
// plane, as every face given did, and no face is lost.

#include <cmath>

#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"
#include "physics/mesh/dgPolyhedraSimplify.h"

namespace {

// Faces of one patch have unit normals at least this aligned with the
// seed's (about a quarter of a degree apart).
constexpr double kPatchNormalDot = 0.99999;
// A face whose squared normal length is below this has no usable plane.
constexpr double kDegenerateNormal = 1e-12;
constexpr int kJoinPasses = 2;

// The unit normal of e's face loop (zero when it has no area).
dgVector3d UnitFaceNormal(const dgEdge* face, const float* vertices, int strideBytes, int maxEdges) {
  const dgVector3d sum = dgPolyhedraFaceNormal3d(face, vertices, strideBytes, maxEdges);
  const double lengthSquared = sum.LengthSquared();
  return lengthSquared < kDegenerateNormal ? dgVector3d{} : sum * (1.0 / std::sqrt(lengthSquared));
}

// True when every corner of e's face lies within tolerance of the plane.
bool FaceOnPlane(const dgEdge* face, const float* vertices, int strideBytes, const dgVector3d& normal, double offset,
                 double tolerance, int maxEdges) {
  const dgEdge* e = face;
  int steps = 0;
  do {
    if (std::fabs(normal.Dot(dgReadVertex3d(vertices, strideBytes, e->vertex)) + offset) > tolerance) return false;
    e = e->next;
  } while (e != face && ++steps < maxEdges);
  return true;
}

}  // namespace

void dgPolyhedra::MergeFlatPatches(const float* vertices, int strideBytes, double tolerance, dgPolyhedra* sideMesh) {
  if (GetEdgeCount() == 0 || !vertices) return;
  // Patches are found on the faces as given, before anything changes them;
  // face ids stay with the pieces and the joins that come of each face.
  const int idCount = faceCounter_ + 1;
  dgStack<int> patchOfFace(idCount);
  dgStack<double> patchNormals(3LL * idCount);
  if (!patchOfFace.IsValid() || !patchNormals.IsValid()) return;
  GatherFlatPatches(vertices, strideBytes, tolerance, patchOfFace.Data(), patchNormals.Data());
  Triangulate(vertices, strideBytes, sideMesh);
  dgPolyhedraSimplify(*this, vertices, strideBytes, tolerance, patchOfFace.Data(), idCount);
  for (int pass = 0; pass < kJoinPasses; ++pass) {
    if (!JoinPatchFaces(vertices, strideBytes, patchOfFace.Data(), patchNormals.Data())) break;
  }
}

void dgPolyhedra::GatherFlatPatches(const float* vertices, int strideBytes, double tolerance, int* patchOfFace,
                                    double* patchNormals) {
  const int idCount = faceCounter_ + 1;
  for (int id = 0; id < idCount; ++id) patchOfFace[id] = 0;
  const int edgeCount = GetEdgeCount();
  dgStack<dgEdge*> faces(edgeCount + 1);
  dgStack<dgEdge*> pending(edgeCount + 1);
  if (!faces.IsValid() || !pending.IsValid()) return;
  int faceCount = 0;
  ForEachFace([&](EdgeNode*, dgEdge* e, int) {
    if (e->face < idCount) faces[faceCount++] = e;
  });

  for (int f = 0; f < faceCount; ++f) {
    dgEdge* seed = faces[f];
    if (patchOfFace[seed->face] != 0) continue;
    const dgVector3d normal = UnitFaceNormal(seed, vertices, strideBytes, edgeCount);
    if (normal.LengthSquared() == 0.0) continue;  // no plane: never changed
    const double offset = -normal.Dot(dgReadVertex3d(vertices, strideBytes, seed->vertex));
    const int patch = seed->face;
    patchOfFace[patch] = patch;
    patchNormals[3 * patch] = normal.x;
    patchNormals[3 * patch + 1] = normal.y;
    patchNormals[3 * patch + 2] = normal.z;
    int pendingCount = 0;
    pending[pendingCount++] = seed;
    while (pendingCount > 0) {
      dgEdge* face = pending[--pendingCount];
      dgEdge* walk = face;
      int steps = 0;
      do {
        dgEdge* neighbour = walk->twin;
        walk = walk->next;
        if (!neighbour || neighbour->face <= 0 || neighbour->face >= idCount || patchOfFace[neighbour->face] != 0) {
          continue;
        }
        if (UnitFaceNormal(neighbour, vertices, strideBytes, edgeCount).Dot(normal) < kPatchNormalDot ||
            !FaceOnPlane(neighbour, vertices, strideBytes, normal, offset, tolerance, edgeCount)) {
          continue;
        }
        patchOfFace[neighbour->face] = patch;
        if (pendingCount <= edgeCount) pending[pendingCount++] = neighbour;
      } while (walk != face && ++steps < edgeCount);
    }
  }
}

bool dgPolyhedra::JoinPatchFaces(const float* vertices, int strideBytes, const int* patchOfFace,
                                 const double* patchNormals) {
  const int idCount = faceCounter_ + 1;
  const auto patchOf = [&](const dgEdge* e) { return e->face > 0 && e->face < idCount ? patchOfFace[e->face] : 0; };
  // Joins remove edges: candidates are kept by key and looked up again.
  const int edgeCount = GetEdgeCount();
  dgStack<int64_t> candidates(edgeCount / 2 + 1);
  if (!candidates.IsValid()) return false;
  int candidateCount = 0;
  for (EdgeNode* node = GetFirstNode(); node; node = node->Next()) {
    const dgEdge& e = node->GetInfo();
    if (!e.twin || e.vertex > e.twin->vertex || patchOf(&e) == 0 || patchOf(&e) != patchOf(e.twin)) continue;
    if (candidateCount < edgeCount / 2 + 1) candidates[candidateCount++] = node->GetKey();
  }

  bool joined = false;
  for (int i = 0; i < candidateCount; ++i) {
    EdgeNode* node = edges_.Find(candidates[i]);
    if (!node) continue;
    dgEdge* e = &node->GetInfo();
    dgEdge* t = e->twin;
    const int patch = patchOf(e);
    if (!t || patch == 0 || patch != patchOf(t)) continue;
    // Both sides must still be different loops.
    const int length = GetLoopLength(e);
    const int twinLength = GetLoopLength(t);
    if (length < 0 || twinLength < 0) continue;
    bool sameLoop = false;
    const dgEdge* walk = e->next;
    for (int k = 1; k < length && !sameLoop; ++k, walk = walk->next) sameLoop = walk == t;
    if (sameLoop || !JoinKeepsCornersConvex(e, vertices, strideBytes, patchNormals + 3 * patch)) continue;
    dgEdge* w = t;
    for (int k = 0; k < twinLength; ++k, w = w->next) w->face = e->face;
    RemoveEdgePair(e);
    joined = true;
  }
  return joined;
}
