#pragma once
// The library's new/delete: blocks freed by dgDelete wait on a free list of
// their exact size and are handed out again by dgNew; they go back to the
// hooks only through FreeAll. A 16-byte header before each block keeps it
// 16-byte aligned and holds its size (and, while free, the free-list link).

#include <cstddef>
#include <cstdint>

#include "physics/memory/dgTree.h"

class dgFreeListAllocator {
 public:
  // The one instance, made on first use and never destroyed, so objects
  // released during static destruction still have somewhere to go.
  static dgFreeListAllocator& Instance();

  // A block of the given size, reused when one of that size is free.
  void* Malloc(size_t bytes);
  // Puts a block on the free list of its size.
  void Free(void* block);
  // Gives every cached free block back to the hooks.
  void FreeAll();

  // Blocks handed out and not yet freed.
  int GetLiveCount() const { return liveCount_; }
  // Blocks waiting on the free lists.
  int GetCachedCount() const { return cachedCount_; }

 private:
  struct FreeBlocks {
    unsigned char* first;  // a free block's header links the next one
    int count;
  };

  dgFreeListAllocator() = default;

  dgTree<FreeBlocks, int64_t> freeLists_;
  int liveCount_ = 0;
  int cachedCount_ = 0;
};
