#pragma once
// The faces of a tree collision in flat arrays under a binary tree of
// axis-aligned boxes, so that a box or a segment finds the few faces it may
// touch. Built once from a builder, then read only.

#include <cstddef>
#include <cstdint>

#include "physics/math/dgVector.h"
#include "physics/memory/dgRef.h"
#include "physics/soup/dgSoupRayTree.h"

class dgPolygonSoupDatabaseBuilder;

// Called per face found: context, vertex array, vertex stride in bytes (12),
// the face's first vertex index (the attribute is the word before it) and
// its index count. Returning 0 stops the query.
using dgAABBFaceCallback = int (*)(void* context, const float* vertices, int strideBytes, const int* indices,
                                   int indexCount);
// Writes size bytes of data to the caller's stream.
using dgSoupWriteCallback = void (*)(void* handle, const void* data, size_t bytes);
// Reads up to size bytes into data; returns the number of bytes read.
using dgSoupReadCallback = size_t (*)(void* handle, void* data, size_t bytes);

// The vertex part shared by every polygon soup.
class dgPolygonSoupDatabase : public dgRef {
 public:
  dgPolygonSoupDatabase() = default;
  ~dgPolygonSoupDatabase() override;

  uint32_t GetTypeId() const override { return dgPolygonSoupDatabaseId; }
  bool IsType(uint32_t id) const override { return id == dgPolygonSoupDatabaseId || dgRef::IsType(id); }

  // True for a soup that keeps a face tree.
  virtual bool HasFaceTree() const { return false; }
  // Writes the soup to the callback.
  virtual void Serialize(dgSoupWriteCallback write, void* handle) const = 0;
  // Replaces the soup by one read from the callback; false (an empty soup,
  // and one line to dgReport saying why) on a short or inconsistent stream.
  virtual bool Deserialize(dgSoupReadCallback read, void* handle) = 0;
  // The box of every face (w = 1); false and zeros without faces.
  virtual bool GetAABB(dgVector& outMin, dgVector& outMax) const {
    outMin = outMax = dgVector();
    return false;
  }
  // Calls back every face whose vertex box overlaps the box p0-p1.
  virtual void ForAllFacesInAABB(const dgVector&, const dgVector&, dgAABBFaceCallback, void*) const {}
  // Calls back every face in the tree cells the segment p0-p1 crosses.
  virtual void ForAllFacesInRay(const dgVector&, const dgVector&, dgAABBFaceCallback, void*) const {}

  int GetVertexCount() const { return vertexCount_; }
  int GetVertexStride() const { return vertexStride_; }
  const float* GetVertices() const { return vertices_; }

 protected:
  void FreeVertices();

  int vertexCount_ = 0;
  int vertexStride_ = 12;
  float* vertices_ = nullptr;
};

class dgAABBPolygonSoup : public dgPolygonSoupDatabase {
 public:
  // One tree node, 32 bytes, as Serialize writes it.
  struct Node {
    float minimum[3];
    float maximum[3];
    uint32_t left;
    uint32_t right;
  };
  static_assert(sizeof(Node) == 32);

  // Link word: bit 0 set for a leaf face, bits 1-7 its index count and bits
  // 8-31 the position of its first vertex index; bit 0 clear for a child
  // node whose number is the word shifted right by one.
  static constexpr uint32_t kLeafBit = 1u;
  static constexpr int kMaxLeafIndices = 127;
  static constexpr int kMaxIndexPosition = 1 << 24;
  // Bit 31 of a vertex index flags the edge starting there.
  static constexpr uint32_t kEdgeFlag = 0x80000000u;
  static constexpr int kIndexMask = 0x7FFFFFFF;
  // Face boxes in the tree are widened by this on every side.
  static constexpr float kFaceBoxPadding = 0.125f;
  // Query stacks this deep live in the query's frame.
  static constexpr int kLocalStackDepth = 64;

  dgAABBPolygonSoup() = default;
  ~dgAABBPolygonSoup() override;

  uint32_t GetTypeId() const override { return dgAABBPolygonSoupId; }
  bool IsType(uint32_t id) const override { return id == dgAABBPolygonSoupId || dgPolygonSoupDatabase::IsType(id); }

