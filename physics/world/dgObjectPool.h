#pragma once
// A per-class object pool of the world: objects are made 64 at a time in a
// bucket (constructed together, destroyed together) and handed out from a
// list of free objects; a released object goes back on that list.

#include <new>

#include "physics/memory/dgMemoryPool.h"
#include "physics/memory/dgRef.h"
#include "physics/memory/dgRefList.h"

template <class T>
class dgObjectPool {
 public:
  static constexpr int kObjectsPerBucket = 64;

  // A pool with its first bucket.
  dgObjectPool() : mBucketPool(dgMemoryPool::GetShared(static_cast<int>(sizeof(Bucket)))) { AddBucket(); }
  dgObjectPool(const dgObjectPool&) = delete;
  dgObjectPool& operator=(const dgObjectPool&) = delete;
  ~dgObjectPool() { Clear(); }

  // A free object, or null when no bucket can be had.
  T* Allocate() {
    if (!mFree.GetFirst() && !AddBucket()) return nullptr;
    typename dgRefList<T*>::dgListNode* first = mFree.GetFirst();
    T* object = first->GetInfo();
    mFree.Remove(first);
    return object;
  }
  // Puts an object back on the free list.
  void Release(T* object) { mFree.Append(object); }
  // Destroys every bucket and its objects.
  void Clear() {
    mFree.RemoveAll();
    while (typename dgRefList<Bucket*>::dgListNode* first = mBuckets.GetFirst()) {
      Bucket* bucket = first->GetInfo();
      mBuckets.Remove(first);
      bucket->Release();
    }
  }

  int GetBucketCount() const { return mBuckets.GetCount(); }
  int GetFreeCount() const { return mFree.GetCount(); }

 private:
  class Bucket : public dgRef {
   public:
    explicit Bucket(dgMemoryAllocator* allocator) : mAllocator(allocator) {}
    T objects[kObjectsPerBucket];

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = mAllocator;
      this->~Bucket();
      allocator->Free(this);
    }

   private:
    dgMemoryAllocator* mAllocator;
  };

  bool AddBucket() {
    void* memory = mBucketPool ? mBucketPool->Malloc(sizeof(Bucket)) : nullptr;
    if (!memory) return false;
    auto* bucket = new (memory) Bucket(mBucketPool);
    mBuckets.Append(bucket);
    for (T& object : bucket->objects) mFree.Append(&object);
    return true;
  }

  dgMemoryAllocator* mBucketPool;
  dgRefList<Bucket*> mBuckets;
  dgRefList<T*> mFree;
};
