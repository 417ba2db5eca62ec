#include "physics/soup/dgPolygonSoupBuilder.h"

#include <algorithm>
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
bool dgSoupArray<T>::Grow(long long index) {
  if (index < 0 || index >= kMaxCapacity) return false;
  const long long grown = 2LL * capacity_;
  return Resize(std::min<long long>(kMaxCapacity, std::max({index + 1, grown, static_cast<long long>(kMinCapacity)})));
}

template <class T>
bool dgSoupArray<T>::Resize(long long capacity) {
  T* data = static_cast<T*>(dgMalloc(static_cast<size_t>(capacity) * sizeof(T)));
  if (!data) return false;
  if (data_) std::memcpy(data, data_, static_cast<size_t>(std::min<long long>(capacity_, capacity)) * sizeof(T));
  dgFree(data_);
  data_ = data;
  capacity_ = static_cast<int>(capacity);
  return true;
}

template <class T>
void dgSoupArray<T>::ShrinkTo(int count) {
  if (count >= capacity_) return;
  if (count <= 0) {
    Clear();
    return;
  }
  // Without a smaller block the larger one simply stays.
  Resize(count);
}

template <class T>
void dgSoupArray<T>::Clear() {
  dgFree(data_);
  data_ = nullptr;
  capacity_ = 0;
}

template <class T>
void dgSoupArray<T>::TakeFrom(dgSoupArray& other) {
  Clear();
  data_ = other.data_;
  capacity_ = other.capacity_;
  other.data_ = nullptr;
  other.capacity_ = 0;
}

template <class T>
T* dgSoupArray<T>::Release() {
  T* data = data_;
  data_ = nullptr;
  capacity_ = 0;
  return data;
}

template <class T>
void dgSoupArray<T>::Adopt(T* data, int capacity) {
  Clear();
  data_ = data;
  capacity_ = capacity;
}

template <class T>
bool dgSoupChunks<T>::Grow(long long index) {
  if (index < 0 || index >= dgSoupArray<T>::kMaxCapacity) return false;
  while (index >= static_cast<long long>(chunkCount_) << kChunkShift) {
    if (chunkCount_ == tableCapacity_) {
      const int capacity = std::max(kMinTable, 2 * tableCapacity_);
      auto** table = static_cast<void**>(dgMalloc(static_cast<size_t>(capacity) * sizeof(void*)));
      if (!table) return false;
      if (table_) std::memcpy(table, table_, static_cast<size_t>(chunkCount_) * sizeof(void*));
      dgFree(table_);
      table_ = table;
      tableCapacity_ = capacity;
    }
    void* chunk = dgMalloc(sizeof(T) * kChunkSize);
    if (!chunk) return false;
    table_[chunkCount_++] = chunk;
  }
  return true;
}

template <class T>
T* dgSoupChunks<T>::Run(int first, int count) const {
  if (count <= 0 || (first >> kChunkShift) != ((first + count - 1) >> kChunkShift)) return nullptr;
  return &(*this)[first];
}

template <class T>
void dgSoupChunks<T>::CopyTo(T* out, int first, int count) const {
  while (count > 0) {
    const int within = first & (kChunkSize - 1);
    const int n = std::min(count, kChunkSize - within);
    std::memcpy(out, &(*this)[first], static_cast<size_t>(n) * sizeof(T));
    out += n;
    first += n;
    count -= n;
  }
}

template <class T>
void dgSoupChunks<T>::Clear() {
  for (int i = 0; i < chunkCount_; ++i) dgFree(table_[i]);
  dgFree(table_);
  table_ = nullptr;
  tableCapacity_ = 0;
  chunkCount_ = 0;
}

namespace {

// Scratch of count elements: inside the object for small counts (every
// triangle and most polygons), from the heap beyond.
template <class T, int kLocal>
class SmallScratch {
 public:
  explicit SmallScratch(long long count) : heap_(count > kLocal ? count : 0), small_(count <= kLocal) {}
  bool IsValid() const { return small_ || heap_.IsValid(); }
  T* Data() { return small_ ? local_ : heap_.Data(); }
  T& operator[](long long i) { return Data()[i]; }

