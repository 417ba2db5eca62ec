#pragma once
// Red-black tree of reference-counted nodes, each holding an info value and
// a key. Nodes come from the pool shared by every tree of the same node size
// and stay at one address for their whole life (removal relinks nodes, never
// moves infos), so callers may keep pointers to infos.

#include <cstdint>
#include <new>
#include <utility>

#include "physics/core/dgRef.h"
#include "physics/memory/dgMemoryPool.h"

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
    dgTreeNode* Next() {
      if (mRight) return mRight->Minimum();
      dgTreeNode* node = this;
      dgTreeNode* parent = mParent;
      while (parent && node == parent->mRight) {
        node = parent;
        parent = parent->mParent;
      }
      return parent;
    }
    // The in-order predecessor, or null.
    dgTreeNode* Prev() {
      if (mLeft) return mLeft->Maximum();
      dgTreeNode* node = this;
      dgTreeNode* parent = mParent;
      while (parent && node == parent->mLeft) {
        node = parent;
        parent = parent->mParent;
      }
      return parent;
    }

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = mAllocator;
      this->~dgTreeNode();
      allocator->Free(this);
    }

   private:
    friend class dgTree;
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

  void RotateLeft(dgTreeNode* x) {
    dgTreeNode* y = x->mRight;
    x->mRight = y->mLeft;
    if (y->mLeft) y->mLeft->mParent = x;
    Replace(x, y);
    y->mLeft = x;
    x->mParent = y;
  }

  void RotateRight(dgTreeNode* x) {
    dgTreeNode* y = x->mLeft;
    x->mLeft = y->mRight;
    if (y->mRight) y->mRight->mParent = x;
    Replace(x, y);
    y->mRight = x;
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

  void InsertFixup(dgTreeNode* node) {
    while (IsRedNode(node->mParent)) {
      dgTreeNode* parent = node->mParent;
      dgTreeNode* grand = parent->mParent;
      if (parent == grand->mLeft) {
        dgTreeNode* uncle = grand->mRight;
        if (IsRedNode(uncle)) {
          SetBlack(parent);
          SetBlack(uncle);
          SetRed(grand);
          node = grand;
          continue;
        }
        if (node == parent->mRight) {
          node = parent;
          RotateLeft(node);
          parent = node->mParent;
        }
        SetBlack(parent);
        SetRed(grand);
        RotateRight(grand);
      } else {
        dgTreeNode* uncle = grand->mLeft;
        if (IsRedNode(uncle)) {
          SetBlack(parent);
          SetBlack(uncle);
          SetRed(grand);
          node = grand;
          continue;
        }
        if (node == parent->mLeft) {
          node = parent;
          RotateRight(node);
          parent = node->mParent;
        }
        SetBlack(parent);
        SetRed(grand);
        RotateLeft(grand);
      }
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

  void RemoveFixup(dgTreeNode* node, dgTreeNode* parent) {
    while (node != mRoot && !IsRedNode(node)) {
      if (node == parent->mLeft) {
        dgTreeNode* sibling = parent->mRight;
        if (IsRedNode(sibling)) {
          SetBlack(sibling);
          SetRed(parent);
          RotateLeft(parent);
          sibling = parent->mRight;
        }
        if (!IsRedNode(sibling->mLeft) && !IsRedNode(sibling->mRight)) {
          SetRed(sibling);
          node = parent;
          parent = node->mParent;
        } else {
          if (!IsRedNode(sibling->mRight)) {
            SetBlack(sibling->mLeft);
            SetRed(sibling);
            RotateRight(sibling);
            sibling = parent->mRight;
          }
          sibling->mFlags = (sibling->mFlags & ~dgTreeNode::kRed) | (parent->mFlags & dgTreeNode::kRed);
          SetBlack(parent);
          SetBlack(sibling->mRight);
          RotateLeft(parent);
          node = mRoot;
        }
      } else {
        dgTreeNode* sibling = parent->mLeft;
        if (IsRedNode(sibling)) {
          SetBlack(sibling);
          SetRed(parent);
          RotateRight(parent);
          sibling = parent->mLeft;
        }
        if (!IsRedNode(sibling->mLeft) && !IsRedNode(sibling->mRight)) {
          SetRed(sibling);
          node = parent;
          parent = node->mParent;
        } else {
          if (!IsRedNode(sibling->mLeft)) {
            SetBlack(sibling->mRight);
            SetRed(sibling);
            RotateLeft(sibling);
            sibling = parent->mLeft;
          }
          sibling->mFlags = (sibling->mFlags & ~dgTreeNode::kRed) | (parent->mFlags & dgTreeNode::kRed);
          SetBlack(parent);
          SetBlack(sibling->mLeft);
          RotateRight(parent);
          node = mRoot;
        }
      }
    }
    SetBlack(node);
  }

  int mCount = 0;
  dgTreeNode* mRoot = nullptr;
  dgMemoryAllocator* mAllocator = nullptr;
};
