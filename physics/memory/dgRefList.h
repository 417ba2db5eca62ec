#pragma once
// Doubly linked list of reference-counted nodes, each holding one item.
// Nodes come from the pool shared by every list of the same node size.

#include <new>

#include "physics/memory/dgMemoryPool.h"
#include "physics/memory/dgRef.h"

template <class T>
class dgRefList {
 public:
  class dgListNode : public dgRef {
   public:
    // The item the node holds.
    T& GetInfo() { return info_; }
    const T& GetInfo() const { return info_; }
    // Neighbours in the list (null at the ends).
    dgListNode* GetNext() const { return next_; }
    dgListNode* GetPrev() const { return prev_; }

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = allocator_;
      this->~dgListNode();
      allocator->Free(this);
    }

   private:
    friend class dgRefList;
    dgListNode(const T& info, dgMemoryAllocator* allocator) : allocator_(allocator), info_(info) {}

    dgListNode* next_ = nullptr;
    dgListNode* prev_ = nullptr;
    dgMemoryAllocator* allocator_ = nullptr;
    T info_;
  };

  dgRefList() : allocator_(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgListNode)))) {}
  dgRefList(const dgRefList&) = delete;
  dgRefList& operator=(const dgRefList&) = delete;
  ~dgRefList() { RemoveAll(); }

  // Number of nodes.
  int GetCount() const { return count_; }
  // The ends of the list (null when empty).
  dgListNode* GetFirst() const { return first_; }
  dgListNode* GetLast() const { return last_; }

  // Links a new node holding item after the last one; null when no node can be had.
  dgListNode* Append(const T& item) {
    // A list made while the hooks refused memory has no pool yet: try again.
    if (!allocator_) allocator_ = dgMemoryPool::GetShared(static_cast<int>(sizeof(dgListNode)));
    void* memory = allocator_ ? allocator_->Malloc(sizeof(dgListNode)) : nullptr;
    if (!memory) return nullptr;
    auto* node = new (memory) dgListNode(item, allocator_);
    node->prev_ = last_;
    if (last_)
      last_->next_ = node;
    else
      first_ = node;
    last_ = node;
    ++count_;
    return node;
  }

  // Unlinks one node and drops the list's reference to it.
  void Remove(dgListNode* node) {
    Unlink(node);
    node->Release();
  }

  // Unlinks and releases every node, first to last.
  void RemoveAll() {
    while (first_) Remove(first_);
    first_ = last_ = nullptr;
  }

 private:
  void Unlink(dgListNode* node) {
    --count_;
    node->ClearAttachedFlag();
    if (node->prev_)
      node->prev_->next_ = node->next_;
    else
      first_ = node->next_;
    if (node->next_)
      node->next_->prev_ = node->prev_;
    else
      last_ = node->prev_;
    node->next_ = node->prev_ = nullptr;
  }

  int count_ = 0;
  dgListNode* last_ = nullptr;
  dgListNode* first_ = nullptr;
  dgMemoryAllocator* allocator_ = nullptr;
};
