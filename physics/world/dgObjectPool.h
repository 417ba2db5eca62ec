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
  dgObjectPool() : bucketPool_(dgMemoryPool::GetShared(static_cast<int>(sizeof(Bucket)))) { AddBucket(); }
  dgObjectPool(const dgObjectPool&) = delete;
  dgObjectPool& operator=(const dgObjectPool&) = delete;
  ~dgObjectPool() { Clear(); }

  // A free object, or null when no bucket can be had.
  T* Allocate() {
    if (!free_.GetFirst() && !AddBucket()) return nullptr;
    typename dgRefList<T*>::dgListNode* first = free_.GetFirst();
    T* object = first->GetInfo();
    free_.Remove(first);
    return object;
  }
  // Puts an object back on the free list.
  void Release(T* object) { free_.Append(object); }
  // Destroys every bucket and its objects.
  void Clear() {
    free_.RemoveAll();
    while (typename dgRefList<Bucket*>::dgListNode* first = buckets_.GetFirst()) {
      Bucket* bucket = first->GetInfo();
      buckets_.Remove(first);
      bucket->Release();
    }
  }

  int GetBucketCount() const { return buckets_.GetCount(); }
  int GetFreeCount() const { return free_.GetCount(); }

 private:
  class Bucket : public dgRef {
   public:
    explicit Bucket(dgMemoryAllocator* allocator) : allocator_(allocator) {}
    T objects[kObjectsPerBucket];

   protected:
    void Destroy() override {
      dgMemoryAllocator* allocator = allocator_;
      this->~Bucket();
      allocator->Free(this);
    }

   private:
    dgMemoryAllocator* allocator_;
  };

  bool AddBucket() {
    void* memory = bucketPool_ ? bucketPool_->Malloc(sizeof(Bucket)) : nullptr;
    if (!memory) return false;
    auto* bucket = new (memory) Bucket(bucketPool_);
    buckets_.Append(bucket);
    for (T& object : bucket->objects) free_.Append(&object);
    return true;
  }

  dgMemoryAllocator* bucketPool_;
  dgRefList<Bucket*> buckets_;
  dgRefList<T*> free_;
};
