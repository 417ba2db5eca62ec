#include "physics/soup/dgTreeCollision.h"

#include <cmath>
#include <new>

#include "physics/memory/dgCountedNew.h"
#include "physics/memory/dgMemory.h"
#include "physics/memory/dgStack.h"
#include "physics/shapes/dgSegmentQueries.h"
#include "physics/soup/dgPolygonSoupBuilder.h"
#include "physics/soup/dgSoupEdgeTable.h"

namespace {

constexpr float kHuge = 1.0e10f;

dgVector SoupVertex(const float* vertices, int index) {
  const float* p = vertices + static_cast<long long>(index & dgAABBPolygonSoup::kIndexMask) * 3;
  return dgVector(p[0], p[1], p[2], 1.0f);
}

// Unit normal from the sum of the fan's cross products (zero for a face of no area).
dgVector PolygonNormal(const float* vertices, const int* indices, int count) {
  dgVector n;
  const dgVector p0 = SoupVertex(vertices, indices[0]);
  for (int i = 2; i < count; ++i) {
    n += (SoupVertex(vertices, indices[i - 1]) - p0).CrossProduct(SoupVertex(vertices, indices[i]) - p0);
  }
  const float lengthSquared = n.LengthSquared();
  return lengthSquared > 0.0f ? n.Scale(1.0f / std::sqrt(lengthSquared)) : n;
}

// The face whose neighbours are being looked for.
struct EdgeMarkFace {
  int* indices;
  int count;
  dgVector normal;
  float offset;
};

// Flags F's edge i and G's edge j (the same two vertices the other way)
// when G lies in F's plane or rises above it: a flat or concave edge.
void MarkEdgePair(const EdgeMarkFace& face, int i, const float* vertices, int* other, int otherCount, int j,
                  const dgVector& otherNormal) {
  bool flag = otherNormal.DotProduct(face.normal) > dgTreeCollision::kCoplanarDot;
  if (!flag) {
    float farthest = 0.0f;
    for (int k = 0; k < otherCount; ++k) {
      const float distance = face.normal.DotProduct(SoupVertex(vertices, other[k])) + face.offset;
      if (std::fabs(distance) > std::fabs(farthest)) farthest = distance;
    }
    // The neighbour rises above this face's plane: a concave edge.
    flag = farthest > 0.0f;
  }
  if (flag) {
    face.indices[i] |= static_cast<int>(dgAABBPolygonSoup::kEdgeFlag);
    other[j] |= static_cast<int>(dgAABBPolygonSoup::kEdgeFlag);
  }
}

// Looks for an edge of F (a to b) that the face G runs the other way (b to
// a), the first in F's order, and marks the pair.
void MarkSharedEdge(const EdgeMarkFace& face, const float* vertices, int* other, int otherCount) {
  constexpr int kMask = dgAABBPolygonSoup::kIndexMask;
  for (int i = 0; i < face.count; ++i) {
    const int a = face.indices[i] & kMask;
    const int b = face.indices[(i + 1) % face.count] & kMask;
    for (int j = 0; j < otherCount; ++j) {
      if ((other[j] & kMask) != b || (other[(j + 1) % otherCount] & kMask) != a) continue;
      MarkEdgePair(face, i, vertices, other, otherCount, j, PolygonNormal(vertices, other, otherCount));
      return;
    }
  }
}

int TreeCollisionMarkSharedEdge(void* context, const float* vertices, int, const int* otherIndices, int otherCount) {
  const EdgeMarkFace& face = *static_cast<const EdgeMarkFace*>(context);
  if (otherIndices == face.indices) return 1;
  // The index array belongs to the tree being marked: the flag bits are ours to set.
  MarkSharedEdge(face, vertices, const_cast<int*>(otherIndices), otherCount);
  return 1;
}

EdgeMarkFace MarkedFace(const float* vertices, const int* indices, int count, const dgVector& normal) {
  EdgeMarkFace face{const_cast<int*>(indices), count, normal, 0.0f};
  face.offset = -face.normal.DotProduct(SoupVertex(vertices, indices[0]));
  return face;
}

// Finds F's neighbours with a box query over the whole tree: every face
// whose vertex box overlaps F's vertex box widened.
int TreeCollisionMarkFaceEdges(void* context, const float* vertices, int, const int* indices, int count) {
  const auto* tree = static_cast<const dgTreeCollision*>(context);
  dgVector lo(kHuge, kHuge, kHuge, 1.0f);
  dgVector hi(-kHuge, -kHuge, -kHuge, 1.0f);
  for (int i = 0; i < count; ++i) {
    const dgVector p = SoupVertex(vertices, indices[i]);
    for (int axis = 0; axis < 3; ++axis) {
      lo[axis] = std::fmin(lo[axis], p[axis]);
      hi[axis] = std::fmax(hi[axis], p[axis]);
    }
  }
  const dgVector pad(dgTreeCollision::kNeighbourPadding, dgTreeCollision::kNeighbourPadding,
                     dgTreeCollision::kNeighbourPadding, 0.0f);
  EdgeMarkFace face = MarkedFace(vertices, indices, count, PolygonNormal(vertices, indices, count));
  tree->ForAllFacesInAABB(lo - pad, hi + pad, TreeCollisionMarkSharedEdge, &face);
  return 1;
}

bool AllFinite(const float* values, long long count) {
  for (long long i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}

// The same marking with the neighbours taken from an edge table. With every
// vertex finite, the box queries visit every face, and every face across
// one of F's edges shares a vertex with F, so its box always overlaps F's
// widened box: the faces across F's edges are exactly the ones that can
// share an edge with F among those the queries find; the table hands out
// the first edge pair the search would find, and each face's normal is
// worked out once. False (nothing flagged) for a soup with a vertex that
// is not finite, or when the table cannot be had.
bool MarkEdgesByTable(dgTreeCollision* tree) {
  const float* vertices = tree->GetVertices();
  if (!AllFinite(vertices, 3LL * tree->GetVertexCount())) return false;
  dgSoupEdgeTable edges(*tree);
  dgStack<dgVector> normals(edges.GetFaceCount());
  if (!edges.IsValid() || !normals.IsValid()) return false;
  for (int f = 0; f < edges.GetFaceCount(); ++f) {
    normals[f] = PolygonNormal(vertices, edges.FaceIndices(f), edges.FaceIndexCount(f));
  }
  for (int f = 0; f < edges.GetFaceCount(); ++f) {
    const EdgeMarkFace face = MarkedFace(vertices, edges.FaceIndices(f), edges.FaceIndexCount(f), normals[f]);
    edges.ForFacesAcross(f, [&](int other, int edge, int otherEdge) {
      MarkEdgePair(face, edge, vertices, edges.FaceIndices(other), edges.FaceIndexCount(other), otherEdge,
                   normals[other]);
    });
  }
  return true;
}

}  // namespace

dgTreeCollision::dgTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback)
    : world_(world), faceCallback_(faceCallback) {}

