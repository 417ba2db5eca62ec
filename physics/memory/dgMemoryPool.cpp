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
  pool->mNextPool = gFirstPool;
  if (gFirstPool) gFirstPool->mPrevPool = pool;
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
  mElementSize = (elementSize + 15) & ~15;
  const int pageBytes = pageKB * 1024;
  mElementsPerPage = pageBytes / mElementSize;
  if (mElementsPerPage < 1) mElementsPerPage = 1;
  mPageBytes = mElementsPerPage * mElementSize;
  if (mPageBytes < pageBytes) mPageBytes = pageBytes;
}

dgMemoryPool::~dgMemoryPool() {
  ReleasePages();
  if (mPrevPool) mPrevPool->mNextPool = mNextPool;
  else gFirstPool = mNextPool;
  if (mNextPool) mNextPool->mPrevPool = mPrevPool;
  --gPoolCount;
}

void* dgMemoryPool::Malloc(size_t) {
  if (mFreeList) {
    void* element = mFreeList;
    std::memcpy(&mFreeList, element, sizeof mFreeList);
    ++mLiveCount;
    return element;
  }
  if (!mLastPage || mLastPage->used == mElementsPerPage) {
    auto* page = static_cast<Page*>(dgMalloc(sizeof(Page)));
    auto* memory = static_cast<unsigned char*>(dgMalloc(static_cast<size_t>(mPageBytes)));
    if (!page || !memory) {
      dgFree(page);
      dgFree(memory);
      return nullptr;
    }
    page->next = mLastPage;
    page->used = 0;
    page->memory = memory;
    mLastPage = page;
    ++mPageCount;
  }
  void* element = mLastPage->memory + static_cast<size_t>(mElementSize) * static_cast<size_t>(mLastPage->used);
  ++mLastPage->used;
  ++mLiveCount;
  return element;
}

void dgMemoryPool::Free(void* element) {
  if (!element) return;
  std::memcpy(element, &mFreeList, sizeof mFreeList);
  mFreeList = element;
  if (--mLiveCount == 0) ReleasePages();
}

void dgMemoryPool::ReleasePages() {
  while (mLastPage) {
    Page* page = mLastPage;
    mLastPage = page->next;
    dgFree(page->memory);
    dgFree(page);
  }
  mPageCount = 0;
  mFreeList = nullptr;
  mLiveCount = 0;
}
