#include "physics/soup/dgPolygonSoupBuilder.h"

#include <algorithm>
#include <cstring>

#include "physics/memory/dgMemory.h"
#include "physics/memory/dgStack.h"
#include "physics/memory/dgTree.h"
#include "physics/mesh/dgGeometryUtils.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"

template <class T>
dgSoupArray<T>::~dgSoupArray() {
  Clear();
}

template <class T>
bool dgSoupArray<T>::Grow(long long index) {
  if (index < 0 || index >= kMaxCapacity) return false;
  const long long grown = 2LL * mCapacity;
  return Resize(std::min<long long>(kMaxCapacity, std::max({index + 1, grown, static_cast<long long>(kMinCapacity)})));
}

template <class T>
bool dgSoupArray<T>::Resize(long long capacity) {
  T* data = static_cast<T*>(dgMalloc(static_cast<size_t>(capacity) * sizeof(T)));
  if (!data) return false;
  if (mData) std::memcpy(data, mData, static_cast<size_t>(std::min<long long>(mCapacity, capacity)) * sizeof(T));
  dgFree(mData);
  mData = data;
  mCapacity = static_cast<int>(capacity);
  return true;
}

template <class T>
void dgSoupArray<T>::ShrinkTo(int count) {
  if (count >= mCapacity) return;
  if (count <= 0) {
    Clear();
    return;
  }
  // Without a smaller block the larger one simply stays.
  Resize(count);
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

namespace {

dgVector3d Unit(const dgVector3d& v) { return v * (1.0 / std::sqrt(v.LengthSquared() + 1.0e-10)); }

// Corner geometry of an index loop over a three-float vertex array. Loops
// of up to kCachedCorners corners keep their points, edges and unit edge
// directions, worked out once and again only after a corner goes; longer
// ones work each out when asked. Both give the same values.
class FaceLoop {
 public:
  static constexpr int kCachedCorners = 64;

  FaceLoop(const float* vertices, int* indices, int count)
      : mVertices(vertices), mIndices(indices), mCount(count), mCached(count <= kCachedCorners) {
    if (!mCached) return;
    for (int i = 0; i < mCount; ++i) mPoints[i].Set(dgReadVertex3d(mVertices, 12, mIndices[i]));
    UpdateEdges();
  }

  int Count() const { return mCount; }

  dgVector3d At(int i) const { return mCached ? mPoints[i].Get() : dgReadVertex3d(mVertices, 12, mIndices[i]); }
  // The unit direction into corner i and out of it.
  dgVector3d In(int i) const { return Out(i == 0 ? mCount - 1 : i - 1); }
  dgVector3d Out(int i) const { return mCached ? mUnits[i].Get() : Unit(Edge(i)); }

  void Erase(int i) {
    std::memmove(mIndices + i, mIndices + i + 1, static_cast<size_t>(mCount - i - 1) * sizeof(int));
    if (mCached) std::memmove(mPoints + i, mPoints + i + 1, static_cast<size_t>(mCount - i - 1) * sizeof(Stored));
    --mCount;
    if (mCached) UpdateEdges();
  }

  // Drops the start corner of every edge shorter than the weld distance.
  void RemoveShortEdges() {
    for (bool removed = true; removed && mCount >= 3;) {
      removed = false;
      for (int i = 0; i < mCount; ++i) {
        const dgVector3d edge = mCached ? mEdges[i].Get() : Edge(i);
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
    for (int i = 2; i < mCount; ++i) n = n + (At(i - 1) - p0).Cross(At(i) - p0);
    return Unit(n);
  }

  void RemoveStraightCorners() {
    for (bool removed = true; removed && mCount >= 3;) {
      removed = false;
      for (int i = 0; i < mCount; ++i) {
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

  // The first reflex corner, or -1 when the loop is convex.
  int FindReflex(const dgVector3d& normal) const {
    for (int i = 0; i < mCount; ++i) {
      if (IsReflex(i, normal)) return i;
    }
    return -1;
  }

  // The corner closest to a right angle (the first of equals): where a
  // cleaned face starts.
  int BestStart() const {
    int best = 0;
    double bestDot = 2.0;
    for (int i = 0; i < mCount; ++i) {
      const double dot = std::fabs(In(i).Dot(Out(i)));
      if (dot < bestDot) {
        bestDot = dot;
        best = i;
      }
    }
    return best;
  }

 private:
  // The edge from corner i to the next.
  dgVector3d Edge(int i) const { return At(i + 1 == mCount ? 0 : i + 1) - At(i); }

  void UpdateEdges() {
    for (int i = 0; i < mCount; ++i) {
      const dgVector3d edge = mPoints[i + 1 == mCount ? 0 : i + 1].Get() - mPoints[i].Get();
      mEdges[i].Set(edge);
      mUnits[i].Set(Unit(edge));
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

  const float* mVertices;
  int* mIndices;
  int mCount;
  bool mCached;
  Stored mPoints[kCachedCorners];
  Stored mEdges[kCachedCorners];
  Stored mUnits[kCachedCorners];
};

// Scratch of count elements: inside the object for small counts (every
// triangle and most polygons), from the heap beyond.
template <class T, int kLocal>
class SmallScratch {
 public:
  explicit SmallScratch(long long count) : mHeap(count > kLocal ? count : 0), mSmall(count <= kLocal) {}
  bool IsValid() const { return mSmall || mHeap.IsValid(); }
  T* Data() { return mSmall ? mLocal : mHeap.Data(); }
  T& operator[](long long i) { return Data()[i]; }

 private:
  dgStack<T> mHeap;
  bool mSmall;
  T mLocal[kLocal];
};

// Calls emit(indices, count) once for every closed face loop of the mesh.
template <class Emit>
bool EmitFaceLoops(dgPolyhedra& mesh, Emit emit) {
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

}  // namespace

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
  const bool identity =
      &matrix == &dgGetIdentityMatrix() || std::memcmp(&matrix, &dgGetIdentityMatrix(), sizeof(dgMatrix)) == 0;
  for (int i = 0; i < vertexCount; ++i) {
    float p[3];
    std::memcpy(p, bytes + static_cast<long long>(i) * strideBytes, sizeof p);
    // The identity maps a finite point onto itself, but for a zero, which
    // the transform's added posit makes +0; anything else takes the transform.
    if (identity && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
      mVertices[base + i] = Vertex3{p[0] + 0.0f, p[1] + 0.0f, p[2] + 0.0f};
      continue;
    }
    const dgVector q = matrix.TransformVector(dgVector(p[0], p[1], p[2], 1.0f));
    mVertices[base + i] = Vertex3{q.x, q.y, q.z};
  }
  mVertexCount += vertexCount;

  bool ok = true;
  const int* run = indices;
  for (int f = 0; f < faceCount; ++f) {
    const int count = faceIndexCounts[f];
    if (count <= 0) continue;
    SmallScratch<int, FaceLoop::kCachedCorners> global(count);
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
  SmallScratch<int, FaceLoop::kCachedCorners> indices(count);
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
  FaceLoop loop(vertices, indices.Data(), kept);
  loop.RemoveShortEdges();
  if (loop.Count() < 3) return true;
  const dgVector3d normal = loop.Normal();
  loop.RemoveStraightCorners();
  if (loop.Count() < 3) return true;
  if (loop.FindReflex(normal) < 0) {
    // A loop that lost no corner is already clean: cleaning it again over
    // the same points would only turn it to start at its best corner.
    const int start = loop.Count() == kept ? loop.BestStart() : kUncleaned;
    return AppendFace(attribute, indices.Data(), loop.Count(), start);
  }

  // Not convex: let the mesh cut it into convex pieces.
  dgPolyhedra mesh;
  if (!mesh.AddFace(loop.Count(), indices.Data())) return true;
  mesh.EndFace();
  mesh.Optimize(vertices, 12, nullptr);
  return EmitFaceLoops(mesh, [&](const int* face, int n) { return AppendFace(attribute, face, n); });
}

bool dgPolygonSoupDatabaseBuilder::AppendFace(int attribute, const int* indices, int count, int cleanStart) {
  if (count < 3) return true;
  if (count > kMaxFaceIndices) {
    // The face tree cannot hold longer faces: cut the convex loop into a fan
    // of convex pieces sharing its first corner.
    int pieceIndices[kMaxFaceIndices];
    pieceIndices[0] = indices[0];
    for (int start = 1; start < count - 1;) {
      const int end = start + kMaxFaceIndices - 2 < count - 1 ? start + kMaxFaceIndices - 2 : count - 1;
      const int n = end - start + 1;
      std::memcpy(pieceIndices + 1, indices + start, static_cast<size_t>(n) * sizeof(int));
      if (!AppendFace(attribute, pieceIndices, n + 1)) return false;
      start = end;
    }
    return true;
  }
  if (!mIndices.Reserve(static_cast<long long>(mIndexCount) + count) || !mFaceIndexCounts.Reserve(mFaceCount) ||
      !mCleanStarts.Reserve(mFaceCount)) {
    return false;
  }
  mCleanStarts[mFaceCount] = static_cast<signed char>(cleanStart);
  int* run = &mIndices[mIndexCount];
  run[0] = attribute;
  for (int i = 0; i < count; ++i) run[i + 1] = indices[i];
  mIndexCount += count + 1;
  mFaceIndexCounts[mFaceCount] = count + 1;
  ++mFaceCount;
  return true;
}

bool dgPolygonSoupDatabaseBuilder::AddFaceCopy(const dgPolygonSoupDatabaseBuilder& from, const int* indices, int count,
                                               int attribute) {
  const int base = mVertexCount;
  for (int i = 0; i < count; ++i) {
    if (!AppendVertices(&from.mVertices[indices[i]].x, 1)) return false;
  }
  SmallScratch<int, FaceLoop::kCachedCorners> local(count);
  if (!local.IsValid()) return false;
  for (int i = 0; i < count; ++i) local[i] = base + i;
  return AddPolygon(local.Data(), count, attribute);
}

void dgPolygonSoupDatabaseBuilder::EnsureTwoFaces() {
  if (mFaceCount != 1) return;
  const int run = mFaceIndexCounts[0];
  if (!mIndices.Reserve(static_cast<long long>(mIndexCount) + run - 1) || !mFaceIndexCounts.Reserve(1) ||
      !mCleanStarts.Reserve(1)) {
    return;
  }
  std::memcpy(&mIndices[mIndexCount], &mIndices[0], static_cast<size_t>(run) * sizeof(int));
  mIndexCount += run;
  mFaceIndexCounts[1] = run;
  mCleanStarts[1] = mCleanStarts[0];
  mFaceCount = 2;
}

void dgPolygonSoupDatabaseBuilder::Clear() {
  mFaceCount = 0;
  mIndexCount = 0;
  mVertexCount = 0;
  mFaceIndexCounts.Clear();
  mCleanStarts.Clear();
  mIndices.Clear();
  mVertices.Clear();
}

void dgPolygonSoupDatabaseBuilder::TakeFrom(dgPolygonSoupDatabaseBuilder& other) {
  mFaceCount = other.mFaceCount;
  mIndexCount = other.mIndexCount;
  mVertexCount = other.mVertexCount;
  mFaceIndexCounts.TakeFrom(other.mFaceIndexCounts);
  mCleanStarts.TakeFrom(other.mCleanStarts);
  mIndices.TakeFrom(other.mIndices);
  mVertices.TakeFrom(other.mVertices);
  other.mFaceCount = other.mIndexCount = other.mVertexCount = 0;
}

int dgPolygonSoupDatabaseBuilder::CleanFace(int* indices, int count) const {
  FaceLoop loop(VertexData(), indices, count);
  loop.RemoveShortEdges();
  if (loop.Count() < 3) return 0;
  const dgVector3d normal = loop.Normal();
  loop.RemoveStraightCorners();
  for (int reflex = loop.FindReflex(normal); reflex >= 0 && loop.Count() >= 3; reflex = loop.FindReflex(normal)) {
    loop.Erase(reflex);
  }
  const int n = loop.Count();
  if (n < 3) return 0;
  TurnToStart(indices, n, loop.BestStart());
  return n;
}

void dgPolygonSoupDatabaseBuilder::TurnToStart(int* indices, int count, int start) {
  int turned[kMaxFaceIndices];
  for (int i = 0; i < count; ++i) turned[i] = indices[(start + i) % count];
  std::memcpy(indices, turned, static_cast<size_t>(count) * sizeof(int));
}

void dgPolygonSoupDatabaseBuilder::Optimize(bool merge) {
  if (!merge || mFaceCount <= kMaxFacesPerPass) {
    WeldAndMerge(merge);
    return;
  }
  SplitAndOptimize(merge);
}

void dgPolygonSoupDatabaseBuilder::SplitAndOptimize(bool merge) {
  // Spread of the face boxes on each axis: the face count times the sum of
  // squared centres (plus a twelfth of the squared size) minus the squared
  // sum of the centres.
  double sum[3] = {};
  double sumSquares[3] = {};
  for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
    dgVector boxMin;
    dgVector boxMax;
    float corners[kMaxFaceIndices * 3];
    const int n = mFaceIndexCounts[f] - 1;
    for (int i = 0; i < n; ++i) std::memcpy(corners + i * 3, &mVertices[mIndices[at + 1 + i]].x, 12);
    dgGetMinMax(boxMin, boxMax, corners, n, 12);
    for (int axis = 0; axis < 3; ++axis) {
      const double centre = 0.5 * (static_cast<double>(boxMin[axis]) + boxMax[axis]);
      const double size = static_cast<double>(boxMax[axis]) - boxMin[axis];
      sum[axis] += centre;
      sumSquares[axis] += centre * centre + size * size / 12.0;
    }
  }
  double spread[3];
  for (int axis = 0; axis < 3; ++axis) spread[axis] = mFaceCount * sumSquares[axis] - sum[axis] * sum[axis];
  int axis = 0;
  if (spread[1] > spread[0] && spread[1] > spread[2]) axis = 1;
  if (spread[2] > spread[0] && spread[2] > spread[1]) axis = 2;
  const double split = sum[axis] / mFaceCount;

  dgPolygonSoupDatabaseBuilder halves[2];
  for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
    const int n = mFaceIndexCounts[f] - 1;
    bool above = false;
    for (int i = 0; i < n && !above; ++i) above = (&mVertices[mIndices[at + 1 + i]].x)[axis] > split;
    if (!halves[above ? 0 : 1].AddFaceCopy(*this, &mIndices[at + 1], n, mIndices[at])) {
      WeldAndMerge(false);
      return;
    }
  }
  // Faces all on one side cannot be divided further.
  if (halves[0].mFaceCount == 0 || halves[1].mFaceCount == 0) {
    WeldAndMerge(false);
    return;
  }
  Clear();
  for (auto& half : halves) {
    half.Optimize(merge);
    for (int f = 0, at = 0; f < half.mFaceCount; at += half.mFaceIndexCounts[f], ++f) {
      AddFaceCopy(half, &half.mIndices[at + 1], half.mFaceIndexCounts[f] - 1, half.mIndices[at]);
    }
    half.Clear();
  }
  WeldAndMerge(merge && mFaceCount < kMaxFacesPerPass);
}

void dgPolygonSoupDatabaseBuilder::WeldAndMerge(bool merge) {
  if (mFaceCount == 0) return;
  {
    dgStack<int> remap(mVertexCount);
    if (!remap.IsValid()) return;
    // Faces none of whose corners moved keep their cleaning (without room
    // to tell, every face is cleaned again).
    dgStack<unsigned char> moved(mVertexCount);
    const int welded = dgWeldVertices(VertexData(), 12, 12, 0, mVertexCount, remap.Data(), kWeldTolerance,
                                      moved.IsValid() ? moved.Data() : nullptr);
    if (welded > 0) {
      mVertexCount = welded;
      // Welding leaves a fraction of the vertices: the rest of the room goes back.
      mVertices.ShrinkTo(mVertexCount);
      for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
        bool faceMoved = !moved.IsValid();
        for (int i = 1; i < mFaceIndexCounts[f]; ++i) {
          const int old = mIndices[at + i];
          faceMoved = faceMoved || moved[old] != 0;
          mIndices[at + i] = remap[old];
        }
        if (faceMoved) mCleanStarts[f] = kUncleaned;
      }
    }
  }
  const auto cleanAll = [this]() {
    int faces = 0;
    int written = 0;
    // Each run is read before the compacted ones are written over it: a face
    // that lost corners must not move where the next face is read from.
    for (int f = 0, at = 0; f < mFaceCount; ++f) {
      const int run = mFaceIndexCounts[f];
      const int attribute = mIndices[at];
      const int n = run - 1;
      int corners[kMaxFaceIndices];
      std::memcpy(corners, &mIndices[at + 1], static_cast<size_t>(n) * sizeof(int));
      const int start = mCleanStarts[f];
      int kept = n;
      if (start == kUncleaned) {
        kept = CleanFace(corners, n);
      } else {
        TurnToStart(corners, n, start);
      }
      at += run;
      if (kept < 3) continue;
      // Writing never overtakes reading: a face only shrinks.
      mIndices[written] = attribute;
      std::memcpy(&mIndices[written + 1], corners, static_cast<size_t>(kept) * sizeof(int));
      written += kept + 1;
      mCleanStarts[faces] = kUncleaned;
      mFaceIndexCounts[faces++] = kept + 1;
    }
    mFaceCount = faces;
    mIndexCount = written;
  };
  cleanAll();
  if (merge) {
    MergeFaces();
    cleanAll();
  }
}

void dgPolygonSoupDatabaseBuilder::MergeFaces() {
  dgPolygonSoupDatabaseBuilder merged;
  dgTree<int, int> done;
  const float* vertices = VertexData();
  for (int f = 0, at = 0; f < mFaceCount; at += mFaceIndexCounts[f], ++f) {
    const int attribute = mIndices[at];
    if (done.Find(attribute)) continue;
    if (!done.Insert(0, attribute)) return;

    dgPolyhedra mesh;
    dgPolygonSoupDatabaseBuilder setAside;
    for (int g = f, gAt = at; g < mFaceCount; gAt += mFaceIndexCounts[g], ++g) {
      if (mIndices[gAt] != attribute) continue;
      const int n = mFaceIndexCounts[g] - 1;
      // A face the mesh refuses would repeat a directed edge: keep it as it is.
      if (!mesh.AddFace(n, &mIndices[gAt + 1]) && !setAside.AddFaceCopy(*this, &mIndices[gAt + 1], n, attribute)) {
        return;
      }
    }
    setAside.Optimize(false);
    mesh.EndFace();
    dgPolyhedra untriangulated;
    mesh.Optimize(vertices, 12, &untriangulated);
    const auto copyFace = [&](const int* face, int n) { return merged.AddFaceCopy(*this, face, n, attribute); };
    if (!EmitFaceLoops(untriangulated, copyFace) || !EmitFaceLoops(mesh, copyFace)) return;
    for (int s = 0, sAt = 0; s < setAside.mFaceCount; sAt += setAside.mFaceIndexCounts[s], ++s) {
      if (!merged.AddFaceCopy(setAside, &setAside.mIndices[sAt + 1], setAside.mFaceIndexCounts[s] - 1, attribute)) {
        return;
      }
    }
  }
  merged.Optimize(false);
  TakeFrom(merged);
}

template class dgSoupArray<int>;
template class dgSoupArray<signed char>;
template class dgSoupArray<dgPolygonSoupDatabaseBuilder::Vertex3>;
