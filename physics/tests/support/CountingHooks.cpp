#include "support/CountingHooks.h"

#include <cstdlib>

#include "physics/memory/dgMemory.h"

namespace {

HookCounts gCounts;

void* CountingMalloc(size_t bytes) {
  void* block = std::malloc(bytes);
  if (block) {
    ++gCounts.liveBlocks;
    gCounts.liveBytes += static_cast<long long>(bytes);
    if (gCounts.liveBytes > gCounts.peakBytes) gCounts.peakBytes = gCounts.liveBytes;
  }
  ++gCounts.mallocCalls;
  return block;
}

void CountingFree(void* block, size_t bytes) {
  --gCounts.liveBlocks;
  gCounts.liveBytes -= static_cast<long long>(bytes);
  ++gCounts.freeCalls;
  std::free(block);
}

}  // namespace

HookCounts& GetHookCounts() { return gCounts; }

void InstallCountingHooks() { dgSetAllocatorHooks(CountingMalloc, CountingFree); }

void RestoreDefaultHooks() { dgSetAllocatorHooks(nullptr, nullptr); }
