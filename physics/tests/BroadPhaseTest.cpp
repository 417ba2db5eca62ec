// The quadtree broad phase: world size, quarter test, descent, node reuse,
// sorted axis lists and the leave-world callback.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "physics/shapes/dgCollision.h"
#include "physics/world/dgWorld.h"

namespace {

struct WorldDeleter {
  void operator()(dgWorld* world) const {
    world->~dgWorld();
    dgFree(world);
  }
};
using WorldPtr = std::unique_ptr<dgWorld, WorldDeleter>;

WorldPtr MakeWorld() {
  WorldPtr world(new (dgMalloc(sizeof(dgWorld))) dgWorld);
  world->GetBroadPhase().SetWorldSize(dgVector(-100, -100, -100, 1), dgVector(100, 100, 100, 1));
  return world;
}

dgMatrix At(float x, float y, float z) {
  dgMatrix m;
  m.posit = dgVector(x, y, z, 1);
  return m;
}

// True when node can be reached from the root through child links.
bool InTree(const dgBroadPhaseNode* root, const dgBroadPhaseNode* node) {
  if (!root) return false;
  if (root == node) return true;
  for (const dgBroadPhaseNode* child : root->children) {
    if (InTree(child, node)) return true;
  }
  return false;
}

}  // namespace

TEST(BroadPhase, SetWorldSizeTable) {
  const struct {
    dgVector min, max;
    float root, grid;
    dgVector coveredMin, coveredMax;
  } cases[] = {
      {{-100, -100, -100, 1}, {100, 100, 100, 1}, 200, 2048, {-100, -100, -100, 1}, {100, 100, 100, 1}},
      {{-1000, -1000, -1000, 1}, {1000, 1000, 1000, 1}, 2000, 16384, {-1000, -1000, -1000, 1}, {1000, 1000, 1000, 1}},
      {{0, 0, 0, 1}, {300, 10, 50, 1}, 300, 4096, {0, 0, 0, 1}, {300, 10, 300, 1}},
      {{0.0013f, 0, 0, 1}, {10, 1, 10, 1}, 10, 128, {0, 0, 0, 1}, {10, 1, 10, 1}},
      // Corners given the wrong way round are put in order.
      {{100, 100, 100, 1}, {-100, -100, -100, 1}, 200, 2048, {-100, -100, -100, 1}, {100, 100, 100, 1}},
      // A point-sized world keeps a root of 1 and a finite grid.
      {{5, 5, 5, 1}, {5, 5, 5, 1}, 1, 16, {5, 5, 5, 1}, {6, 5, 6, 1}},
  };
  const WorldPtr world = MakeWorld();
  dgBroadPhase& broadPhase = world->GetBroadPhase();
  for (const auto& c : cases) {
    broadPhase.SetWorldSize(c.min, c.max);
    EXPECT_EQ(broadPhase.GetRootSize(), c.root) << c.max.x;
    EXPECT_EQ(broadPhase.GetGridScale(), c.grid) << c.max.x;
    EXPECT_EQ(broadPhase.GetInvGridScale(), 1.0f / c.grid);
    EXPECT_EQ(broadPhase.GetMinCorner(), c.coveredMin) << c.max.x;
    EXPECT_EQ(broadPhase.GetMaxCorner(), c.coveredMax) << c.max.x;
  }
}

TEST(BroadPhase, QuarterTestTable) {
  const struct {
    float ax, az, bx, bz;
    int index;  // 8 stands for "8 or more"
  } cases[] = {
      {0.1f, 0.1f, 0.5f, 0.5f, 0},  {1.2f, 0.1f, 1.5f, 0.5f, 1}, {0.1f, 1.5f, 0.5f, 1.9f, 2},
      {1.2f, 1.2f, 1.9f, 1.9f, 3},  {0.5f, 0.1f, 1.5f, 0.5f, 8},  // straddles x = 1
      {0.1f, 0.5f, 0.5f, 1.5f, 8},                                // straddles z = 1
      {0.2f, 0.2f, 1.0f, 0.5f, 8},                                // touches the middle from below
      {1.0f, 0.2f, 1.5f, 0.5f, 8},                                // starts on the middle
      {-0.5f, 0.2f, 0.5f, 0.5f, 8},                               // leaves the node
      {1.2f, 1.2f, 2.5f, 1.5f, 8},
  };
  for (const auto& c : cases) {
    const int index =
        dgBroadPhase::QuarterIndex(1.0f, 0.0f, 0.0f, dgVector(c.ax, 0, c.az, 1), dgVector(c.bx, 0, c.bz, 1));
    if (c.index < 8)
      EXPECT_EQ(index, c.index) << c.ax << " " << c.az;
    else
      EXPECT_GE(index, 8) << c.ax << " " << c.az;
  }
}

