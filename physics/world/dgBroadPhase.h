#pragma once
// The world's broad phase: a quadtree over the horizontal x-z plane (y is
// not subdivided). Each node holds the bodies whose boxes fit in it but in
// none of its quarters, sorted along each axis by their box minimum, with
// running sums of the keys and of their squares.

#include <cstdint>

#include "physics/math/dgVector.h"
#include "physics/memory/dgRefList.h"

class dgBody;
class dgWorld;
class dgMemoryAllocator;

// One body's place in one axis list of a node.
struct dgBroadPhaseAxisEntry {
  dgBody* body = nullptr;
  float key = 0.0f;
  dgBroadPhaseAxisEntry* next = nullptr;
  dgBroadPhaseAxisEntry* prev = nullptr;
};

// The bodies of a node sorted by their box minimum along one axis.
class dgBroadPhaseAxisList {
 public:
  dgBroadPhaseAxisList();
  dgBroadPhaseAxisList(const dgBroadPhaseAxisList&) = delete;
  dgBroadPhaseAxisList& operator=(const dgBroadPhaseAxisList&) = delete;
  ~dgBroadPhaseAxisList() { RemoveAll(); }

  // Inserts body with key in front of the first entry whose key is not less.
  dgBroadPhaseAxisEntry* Insert(dgBody* body, float key);
  // Takes an entry out.
  void Remove(dgBroadPhaseAxisEntry* entry);
  // Gives an entry a new key and moves it until the order holds again.
  void UpdateKey(dgBroadPhaseAxisEntry* entry, float key);
  void RemoveAll();

  int GetCount() const { return count_; }
  dgBroadPhaseAxisEntry* GetFirst() const { return first_; }
  double GetSum() const { return sum_; }
  double GetSumOfSquares() const { return sumOfSquares_; }

 private:
  void LinkBefore(dgBroadPhaseAxisEntry* entry, dgBroadPhaseAxisEntry* before);
  void Unlink(dgBroadPhaseAxisEntry* entry);

  int count_ = 0;
  dgBroadPhaseAxisEntry* first_ = nullptr;
  dgBroadPhaseAxisEntry* last_ = nullptr;
  dgMemoryAllocator* allocator_ = nullptr;
  double sum_ = 0.0;
  double sumOfSquares_ = 0.0;
};

// One square cell of the quadtree.
class dgBroadPhaseNode {
 public:
  float originX = 0.0f;
  float originY = 0.0f;
  float originZ = 0.0f;
  float size = 0.0f;  // side in x and z
  uint16_t level = 0;
  uint16_t bodyCount = 0;
  uint16_t childCount = 0;
  uint16_t marker = 0xFFFF;
  uint16_t changeCount = 0;
  uint32_t tag = 0;  // the broad phase's node word
  uint32_t reserved[2] = {};
  dgBroadPhaseAxisList axes[3];
  dgWorld* world = nullptr;
  dgBroadPhaseNode* parent = nullptr;
  dgBroadPhaseNode* children[4] = {};
};

class dgBroadPhase {
 public:
  // Levels a body may descend below the root.
  static constexpr int kMaxDepth = 9;

  dgBroadPhase();
  dgBroadPhase(const dgBroadPhase&) = delete;
  dgBroadPhase& operator=(const dgBroadPhase&) = delete;
  ~dgBroadPhase();

  // Binds the world and rebuilds the grid for the current extent.
  void Bind(dgWorld* world);
  // Sets the extent: a square of side ceil(larger x-z extent) from the min
  // corner snapped to 1/512, and the given y range; re-inserts every body.
  void SetWorldSize(const dgVector& minCorner, const dgVector& maxCorner);
  // Puts a body in the root node.
  void Add(dgBody* body);
  // Takes a body out of its node, freeing nodes left empty.
  void Remove(dgBody* body);
  // Moves a body to the deepest node that holds its box and re-sorts its keys.
  void UpdateBody(dgBody* body);

  // Index 0-3 of the quarter (bit 0 upper x half, bit 1 upper z half) of a
  // node of half size h at origin that holds the box, or 8 or more when none does.
  static int QuarterIndex(float halfSize, float originX, float originZ, const dgVector& boxMin, const dgVector& boxMax);

  const dgVector& GetMinCorner() const { return min_; }
  const dgVector& GetMaxCorner() const { return max_; }
  float GetRootSize() const { return rootSize_; }
  float GetGridScale() const { return gridScale_; }
  float GetInvGridScale() const { return invGridScale_; }
  dgBroadPhaseNode* GetRoot() const { return root_; }
  int GetFreeNodeCount() const { return freeNodes_.GetCount(); }
  int GetMovedCount() const { return movedBodies_.GetCount(); }

 private:
  dgBroadPhaseNode* TakeNode(int level, dgBroadPhaseNode* parent, float x, float y, float z, float size);
  void LinkBody(dgBody* body, dgBroadPhaseNode* node);
  // Unlinks the body from a node it is no longer in and frees emptied nodes upward.
  void UnlinkBody(dgBody* body, dgBroadPhaseNode* node);
  void PruneUpward(dgBody* body, dgBroadPhaseNode* node);
  // Unhooks a childless node from its parent (or the root) onto the free
  // list; returns the parent.
  dgBroadPhaseNode* RetireNode(dgBroadPhaseNode* node);
  void CheckWorldBox(dgBody* body);

  dgVector min_{-1000.0f, -1000.0f, -1000.0f, 1.0f};
  dgVector max_{1000.0f, 1000.0f, 1000.0f, 1.0f};
  uint32_t nodeTag_ = 0;
  float rootSize_ = 1000.0f;
  float gridScale_ = 1.0f;
  float invGridScale_ = 1.0f;
  dgWorld* world_ = nullptr;
  dgBroadPhaseNode* root_ = nullptr;
  dgRefList<dgBroadPhaseNode*> freeNodes_;
  int pairWords_[3] = {1, 0, 1};
  dgRefList<dgBody*> movedBodies_;
};
