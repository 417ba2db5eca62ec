#include "physics/soup/dgPolygonSoupBuilder.h"

#include <cstring>

#include "physics/memory/dgMemory.h"
#include "physics/memory/dgStack.h"
#include "physics/mesh/dgGeometryUtils.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"
#include "physics/soup/dgSoupFaceLoop.h"

template <class T>
dgSoupArray<T>::~dgSoupArray() {
  Clear();
}

template <class T>
bool dgSoupArray<T>::Reserve(long long index) {
  if (index < mCapacity) return true;
  if (index < 0 || index >= (1LL << 30)) return false;
  const long long capacity = (index / kGranularity + 1) * kGranularity;
  T* data = static_cast<T*>(dgMalloc(static_cast<size_t>(capacity) * sizeof(T)));
  if (!data) return false;
  if (mData) std::memcpy(data, mData, static_cast<size_t>(mCapacity) * sizeof(T));
  dgFree(mData);
  mData = data;
  mCapacity = static_cast<int>(capacity);
  return true;
}

template <class T>
void dgSoupArray<T>::Clear() {
  dgFree(mData);
  mData = nullptr;
  mCapacity = 0;
}

template <class T>
void dgSoupArray<T>::TakeFrom(dgSoupArray& other) {
  Clear();
  mData = other.mData;
  mCapacity = other.mCapacity;
  other.mData = nullptr;
  other.mCapacity = 0;
}

bool dgPolygonSoupDatabaseBuilder::AppendVertices(const float* xyz, int count) {
  if (count <= 0) return true;
  if (!mVertices.Reserve(static_cast<long long>(mVertexCount) + count - 1)) return false;
  std::memcpy(&mVertices[mVertexCount], xyz, static_cast<size_t>(count) * sizeof(Vertex3));
  mVertexCount += count;
  return true;
}

bool dgPolygonSoupDatabaseBuilder::AddMesh(const float* vertices, int vertexCount, int strideBytes, int faceCount,
                                           const int* faceIndexCounts, const int* indices, const int* attributes,
                                           const dgMatrix& matrix) {
  if (vertexCount < 0 || faceCount < 0 || (vertexCount > 0 && (!vertices || strideBytes < 12))) return false;
  if (faceCount > 0 && (!faceIndexCounts || !indices || !attributes)) return false;
  if (vertexCount > 0 && !mVertices.Reserve(static_cast<long long>(mVertexCount) + vertexCount - 1)) return false;
  const int base = mVertexCount;
  const auto* bytes = reinterpret_cast<const unsigned char*>(vertices);
  for (int i = 0; i < vertexCount; ++i) {
    float p[3];
    std::memcpy(p, bytes + static_cast<long long>(i) * strideBytes, sizeof p);
    const dgVector q = matrix.TransformVector(dgVector(p[0], p[1], p[2], 1.0f));
    mVertices[base + i] = Vertex3{q.x, q.y, q.z};
  }
  mVertexCount += vertexCount;

  bool ok = true;
  const int* run = indices;
  for (int f = 0; f < faceCount; ++f) {
    const int count = faceIndexCounts[f];
    if (count <= 0) continue;
    dgStack<int> global(count);
    if (!global.IsValid()) return false;
    bool inRange = true;
    for (int i = 0; i < count; ++i) {
      inRange = inRange && run[i] >= 0 && run[i] < vertexCount;
      global[i] = run[i] + base;
    }
    // A face naming a vertex it was not given would read beyond the array.
    if (inRange) ok = AddPolygon(global.Data(), count, attributes[f]) && ok;
    run += count;
  }
  return ok;
}

bool dgPolygonSoupDatabaseBuilder::AddPolygon(const int* source, int count, int attribute) {
  dgStack<int> indices(count);
  if (!indices.IsValid()) return false;
  // A repeated vertex keeps only its first appearance.
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    bool repeated = false;
    for (int j = 0; j < kept && !repeated; ++j) repeated = indices[j] == source[i];
    if (!repeated) indices[kept++] = source[i];
  }
  if (kept < 3) return true;

  const float* vertices = VertexData();
  dgSoupFaceLoop loop(vertices, indices.Data(), kept);
  loop.RemoveShortEdges();
  if (loop.Count() < 3) return true;
  const dgVector3d normal = loop.Normal();
  loop.RemoveStraightCorners();
  if (loop.Count() < 3) return true;
  if (loop.FindReflex(normal) < 0) return AppendFace(attribute, indices.Data(), loop.Count());

  // Not convex: let the mesh cut it into convex pieces.
  dgPolyhedra mesh;
  if (!mesh.AddFace(loop.Count(), indices.Data())) return true;
  mesh.EndFace();
  mesh.Optimize(vertices, 12, nullptr);
  return dgEmitFaceLoops(mesh, [&](const int* face, int n) { return AppendFace(attribute, face, n); });
}