 private:
  dgStack<T> heap_;
  bool small_;
  T local_[kLocal];
};

}  // namespace

bool dgPolygonSoupDatabaseBuilder::ReserveVertices(long long index) {
  return gathered_ ? vertices_.Reserve(index) : addedVertices_.Reserve(index);
}

bool dgPolygonSoupDatabaseBuilder::GatherVertices() const {
  if (gathered_) return true;
  if (vertexCount_ > 0) {
    auto* block = static_cast<Vertex3*>(dgMalloc(static_cast<size_t>(vertexCount_) * sizeof(Vertex3)));
    if (!block) return false;
    addedVertices_.CopyTo(block, 0, vertexCount_);
    vertices_.Adopt(block, vertexCount_);
  }
  addedVertices_.Clear();
  gathered_ = true;
  return true;
}

bool dgPolygonSoupDatabaseBuilder::AddMesh(const float* vertices, int vertexCount, int strideBytes, int faceCount,
                                           const int* faceIndexCounts, const int* indices, const int* attributes,
                                           const dgMatrix& matrix) {
  if (vertexCount < 0 || faceCount < 0 || (vertexCount > 0 && (!vertices || strideBytes < 12))) return false;
  if (faceCount > 0 && (!faceIndexCounts || !indices || !attributes)) return false;
  if (vertexCount > 0 && !ReserveVertices(static_cast<long long>(vertexCount_) + vertexCount - 1)) return false;
  const int base = vertexCount_;
  const auto* bytes = reinterpret_cast<const unsigned char*>(vertices);
  const bool identity =
      &matrix == &dgGetIdentityMatrix() || std::memcmp(&matrix, &dgGetIdentityMatrix(), sizeof(dgMatrix)) == 0;
  for (int i = 0; i < vertexCount; ++i) {
    float p[3];
    std::memcpy(p, bytes + static_cast<long long>(i) * strideBytes, sizeof p);
    // The identity maps a finite point onto itself, but for a zero, which
    // the transform's added posit makes +0; anything else takes the transform.
    if (identity && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
      VertexSlot(base + i) = Vertex3{p[0] + 0.0f, p[1] + 0.0f, p[2] + 0.0f};
      continue;
    }
    const dgVector q = matrix.TransformVector(dgVector(p[0], p[1], p[2], 1.0f));
    VertexSlot(base + i) = Vertex3{q.x, q.y, q.z};
  }
  vertexCount_ += vertexCount;
  // The faces read this call's vertices in one piece: where they lie, or a
  // copy when they straddle two chunks.
  const Vertex3* batch = nullptr;
  if (vertexCount > 0) batch = gathered_ ? &vertices_[base] : addedVertices_.Run(base, vertexCount);
  SmallScratch<Vertex3, dgSoupFaceLoop::kCachedCorners> copy(batch || vertexCount == 0 ? 0 : vertexCount);
  if (!batch && vertexCount > 0) {
    if (!copy.IsValid()) return false;
    addedVertices_.CopyTo(copy.Data(), base, vertexCount);
    batch = copy.Data();
  }

  bool ok = true;
  const int* run = indices;
  for (int f = 0; f < faceCount; ++f) {
    const int count = faceIndexCounts[f];
    if (count <= 0) continue;
    bool inRange = true;
    for (int i = 0; i < count; ++i) inRange = inRange && run[i] >= 0 && run[i] < vertexCount;
    // A face naming a vertex it was not given would read beyond the array.
    if (inRange) {
      ok = AddPolygon(reinterpret_cast<const float*>(batch), base, run, count, attributes[f]) && ok;
    }
    run += count;
  }
  return ok;
}

