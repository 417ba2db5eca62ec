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
    T& GetInfo() { return mInfo; }
    const T& GetInfo() const { return mInfo; }
    // Neighbours in the list (null at the ends).
    dgListNode* GetNext() const { return mNext; }
    dgListNode* GetPrev() const { return mPrev; }

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = mAllocator;
      this->~dgListNode();
      allocator->Free(this);
    }

   private:
    friend class dgRefList;
    dgListNode(const T& info, dgMemoryAllocator* allocator) : mAllocator(allocator), mInfo(info) {}

    dgListNode* mNext = nullptr;
    dgListNode* mPrev = nullptr;
    dgMemoryAllocator* mAllocator = nullptr;
    T mInfo;
  };

  dgRefList() : mAllocator(dgMemoryPool::GetShared(static_cast<int>(sizeof(dgListNode)))) {}
  dgRefList(const dgRefList&) = delete;
  dgRefList& operator=(const dgRefList&) = delete;
  ~dgRefList() { RemoveAll(); }

  // Number of nodes.
  int GetCount() const { return mCount; }
  // The ends of the list (null when empty).
  dgListNode* GetFirst() const { return mFirst; }
  dgListNode* GetLast() const { return mLast; }

  // Links a new node holding item after the last one; null when no node can be had.
  dgListNode* Append(const T& item) {
    // A list made while the hooks refused memory has no pool yet: try again.
    if (!mAllocator) mAllocator = dgMemoryPool::GetShared(static_cast<int>(sizeof(dgListNode)));
    void* memory = mAllocator ? mAllocator->Malloc(sizeof(dgListNode)) : nullptr;
    if (!memory) return nullptr;
    auto* node = new (memory) dgListNode(item, mAllocator);
    node->mPrev = mLast;
    if (mLast) mLast->mNext = node;
    else mFirst = node;
    mLast = node;
    ++mCount;
    return node;
  }

  // Unlinks one node and drops the list's reference to it.
  void Remove(dgListNode* node) {
    Unlink(node);
    node->Release();
  }

  // Unlinks and releases every node, first to last.
  void RemoveAll() {
    while (mFirst) Remove(mFirst);
    mFirst = mLast = nullptr;
  }

 private:
  void Unlink(dgListNode* node) {
    --mCount;
    node->ClearAttachedFlag();
    if (node->mPrev) node->mPrev->mNext = node->mNext;
    else mFirst = node->mNext;
    if (node->mNext) node->mNext->mPrev = node->mPrev;
    else mLast = node->mPrev;
    node->mNext = node->mPrev = nullptr;
  }

  int mCount = 0;
  dgListNode* mLast = nullptr;
  dgListNode* mFirst = nullptr;
  dgMemoryAllocator* mAllocator = nullptr;
};
