#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "physics/memory/dgFreeListAllocator.h"
#include "physics/memory/dgMemory.h"
#include "physics/memory/dgMemoryPool.h"
#include "physics/memory/dgRefList.h"
#include "physics/memory/dgStack.h"
#include "physics/memory/dgTree.h"
#include "support/CountingHooks.h"

namespace {

// A hook that hands out addresses at a chosen offset inside a buffer, to
// test the alignment of every raw address.
alignas(16) unsigned char gArena[4096];
size_t gArenaOffset = 0;
size_t gLastRawBytes = 0;
void* gLastFreed = nullptr;
size_t gLastFreedBytes = 0;

void* OffsetMalloc(size_t bytes) {
  gLastRawBytes = bytes;
  return gArena + gArenaOffset;
}

void RecordingFree(void* block, size_t bytes) {
  gLastFreed = block;
  gLastFreedBytes = bytes;
}

TEST(PhysicsMemory, MallocAlignsEveryRawAddressAndFreesTheRawBlock) {
  for (size_t offset = 0; offset < 16; ++offset) {
    SCOPED_TRACE(offset);
    gArenaOffset = offset;
    dgSetAllocatorHooks(OffsetMalloc, RecordingFree);
    auto* block = static_cast<unsigned char*>(dgMalloc(100));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
    EXPECT_EQ(gLastRawBytes, 148u);
    // The block lies wholly inside the raw allocation.
    EXPECT_GE(block, gArena + offset + 3 * sizeof(size_t));
    EXPECT_LE(block + 100, gArena + offset + 148);
    dgFree(block);
    EXPECT_EQ(gLastFreed, gArena + offset);
    EXPECT_EQ(gLastFreedBytes, 148u);
    dgSetAllocatorHooks(nullptr, nullptr);
  }
}

TEST(PhysicsMemory, ZeroBytesNullAndRefusedHooks) {
  EXPECT_EQ(dgMalloc(0), nullptr);
  dgFree(nullptr);
  EXPECT_EQ(dgMalloc(SIZE_MAX - 8), nullptr);
  dgSetAllocatorHooks([](size_t) -> void* { return nullptr; }, RecordingFree);
  EXPECT_EQ(dgMalloc(64), nullptr);
  EXPECT_EQ(dgNew(12345), nullptr);
  EXPECT_EQ(dgMemoryPool::Create(32, 4), nullptr);
  dgSetAllocatorHooks(nullptr, nullptr);
}

TEST(PhysicsMemory, ReuseScopeHandsLargeScratchBlocksOnAndGivesThemBackAtItsEnd) {
  constexpr size_t kLarge = 1 << 20;
  ScopedCountingHooks hooks;
  const long long before = GetHookCounts().mallocCalls;
  {
    dgBlockReuseScope reuse;
    void* first = dgMallocScratch(kLarge);
    ASSERT_NE(first, nullptr);
    dgFree(first);
    // Held back: the hooks still count it.
    EXPECT_EQ(GetHookCounts().liveBlocks, 1);
    // A scratch block of about that size gets the same one, a much smaller
    // one (it would pin the rest) or any lasting block a fresh one.
    void* again = dgMallocScratch(kLarge - 4096);
    EXPECT_EQ(again, first);
    dgFree(again);
    void* small = dgMallocScratch(kLarge / 4);
    EXPECT_NE(small, first);
    dgFree(small);
    void* lasting = dgMalloc(kLarge);
    EXPECT_NE(lasting, first);
    dgFree(lasting);
    { dgBlockReuseScope inner; }
    EXPECT_GE(GetHookCounts().liveBlocks, 1);
  }
  EXPECT_EQ(GetHookCounts().liveBlocks, 0);
  EXPECT_EQ(GetHookCounts().liveBytes, 0);
  EXPECT_EQ(GetHookCounts().mallocCalls - before, 3);
  // Without a scope every block goes straight back.
  dgFree(dgMallocScratch(kLarge));
  EXPECT_EQ(GetHookCounts().liveBlocks, 0);
}

TEST(PhysicsMemory, ContainersMadeWhileHooksRefuseWorkOnceTheyRecover) {
  // Node sizes no other container here uses, so their shared pools are new.
  struct Wide {
    char bytes[200];
  };
  dgSetAllocatorHooks([](size_t) -> void* { return nullptr; }, RecordingFree);
  dgTree<Wide, int> tree;
  dgRefList<Wide> list;
  EXPECT_EQ(tree.Insert(Wide{}, 1), nullptr);
  EXPECT_EQ(list.Append(Wide{}), nullptr);
  dgSetAllocatorHooks(nullptr, nullptr);
  EXPECT_NE(tree.Insert(Wide{}, 1), nullptr);
  EXPECT_NE(list.Append(Wide{}), nullptr);
}

TEST(PhysicsMemory, NullHookSelectsBothDefaults) {
  dgSetAllocatorHooks(OffsetMalloc, nullptr);
  EXPECT_EQ(dgGetMallocHook(), &dgDefaultMalloc);
  EXPECT_EQ(dgGetFreeHook(), &dgDefaultFree);
}

TEST(PhysicsMemory, NewReusesFreedBlocksOfExactSize) {
  ScopedCountingHooks hooks;
  dgFreeListAllocator& allocator = dgFreeListAllocator::Instance();
  // The free lists' node pool lives for the whole run: make it first.
  dgDelete(dgNew(8));
  allocator.FreeAll();
  const long long baseline = GetHookCounts().liveBlocks;
  const int liveBefore = allocator.GetLiveCount();

  void* first = dgNew(100);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 16, 0u);
  dgDelete(first);
  EXPECT_EQ(dgNew(100), first);
  void* other = dgNew(101);
  EXPECT_NE(other, first);
  dgDelete(first);
  dgDelete(other);
  // Freed blocks stay with the allocator until FreeAll.
  EXPECT_EQ(allocator.GetCachedCount(), 2);
  const long long callsBefore = GetHookCounts().mallocCalls;
  void* again = dgNew(101);
  EXPECT_EQ(again, other);
  EXPECT_EQ(GetHookCounts().mallocCalls, callsBefore);
  dgDelete(again);

