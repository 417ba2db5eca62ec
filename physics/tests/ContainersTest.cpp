#include <gtest/gtest.h>

#include <map>
#include <queue>
#include <random>
#include <vector>

#include "physics/memory/dgHeap.h"
#include "physics/memory/dgTree.h"
#include "support/CountingHooks.h"

namespace {

using IntTree = dgTree<int, int64_t>;
using Node = IntTree::dgTreeNode;

// Checks the red-black rules below node; returns the black height.
int CheckSubtree(const Node* node, const Node* parent, int& visited) {
  if (!node) return 1;
  ++visited;
  EXPECT_EQ(node->GetParent(), parent);
  EXPECT_TRUE(node->IsInTree());
  if (node->IsRed()) {
    EXPECT_FALSE(node->GetLeft() && node->GetLeft()->IsRed()) << "red node with a red child";
    EXPECT_FALSE(node->GetRight() && node->GetRight()->IsRed()) << "red node with a red child";
  }
  if (node->GetLeft()) {
    EXPECT_LT(node->GetLeft()->GetKey(), node->GetKey());
  }
  if (node->GetRight()) {
    EXPECT_GT(node->GetRight()->GetKey(), node->GetKey());
  }
  const int left = CheckSubtree(node->GetLeft(), node, visited);
  const int right = CheckSubtree(node->GetRight(), node, visited);
  EXPECT_EQ(left, right) << "unequal black heights under key " << node->GetKey();
  return left + (node->IsRed() ? 0 : 1);
}

void CheckTreeMatches(const IntTree& tree, const std::map<int64_t, int>& expected) {
  ASSERT_EQ(tree.GetCount(), static_cast<int>(expected.size()));
  if (tree.GetRoot()) {
    EXPECT_FALSE(tree.GetRoot()->IsRed());
  }
  int visited = 0;
  CheckSubtree(tree.GetRoot(), nullptr, visited);
  EXPECT_EQ(visited, tree.GetCount());
  auto it = expected.begin();
  for (Node* node = tree.Minimum(); node; node = node->Next(), ++it) {
    ASSERT_NE(it, expected.end());
    EXPECT_EQ(node->GetKey(), it->first);
    EXPECT_EQ(node->GetInfo(), it->second);
  }
  EXPECT_EQ(it, expected.end());
}

TEST(PhysicsTree, RandomOperationsMatchMapAndKeepRedBlackRules) {
  ScopedCountingHooks hooks;
  std::mt19937 random(1234);
  std::uniform_int_distribution<int64_t> keys(-200, 200);
  std::uniform_int_distribution<int> operation(0, 9);
  IntTree tree;
  std::map<int64_t, int> expected;
  std::map<int64_t, const int*> infoAddress;
  for (int step = 0; step < 3000; ++step) {
    const int64_t key = keys(random);
    const int op = operation(random);
    if (op < 5) {
      bool exists = false;
      Node* node = tree.Insert(step, key, exists);
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(exists, expected.count(key) == 1);
      if (!exists) {
        expected[key] = step;
        infoAddress[key] = &node->GetInfo();
      }
      EXPECT_EQ(node->GetInfo(), expected[key]);
    } else if (op < 8) {
      tree.RemoveByKey(key);
      expected.erase(key);
      infoAddress.erase(key);
    } else if (op < 9) {
      Node* node = tree.Find(key);
      EXPECT_EQ(node != nullptr, expected.count(key) == 1);
      // Nodes never move while other nodes come and go.
      if (node) {
        EXPECT_EQ(&node->GetInfo(), infoAddress[key]);
      }
    } else if (Node* node = tree.Find(key)) {
      const int64_t newKey = key + 1000;
      if (expected.count(newKey)) {
        EXPECT_FALSE(tree.ReplaceKey(node, newKey));
        continue;
      }
      ASSERT_TRUE(tree.ReplaceKey(node, newKey));
      EXPECT_EQ(&node->GetInfo(), infoAddress[key]);
      expected[newKey] = expected[key];
      infoAddress[newKey] = infoAddress[key];
      expected.erase(key);
      infoAddress.erase(key);
    }
    CheckTreeMatches(tree, expected);
  }
  CheckTreeMatches(tree, expected);
  tree.RemoveAll();
  EXPECT_EQ(tree.GetCount(), 0);
  EXPECT_EQ(tree.GetRoot(), nullptr);
}

TEST(PhysicsTree, ExistingKeyAndTakenKeyChangeNothing) {
  IntTree tree;
  Node* first = tree.Insert(1, 10);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetRefCount(), 1);
  EXPECT_TRUE(first->IsAttached());
  bool exists = false;
  EXPECT_EQ(tree.Insert(2, 10, exists), first);
  EXPECT_TRUE(exists);
  EXPECT_EQ(first->GetInfo(), 1);
  EXPECT_EQ(tree.GetCount(), 1);
  EXPECT_EQ(tree.Insert(3, 10), nullptr);

  Node* second = tree.Insert(2, 20);
  EXPECT_FALSE(tree.ReplaceKey(second, 10));
  EXPECT_EQ(second->GetKey(), 20);
  EXPECT_EQ(tree.Find(20), second);
  // Remove releases the tree's reference; a node held elsewhere survives detached.
  second->AddRef();
  tree.Remove(second);
  EXPECT_FALSE(second->IsAttached());
  EXPECT_FALSE(second->IsInTree());
  EXPECT_EQ(tree.Find(20), nullptr);
  second->Release();
}

TEST(PhysicsTree, BalancedHooksAfterManyNodes) {
  ScopedCountingHooks hooks;
  {
    IntTree warmUp;
    warmUp.Insert(0, 0);
  }
  const long long baseline = GetHookCounts().liveBlocks;
  {
    IntTree tree;
    for (int i = 0; i < 5000; ++i) tree.Insert(i, (i * 7919) % 10007);
    EXPECT_EQ(tree.GetCount(), 5000);
    EXPECT_GT(GetHookCounts().liveBlocks, baseline);
  }
  EXPECT_EQ(GetHookCounts().liveBlocks, baseline);
}

TEST(PhysicsHeap, MatchesPriorityQueueAndRefusesWhenFull) {
  using Heap = dgHeap<int, float>;
  std::vector<Heap::Entry> storage(64);
  Heap heap(storage.data(), 64);
  std::priority_queue<float> expected;
  std::mt19937 random(99);
  std::uniform_real_distribution<float> keys(-100.0f, 100.0f);
  for (int step = 0; step < 5000; ++step) {
    if (random() % 3 != 0 && heap.GetCount() < heap.GetCapacity()) {
      // Repeated keys too.
      const float key = (step % 5 == 0) ? 7.0f : keys(random);
      ASSERT_TRUE(heap.Push(key, step));
      expected.push(key);
    } else if (heap.GetCount() > 0) {
      EXPECT_EQ(heap.TopKey(), expected.top());
      heap.Pop();
      expected.pop();
    }
    ASSERT_EQ(heap.GetCount(), static_cast<int>(expected.size()));
  }
  while (heap.GetCount() < heap.GetCapacity()) heap.Push(0.0f, 0);
  EXPECT_FALSE(heap.Push(1000.0f, 1));
  EXPECT_NE(heap.TopKey(), 1000.0f);
  heap.Flush();
  EXPECT_EQ(heap.GetCount(), 0);
  heap.Pop();  // empty: nothing happens
  EXPECT_EQ(heap.GetCount(), 0);
}

}  // namespace