dgTreeCollision::~dgTreeCollision() { DestroyBuilder(); }

void dgTreeCollision::DestroyBuilder() {
  if (!builder_) return;
  builder_->~dgPolygonSoupDatabaseBuilder();
  CountedDelete(builder_);
  builder_ = nullptr;
}

bool dgTreeCollision::BeginBuild() {
  DestroyBuilder();
  void* memory = CountedNew(sizeof(dgPolygonSoupDatabaseBuilder));
  if (!memory) return false;
  builder_ = new (memory) dgPolygonSoupDatabaseBuilder();
  return true;
}

void dgTreeCollision::AddFace(int count, const float* vertices, int strideBytes, int attribute) {
  if (!builder_ || count < 3 || count > kMaxAddedFaceVertices || !vertices) return;
  int indices[kMaxAddedFaceVertices];
  for (int i = 0; i < count; ++i) indices[i] = i;
  builder_->AddMesh(vertices, count, strideBytes, 1, &count, indices, &attribute, dgGetIdentityMatrix());
}

void dgTreeCollision::EndBuild(bool optimise, dgCollisionPolygonalSoup& soup) {
  if (!builder_) return;
  // Each step below takes large scratch and drops it: the later ones reuse
  // those blocks instead of fresh pages.
  dgBlockReuseScope reuse;
  builder_->Optimize(optimise);
  builder_->EnsureTwoFaces();
  const bool built = CreateFaceTreeEmptying(*builder_);
  // Nothing reads the builder once the face tree holds its arrays, and
  // edge marking needs only the face tree: each step's scratch comes after
  // the last one's is gone, and the ray tree (which only reads the faces'
  // corners, never their edge flags) last of all.
  DestroyBuilder();
  dgVector boxMin;
  dgVector boxMax;
  GetAABB(boxMin, boxMax);
  TreeCollisionMarkEdges(this);
  if (built) BuildRayTree();
  soup.SetCollisionBBox(boxMin, boxMax);
}

