#include <gtest/gtest.h>

#include <cstdint>
#include <new>

#include "engine/foundation/Memory.h"

namespace {

// Keeps the compiler from pairing a new with its delete and dropping both.
template <class T>
T* Opaque(T* pointer) {
  asm volatile("" : "+r"(pointer) : : "memory");
  return pointer;
}

struct alignas(64) Wide {
  char bytes[64];
};

struct Delta {
  uint32_t allocations;
  uint32_t bytes;
  uint32_t frees;
};

// The object-group change made by one action.
template <class Action>
Delta ObjectDelta(Action action) {
  MemoryCounters before = GetMemoryCounters();
  action();
  MemoryCounters after = GetMemoryCounters();
  return {after.objectAllocations - before.objectAllocations, after.objectBytes - before.objectBytes,
          after.objectFrees - before.objectFrees};
}

TEST(Memory, EveryFormOfNewAndDeleteCountsInTheObjectGroup) {
  struct Case {
    const char* form;
    void (*run)();
    uint32_t bytes;
  };
  const Case cases[] = {
      {"CountedNew", [] { CountedDelete(Opaque(CountedNew(100))); }, 100},
      {"plain", [] { delete Opaque(new int64_t(1)); }, 8},
      {"array", [] { delete[] Opaque(new char[100]); }, 100},
      {"nothrow", [] { delete Opaque(new (std::nothrow) int64_t(1)); }, 8},
      {"nothrow array", [] { delete[] Opaque(new (std::nothrow) char[30]); }, 30},
      {"aligned", [] { delete Opaque(new Wide()); }, 64},
      {"aligned array", [] { delete[] Opaque(new Wide[2]); }, 128},
      {"operator new", [] { ::operator delete(Opaque(::operator new(40)), 40); }, 40},
  };
  for (const Case& c : cases) {
    Delta delta = ObjectDelta(c.run);
    EXPECT_EQ(delta.allocations, 1u) << c.form;
    EXPECT_EQ(delta.bytes, c.bytes) << c.form;
    EXPECT_EQ(delta.frees, 1u) << c.form;
  }
}

TEST(Memory, AlignedNewHonoursTheAlignment) {
  Wide* wide = Opaque(new Wide());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(wide) % 64, 0u);
  delete wide;
}

TEST(Memory, DeletingNullStillCountsOneFree) {
  Delta delta = ObjectDelta([] {
    CountedDelete(nullptr);
    ::operator delete(Opaque(static_cast<void*>(nullptr)));
  });
  EXPECT_EQ(delta.allocations, 0u);
  EXPECT_EQ(delta.frees, 2u);
}

TEST(Memory, RefusedAllocationIsNullAndCounted) {
  // The test executable lets the sanitizer's allocator return null.
  Delta delta = ObjectDelta([] { EXPECT_EQ(CountedNew(SIZE_MAX / 2), nullptr); });
  EXPECT_EQ(delta.allocations, 1u);
  EXPECT_EQ(delta.bytes, static_cast<uint32_t>(SIZE_MAX / 2));
}

TEST(Memory, OtherPairsCountInTheirOwnGroupsAndTotalsSumAll) {
  MemoryCounters before = GetMemoryCounters();
  CountedArrayDelete(Opaque(CountedArrayNew(10)));
  CountedFree(Opaque(CountedMalloc(20)));
  MemoryCounters after = GetMemoryCounters();
  EXPECT_EQ(after.arrayAllocations - before.arrayAllocations, 1u);
  EXPECT_EQ(after.arrayBytes - before.arrayBytes, 10u);
  EXPECT_EQ(after.arrayFrees - before.arrayFrees, 1u);
  EXPECT_EQ(after.cLibraryAllocations - before.cLibraryAllocations, 1u);
  EXPECT_EQ(after.cLibraryBytes - before.cLibraryBytes, 20u);
  EXPECT_EQ(after.cLibraryFrees - before.cLibraryFrees, 1u);
  EXPECT_EQ(after.objectAllocations, before.objectAllocations);
  EXPECT_EQ(after.TotalAllocations(), after.objectAllocations + after.arrayAllocations + after.cLibraryAllocations);
  EXPECT_EQ(after.TotalBytes(), after.objectBytes + after.arrayBytes + after.cLibraryBytes);
  EXPECT_EQ(after.TotalFrees(), after.objectFrees + after.arrayFrees + after.cLibraryFrees);
}

}  // namespace
