#pragma once
// Counted memory: every global new and delete of the program, and every raw
// block the engine allocates, goes through these counters so the developer
// windows can show leaks and churn. The counters only ever grow and wrap at
// 2^32; blocks still alive = allocations - frees.
#include <cstddef>
#include <cstdint>

// Allocates a block from the C heap and counts it in the object group;
// returns null (never throws) when the heap refuses, still counted.
void* CountedNew(size_t bytes);

// Frees a block from CountedNew and counts it (a null block counts too).
void CountedDelete(void* block);

// Counts one allocation of the object group without allocating (for blocks
// taken from the heap another way, as the aligned operators do).
void CountObjectAllocation(size_t bytes);

// Counts one free of the object group without freeing.
void CountObjectFree();

// The second allocation pair: counted in its own group. Nothing in the
// engine uses it; it exists for the memory window.
void* CountedArrayNew(size_t bytes);
void CountedArrayDelete(void* block);

// The third allocation pair (C-library blocks), counted in its own group.
void* CountedMalloc(size_t bytes);
void CountedFree(void* block);

// A snapshot of the nine counters.
struct MemoryCounters {
  uint32_t objectAllocations = 0;
  uint32_t objectBytes = 0;
  uint32_t objectFrees = 0;
  uint32_t arrayAllocations = 0;
  uint32_t arrayBytes = 0;
  uint32_t arrayFrees = 0;
  uint32_t cLibraryAllocations = 0;
  uint32_t cLibraryBytes = 0;
  uint32_t cLibraryFrees = 0;

  // Sum of the three allocation counts.
  uint32_t TotalAllocations() const { return objectAllocations + arrayAllocations + cLibraryAllocations; }
  // Sum of the three byte counters.
  uint32_t TotalBytes() const { return objectBytes + arrayBytes + cLibraryBytes; }
  // Sum of the three free counts.
  uint32_t TotalFrees() const { return objectFrees + arrayFrees + cLibraryFrees; }
};

// The counters as they stand now.
MemoryCounters GetMemoryCounters();