bool dgPolygonSoupDatabaseBuilder::AddPolygon(const float* batch, int base, const int* source, int count,
                                              int attribute) {
  SmallScratch<int, dgSoupFaceLoop::kCachedCorners> indices(count);
  if (!indices.IsValid()) return false;
  // A repeated vertex keeps only its first appearance.
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    bool repeated = false;
    for (int j = 0; j < kept && !repeated; ++j) repeated = indices[j] == source[i];
    if (!repeated) indices[kept++] = source[i];
  }
  if (kept < 3) return true;

  // The corners are numbered within the batch until they are stored: every
  // test below reads only points and compares numbers, which the shift by
  // base leaves in the same order.
  const float* vertices = batch;
  dgSoupFaceLoop loop(vertices, indices.Data(), kept);
  loop.RemoveShortEdges();
  if (loop.Count() < 3) return true;
  const dgVector3d normal = loop.Normal();
  loop.RemoveStraightCorners();
  if (loop.Count() < 3) return true;
  if (loop.FindReflex(normal) < 0) {
    // A loop that lost no corner is already clean: cleaning it again over
    // the same points would only turn it to start at its best corner.
    const int start = loop.Count() == kept ? loop.RightAngleCorner() : kUncleaned;
    const int n = loop.Count();
    for (int i = 0; i < n; ++i) indices[i] += base;
    return AppendFace(attribute, indices.Data(), n, start);
  }

  // Not convex: let the mesh cut it into convex pieces.
  dgPolyhedra mesh;
  if (!mesh.AddFace(loop.Count(), indices.Data())) return true;
  mesh.EndFace();
  mesh.Optimize(vertices, 12, nullptr);
  return dgEmitFaceLoops(mesh, [&](const int* face, int n) {
    SmallScratch<int, dgSoupFaceLoop::kCachedCorners> stored(n);
    if (!stored.IsValid()) return false;
    for (int i = 0; i < n; ++i) stored[i] = face[i] + base;
    return AppendFace(attribute, stored.Data(), n);
  });
}

bool dgPolygonSoupDatabaseBuilder::AppendFace(int attribute, const int* indices, int count, int cleanStart) {
  if (count < 3) return true;
  if (count > kMaxFaceIndices) {
    // The face tree cannot hold longer faces.
    return dgForEachFanPiece(indices, count, [&](const int* piece, int n) { return AppendFace(attribute, piece, n); });
  }
  if (!indices_.Reserve(static_cast<long long>(indexCount_) + count) || !faceIndexCounts_.Reserve(faceCount_) ||
      !cleanStarts_.Reserve(faceCount_)) {
    return false;
  }
  cleanStarts_[faceCount_] = static_cast<signed char>(cleanStart);
  int* run = &indices_[indexCount_];
  run[0] = attribute;
  for (int i = 0; i < count; ++i) run[i + 1] = indices[i];
  indexCount_ += count + 1;
  faceIndexCounts_[faceCount_] = count + 1;
  ++faceCount_;
  return true;
}

void dgPolygonSoupDatabaseBuilder::EnsureTwoFaces() {
  if (faceCount_ != 1) return;
  const int run = faceIndexCounts_[0];
  if (!indices_.Reserve(static_cast<long long>(indexCount_) + run - 1) || !faceIndexCounts_.Reserve(1) ||
      !cleanStarts_.Reserve(1)) {
    return;
  }
  std::memcpy(&indices_[indexCount_], &indices_[0], static_cast<size_t>(run) * sizeof(int));
  indexCount_ += run;
  faceIndexCounts_[1] = run;
  cleanStarts_[1] = cleanStarts_[0];
  faceCount_ = 2;
}

bool dgPolygonSoupDatabaseBuilder::ReserveFaces(int faces, int indexWords) {
  if (faces <= 0 || indexWords <= 0) return true;
  return faceIndexCounts_.Reserve(faces - 1) && cleanStarts_.Reserve(faces - 1) && indices_.Reserve(indexWords - 1);
}

void dgPolygonSoupDatabaseBuilder::HandOverFullArrays(int*& outIndices, float*& outVertices) {
  GatherVertices();
  outIndices = indexCount_ > 0 && indices_.GetCapacity() == indexCount_ ? indices_.Release() : nullptr;
  outVertices = vertexCount_ > 0 && vertices_.GetCapacity() == vertexCount_
                    ? reinterpret_cast<float*>(vertices_.Release())
                    : nullptr;
}

void dgPolygonSoupDatabaseBuilder::Clear() {
  faceCount_ = 0;
  indexCount_ = 0;
  vertexCount_ = 0;
  faceIndexCounts_.Clear();
  cleanStarts_.Clear();
  indices_.Clear();
  vertices_.Clear();
  addedVertices_.Clear();
  gathered_ = false;
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
  TurnToStart(indices, n, loop.RightAngleCorner());
  return n;
}

