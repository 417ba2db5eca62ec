#pragma once
// Collects the faces of a tree collision while it is built: each incoming
// polygon is cleaned and split into convex faces, and at the end of the
// build the whole set may be welded and merged into larger convex faces.
// The face tree copies the arrays once the build ends.

#include <cstdint>

#include "physics/math/dgMatrix.h"

// A plain array that doubles its size when full (from a small first
// block), so that the memory a build holds stays in proportion to its faces.
template <class T>
class dgSoupArray {
 public:
  static constexpr int kMinCapacity = 1024;
  static constexpr long long kMaxCapacity = 1LL << 30;

  dgSoupArray() = default;
  dgSoupArray(const dgSoupArray&) = delete;
  dgSoupArray& operator=(const dgSoupArray&) = delete;
  ~dgSoupArray();

  // Makes index usable, at least doubling the room; false (array unchanged)
  // when the block cannot be had.
  bool Reserve(long long index) { return index < capacity_ || Grow(index); }
  // Gives back the room beyond the first count elements.
  void ShrinkTo(int count);
  // Frees the block.
  void Clear();
  // Takes other's block, leaving other empty.
  void TakeFrom(dgSoupArray& other);
  // Takes a dgMalloc block of capacity elements, freeing its own.
  void Adopt(T* data, int capacity);
  // Hands the block to the caller (who frees it with dgFree), leaving the array empty.
  T* Release();
  int GetCapacity() const { return capacity_; }
  T* Data() const { return data_; }
  T& operator[](int i) const { return data_[i]; }

 private:
  bool Grow(long long index);
  bool Resize(long long capacity);

  int capacity_ = 0;
  T* data_ = nullptr;
};

// Elements in chunks of kChunkSize that are filled once and never moved:
// an array that grows this way writes each element's bytes once, where a
// doubling one copies them into every larger block.
template <class T>
class dgSoupChunks {
 public:
  // 2,048 vertices (24 KiB) a chunk: a small soup holds little room it
  // does not fill, a large one takes few chunks.
  static constexpr int kChunkShift = 11;
  static constexpr int kChunkSize = 1 << kChunkShift;

  dgSoupChunks() = default;
  dgSoupChunks(const dgSoupChunks&) = delete;
  dgSoupChunks& operator=(const dgSoupChunks&) = delete;
  ~dgSoupChunks() { Clear(); }

  // Makes index usable; false (nothing lost) when a chunk cannot be had.
  bool Reserve(long long index) { return index < static_cast<long long>(chunkCount_) << kChunkShift || Grow(index); }
  T& operator[](int i) const { return static_cast<T*>(table_[i >> kChunkShift])[i & (kChunkSize - 1)]; }
  // The count elements from first on when they lie in one chunk, else null.
  T* Run(int first, int count) const;
  // Copies the count elements from first on to out.
  void CopyTo(T* out, int first, int count) const;
  // Chunk i holds elements i * kChunkSize on.
  const void* const* Table() const { return table_; }
  bool IsEmpty() const { return chunkCount_ == 0; }
  // Frees every chunk.
  void Clear();

 private:
  bool Grow(long long index);

  // The chunks' table doubles from a few entries (a soup of a few
  // thousand vertices needs only one or two).
  static constexpr int kMinTable = 8;
  void** table_ = nullptr;
  int tableCapacity_ = 0;
  int chunkCount_ = 0;
};

class dgPolygonSoupDatabaseBuilder {
 public:
  // The merge works on spatial cells of at most this many faces.
  static constexpr int kMaxFacesPerPass = 4096;
  // Merged faces stay within this distance (world units) of the faces they
  // replace, and so does every answer they give.
  static constexpr double kMergeTolerance = 1.0e-5;
  // Corners closer than this are one (squared distance 1e-6).
  static constexpr double kShortEdgeSquared = 1.0e-6;
  // Corners whose edge directions agree this well are straight.
  static constexpr double kStraightCorner = 0.9999;
  // A corner turning by less than this about the face normal is reflex.
  static constexpr double kReflexTolerance = 1.0e-5;
  // Weld distance of Optimize.
  static constexpr float kWeldTolerance = 0.001f;
  // Most corners a stored face keeps: the contact code's face buffer holds
  // 64 (the face tree itself could address 127). Longer convex faces are
  // cut into a fan of convex pieces.
  static constexpr int kMaxFaceIndices = 64;

  dgPolygonSoupDatabaseBuilder() = default;
  dgPolygonSoupDatabaseBuilder(const dgPolygonSoupDatabaseBuilder&) = delete;
  dgPolygonSoupDatabaseBuilder& operator=(const dgPolygonSoupDatabaseBuilder&) = delete;
  ~dgPolygonSoupDatabaseBuilder() = default;