TEST(BroadPhase, BodiesDescendToTheDeepestHoldingNode) {
  const WorldPtr world = MakeWorld();
  dgCollision* tiny = world->CreateBox(0.01f, 0.01f, 0.01f, dgGetIdentityMatrix());
  dgCollision* wide = world->CreateBox(4.0f, 1.0f, 1.0f, dgGetIdentityMatrix());

  // Far from every midline: nine levels below the root and no deeper.
  dgBody* deep = world->CreateBody(tiny, At(-98.995f, 0, -98.995f));
  ASSERT_NE(deep->broadPhaseNode, nullptr);
  EXPECT_EQ(deep->broadPhaseNode->level, dgBroadPhase::kMaxDepth);
  EXPECT_TRUE(InTree(world->GetBroadPhase().GetRoot(), deep->broadPhaseNode));

  // Across the root's midline x = 0: stays in the root, no child is made for it.
  dgBody* straddling = world->CreateBody(wide, At(0, 0, 50));
  EXPECT_EQ(straddling->broadPhaseNode, world->GetBroadPhase().GetRoot());
  EXPECT_EQ(world->GetBroadPhase().GetRoot()->childCount, 1);  // the chain to the deep body

  // Growing out of the deep node into an empty ancestor (the level-3 node
  // whose midline x = -87.5 it now crosses): the ancestor must survive the
  // removal from the old node, and only the six nodes below it go free.
  const int freeBefore = world->GetBroadPhase().GetFreeNodeCount();
  dgBody* grown = deep;
  grown->collision = wide;
  wide->AddRef();
  world->ReleaseCollision(tiny);
  world->SetBodyMatrix(grown, At(-87.5f, 0, -98.995f));
  ASSERT_NE(grown->broadPhaseNode, nullptr);
  EXPECT_EQ(grown->broadPhaseNode->level, 3);
  EXPECT_EQ(grown->broadPhaseNode->bodyCount, 1);
  EXPECT_TRUE(InTree(world->GetBroadPhase().GetRoot(), grown->broadPhaseNode));
  EXPECT_EQ(world->GetBroadPhase().GetFreeNodeCount(), freeBefore + 6);

  // Taken nodes come back from the free list.
  grown->collision = tiny;
  tiny->AddRef();
  world->SetBodyMatrix(grown, At(-98.995f, 0, -98.995f));
  EXPECT_EQ(grown->broadPhaseNode->level, dgBroadPhase::kMaxDepth);
  EXPECT_EQ(world->GetBroadPhase().GetFreeNodeCount(), freeBefore);

  world->ReleaseCollision(tiny);
  world->ReleaseCollision(wide);
  world->ReleaseCollision(wide);
}

TEST(BroadPhase, AxisListsStaySortedWithTheirSums) {
  const WorldPtr world = MakeWorld();
  std::mt19937 random(5);
  std::uniform_real_distribution<float> size(1.0f, 6.0f);
  std::uniform_real_distribution<float> shift(-0.4f, 0.4f);
  dgBody* bodies[30];
  for (dgBody*& body : bodies) {
    // Every box contains the origin, so all stay in the root.
    dgCollision* box = world->CreateBox(size(random), size(random), size(random), dgGetIdentityMatrix());
    body = world->CreateBody(box, At(shift(random), shift(random), shift(random)));
    world->ReleaseCollision(box);
  }
  for (int step = 0; step < 50; ++step) {
    world->SetBodyMatrix(bodies[step % 30], At(shift(random), shift(random), shift(random)));
    const dgBroadPhaseNode* root = world->GetBroadPhase().GetRoot();
    ASSERT_EQ(root->bodyCount, 30);
    for (int axis = 0; axis < 3; ++axis) {
      const dgBroadPhaseAxisList& list = root->axes[axis];
      ASSERT_EQ(list.GetCount(), 30);
      double sum = 0.0;
      double squares = 0.0;
      float previous = -1e30f;
      for (const dgBroadPhaseAxisEntry* entry = list.GetFirst(); entry; entry = entry->next) {
        EXPECT_LE(previous, entry->key);
        EXPECT_EQ(entry->key, entry->body->minBox[axis]);
        previous = entry->key;
        sum += entry->key;
        squares += static_cast<double>(entry->key) * entry->key;
      }
      EXPECT_NEAR(list.GetSum(), sum, 1e-3);
      EXPECT_NEAR(list.GetSumOfSquares(), squares, 1e-2);
    }
  }
  // A new extent re-inserts every body.
  world->GetBroadPhase().SetWorldSize(dgVector(-50, -50, -50, 1), dgVector(50, 50, 50, 1));
  EXPECT_EQ(world->GetBroadPhase().GetRoot()->bodyCount, 30);
  for (dgBody* body : bodies) EXPECT_EQ(body->broadPhaseNode, world->GetBroadPhase().GetRoot());
}

TEST(BroadPhase, LeavingTheWorldCallsBack) {
  const WorldPtr world = MakeWorld();
  static dgBody* left;
  static bool bringBack;
  left = nullptr;
  bringBack = false;
  world->SetLeaveWorldCallback([](dgBody* body) {
    left = body;
    if (bringBack) body->world->SetBodyMatrix(body, At(0, 0, 0));
  });
  dgCollision* box = world->CreateBox(1, 1, 1, dgGetIdentityMatrix());
  dgBody* body = world->CreateBody(box, At(10, 0, 10));
  world->ReleaseCollision(box);
  world->AddToActiveSet(body, true);
  EXPECT_EQ(left, nullptr);

  // Touching the world box from outside does not overlap it.
  world->SetBodyMatrix(body, At(100.5f, 0, 0));
  EXPECT_EQ(left, body);
  EXPECT_EQ(body->flags & (dgBody::kFlagCollidable | dgBody::kFlagAutoActivate), 0u);
  EXPECT_FALSE(body->IsInActiveSet());

  // A callback that brings the body back restores its flags and active entry.
  body->flags |= dgBody::kFlagCollidable | dgBody::kFlagAutoActivate;
  world->AddToActiveSet(body, true);
  bringBack = true;
  left = nullptr;
  world->SetBodyMatrix(body, At(0, 150, 0));
  EXPECT_EQ(left, body);
  EXPECT_EQ(body->flags & (dgBody::kFlagCollidable | dgBody::kFlagAutoActivate),
            dgBody::kFlagCollidable | dgBody::kFlagAutoActivate);
  EXPECT_TRUE(body->IsInActiveSet());
  EXPECT_EQ(body->matrix.posit.y, 0.0f);
}
