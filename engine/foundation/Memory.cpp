#include "engine/foundation/Memory.h"

#include <cstdlib>

namespace {
// One thread: plain increments, no atomics.
MemoryCounters counters;
}  // namespace

void CountObjectAllocation(size_t bytes) {
  ++counters.objectAllocations;
  counters.objectBytes += static_cast<uint32_t>(bytes);
}

void CountObjectFree() { ++counters.objectFrees; }

void* CountedNew(size_t bytes) {
  CountObjectAllocation(bytes);
  return std::malloc(bytes);
}

void CountedDelete(void* block) {
  CountObjectFree();
  std::free(block);
}

void* CountedArrayNew(size_t bytes) {
  ++counters.arrayAllocations;
  counters.arrayBytes += static_cast<uint32_t>(bytes);
  return std::malloc(bytes);
}

void CountedArrayDelete(void* block) {
  ++counters.arrayFrees;
  std::free(block);
}

void* CountedMalloc(size_t bytes) {
  ++counters.cLibraryAllocations;
  counters.cLibraryBytes += static_cast<uint32_t>(bytes);
  return std::malloc(bytes);
}

void CountedFree(void* block) {
  ++counters.cLibraryFrees;
  std::free(block);
}

MemoryCounters GetMemoryCounters() { return counters; }
