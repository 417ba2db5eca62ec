// The engine's counted allocation operators as the physics tests see them:
// plain C heap blocks with a live count that tests can read.

#include "support/CountedAllocation.h"

#include <cstdlib>

#include "physics/memory/dgCountedNew.h"

namespace {
int gLiveCountedBlocks = 0;
}

void* CountedNew(size_t bytes) {
  void* block = std::malloc(bytes ? bytes : 1);
  if (block) ++gLiveCountedBlocks;
  return block;
}

void CountedDelete(void* block) {
  if (!block) return;
  --gLiveCountedBlocks;
  std::free(block);
}

int LiveCountedBlocks() { return gLiveCountedBlocks; }