  // Many sizes, many blocks: all come back.
  std::vector<void*> blocks;
  for (int i = 0; i < 300; ++i) blocks.push_back(dgNew(static_cast<size_t>(8 + (i % 37) * 8)));
  for (void* block : blocks) dgDelete(block);
  EXPECT_EQ(allocator.GetLiveCount(), liveBefore);
  const int cached = allocator.GetCachedCount();
  const long long freesBefore = GetHookCounts().freeCalls;
  allocator.FreeAll();
  EXPECT_EQ(allocator.GetCachedCount(), 0);
  // Every cached block went back to the hooks (the free lists' node pages
  // too, unless another test's tree shares their pool).
  EXPECT_GE(GetHookCounts().freeCalls - freesBefore, cached);
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 1) {
    EXPECT_EQ(GetHookCounts().liveBlocks, baseline);
  }
}

TEST(PhysicsMemory, PoolLayoutTable) {
  struct Case {
    int elementSize;
    int pageKB;
    int expectedElementSize;
    int expectedPerPage;
    int expectedPageBytes;
  };
  const Case cases[] = {
      {1, 4, 16, 256, 4096},    {16, 4, 16, 256, 4096},   {40, 4, 48, 85, 4096},  {36, 4, 48, 85, 4096},
      {5168, 4, 5168, 1, 5168}, {5000, 4, 5008, 1, 5008}, {100, 1, 112, 9, 1024},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.elementSize);
    dgMemoryPool* pool = dgMemoryPool::Create(c.elementSize, c.pageKB);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->GetElementSize(), c.expectedElementSize);
    EXPECT_EQ(pool->GetElementsPerPage(), c.expectedPerPage);
    EXPECT_EQ(pool->GetPageBytes(), c.expectedPageBytes);
    delete pool;
  }
  EXPECT_EQ(dgMemoryPool::Create(0, 4), nullptr);
  EXPECT_EQ(dgMemoryPool::Create(16, 0), nullptr);
}

