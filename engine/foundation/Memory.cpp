#include "engine/foundation/Memory.h"

#include <cstdlib>

namespace {
// One thread: plain increments, no atomics.
MemoryCounters gCounters;
}  // namespace

void CountObjectAllocation(size_t bytes) {
  ++gCounters.objectAllocations;
  gCounters.objectBytes += static_cast<uint32_t>(bytes);
}

void CountObjectFree() { ++gCounters.objectFrees; }

void* CountedNew(size_t bytes) {
  CountObjectAllocation(bytes);
  return std::malloc(bytes);
}

void CountedDelete(void* block) {
  CountObjectFree();
  std::free(block);
}

void* CountedArrayNew(size_t bytes) {
  ++gCounters.arrayAllocations;
  gCounters.arrayBytes += static_cast<uint32_t>(bytes);
  return std::malloc(bytes);
}

void CountedArrayDelete(void* block) {
  ++gCounters.arrayFrees;
  std::free(block);
}

void* CountedMalloc(size_t bytes) {
  ++gCounters.cLibraryAllocations;
  gCounters.cLibraryBytes += static_cast<uint32_t>(bytes);
  return std::malloc(bytes);
}

void CountedFree(void* block) {
  ++gCounters.cLibraryFrees;
  std::free(block);
}

MemoryCounters GetMemoryCounters() { return gCounters; }