bool dgPolygonSoupDatabaseBuilder::AppendFace(int attribute, const int* indices, int count) {
  if (count < 3) return true;
  if (count > kMaxFaceIndices) {
    // The face tree cannot hold longer faces.
    return dgForEachFanPiece(indices, count, [&](const int* piece, int n) { return AppendFace(attribute, piece, n); });
  }
  if (!mIndices.Reserve(static_cast<long long>(mIndexCount) + count) || !mFaceIndexCounts.Reserve(mFaceCount)) {
    return false;
  }
  mIndices[mIndexCount] = attribute;
  std::memcpy(&mIndices[mIndexCount + 1], indices, static_cast<size_t>(count) * sizeof(int));
  mIndexCount += count + 1;
  mFaceIndexCounts[mFaceCount] = count + 1;
  ++mFaceCount;
  return true;
}

void dgPolygonSoupDatabaseBuilder::EnsureTwoFaces() {
  if (mFaceCount != 1) return;
  const int run = mFaceIndexCounts[0];
  if (!mIndices.Reserve(static_cast<long long>(mIndexCount) + run - 1) || !mFaceIndexCounts.Reserve(1)) return;
  std::memcpy(&mIndices[mIndexCount], &mIndices[0], static_cast<size_t>(run) * sizeof(int));
  mIndexCount += run;
  mFaceIndexCounts[1] = run;
  mFaceCount = 2;
}

void dgPolygonSoupDatabaseBuilder::Clear() {
  mFaceCount = 0;
  mIndexCount = 0;
  mVertexCount = 0;
  mFaceIndexCounts.Clear();
  mIndices.Clear();
  mVertices.Clear();
}

int dgPolygonSoupDatabaseBuilder::CleanFace(int* indices, int count) const {
  dgSoupFaceLoop loop(VertexData(), indices, count);
  loop.RemoveShortEdges();
  if (loop.Count() < 3) return 0;
  const dgVector3d normal = loop.Normal();
  loop.RemoveStraightCorners();
  for (int reflex = loop.FindReflex(normal); reflex >= 0 && loop.Count() >= 3; reflex = loop.FindReflex(normal)) {
    loop.Erase(reflex);
  }
  const int n = loop.Count();
  if (n < 3) return 0;
  // Start at the corner closest to a right angle.
  const int best = loop.RightAngleCorner();
  int rotated[kMaxFaceIndices];
  for (int i = 0; i < n; ++i) rotated[i] = indices[(best + i) % n];
  std::memcpy(indices, rotated, static_cast<size_t>(n) * sizeof(int));
  return n;
}

void dgPolygonSoupDatabaseBuilder::Optimize(bool merge) {
  // Welding and cleaning are the same with or without the merge, so a merged
  // soup keeps every vertex and every unmerged face where the plain one has it.
  WeldAndClean();
  if (merge && mFaceCount > 0) MergeFaces();
}

void dgPolygonSoupDatabaseBuilder::WeldAndClean() {
  if (mFaceCount == 0) return;
  {
    dgStack<int> remap(mVertexCount);
    if (!remap.IsValid()) return;
    const int welded = dgWeldVertices(VertexData(), 12, 12, 0, mVertexCount, remap.Data(), kWeldTolerance);
    if (welded > 0) {
      mVertexCount = welded;
      for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
        for (int i = 1; i < mFaceIndexCounts[f]; ++i) mIndices[at + i] = remap[mIndices[at + i]];
      }
    }
  }
  int faces = 0;
  int written = 0;
  for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
    int corners[kMaxFaceIndices];
    const int attribute = mIndices[at];
    const int n = mFaceIndexCounts[f] - 1;
    std::memcpy(corners, &mIndices[at + 1], static_cast<size_t>(n) * sizeof(int));
    const int kept = CleanFace(corners, n);
    if (kept < 3) continue;
    // Writing never overtakes reading: a face only shrinks.
    mIndices[written] = attribute;
    std::memcpy(&mIndices[written + 1], corners, static_cast<size_t>(kept) * sizeof(int));
    written += kept + 1;
    mFaceIndexCounts[faces++] = kept + 1;
  }
  mFaceCount = faces;
  mIndexCount = written;
}

template class dgSoupArray<int>;
template class dgSoupArray<dgPolygonSoupDatabaseBuilder::Vertex3>;
