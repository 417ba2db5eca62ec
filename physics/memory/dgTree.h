#pragma once
// Red-black tree of reference-counted nodes, each holding an info value and
// a key. Nodes come from the pool shared by every tree of the same node size
// and stay at one address for their whole life (removal relinks nodes, never
// moves infos), so callers may keep pointers to infos.

#include <cstdint>
#include <new>
#include <utility>

#include "physics/memory/dgMemoryPool.h"
#include "physics/memory/dgRef.h"

template <class Info, class Key = uint32_t>
class dgTree {
 public:
  class dgTreeNode : public dgRef {
   public:
    // Flag bits of a node.
    static constexpr uint32_t kRed = 1u;
    static constexpr uint32_t kInTree = 2u;

    // The value the node holds.
    Info& GetInfo() { return mInfo; }
    const Info& GetInfo() const { return mInfo; }
    // The node's key.
    const Key& GetKey() const { return mKey; }
    // Colour and membership flags.
    bool IsRed() const { return (mFlags & kRed) != 0; }
    bool IsInTree() const { return (mFlags & kInTree) != 0; }
    // Links (null where there is none).
    dgTreeNode* GetLeft() const { return mLeft; }
    dgTreeNode* GetRight() const { return mRight; }
    dgTreeNode* GetParent() const { return mParent; }

    // The leftmost node of this subtree.
    dgTreeNode* Minimum() {
      dgTreeNode* node = this;
      while (node->mLeft) node = node->mLeft;
      return node;
    }
    // The rightmost node of this subtree.
    dgTreeNode* Maximum() {
      dgTreeNode* node = this;
      while (node->mRight) node = node->mRight;
      return node;
    }
    // The in-order successor, or null.
    dgTreeNode* Next() { return Step(true); }
    // The in-order predecessor, or null.
    dgTreeNode* Prev() { return Step(false); }

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = mAllocator;
      this->~dgTreeNode();
      allocator->Free(this);
    }

   private:
    friend class dgTree;
    // The child on the right side when right is true, else on the left.
    dgTreeNode*& Child(bool right) { return right ? mRight : mLeft; }
    // The neighbour in key order: forward is the successor, else the
    // predecessor (the two are mirror images).
    dgTreeNode* Step(bool forward) {
      if (Child(forward)) return forward ? Child(forward)->Minimum() : Child(forward)->Maximum();
      dgTreeNode* node = this;
      dgTreeNode* parent = mParent;
      while (parent && node == parent->Child(forward)) {
        node = parent;
        parent = parent->mParent;
      }
      return parent;
    }

    dgTreeNode(const Info& info, const Key& key, dgTreeNode* parent, dgMemoryAllocator* allocator)
        : mParent(parent), mAllocator(allocator), mInfo(info), mKey(key) {}