void dgPolygonSoupDatabaseBuilder::TurnToStart(int* indices, int count, int start) {
  int turned[kMaxFaceIndices];
  for (int i = 0; i < count; ++i) turned[i] = indices[(start + i) % count];
  std::memcpy(indices, turned, static_cast<size_t>(count) * sizeof(int));
}

void dgPolygonSoupDatabaseBuilder::Optimize(bool merge) {
  // Welding and cleaning are the same with or without the merge, so a merged
  // soup keeps every vertex and every unmerged face where the plain one has it.
  if (!WeldAndClean()) return;
  if (merge && faceCount_ > 0) MergeFaces();
}

bool dgPolygonSoupDatabaseBuilder::WeldAndClean() {
  if (faceCount_ == 0) return GatherVertices();
  {
    dgStack<int> remap(vertexCount_);
    if (!remap.IsValid()) return GatherVertices();
    // Faces none of whose corners moved keep their cleaning (without room
    // to tell, every face is cleaned again).
    dgStack<unsigned char> moved(vertexCount_);
    unsigned char* movedData = moved.IsValid() ? moved.Data() : nullptr;
    int welded = 0;
    if (gathered_) {
      welded = dgWeldVertices(VertexData(), 12, 12, 0, vertexCount_, remap.Data(), kWeldTolerance, movedData);
      // Welding leaves a fraction of the vertices: the rest of the room goes back.
      if (welded > 0) vertices_.ShrinkTo(welded);
    } else {
      // The weld reads the chunks and writes the kept vertices to a block
      // of their size: the added vertices are never copied whole.
      float* kept = nullptr;
      welded = dgWeldVertexChunks(addedVertices_.Table(), dgSoupChunks<Vertex3>::kChunkShift, 12, 12, 0, vertexCount_,
                                  remap.Data(), kWeldTolerance, movedData, kept);
      if (welded > 0) {
        vertices_.Adopt(reinterpret_cast<Vertex3*>(kept), welded);
        addedVertices_.Clear();
        gathered_ = true;
      }
    }
    if (!GatherVertices()) return false;
    if (welded > 0) {
      vertexCount_ = welded;
      for (int f = 0, at = 0; f < faceCount_; at += faceIndexCounts_[f], ++f) {
        bool faceMoved = !moved.IsValid();
        for (int i = 1; i < faceIndexCounts_[f]; ++i) {
          const int old = indices_[at + i];
          faceMoved = faceMoved || moved[old] != 0;
          indices_[at + i] = remap[old];
        }
        if (faceMoved) cleanStarts_[f] = kUncleaned;
      }
    }
  }
  int faces = 0;
  int written = 0;
  // Each run is read before the compacted ones are written over it: a face
  // that lost corners must not move where the next face is read from.
  for (int f = 0, at = 0; f < faceCount_; ++f) {
    const int run = faceIndexCounts_[f];
    const int attribute = indices_[at];
    const int n = run - 1;
    int corners[kMaxFaceIndices];
    std::memcpy(corners, &indices_[at + 1], static_cast<size_t>(n) * sizeof(int));
    const int start = cleanStarts_[f];
    int kept = n;
    if (start == kUncleaned) {
      kept = CleanFace(corners, n);
    } else {
      TurnToStart(corners, n, start);
    }
    at += run;
    if (kept < 3) continue;
    // Writing never overtakes reading: a face only shrinks.
    indices_[written] = attribute;
    std::memcpy(&indices_[written + 1], corners, static_cast<size_t>(kept) * sizeof(int));
    written += kept + 1;
    cleanStarts_[faces] = kUncleaned;
    faceIndexCounts_[faces++] = kept + 1;
  }
  faceCount_ = faces;
  indexCount_ = written;
  return true;
}

template class dgSoupArray<int>;
template class dgSoupArray<signed char>;
template class dgSoupArray<dgPolygonSoupDatabaseBuilder::Vertex3>;
template class dgSoupChunks<dgPolygonSoupDatabaseBuilder::Vertex3>;