TEST(PhysicsMemory, PoolCarvesLastPageReusesFreedAndReleasesAllAtZero) {
  ScopedCountingHooks hooks;
  const long long baseline = GetHookCounts().liveBlocks;
  const int poolsBefore = dgMemoryPool::GetPoolCount();
  dgMemoryPool* pool = dgMemoryPool::Create(100, 1);  // 9 elements of 112 bytes per page
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(dgMemoryPool::GetPoolCount(), poolsBefore + 1);

  std::vector<unsigned char*> elements;
  for (int i = 0; i < 20; ++i) {
    auto* element = static_cast<unsigned char*>(pool->Malloc(0));
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(element) % 16, 0u);
    std::memset(element, i, 100);
    elements.push_back(element);
  }
  EXPECT_EQ(pool->GetPageCount(), 3);
  EXPECT_EQ(elements[1] - elements[0], 112);
  // A freed element is the next one handed out.
  pool->Free(elements[4]);
  EXPECT_EQ(pool->Malloc(0), elements[4]);
  EXPECT_EQ(pool->GetLiveCount(), 20);
  for (unsigned char* element : elements) pool->Free(element);
  EXPECT_EQ(pool->GetLiveCount(), 0);
  EXPECT_EQ(pool->GetPageCount(), 0);
  // The pool records and pages are all back with the hooks but the pool itself.
  void* fresh = pool->Malloc(0);
  EXPECT_EQ(pool->GetPageCount(), 1);
  pool->Free(fresh);
  delete pool;
  EXPECT_EQ(dgMemoryPool::GetPoolCount(), poolsBefore);
  EXPECT_EQ(GetHookCounts().liveBlocks, baseline);
}

TEST(PhysicsMemory, SharedListPoolServesManyPagesOfItsOwnNodes) {
  // The pool that serves list nodes must not keep its pages in such a list.
  ScopedCountingHooks hooks;
  {
    dgRefList<int> warmUp;
    warmUp.Append(0);
  }
  const long long baseline = GetHookCounts().liveBlocks;
  dgRefList<int> list;
  for (int i = 0; i < 2000; ++i) ASSERT_NE(list.Append(i), nullptr);
  dgMemoryPool* pool = dgMemoryPool::GetShared(static_cast<int>(sizeof(dgRefList<int>::dgListNode)));
  EXPECT_GT(pool->GetPageCount(), 5);
  EXPECT_EQ(pool->GetLiveCount(), 2000);
  int expected = 0;
  for (auto* node = list.GetFirst(); node; node = node->GetNext()) EXPECT_EQ(node->GetInfo(), expected++);
  EXPECT_EQ(expected, 2000);
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(pool->GetPageCount(), 0);
  EXPECT_EQ(GetHookCounts().liveBlocks, baseline);
}

TEST(PhysicsMemory, RefListAppendRemoveKeepsLinks) {
  dgRefList<int> list;
  auto* a = list.Append(1);
  auto* b = list.Append(2);
  auto* c = list.Append(3);
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_TRUE(a->IsAttached());
  list.Remove(b);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(a->GetNext(), c);
  EXPECT_EQ(c->GetPrev(), a);
  // A node kept alive by another reference survives its removal, detached.
  c->AddRef();
  list.Remove(c);
  EXPECT_FALSE(c->IsAttached());
  EXPECT_EQ(c->GetInfo(), 3);
  EXPECT_EQ(list.GetLast(), a);
  c->Release();
  list.RemoveAll();
  EXPECT_EQ(list.GetFirst(), nullptr);
  EXPECT_EQ(list.GetLast(), nullptr);
}

TEST(PhysicsMemory, StackRefusesImpossibleSizes) {
  dgStack<double> fine(10);
  EXPECT_TRUE(fine.IsValid());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(fine.Data()) % 16, 0u);
  dgStack<double> empty(0);
  EXPECT_FALSE(empty.IsValid());
  dgStack<double> negative(-5);
  EXPECT_FALSE(negative.IsValid());
  dgStack<double> huge(static_cast<long long>(SIZE_MAX / 4));
  EXPECT_FALSE(huge.IsValid());
}

}  // namespace
