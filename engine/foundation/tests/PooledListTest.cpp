#include <gtest/gtest.h>

#include <fstream>

#include "engine/foundation/DirList.h"
#include "engine/foundation/Memory.h"
#include "engine/foundation/NameMap.h"
#include "engine/foundation/PooledList.h"
#include "platform/TempFolder.h"

namespace {

int items[20];

// The data pointers of the list, as item numbers.
std::string Contents(const PooledList& list) {
  std::string text;
  for (PooledListNode* n = list.Head(); n != nullptr; n = n->next)
    text += std::to_string(static_cast<int*>(n->data) - items) + " ";
  std::string backwards;
  for (PooledListNode* n = list.Tail(); n != nullptr; n = n->prev)
    backwards = std::to_string(static_cast<int*>(n->data) - items) + " " + backwards;
  EXPECT_EQ(text, backwards) << "links disagree";
  return text;
}

TEST(PooledList, GrowsByWholeBlocks) {
  MemoryCounters before = GetMemoryCounters();
  PooledList list(10);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(list.AddTail(&items[i]));
  EXPECT_EQ(list.BlockCount(), 1u);
  EXPECT_EQ(GetMemoryCounters().objectAllocations - before.objectAllocations, 1u);
  ASSERT_TRUE(list.AddTail(&items[10]));
  EXPECT_EQ(list.BlockCount(), 2u);
  EXPECT_EQ(list.FreeCount(), 9u);
  EXPECT_EQ(GetMemoryCounters().objectAllocations - before.objectAllocations, 2u);
  EXPECT_EQ(list.Count(), 11u);
  EXPECT_EQ(list.At(10), &items[10]);
  EXPECT_EQ(list.At(11), nullptr);
}

TEST(PooledList, ReusesTheLastFreedNodeFirst) {
  PooledList list(4);
  list.AddTail(&items[0]);
  PooledListNode* second = list.AddTailNode(&items[1]);
  list.AddTail(&items[2]);
  EXPECT_EQ(list.RemoveNode(second), &items[1]);
  EXPECT_EQ(second->data, nullptr);  // cleared: the list is not fixed
  EXPECT_EQ(list.AddTailNode(&items[3]), second);
  EXPECT_EQ(Contents(list), "0 2 3 ");
  EXPECT_EQ(list.RemoveNode(nullptr), nullptr);
}

TEST(PooledList, PositionalOperations) {
  PooledList list(3);
  for (int i = 0; i < 4; ++i) list.AddTail(&items[i]);
  EXPECT_TRUE(list.InsertAfter(0, &items[9]));
  EXPECT_TRUE(list.InsertAfter(4, &items[8]));  // after the last: appended
  EXPECT_FALSE(list.InsertAfter(6, &items[7]));
  EXPECT_EQ(Contents(list), "0 9 1 2 3 8 ");
  EXPECT_TRUE(list.Swap(0, 5));
  EXPECT_FALSE(list.Swap(0, 6));
  EXPECT_EQ(Contents(list), "8 9 1 2 3 0 ");
  EXPECT_EQ(list.RemoveAt(1), &items[9]);
  EXPECT_EQ(list.RemoveAt(9), nullptr);
  EXPECT_TRUE(list.Remove(&items[0]));
  EXPECT_FALSE(list.Remove(&items[0]));
  EXPECT_EQ(Contents(list), "8 1 2 3 ");
  EXPECT_EQ(list.HeadData(), &items[8]);
  EXPECT_EQ(list.TailData(), &items[3]);
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.HeadData(), nullptr);
  EXPECT_EQ(list.FreeCount(), 6u);
  list.Reserve(10);
  EXPECT_EQ(list.FreeCount(), 10u);
  list.Reserve(4);
  EXPECT_EQ(list.FreeCount(), 10u);

  PooledList empty(0);
  EXPECT_FALSE(empty.AddTail(&items[0]));
  EXPECT_FALSE(empty.InsertAfter(0, &items[0]));
  EXPECT_FALSE(empty.Grow(0));
}