dgCollisionPolygonalSoup* dgCreateTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback) {
  auto* tree = new dgTreeCollision(world, faceCallback);
  if (!tree) return nullptr;
  auto* soup =
      new dgCollisionPolygonalSoup(tree, TreeCollisionGetFacesInBox, TreeCollisionRayCast, TreeCollisionRelease);
  if (!soup) tree->Release();
  return soup;
}

int TreeCollisionGetFacesInBox(dgPolygonSoupCollideRecord& record) {
  record.faceCount = 0;
  record.indexTotal = 0;
  record.vertices = nullptr;
  record.vertexStrideBytes = 0;
  record.attributes = record.attributeTable;
  record.indexCounts = record.indexCountTable;
  record.indices = record.indexTable;
  if (!record.tree) return 0;
  record.tree->ForAllFacesInAABB(record.boxMin, record.boxMax, TreeCollisionCollectFace, &record);
  return record.faceCount;
}

int TreeCollisionCollectFace(void* context, const float* vertices, int strideBytes, const int* indices,
                             int indexCount) {
  auto& record = *static_cast<dgPolygonSoupCollideRecord*>(context);
  if (record.faceCount == 0) {
    record.vertices = vertices;
    record.vertexStrideBytes = strideBytes;
  }
  if (record.faceCount >= dgPolygonSoupCollideRecord::kMaxFaces ||
      record.indexTotal + indexCount >= dgPolygonSoupCollideRecord::kMaxIndices) {
    return 0;
  }
  if (record.tree && record.tree->GetFaceCallback()) {
    record.tree->GetFaceCallback()(record.userValue1, record.userValue2, vertices, strideBytes, indexCount, indices);
  }
  record.attributes[record.faceCount] = indices[-1];
  record.indexCounts[record.faceCount] = indexCount;
  for (int i = 0; i < indexCount; ++i) record.indices[record.indexTotal + i] = indices[i];
  record.indexTotal += indexCount;
  ++record.faceCount;
  return 1;
}

float TreeCollisionRayCast(dgPolygonSoupRayRecord& record) {
  dgTreeCollisionFaceRay ray;
  ray.p0 = record.p0;
  ray.p1 = record.p1;
  // Each hit shortens the walk: cells and faces beyond the nearest hit so far are skipped.
  if (record.tree) {
    record.tree->ForFacesInRayWithin(record.p0, record.p1, &ray.best, TreeCollisionRayHitFace, &ray);
  }
  if (ray.best <= 1.0f) {
    const float scale = 1.0f / std::sqrt(ray.normal.LengthSquared() + 1.0e-8f);
    record.normal = ray.normal.Scale(scale);
    record.attribute = ray.attribute;
  }
  return ray.best;
}

int TreeCollisionRayHitFace(void* context, const float* vertices, int strideBytes, const int* indices, int indexCount) {
  auto& ray = *static_cast<dgTreeCollisionFaceRay*>(context);
  float t = 0.0f;
  dgVector normal;
  if (dgRayCastPolygon(ray.p0, ray.p1, vertices, strideBytes, indices, indexCount, t, normal) &&
      (t < ray.best || (t == ray.best && indices < ray.face))) {
    ray.best = t;
    ray.normal = normal;
    ray.attribute = indices[-1];
    ray.face = indices;
  }
  return 1;
}

void TreeCollisionRelease(dgTreeCollision* tree) {
  if (tree) tree->Release();
}

void TreeCollisionMarkEdges(dgTreeCollision* tree) {
  dgVector boxMin;
  dgVector boxMax;
  if (!tree->GetAABB(boxMin, boxMax)) return;
  if (!MarkEdgesByTable(tree)) TreeCollisionMarkEdgesByBoxQuery(tree);
}

void TreeCollisionMarkEdgesByBoxQuery(dgTreeCollision* tree) {
  dgVector boxMin;
  dgVector boxMax;
  if (!tree->GetAABB(boxMin, boxMax)) return;
  tree->ForAllFacesInAABB(boxMin, boxMax, TreeCollisionMarkFaceEdges, tree);
}
