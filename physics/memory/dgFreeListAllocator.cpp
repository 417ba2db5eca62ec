#include "physics/memory/dgFreeListAllocator.h"

#include <cstring>
#include <new>

namespace {

constexpr size_t kHeaderBytes = 16;

int64_t ReadSize(const unsigned char* block) {
  int64_t size = 0;
  std::memcpy(&size, block - kHeaderBytes, sizeof size);
  return size;
}

unsigned char* ReadLink(const unsigned char* block) {
  unsigned char* link = nullptr;
  std::memcpy(&link, block - kHeaderBytes + sizeof(int64_t), sizeof link);
  return link;
}

void WriteLink(unsigned char* block, unsigned char* link) {
  std::memcpy(block - kHeaderBytes + sizeof(int64_t), &link, sizeof link);
}

}  // namespace

dgFreeListAllocator& dgFreeListAllocator::Instance() {
  alignas(dgFreeListAllocator) static unsigned char storage[sizeof(dgFreeListAllocator)];
  static dgFreeListAllocator* instance = new (storage) dgFreeListAllocator();
  return *instance;
}

void* dgFreeListAllocator::Malloc(size_t bytes) {
  if (bytes > static_cast<size_t>(INT64_MAX) - kHeaderBytes) return nullptr;
  const int64_t size = static_cast<int64_t>(bytes);
  if (auto* node = freeLists_.Find(size)) {
    FreeBlocks& blocks = node->GetInfo();
    unsigned char* block = blocks.first;
    blocks.first = ReadLink(block);
    --cachedCount_;
    if (--blocks.count == 0) freeLists_.Remove(node);
    ++liveCount_;
    return block;
  }
  auto* raw = static_cast<unsigned char*>(dgMalloc(bytes + kHeaderBytes));
  if (!raw) return nullptr;
  std::memcpy(raw, &size, sizeof size);
  ++liveCount_;
  return raw + kHeaderBytes;
}

void dgFreeListAllocator::Free(void* block) {
  if (!block) return;
  auto* bytes = static_cast<unsigned char*>(block);
  --liveCount_;
  bool exists = false;
  auto* node = freeLists_.Insert(FreeBlocks{nullptr, 0}, ReadSize(bytes), exists);
  if (!node) {
    // No tree node could be had: the block goes straight back to the hooks.
    dgFree(bytes - kHeaderBytes);
    return;
  }
  FreeBlocks& blocks = node->GetInfo();
  WriteLink(bytes, blocks.first);
  blocks.first = bytes;
  ++blocks.count;
  ++cachedCount_;
}

void dgFreeListAllocator::FreeAll() {
  for (auto* node = freeLists_.Minimum(); node; node = node->Next()) {
    unsigned char* block = node->GetInfo().first;
    while (block) {
      unsigned char* next = ReadLink(block);
      dgFree(block - kHeaderBytes);
      block = next;
    }
  }
  freeLists_.RemoveAll();
  cachedCount_ = 0;
}
