#include "physics/memory/dgMemoryPool.h"

#include <cstring>

namespace {

dgMemoryPool* gFirstPool = nullptr;
int gPoolCount = 0;

constexpr int kSharedPageKB = 4;
constexpr int kMaxSharedPools = 64;

struct SharedPool {
  int elementSize;
  dgMemoryPool* pool;
};

}  // namespace

dgMemoryPool* dgMemoryPool::Create(int elementSize, int pageKB) {
  if (elementSize <= 0 || pageKB <= 0 || elementSize > (1 << 30) - 16 || pageKB > (1 << 20)) return nullptr;
  auto* pool = new dgMemoryPool(elementSize, pageKB);
  if (!pool) return nullptr;
  pool->nextPool_ = gFirstPool;
  if (gFirstPool) gFirstPool->prevPool_ = pool;
  gFirstPool = pool;
  ++gPoolCount;
  return pool;
}

dgMemoryPool* dgMemoryPool::GetShared(int elementSize) {
  static SharedPool shared[kMaxSharedPools];
  static int sharedCount = 0;
  const int rounded = (elementSize + 15) & ~15;
  for (int i = 0; i < sharedCount; ++i) {
    if (shared[i].elementSize == rounded) return shared[i].pool;
  }
  dgMemoryPool* pool = Create(rounded, kSharedPageKB);
  if (pool && sharedCount < kMaxSharedPools) shared[sharedCount++] = {rounded, pool};
  return pool;
}

int dgMemoryPool::GetPoolCount() { return gPoolCount; }

dgMemoryPool::dgMemoryPool(int elementSize, int pageKB) {
  elementSize_ = (elementSize + 15) & ~15;
  const int pageBytes = pageKB * 1024;
  elementsPerPage_ = pageBytes / elementSize_;
  if (elementsPerPage_ < 1) elementsPerPage_ = 1;
  pageBytes_ = elementsPerPage_ * elementSize_;
  if (pageBytes_ < pageBytes) pageBytes_ = pageBytes;
}

dgMemoryPool::~dgMemoryPool() {
  ReleasePages();
  if (prevPool_)
    prevPool_->nextPool_ = nextPool_;
  else
    gFirstPool = nextPool_;
  if (nextPool_) nextPool_->prevPool_ = prevPool_;
  --gPoolCount;
}

void* dgMemoryPool::Malloc(size_t) {
  if (freeList_) {
    void* element = freeList_;
    std::memcpy(&freeList_, element, sizeof freeList_);
    ++liveCount_;
    return element;
  }
  if (!lastPage_ || lastPage_->used == elementsPerPage_) {
    auto* page = static_cast<Page*>(dgMalloc(sizeof(Page)));
    auto* memory = static_cast<unsigned char*>(dgMalloc(static_cast<size_t>(pageBytes_)));
    if (!page || !memory) {
      dgFree(page);
      dgFree(memory);
      return nullptr;
    }
    page->next = lastPage_;
    page->used = 0;
    page->memory = memory;
    lastPage_ = page;
    ++pageCount_;
  }
  void* element = lastPage_->memory + static_cast<size_t>(elementSize_) * static_cast<size_t>(lastPage_->used);
  ++lastPage_->used;
  ++liveCount_;
  return element;
}

void dgMemoryPool::Free(void* element) {
  if (!element) return;
  std::memcpy(element, &freeList_, sizeof freeList_);
  freeList_ = element;
  if (--liveCount_ == 0) ReleasePages();
}

void dgMemoryPool::ReleasePages() {
  while (lastPage_) {
    Page* page = lastPage_;
    lastPage_ = page->next;
    dgFree(page->memory);
    dgFree(page);
  }
  pageCount_ = 0;
  freeList_ = nullptr;
  liveCount_ = 0;
}
