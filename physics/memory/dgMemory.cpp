#include "physics/memory/dgMemory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "physics/memory/dgFreeListAllocator.h"

namespace {

// Room asked for beyond the caller's bytes: up to 15 bytes lost to the
// alignment plus the three header words (raw address, raw size, free hook).
constexpr size_t kMallocOverhead = 48;
constexpr size_t kAddressWord = sizeof(uintptr_t);
constexpr size_t kSizeWord = kAddressWord + sizeof(size_t);
constexpr size_t kHookWord = kSizeWord + sizeof(dgFreeHook);

dgMallocHook gMallocHook = dgDefaultMalloc;
dgFreeHook gFreeHook = dgDefaultFree;

// Blocks held back by a dgBlockReuseScope. Smaller blocks come cheaply from
// the C heap's own free lists; a held block serves requests of at least half
// its size, so that it never pins much more than it serves.
constexpr size_t kReuseMinBytes = 64 * 1024;
constexpr int kHeldBlocks = 4;

struct HeldBlock {
  void* raw;
  size_t rawBytes;
  dgFreeHook freeHook;
};

struct ReuseState {
  bool active = false;
  int count = 0;
  HeldBlock blocks[kHeldBlocks];
};

thread_local ReuseState gReuse;

// A held raw block of at least rawBytes (and at most twice that) that the
// installed free hook can take back, removed from the held ones; null when none.
void* TakeHeldBlock(size_t rawBytes, size_t& outRawBytes) {
  ReuseState& reuse = gReuse;
  int best = -1;
  for (int i = 0; i < reuse.count; ++i) {
    const HeldBlock& held = reuse.blocks[i];
    if (held.freeHook != gFreeHook || held.rawBytes < rawBytes || held.rawBytes / 2 > rawBytes) continue;
    if (best < 0 || held.rawBytes < reuse.blocks[best].rawBytes) best = i;
  }
  if (best < 0) return nullptr;
  void* raw = reuse.blocks[best].raw;
  outRawBytes = reuse.blocks[best].rawBytes;
  reuse.blocks[best] = reuse.blocks[--reuse.count];
  return raw;
}

// Holds a freed raw block back, letting the smallest go when all places are
// taken; false when the block is not worth holding (the caller frees it).
bool HoldBlock(void* raw, size_t rawBytes, dgFreeHook freeHook) {
  ReuseState& reuse = gReuse;
  if (!reuse.active || rawBytes < kReuseMinBytes) return false;
  if (reuse.count < kHeldBlocks) {
    reuse.blocks[reuse.count++] = HeldBlock{raw, rawBytes, freeHook};
    return true;
  }
  int smallest = 0;
  for (int i = 1; i < reuse.count; ++i) {
    if (reuse.blocks[i].rawBytes < reuse.blocks[smallest].rawBytes) smallest = i;
  }
  HeldBlock& victim = reuse.blocks[smallest];
  if (victim.rawBytes >= rawBytes) return false;
  victim.freeHook(victim.raw, victim.rawBytes);
  victim = HeldBlock{raw, rawBytes, freeHook};
  return true;
}

// Gives every held block back to its hook.
void ReleaseHeldBlocks() {
  ReuseState& reuse = gReuse;
  for (int i = 0; i < reuse.count; ++i) reuse.blocks[i].freeHook(reuse.blocks[i].raw, reuse.blocks[i].rawBytes);
  reuse.count = 0;
}

}  // namespace

dgBlockReuseScope::dgBlockReuseScope() : owner_(!gReuse.active) { gReuse.active = true; }

dgBlockReuseScope::~dgBlockReuseScope() {
  if (!owner_) return;
  ReleaseHeldBlocks();
  gReuse.active = false;
}

void* dgDefaultMalloc(size_t bytes) { return std::malloc(bytes); }

void dgDefaultFree(void* block, size_t) { std::free(block); }

void dgSetAllocatorHooks(dgMallocHook mallocHook, dgFreeHook freeHook) {
  if (!mallocHook || !freeHook) {
    mallocHook = dgDefaultMalloc;
    freeHook = dgDefaultFree;
  }
  gMallocHook = mallocHook;
  gFreeHook = freeHook;
}

dgMallocHook dgGetMallocHook() { return gMallocHook; }

dgFreeHook dgGetFreeHook() { return gFreeHook; }

namespace {

void* AllocateBlock(size_t bytes, bool mayReuse) {
  if (bytes == 0 || bytes > SIZE_MAX - kMallocOverhead) return nullptr;
  size_t rawBytes = bytes + kMallocOverhead;
  void* raw = nullptr;
  if (mayReuse && gReuse.count > 0) raw = TakeHeldBlock(rawBytes, rawBytes);
  // A large block that none of the held ones serves: they would only add to
  // the most memory in use while it is filled.
  if (!raw && rawBytes >= kReuseMinBytes) ReleaseHeldBlocks();
  if (!raw) raw = gMallocHook(rawBytes);
  if (!raw) return nullptr;
  const uintptr_t rawAddress = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t blockAddress = (rawAddress & ~uintptr_t{15}) + kMallocOverhead;
  auto* block = reinterpret_cast<unsigned char*>(raw) + (blockAddress - rawAddress);
  // The block starts at least 33 bytes into the raw allocation, so the
  // header words lie inside it. The free hook travels with the block: a
  // later PhysicsCreate may install other hooks, and each block must go
  // back to the hook pair that made it.
  const dgFreeHook freeHook = gFreeHook;
  std::memcpy(block - kAddressWord, &rawAddress, sizeof rawAddress);
  std::memcpy(block - kSizeWord, &rawBytes, sizeof rawBytes);
  std::memcpy(block - kHookWord, &freeHook, sizeof freeHook);
  return block;
}

}  // namespace

void* dgMalloc(size_t bytes) { return AllocateBlock(bytes, false); }

void* dgMallocScratch(size_t bytes) { return AllocateBlock(bytes, true); }

void dgFree(void* block) {
  if (!block) return;
  auto* bytes = static_cast<unsigned char*>(block);
  uintptr_t rawAddress = 0;
  size_t rawBytes = 0;
  dgFreeHook freeHook = nullptr;
  std::memcpy(&rawAddress, bytes - kAddressWord, sizeof rawAddress);
  std::memcpy(&rawBytes, bytes - kSizeWord, sizeof rawBytes);
  std::memcpy(&freeHook, bytes - kHookWord, sizeof freeHook);
  void* raw = bytes - (reinterpret_cast<uintptr_t>(block) - rawAddress);
  if (HoldBlock(raw, rawBytes, freeHook)) return;
  freeHook(raw, rawBytes);
}

void* dgNew(size_t bytes) { return dgFreeListAllocator::Instance().Malloc(bytes); }

void dgDelete(void* block) { dgFreeListAllocator::Instance().Free(block); }

void* dgMemoryAllocator::Malloc(size_t bytes) { return dgMalloc(bytes); }

void dgMemoryAllocator::Free(void* block) { dgFree(block); }