  bool HasFaceTree() const override { return true; }
  void Serialize(dgSoupWriteCallback write, void* handle) const override;
  bool Deserialize(dgSoupReadCallback read, void* handle) override;
  // The root box (w = 1); false and zeros without a tree.
  bool GetAABB(dgVector& outMin, dgVector& outMax) const override;
  void ForAllFacesInAABB(const dgVector& p0, const dgVector& p1, dgAABBFaceCallback callback,
                         void* context) const override;
  void ForAllFacesInRay(const dgVector& p0, const dgVector& p1, dgAABBFaceCallback callback,
                        void* context) const override;
  // The faces a nearest-hit search needs: those whose own boxes the part of
  // the segment up to the fraction *reach crosses (read anew before each
  // cell and face, so a caller that keeps its nearest hit in *reach skips
  // whatever can no longer hold a nearer face), nearer cells first. Every
  // face the face test hits at or before *reach is among them; the order
  // differs from ForAllFacesInRay's, so a caller must break exact ties by
  // something other than the order faces come in.
  void ForFacesInRayWithin(const dgVector& p0, const dgVector& p1, const float* reach, dgAABBFaceCallback callback,
                           void* context) const;

  // True when the vertex box of the face (count indices, flags ignored)
  // overlaps the box p0-p1 as the box query judges it.
  bool FaceOverlapsBox(const int* indices, int count, const dgVector& p0, const dgVector& p1) const;

  // Copies the builder's arrays and builds the tree; with fewer than two
  // faces (or arrays the link word cannot address) nothing is built.
  // False when memory ran out.
  bool Create(const dgPolygonSoupDatabaseBuilder& builder);

  int GetIndexCount() const { return indexCount_; }
  const int* GetIndices() const { return indices_; }
  int* GetIndices() { return indices_; }
  int GetNodeCount() const { return nodeCount_; }
  const Node* GetNodes() const { return nodes_; }

  static bool IsLeaf(uint32_t link) { return (link & kLeafBit) != 0; }
  static int LeafPosition(uint32_t link) { return static_cast<int>(link >> 8); }
  static int LeafIndexCount(uint32_t link) { return static_cast<int>((link >> 1) & 127u); }
  static int ChildNode(uint32_t link) { return static_cast<int>(link >> 1); }

 protected:
  // Create in two steps, so that a caller can let go of the builder (and
  // do what needs only the face tree) before the ray tree takes its room:
  // the face tree and the arrays, then the ray tree.
  bool CreateFaceTree(const dgPolygonSoupDatabaseBuilder& builder) { return CreateFaceTree(builder, nullptr); }
  // The same for a builder read for the last time: its arrays that are
  // exactly full move into the tree instead of being copied, and it is
  // left empty.
  bool CreateFaceTreeEmptying(dgPolygonSoupDatabaseBuilder& builder) { return CreateFaceTree(builder, &builder); }
  // Makes the ray casts' four-wide tree from the face tree; without memory
  // for it, ray casts take the plain walk.
  void BuildRayTree();

 private:
  // Depth-first walk: children of nodes that pass the test are visited; a
  // leaf visit returning false ends the walk.
  template <class NodeTest, class LeafVisit>
  void WalkTree(NodeTest enters, LeafVisit visit) const;
  // True when the segment crosses the node's box: clipped to its x and z
  // slabs, then tested against its y range.
  static bool SegmentCrossesNode(const Node& node, const dgVector& p0, const dgVector& p1);
  struct Stub;
  // CreateFaceTree; a giver (the builder itself) hands over its full arrays.
  bool CreateFaceTree(const dgPolygonSoupDatabaseBuilder& builder, dgPolygonSoupDatabaseBuilder* giver);
  void FreeTree();
  // The up to four children of a ray tree node made from node in one of
  // eight shapes (which links below it open into their two links); 0 when
  // the shape would open a leaf.
  int RayTreeChildren(const Node& node, int shape, uint32_t* links) const;
  // Builds node nodeIndex over count stubs, with room for count floats at
  // keys; false when scratch memory ran out.
  bool BuildNode(int nodeIndex, Stub* stubs, int count, int& counter, int depth, float* keys);
  // The (count / 2)-th smallest stub maximum on the axis, as a max-heap
  // keyed 2 * nodeMax - stub maximum picks it; false when scratch memory ran out.
  static bool SplitValue(const Stub* stubs, int count, int axis, float nodeMax, float* keys, float& outSplit);
  // Reads the three arrays of a stream; what is wrong with it, or null.
  const char* ReadArrays(dgSoupReadCallback read, void* handle);
  // Checks a read tree (every node reached from the root exactly once,
  // children numbered after their parents, faces inside the arrays) and
  // sets the depth; what is wrong with it, or null.
  const char* TreeFault();

  int indexCount_ = 0;
  int* indices_ = nullptr;
  Node* nodes_ = nullptr;
  int nodeCount_ = 0;
  // Deepest node path of the tree; queries size their stacks by it.
  int depth_ = 0;
  dgSoupRayTree rayTree_;
};
