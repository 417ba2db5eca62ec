#pragma once
// A named owner of objects kept in a fixed pool: a hard capacity, and
// removed objects are kept for reuse instead of being freed.
#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"

// Base of the objects a NameMap owns: it deletes them through this.
class PooledObject {
 public:
  virtual ~PooledObject() = default;
};

class NameMap {
 public:
  // No pool yet, named "Un-named".
  NameMap();
  // Deletes every object, then the pool.
  virtual ~NameMap();
  NameMap(const NameMap&) = delete;
  NameMap& operator=(const NameMap&) = delete;

  // Deletes every object (those in use and those kept in freed nodes), then
  // rebuilds the pool with the same capacity.
  void Clear();
  // Replaces the pool by an empty fixed pool of the given capacity (the old
  // pool's objects are not deleted: call Clear first).
  void Rebuild(uint32_t capacity);
  // Sets the name and rebuilds the pool with that capacity.
  void SetName(const char* name, uint32_t capacity);

  // An object for a new entry: one left in a freed node when there is one,
  // else a new T appended to the pool. Null when the pool is full.
  template <class T>
  T* Acquire() {
    if (objects_ == nullptr) return nullptr;
    if (void* reused = objects_->ReuseFree()) return static_cast<T*>(static_cast<PooledObject*>(reused));
    T* fresh = new T();
    if (fresh == nullptr) return nullptr;
    if (!objects_->AddTail(static_cast<PooledObject*>(fresh))) {
      delete fresh;
      return nullptr;
    }
    return fresh;
  }

  // The pool (null before the first rebuild); its data are PooledObject*.
  PooledList* Objects() const { return objects_; }
  const String& Name() const { return name_; }

 private:
  PooledListNode* cursor_ = nullptr;
  PooledList* objects_ = nullptr;
  String name_;
};