TEST(PooledList, FixedPoolRefusesToGrowAndKeepsRemovedObjects) {
  PooledList pool(0);
  pool.Grow(2);
  pool.SetFixed(true);
  EXPECT_EQ(pool.ReuseFree(), nullptr);  // free nodes hold nothing yet
  EXPECT_TRUE(pool.AddTail(&items[0]));
  PooledListNode* second = pool.AddTailNode(&items[1]);
  EXPECT_FALSE(pool.AddTail(&items[2]));
  pool.RemoveNode(second);
  EXPECT_EQ(second->data, &items[1]);
  EXPECT_EQ(pool.ReuseFree(), &items[1]);
  EXPECT_EQ(Contents(pool), "0 1 ");
  EXPECT_EQ(pool.ReuseFree(), nullptr);  // full
}

TEST(PooledList, DestructionFreesEveryBlock) {
  MemoryCounters before = GetMemoryCounters();
  {
    PooledList list(3);
    for (int i = 0; i < 8; ++i) list.AddTail(&items[i]);
    list.RemoveAt(0);
    list.RemoveAt(3);
  }
  MemoryCounters after = GetMemoryCounters();
  EXPECT_EQ(after.objectAllocations - before.objectAllocations, after.objectFrees - before.objectFrees);
}

struct Counted : PooledObject {
  static inline int alive = 0;
  Counted() { ++alive; }
  ~Counted() override { --alive; }
};

TEST(NameMap, OwnsItsObjectsIncludingRemovedOnes) {
  {
    NameMap map;
    EXPECT_STREQ(map.Name().Chars(), "Un-named");
    EXPECT_EQ(map.Acquire<Counted>(), nullptr);  // no pool yet
    map.SetName("Channels", 3);
    Counted* a = map.Acquire<Counted>();
    Counted* b = map.Acquire<Counted>();
    map.Acquire<Counted>();
    EXPECT_EQ(map.Acquire<Counted>(), nullptr);  // capacity reached
    EXPECT_EQ(Counted::alive, 3);
    map.Objects()->Remove(b);
    EXPECT_EQ(map.Acquire<Counted>(), b);  // reused, not reallocated
    map.Objects()->Remove(a);
    map.Clear();
    EXPECT_EQ(Counted::alive, 0);  // the removed one too
    EXPECT_EQ(map.Objects()->FreeCount(), 3u);
    map.Acquire<Counted>();
  }
  EXPECT_EQ(Counted::alive, 0);
}

TEST(DirList, ListsBareNamesOfFilesAndFolders) {
  platform::ScopedTempFolder root("vyre-dirlist");
  std::ofstream(root / "a.txt") << "a";
  std::ofstream(root / "b.txt") << "b";
  std::ofstream(root / ".hidden") << "h";
  ASSERT_TRUE(DirList::MakeFolder((root / "sub").c_str()));

  DirList list;
  EXPECT_EQ(list.FileCount(), 0u);
  EXPECT_STREQ(list.GetFile(0).Chars(), "");
  EXPECT_EQ(list.Scan((root / "*.*").c_str()), 3);
  EXPECT_EQ(list.FileCount(), 2u);
  EXPECT_EQ(list.FolderCount(), 1u);
  EXPECT_STREQ(list.GetFile(0).Chars(), "a.txt");
  EXPECT_STREQ(list.GetFile(1).Chars(), "b.txt");
  EXPECT_STREQ(list.GetFile(2).Chars(), "");
  EXPECT_STREQ(list.GetFolder(0).Chars(), "sub");
  EXPECT_STREQ(list.Path().Chars(), (root.Path() + "/").c_str());

  EXPECT_EQ(list.Scan((root / "*.none").c_str()), 0);
  EXPECT_EQ(list.FileCount(), 0u);
  EXPECT_EQ(list.Scan((root / "sub").c_str()), 1);  // a pattern without extension names a folder
  EXPECT_STREQ(list.Path().Chars(), (root.Path() + "/sub\\").c_str());

  EXPECT_TRUE(DirList::MakeFolder(String((root / "sub").c_str())));
  EXPECT_FALSE(DirList::MakeFolder((root / "no/parent").c_str()));
}

}  // namespace
