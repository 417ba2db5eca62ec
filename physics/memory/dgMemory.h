#pragma once
// Every byte the physics library uses comes from two allocation hooks. On top
// of them: the 16-byte aligned raw blocks of dgMalloc/dgFree, and the
// library's own new/delete (dgNew/dgDelete) that recycles freed blocks by size.

#include <cstddef>

// Returns a block of the given size, or null.
using dgMallocHook = void* (*)(size_t bytes);
// Gives back a block made by the malloc hook, with its size.
using dgFreeHook = void (*)(void* block, size_t bytes);

// The C library's malloc.
void* dgDefaultMalloc(size_t bytes);
// The C library's free; the byte count is ignored.
void dgDefaultFree(void* block, size_t bytes);
// Installs both hooks for the whole library; null for either selects both defaults.
void dgSetAllocatorHooks(dgMallocHook mallocHook, dgFreeHook freeHook);
// The hooks now installed.
dgMallocHook dgGetMallocHook();
dgFreeHook dgGetFreeHook();

// A 16-byte aligned block of the given size from the malloc hook; null for 0
// bytes or when the hook refuses.
void* dgMalloc(size_t bytes);
// The same for scratch that lives no longer than one operation: inside a
// dgBlockReuseScope it may be a held block (up to twice the size asked).
void* dgMallocScratch(size_t bytes);
// Gives a dgMalloc block back to the free hook that was installed when it
// was made (hooks may have changed since); null is ignored.
void dgFree(void* block);

// While one is alive on a thread, large dgMalloc blocks that thread frees
// are held back (a few, the largest) and handed out again to its later
// scratch requests (dgMallocScratch) that fit them, instead of going back to the hooks: a one-shot
// build whose steps each take and drop large scratch then touches fresh
// pages once rather than in every step. The held blocks go back to their
// hooks when the scope ends. Scopes do not nest (an inner one does nothing).
class dgBlockReuseScope {
 public:
  dgBlockReuseScope();
  dgBlockReuseScope(const dgBlockReuseScope&) = delete;
  dgBlockReuseScope& operator=(const dgBlockReuseScope&) = delete;
  ~dgBlockReuseScope();

 private:
  bool owner_ = false;
};

// The library's allocation operator: a 16-byte aligned block, reused from the
// free lists when a block of exactly that size was freed before.
void* dgNew(size_t bytes);
// Puts a dgNew block on the free list of its size; null is ignored.
void dgDelete(void* block);

// The allocator interface handed to containers; the base allocates with
// dgMalloc and dgFree.
class dgMemoryAllocator {
 public:
  dgMemoryAllocator() = default;
  dgMemoryAllocator(const dgMemoryAllocator&) = delete;
  dgMemoryAllocator& operator=(const dgMemoryAllocator&) = delete;
  virtual ~dgMemoryAllocator() = default;

  // A block of at least the given size, or null.
  virtual void* Malloc(size_t bytes);
  // Gives back a block from Malloc.
  virtual void Free(void* block);

  static void* operator new(size_t bytes) noexcept { return dgMalloc(bytes); }
  static void operator delete(void* block) { dgFree(block); }
  static void* operator new(size_t, void* place) noexcept { return place; }
  static void operator delete(void*, void*) {}
};
