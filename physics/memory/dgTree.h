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
    Info& GetInfo() { return info_; }
    const Info& GetInfo() const { return info_; }
    // The node's key.
    const Key& GetKey() const { return key_; }
    // Colour and membership flags.
    bool IsRed() const { return (flags_ & kRed) != 0; }
    bool IsInTree() const { return (flags_ & kInTree) != 0; }
    // Links (null where there is none).
    dgTreeNode* GetLeft() const { return left_; }
    dgTreeNode* GetRight() const { return right_; }
    dgTreeNode* GetParent() const { return parent_; }

    // The leftmost node of this subtree.
    dgTreeNode* Minimum() {
      dgTreeNode* node = this;
      while (node->left_) node = node->left_;
      return node;
    }
    // The rightmost node of this subtree.
    dgTreeNode* Maximum() {
      dgTreeNode* node = this;
      while (node->right_) node = node->right_;
      return node;
    }
    // The in-order successor, or null.
    dgTreeNode* Next() { return Step(true); }
    // The in-order predecessor, or null.
    dgTreeNode* Prev() { return Step(false); }

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = allocator_;
      this->~dgTreeNode();
      allocator->Free(this);
    }

   private:
    friend class dgTree;
    // The child on the right side when right is true, else on the left.
    dgTreeNode*& Child(bool right) { return right ? right_ : left_; }
    // The neighbour in key order: forward is the successor, else the
    // predecessor (the two are mirror images).
    dgTreeNode* Step(bool forward) {
      if (Child(forward)) return forward ? Child(forward)->Minimum() : Child(forward)->Maximum();
      dgTreeNode* node = this;
      dgTreeNode* parent = parent_;
      while (parent && node == parent->Child(forward)) {
        node = parent;
        parent = parent->parent_;
      }
      return parent;
    }

    dgTreeNode(const Info& info, const Key& key, dgTreeNode* parent, dgMemoryAllocator* allocator)
        : parent_(parent), allocator_(allocator), info_(info), key_(key) {}

    dgTreeNode* left_ = nullptr;
    dgTreeNode* right_ = nullptr;
    dgTreeNode* parent_ = nullptr;
    dgMemoryAllocator* allocator_ = nullptr;
    uint32_t flags_ = kRed | kInTree;
    Info info_;
    Key key_;
  };

  dgTree() : allocator_(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgTreeNode)))) {}
  dgTree(const dgTree&) = delete;
  dgTree& operator=(const dgTree&) = delete;
  ~dgTree() { RemoveAll(); }

  // Number of nodes.
  int GetCount() const { return count_; }
  // The root node, or null when empty.
  dgTreeNode* GetRoot() const { return root_; }
  // The node with the smallest key, or null when empty.
  dgTreeNode* Minimum() const { return root_ ? root_->Minimum() : nullptr; }
  // The node with the largest key, or null when empty.
  dgTreeNode* Maximum() const { return root_ ? root_->Maximum() : nullptr; }

  // The node of key, or null.
  dgTreeNode* Find(const Key& key) const {
    dgTreeNode* node = root_;
    while (node) {
      if (key < node->key_)
        node = node->left_;
      else if (node->key_ < key)
        node = node->right_;
      else
        return node;
    }
    return nullptr;
  }

  // Find-or-insert: an existing key sets exists and returns its node
  // unchanged; otherwise a new node holds info (null when none can be had).
  dgTreeNode* Insert(const Info& info, const Key& key, bool& exists) {
    exists = false;
    dgTreeNode* parent = nullptr;
    dgTreeNode* node = root_;
    while (node) {
      parent = node;
      if (key < node->key_)
        node = node->left_;
      else if (node->key_ < key)
        node = node->right_;
      else {
        exists = true;
        return node;
      }
    }
    // A tree made while the hooks refused memory has no pool yet: try again.
    if (!allocator_) allocator_ = dgMemoryPool::GetShared(static_cast<int>(sizeof(dgTreeNode)));
    void* memory = allocator_ ? allocator_->Malloc(sizeof(dgTreeNode)) : nullptr;
    if (!memory) return nullptr;
    auto* fresh = new (memory) dgTreeNode(info, key, parent, allocator_);
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
    dgTreeNode* node = root_;
    while (node) {
      if (node->left_) {
        node = node->left_;
      } else if (node->right_) {
        node = node->right_;
      } else {
        dgTreeNode* parent = node->parent_;
        if (parent) (parent->left_ == node ? parent->left_ : parent->right_) = nullptr;
        node->ClearAttachedFlag();
        node->flags_ &= ~dgTreeNode::kInTree;
        node->parent_ = nullptr;
        node->Release();
        node = parent;
      }
    }
    root_ = nullptr;
    count_ = 0;
  }
  // Moves a node to a new key, keeping the node (and its info) where it is
  // in memory; false, with nothing changed, when the new key is taken.
  bool ReplaceKey(dgTreeNode* node, const Key& key) {
    if (!(node->key_ < key) && !(key < node->key_)) return true;
    if (Find(key)) return false;
    Unlink(node);
    node->key_ = key;
    dgTreeNode* parent = nullptr;
    for (dgTreeNode* walk = root_; walk;) {
      parent = walk;
      walk = key < walk->key_ ? walk->left_ : walk->right_;
    }
    node->left_ = node->right_ = nullptr;
    node->parent_ = parent;
    node->flags_ = dgTreeNode::kRed | dgTreeNode::kInTree;
    Link(node, parent);
    return true;
  }

 private:
  static bool IsRedNode(const dgTreeNode* node) { return node && node->IsRed(); }
  static void SetRed(dgTreeNode* node) { node->flags_ |= dgTreeNode::kRed; }
  static void SetBlack(dgTreeNode* node) {
    if (node) node->flags_ &= ~dgTreeNode::kRed;
  }

  void Link(dgTreeNode* node, dgTreeNode* parent) {
    if (!parent)
      root_ = node;
    else if (node->key_ < parent->key_)
      parent->left_ = node;
    else
      parent->right_ = node;
    ++count_;
    InsertFixup(node);
  }

  // Lifts x's child on the given side into x's place (fromRight true is a
  // left rotation), x becoming that child's other-side child.
  void RotateUp(dgTreeNode* x, bool fromRight) {
    dgTreeNode* y = x->Child(fromRight);
    x->Child(fromRight) = y->Child(!fromRight);
    if (y->Child(!fromRight)) y->Child(!fromRight)->parent_ = x;
    Replace(x, y);
    y->Child(!fromRight) = x;
    x->parent_ = y;
  }

  // Hangs replacement where node hung (replacement may be null).
  void Replace(dgTreeNode* node, dgTreeNode* replacement) {
    dgTreeNode* parent = node->parent_;
    if (!parent)
      root_ = replacement;
    else if (parent->left_ == node)
      parent->left_ = replacement;
    else
      parent->right_ = replacement;
    if (replacement) replacement->parent_ = parent;
  }

  // The two mirror cases (parent on the grandparent's left or right) run
  // as one, with side naming where the parent hangs.
  void InsertFixup(dgTreeNode* node) {
    while (IsRedNode(node->parent_)) {
      dgTreeNode* parent = node->parent_;
      dgTreeNode* grand = parent->parent_;
      const bool side = parent != grand->left_;
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
        parent = node->parent_;
      }
      SetBlack(parent);
      SetRed(grand);
      RotateUp(grand, side);
    }
    SetBlack(root_);
  }

  // Takes node out of the tree without releasing it. A node with two
  // children is replaced by its successor node, which takes its colour.
  void Unlink(dgTreeNode* node) {
    bool removedBlack = !node->IsRed();
    dgTreeNode* child = nullptr;
    dgTreeNode* childParent = nullptr;
    if (!node->left_ || !node->right_) {
      child = node->left_ ? node->left_ : node->right_;
      childParent = node->parent_;
      Replace(node, child);
    } else {
      dgTreeNode* successor = node->right_->Minimum();
      removedBlack = !successor->IsRed();
      child = successor->right_;
      if (successor->parent_ == node) {
        childParent = successor;
      } else {
        childParent = successor->parent_;
        Replace(successor, child);
        successor->right_ = node->right_;
        successor->right_->parent_ = successor;
      }
      Replace(node, successor);
      successor->left_ = node->left_;
      successor->left_->parent_ = successor;
      successor->flags_ = (successor->flags_ & ~dgTreeNode::kRed) | (node->flags_ & dgTreeNode::kRed);
    }
    --count_;
    if (removedBlack) RemoveFixup(child, childParent);
    node->left_ = node->right_ = node->parent_ = nullptr;
    node->flags_ &= ~dgTreeNode::kInTree;
  }

  // As in InsertFixup, one body serves both mirror cases; side names where
  // node (possibly null) hangs under parent.
  void RemoveFixup(dgTreeNode* node, dgTreeNode* parent) {
    while (node != root_ && !IsRedNode(node)) {
      const bool side = node != parent->left_;
      dgTreeNode* sibling = parent->Child(!side);
      if (IsRedNode(sibling)) {
        SetBlack(sibling);
        SetRed(parent);
        RotateUp(parent, !side);
        sibling = parent->Child(!side);
      }
      if (!IsRedNode(sibling->left_) && !IsRedNode(sibling->right_)) {
        SetRed(sibling);
        node = parent;
        parent = node->parent_;
      } else {
        if (!IsRedNode(sibling->Child(!side))) {
          SetBlack(sibling->Child(side));
          SetRed(sibling);
          RotateUp(sibling, side);
          sibling = parent->Child(!side);
        }
        sibling->flags_ = (sibling->flags_ & ~dgTreeNode::kRed) | (parent->flags_ & dgTreeNode::kRed);
        SetBlack(parent);
        SetBlack(sibling->Child(!side));
        RotateUp(parent, !side);
        node = root_;
      }
    }
    SetBlack(node);
  }

  int count_ = 0;
  dgTreeNode* root_ = nullptr;
  dgMemoryAllocator* allocator_ = nullptr;
};
