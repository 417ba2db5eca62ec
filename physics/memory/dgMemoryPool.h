#pragma once
// A pool of fixed-size elements carved from pages of about pageKB kilobytes.
// Elements are rounded up to 16 bytes; only the last page is carved, freed
// elements are reused through a free list, and every page goes back to the
// hooks when the last live element is freed. The pages are tracked in plain
// records of the pool's own, never in a container served by a pool.

#include <cstddef>

#include "physics/memory/dgMemory.h"

class dgMemoryPool : public dgMemoryAllocator {
 public:
  // A new pool, or null when its record cannot be allocated or a size is not positive.
  static dgMemoryPool* Create(int elementSize, int pageKB);
  // The pool shared by every container whose nodes have this size (4 KB
  // pages), made on first use and never destroyed; null when it cannot be made.
  static dgMemoryPool* GetShared(int elementSize);
  // Number of pools alive.
  static int GetPoolCount();

  ~dgMemoryPool() override;

  // One element (the byte count is ignored), or null when a page cannot be had.
  void* Malloc(size_t ignoredBytes) override;
  // Gives an element back; the last one releases every page.
  void Free(void* element) override;

  int GetElementSize() const { return elementSize_; }
  int GetElementsPerPage() const { return elementsPerPage_; }
  int GetPageBytes() const { return pageBytes_; }
  int GetLiveCount() const { return liveCount_; }
  int GetPageCount() const { return pageCount_; }

 private:
  struct Page {
    Page* next;  // the page made before this one
    int used;    // elements carved from it
    unsigned char* memory;
  };

  dgMemoryPool(int elementSize, int pageKB);
  void ReleasePages();

  dgMemoryPool* nextPool_ = nullptr;  // registry of every pool
  dgMemoryPool* prevPool_ = nullptr;
  Page* lastPage_ = nullptr;
  int pageCount_ = 0;
  int liveCount_ = 0;
  int pageBytes_ = 0;
  int elementsPerPage_ = 0;
  int elementSize_ = 0;
  void* freeList_ = nullptr;  // a freed element's first word links the next
};
