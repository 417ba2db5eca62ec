#pragma once
// A second, four-wide tree over a soup's faces that only ray casts walk:
// each node holds the boxes of up to four children side by side, so one
// pass of four-lane arithmetic judges them all, and a face's own box (with
// its slack) sits in its parent, so faces the segment cannot reach are
// passed over without reading their corners. Made from the face tree by
// lifting grandchildren into their parents.

#include <cstddef>
#include <cstdint>

#include "physics/memory/dgMemory.h"
#include "physics/soup/dgRaySlabs.h"

class dgSoupRayTree {
 public:
  static constexpr int kWidth = 4;
  // Child word of an empty slot (its box is empty too).
  static constexpr uint32_t kNoChild = 0xFFFFFFFFu;

  struct Node {
    // bounds[0] the minima, bounds[1] the maxima; [axis][child].
    float bounds[2][3][kWidth];
    // Per child: a face tree leaf link word (bit 0 set), or the child
    // node's number shifted left by one.
    uint32_t child[kWidth];
  };

  dgSoupRayTree() = default;
  dgSoupRayTree(const dgSoupRayTree&) = delete;
  dgSoupRayTree& operator=(const dgSoupRayTree&) = delete;
  ~dgSoupRayTree() { Clear(); }

  // Takes over nodeCount nodes made with dgMalloc; node 0 is the root.
  void Adopt(Node* nodes, int nodeCount, int depth);
  void Clear();
  bool IsBuilt() const { return mNodes != nullptr; }

  // Calls visit(link) for each face whose box the segment crosses before
  // the fraction *reach (read anew before each node and face), nearer
  // first; stops when visit returns false. False when the walk's stack
  // could not be had (nothing visited).
  template <class Visit>
  bool Walk(const dgRaySlabs& ray, const float* reach, Visit visit) const;

  // Where the segment enters each child box of node (0 when it starts
  // inside), and whether it crosses it before the fraction limit; an empty
  // slot is never crossed.
  static void Slabs(const Node& node, const dgRaySlabs& ray, float limit, float* outEnter, bool* outCrosses);

 private:
  struct Entry {
    int node;
    float enter;  // where the segment enters the node's box
  };
  template <class Visit>
  bool WalkWith(Entry* stack, const dgRaySlabs& ray, const float* reach, Visit visit) const;

  Node* mNodes = nullptr;
  int mNodeCount = 0;
  int mDepth = 0;
};

template <class Visit>
bool dgSoupRayTree::Walk(const dgRaySlabs& ray, const float* reach, Visit visit) const {
  constexpr int kLocalEntries = 256;
  // Each level leaves at most three siblings waiting.
  const long long needed = 3LL * mDepth + 2;
  if (needed <= kLocalEntries) {
    Entry local[kLocalEntries];
    return WalkWith(local, ray, reach, visit);
  }
  auto* deep = static_cast<Entry*>(dgMalloc(static_cast<size_t>(needed) * sizeof(Entry)));
  if (!deep) return false;
  const bool done = WalkWith(deep, ray, reach, visit);
  dgFree(deep);
  return done;
}

template <class Visit>
bool dgSoupRayTree::WalkWith(Entry* stack, const dgRaySlabs& ray, const float* reach, Visit visit) const {
  const auto limit = [reach]() { return *reach < 1.0f ? *reach : 1.0f; };
  int top = 0;
  stack[top++] = {0, 0.0f};
  while (top > 0) {
    const Entry entry = stack[--top];
    if (entry.enter > limit()) continue;
    const Node& node = mNodes[entry.node];
    float enter[kWidth];
    bool crosses[kWidth];
    Slabs(node, ray, limit(), enter, crosses);
    // The children crossed, nearest first.
    int order[kWidth];
    int count = 0;
    for (int k = 0; k < kWidth; ++k) {
      if (!crosses[k]) continue;
      int at = count++;
      for (; at > 0 && enter[order[at - 1]] > enter[k]; --at) order[at] = order[at - 1];
      order[at] = k;
    }
    for (int i = 0; i < count; ++i) {
      const int k = order[i];
      if ((node.child[k] & 1u) == 0 || enter[k] > limit()) continue;
      if (!visit(node.child[k])) return true;
    }
    for (int i = count - 1; i >= 0; --i) {
      const int k = order[i];
      if ((node.child[k] & 1u) == 0) stack[top++] = {static_cast<int>(node.child[k] >> 1), enter[k]};
    }
  }
  return true;
}
