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

}  // namespace

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

void* dgMalloc(size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX - kMallocOverhead) return nullptr;
  const size_t rawBytes = bytes + kMallocOverhead;
  void* raw = gMallocHook(rawBytes);
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

void dgFree(void* block) {
  if (!block) return;
  auto* bytes = static_cast<unsigned char*>(block);
  uintptr_t rawAddress = 0;
  size_t rawBytes = 0;
  dgFreeHook freeHook = nullptr;
  std::memcpy(&rawAddress, bytes - kAddressWord, sizeof rawAddress);
  std::memcpy(&rawBytes, bytes - kSizeWord, sizeof rawBytes);
  std::memcpy(&freeHook, bytes - kHookWord, sizeof freeHook);
  freeHook(bytes - (reinterpret_cast<uintptr_t>(block) - rawAddress), rawBytes);
}

void* dgNew(size_t bytes) { return dgFreeListAllocator::Instance().Malloc(bytes); }

void dgDelete(void* block) { dgFreeListAllocator::Instance().Free(block); }

void* dgMemoryAllocator::Malloc(size_t bytes) { return dgMalloc(bytes); }

void dgMemoryAllocator::Free(void* block) { dgFree(block); }