    dgTreeNode* mLeft = nullptr;
    dgTreeNode* mRight = nullptr;
    dgTreeNode* mParent = nullptr;
    dgMemoryAllocator* mAllocator = nullptr;
    uint32_t mFlags = kRed | kInTree;
    Info mInfo;
    Key mKey;
  };

  dgTree() : mAllocator(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgTreeNode)))) {}
  dgTree(const dgTree&) = delete;
  dgTree& operator=(const dgTree&) = delete;
  ~dgTree() { RemoveAll(); }

  // Number of nodes.
  int GetCount() const { return mCount; }
  // The root node, or null when empty.
  dgTreeNode* GetRoot() const { return mRoot; }
  // The node with the smallest key, or null when empty.
  dgTreeNode* Minimum() const { return mRoot ? mRoot->Minimum() : nullptr; }
  // The node with the largest key, or null when empty.
  dgTreeNode* Maximum() const { return mRoot ? mRoot->Maximum() : nullptr; }

  // The node of key, or null.
  dgTreeNode* Find(const Key& key) const {
    dgTreeNode* node = mRoot;
    while (node) {
      if (key < node->mKey) node = node->mLeft;
      else if (node->mKey < key) node = node->mRight;
      else return node;
    }
    return nullptr;
  }

  // Find-or-insert: an existing key sets exists and returns its node
  // unchanged; otherwise a new node holds info (null when none can be had).
  dgTreeNode* Insert(const Info& info, const Key& key, bool& exists) {
    exists = false;
    dgTreeNode* parent = nullptr;
    dgTreeNode* node = mRoot;
    while (node) {
      parent = node;
      if (key < node->mKey) node = node->mLeft;
      else if (node->mKey < key) node = node->mRight;
      else {
        exists = true;
        return node;
      }
    }
    // A tree made while the hooks refused memory has no pool yet: try again.
    if (!mAllocator) mAllocator = dgMemoryPool::GetShared(static_cast<int>(sizeof(dgTreeNode)));
    void* memory = mAllocator ? mAllocator->Malloc(sizeof(dgTreeNode)) : nullptr;
    if (!memory) return nullptr;
    auto* fresh = new (memory) dgTreeNode(info, key, parent, mAllocator);
    Link(fresh, parent);
    return fresh;
  }
  // Insert for a key not expected to exist: null when it exists or fails.
  dgTreeNode* Insert(const Info& info, const Key& key) {
    bool exists = false;
    dgTreeNode* node = Insert(info, key, exists);
    return exists ? nullptr : node;
  }

  // Takes a node out of the tree and drops the tree's reference.
  void Remove(dgTreeNode* node) {
    node->ClearAttachedFlag();
    Unlink(node);
    node->Release();
  }
  // Removes the node of key, when there is one.
  void RemoveByKey(const Key& key) {
    if (dgTreeNode* node = Find(key)) Remove(node);
  }
  // Removes every node, children before parents.
  void RemoveAll() {
    dgTreeNode* node = mRoot;
    while (node) {
      if (node->mLeft) {
        node = node->mLeft;
      } else if (node->mRight) {
        node = node->mRight;
      } else {
        dgTreeNode* parent = node->mParent;
        if (parent) (parent->mLeft == node ? parent->mLeft : parent->mRight) = nullptr;
        node->ClearAttachedFlag();
        node->mFlags &= ~dgTreeNode::kInTree;
        node->mParent = nullptr;
        node->Release();
        node = parent;
      }
    }
    mRoot = nullptr;
    mCount = 0;
  }
  // Moves a node to a new key, keeping the node (and its info) where it is
  // in memory; false, with nothing changed, when the new key is taken.
  bool ReplaceKey(dgTreeNode* node, const Key& key) {
    if (!(node->mKey < key) && !(key < node->mKey)) return true;
    if (Find(key)) return false;
    Unlink(node);
    node->mKey = key;
    dgTreeNode* parent = nullptr;
    for (dgTreeNode* walk = mRoot; walk;) {
      parent = walk;
      walk = key < walk->mKey ? walk->mLeft : walk->mRight;
    }
    node->mLeft = node->mRight = nullptr;
    node->mParent = parent;
    node->mFlags = dgTreeNode::kRed | dgTreeNode::kInTree;
    Link(node, parent);
    return true;
  }

 private:
  static bool IsRedNode(const dgTreeNode* node) { return node && node->IsRed(); }
  static void SetRed(dgTreeNode* node) { node->mFlags |= dgTreeNode::kRed; }
  static void SetBlack(dgTreeNode* node) {
    if (node) node->mFlags &= ~dgTreeNode::kRed;
  }

  void Link(dgTreeNode* node, dgTreeNode* parent) {
    if (!parent) mRoot = node;
    else if (node->mKey < parent->mKey) parent->mLeft = node;
    else parent->mRight = node;
    ++mCount;
    InsertFixup(node);
  }

  // Lifts x's child on the given side into x's place (fromRight true is a
  // left rotation), x becoming that child's other-side child.
  void RotateUp(dgTreeNode* x, bool fromRight) {
    dgTreeNode* y = x->Child(fromRight);
    x->Child(fromRight) = y->Child(!fromRight);
    if (y->Child(!fromRight)) y->Child(!fromRight)->mParent = x;
    Replace(x, y);
    y->Child(!fromRight) = x;
    x->mParent = y;
  }

  // Hangs replacement where node hung (replacement may be null).
  void Replace(dgTreeNode* node, dgTreeNode* replacement) {
    dgTreeNode* parent = node->mParent;
    if (!parent) mRoot = replacement;
    else if (parent->mLeft == node) parent->mLeft = replacement;
    else parent->mRight = replacement;
    if (replacement) replacement->mParent = parent;
  }

  // The two mirror cases (parent on the grandparent's left or right) run
  // as one, with side naming where the parent hangs.
  void InsertFixup(dgTreeNode* node) {
    while (IsRedNode(node->mParent)) {
      dgTreeNode* parent = node->mParent;
      dgTreeNode* grand = parent->mParent;
      const bool side = parent != grand->mLeft;
      dgTreeNode* uncle = grand->Child(!side);
      if (IsRedNode(uncle)) {
        SetBlack(parent);
        SetBlack(uncle);
        SetRed(grand);
        node = grand;
        continue;
      }
      if (node == parent->Child(!side)) {
        node = parent;
        RotateUp(node, !side);
        parent = node->mParent;
      }
      SetBlack(parent);
      SetRed(grand);
      RotateUp(grand, side);
    }
    SetBlack(mRoot);
  }

  // Takes node out of the tree without releasing it. A node with two
  // children is replaced by its successor node, which takes its colour.
  void Unlink(dgTreeNode* node) {
    bool removedBlack = !node->IsRed();
    dgTreeNode* child = nullptr;
    dgTreeNode* childParent = nullptr;
    if (!node->mLeft || !node->mRight) {
      child = node->mLeft ? node->mLeft : node->mRight;
      childParent = node->mParent;
      Replace(node, child);
    } else {
      dgTreeNode* successor = node->mRight->Minimum();
      removedBlack = !successor->IsRed();
      child = successor->mRight;
      if (successor->mParent == node) {
        childParent = successor;
      } else {
        childParent = successor->mParent;
        Replace(successor, child);
        successor->mRight = node->mRight;
        successor->mRight->mParent = successor;
      }
      Replace(node, successor);
      successor->mLeft = node->mLeft;
      successor->mLeft->mParent = successor;
      successor->mFlags = (successor->mFlags & ~dgTreeNode::kRed) | (node->mFlags & dgTreeNode::kRed);
    }
    --mCount;
    if (removedBlack) RemoveFixup(child, childParent);
    node->mLeft = node->mRight = node->mParent = nullptr;
    node->mFlags &= ~dgTreeNode::kInTree;
  }

  // As in InsertFixup, one body serves both mirror cases; side names where
  // node (possibly null) hangs under parent.
  void RemoveFixup(dgTreeNode* node, dgTreeNode* parent) {
    while (node != mRoot && !IsRedNode(node)) {
      const bool side = node != parent->mLeft;
      dgTreeNode* sibling = parent->Child(!side);
      if (IsRedNode(sibling)) {
        SetBlack(sibling);
        SetRed(parent);
        RotateUp(parent, !side);
        sibling = parent->Child(!side);
      }
      if (!IsRedNode(sibling->mLeft) && !IsRedNode(sibling->mRight)) {
        SetRed(sibling);
        node = parent;
        parent = node->mParent;
      } else {
        if (!IsRedNode(sibling->Child(!side))) {
          SetBlack(sibling->Child(side));
          SetRed(sibling);
          RotateUp(sibling, side);
          sibling = parent->Child(!side);
        }
        sibling->mFlags = (sibling->mFlags & ~dgTreeNode::kRed) | (parent->mFlags & dgTreeNode::kRed);
        SetBlack(parent);
        SetBlack(sibling->Child(!side));
        RotateUp(parent, !side);
        node = mRoot;
      }
    }
    SetBlack(node);
  }

  int mCount = 0;
  dgTreeNode* mRoot = nullptr;
  dgMemoryAllocator* mAllocator = nullptr;
};
