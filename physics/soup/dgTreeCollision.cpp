#include "physics/soup/dgTreeCollision.h"

#include <cmath>
#include <new>

#include "physics/memory/dgCountedNew.h"
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

int TreeCollisionMarkSharedEdge(void* context, const float* vertices, int, const int* otherIndices, int otherCount) {
  const EdgeMarkFace& face = *static_cast<const EdgeMarkFace*>(context);
  if (otherIndices == face.indices) return 1;
  // The index array belongs to the tree being marked: the flag bits are ours to set.
  int* other = const_cast<int*>(otherIndices);
  constexpr int kMask = dgAABBPolygonSoup::kIndexMask;
  constexpr int kFlag = static_cast<int>(dgAABBPolygonSoup::kEdgeFlag);
  for (int i = 0; i < face.count; ++i) {
    const int a = face.indices[i] & kMask;
    const int b = face.indices[(i + 1) % face.count] & kMask;
    for (int j = 0; j < otherCount; ++j) {
      if ((other[j] & kMask) != b || (other[(j + 1) % otherCount] & kMask) != a) continue;
      const dgVector otherNormal = PolygonNormal(vertices, other, otherCount);
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
        face.indices[i] |= kFlag;
        other[j] |= kFlag;
      }
      return 1;
    }
  }
  return 1;
}

// The box in which F's neighbours are looked for: F's vertex box widened.
void NeighbourBox(const float* vertices, const int* indices, int count, dgVector& outLo, dgVector& outHi) {
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
  outLo = lo - pad;
  outHi = hi + pad;
}

EdgeMarkFace MarkedFace(const float* vertices, const int* indices, int count) {
  EdgeMarkFace face{const_cast<int*>(indices), count, PolygonNormal(vertices, indices, count), 0.0f};
  face.offset = -face.normal.DotProduct(SoupVertex(vertices, indices[0]));
  return face;
}

// Finds F's neighbours with a box query over the whole tree.
int TreeCollisionMarkFaceEdges(void* context, const float* vertices, int, const int* indices, int count) {
  const auto* tree = static_cast<const dgTreeCollision*>(context);
  dgVector lo;
  dgVector hi;
  NeighbourBox(vertices, indices, count, lo, hi);
  EdgeMarkFace face = MarkedFace(vertices, indices, count);
  tree->ForAllFacesInAABB(lo, hi, TreeCollisionMarkSharedEdge, &face);
  return 1;
}

// The same marking with F's neighbours taken from the edge table: only faces
// across one of F's edges can share an edge with it, and of those exactly
// the ones the box query would find (their vertex boxes overlap F's
// widened box) are marked, so the flags come out the same.
struct EdgeTableMarking {
  const dgTreeCollision* tree;
  dgSoupEdgeTable* edges;
};

int TreeCollisionMarkFaceEdgesByTable(void* context, const float* vertices, int, const int* indices, int count) {
  const auto& marking = *static_cast<const EdgeTableMarking*>(context);
  dgVector lo;
  dgVector hi;
  NeighbourBox(vertices, indices, count, lo, hi);
  EdgeMarkFace face = MarkedFace(vertices, indices, count);
  marking.edges->ForFacesAcross(indices, count, [&](const int* other, int otherCount) {
    if (marking.tree->FaceOverlapsBox(other, otherCount, lo, hi)) {
      TreeCollisionMarkSharedEdge(&face, vertices, 12, other, otherCount);
    }
  });
  return 1;
}

}  // namespace

dgTreeCollision::dgTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback)
    : mWorld(world), mFaceCallback(faceCallback) {}

dgTreeCollision::~dgTreeCollision() { DestroyBuilder(); }

void dgTreeCollision::DestroyBuilder() {
  if (!mBuilder) return;
  mBuilder->~dgPolygonSoupDatabaseBuilder();
  CountedDelete(mBuilder);
  mBuilder = nullptr;
}

bool dgTreeCollision::BeginBuild() {
  DestroyBuilder();
  void* memory = CountedNew(sizeof(dgPolygonSoupDatabaseBuilder));
  if (!memory) return false;
  mBuilder = new (memory) dgPolygonSoupDatabaseBuilder();
  return true;
}

void dgTreeCollision::AddFace(int count, const float* vertices, int strideBytes, int attribute) {
  if (!mBuilder || count < 3 || count > kMaxAddedFaceVertices || !vertices) return;
  int indices[kMaxAddedFaceVertices];
  for (int i = 0; i < count; ++i) indices[i] = i;
  mBuilder->AddMesh(vertices, count, strideBytes, 1, &count, indices, &attribute, dgGetIdentityMatrix());
}

void dgTreeCollision::EndBuild(bool optimise, dgCollisionPolygonalSoup& soup) {
  if (!mBuilder) return;
  mBuilder->Optimize(optimise);
  mBuilder->EnsureTwoFaces();
  Create(*mBuilder);
  dgVector boxMin;
  dgVector boxMax;
  GetAABB(boxMin, boxMax);
  TreeCollisionMarkEdges(this);
  soup.SetCollisionBBox(boxMin, boxMax);
  DestroyBuilder();
}

dgCollisionPolygonalSoup* dgCreateTreeCollision(dgWorld* world, dgTreeCollisionFaceCallback faceCallback) {
  auto* tree = new dgTreeCollision(world, faceCallback);
  if (!tree) return nullptr;
  auto* soup = new dgCollisionPolygonalSoup(tree, TreeCollisionGetFacesInBox, TreeCollisionRayCast,
                                            TreeCollisionRelease);
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
  // Each hit shortens the walk: cells beyond the nearest hit so far are skipped.
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

int TreeCollisionRayHitFace(void* context, const float* vertices, int strideBytes, const int* indices,
                            int indexCount) {
  auto& ray = *static_cast<dgTreeCollisionFaceRay*>(context);
  float t = 0.0f;
  dgVector normal;
  if (dgRayCastPolygon(ray.p0, ray.p1, vertices, strideBytes, indices, indexCount, t, normal) && t < ray.best) {
    ray.best = t;
    ray.normal = normal;
    ray.attribute = indices[-1];
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
  dgSoupEdgeTable edges(*tree);
  if (!edges.IsValid()) {
    // No room for the table: the slower box queries need none.
    TreeCollisionMarkEdgesByBoxQuery(tree);
    return;
  }
  EdgeTableMarking marking{tree, &edges};
  tree->ForAllFacesInAABB(boxMin, boxMax, TreeCollisionMarkFaceEdgesByTable, &marking);
}

void TreeCollisionMarkEdgesByBoxQuery(dgTreeCollision* tree) {
  dgVector boxMin;
  dgVector boxMax;
  if (!tree->GetAABB(boxMin, boxMax)) return;
  tree->ForAllFacesInAABB(boxMin, boxMax, TreeCollisionMarkFaceEdges, tree);
}