  // Appends the vertices (mapped by the matrix) and the faces, each split
  // into convex faces; indices are local to this call, faceIndexCounts[i]
  // and attributes[i] describe face i. Faces with an index outside the
  // vertices given are skipped. False when memory ran out.
  bool AddMesh(const float* vertices, int vertexCount, int strideBytes, int faceCount, const int* faceIndexCounts,
               const int* indices, const int* attributes, const dgMatrix& matrix);
  // Welds the vertices and cleans the faces; with merge set also joins
  // neighbouring faces of one attribute into larger convex faces.
  void Optimize(bool merge);
  // With exactly one face, stores a copy of it as a second face.
  void EnsureTwoFaces();
  // Forgets every face and vertex.
  void Clear();
  // Hands the index and the vertex block to the caller (who frees them with
  // dgFree) when each is exactly full, spending the copy; null for one that
  // is not, which stays. The builder must be cleared once read.
  void HandOverFullArrays(int*& outIndices, float*& outVertices);

  int GetFaceCount() const { return faceCount_; }
  int GetIndexCount() const { return indexCount_; }
  int GetVertexCount() const { return vertexCount_; }
  // Per face: run length in the index array (vertex indices + 1).
  const int* GetFaceIndexCounts() const { return faceIndexCounts_.Data(); }
  // One run per face: the attribute, then the vertex indices.
  const int* GetIndices() const { return indices_.Data(); }
  // Three floats per vertex; null when the vertices added since the last
  // Optimize cannot be gathered into one block.
  const float* GetVertices() const {
    return GatherVertices() ? reinterpret_cast<const float*>(vertices_.Data()) : nullptr;
  }

 private:
  struct Vertex3 {
    float x, y, z;
  };

  // The vertices in one block (once gathered).
  float* VertexData() const { return reinterpret_cast<float*>(vertices_.Data()); }
  // Moves the added vertices' chunks into one block of exactly their
  // bytes, unless they are there already; false when it cannot be had.
  bool GatherVertices() const;
  // A slot for vertex i, made usable by ReserveVertices.
  Vertex3& VertexSlot(int i) const { return gathered_ ? vertices_[i] : addedVertices_[i]; }
  bool ReserveVertices(long long index);
  // Splits one polygon into convex faces and stores them: its indices
  // count from base, the first of the vertices at batch.
  bool AddPolygon(const float* batch, int base, const int* indices, int count, int attribute);
  // A face's clean start when it is not known to be clean already.
  static constexpr int kUncleaned = -1;

  // Stores one face run; cleanStart is the corner cleaning would start it
  // at when it is already clean otherwise (kUncleaned when not known).
  bool AppendFace(int attribute, const int* indices, int count, int cleanStart = kUncleaned);
  // Makes room for faces and index words in all (the arrays do not grow
  // until they are passed); false when the room cannot be had.
  bool ReserveFaces(int faces, int indexWords);
  // Cleans one face in place (short edges, straight and reflex corners);
  // returns its new corner count, 0 when fewer than three remain.
  int CleanFace(int* indices, int count) const;
  // Turns the loop to begin at corner start.
  static void TurnToStart(int* indices, int count, int start);
  // Welds the vertices and cleans every face (faces already clean whose
  // corners the weld left in place are only turned to their start).
  // False (faces as they are) when the vertices cannot be had in one block.
  bool WeldAndClean();
  // Joins neighbouring faces of one attribute that lie in one plane into
  // larger convex faces (dgPolygonSoupMerge.cpp); unchanged when memory runs out.
  void MergeFaces();
  // Join partners of a face: none, or more than one.
  static constexpr int kNoPartner = -1;
  static constexpr int kManyPartners = -2;
  // For every face f (its run at starts[f]) the neighbours across its edges
  // that have its attribute and lie in its plane: partner[f] is the one
  // such face, kNoPartner or kManyPartners. Returns how many faces have
  // one, -1 when memory ran out.
  int FindJoinPartners(const int* starts, int* partner) const;
  // The four-cornered loop two triangles sharing one edge make once
  // joined, and whether its corners at the ends of that edge stay convex;
  // false when they share no edge (or all three corners).
  bool JoinTrianglePair(const int* first, const int* second, int* outQuad, bool& outConvex) const;
  struct MergeContext;
  // Merges the faces numbered in faces into the context's output, in
  // spatial cells of at most kMaxFacesPerPass faces.
  bool MergeCell(MergeContext& context, int* faces, int count) const;
  // Merges faces of one attribute into the context's output.
  bool MergeGroup(MergeContext& context, const int* faces, int count) const;
  // Stores a merged convex face over vertices, starting at a corner whose
  // plane (the one rays and contacts take from the first three corners)
  // holds every corner within kMergeTolerance; as a fan of triangles when
  // none does.
  bool AppendMergedFace(const float* vertices, int attribute, const int* indices, int count);
  // Drops the vertices no face uses, keeping the others in order.
  void CompactVertices();

  int faceCount_ = 0;
  int indexCount_ = 0;
  int vertexCount_ = 0;
  dgSoupArray<int> faceIndexCounts_;
  // Per face: where cleaning will start it, for a face that is clean as it
  // stands as long as none of its corners moves; kUncleaned otherwise.
  dgSoupArray<signed char> cleanStarts_;
  dgSoupArray<int> indices_;
  // While faces are added the vertices arrive in chunks; the first reader
  // that needs them in one block (the weld, or GetVertices) gathers them,
  // and later vertices go to that block. Gathering only moves them, so a
  // const reader may do it.
  mutable dgSoupChunks<Vertex3> addedVertices_;
  mutable dgSoupArray<Vertex3> vertices_;
  mutable bool gathered_ = false;
};
