#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/scene/cds/CDSHitList.h"
#include "engine/scene/cds/CDSWorld.h"

namespace {

TEST(CDSHitList, AddingRefusesTheEleventhAndDuplicates) {
  CCDSHitList list;
  for (uint32_t object = 0; object < CCDSHitList::kMaxHits; ++object) EXPECT_TRUE(list.AddRayHit(object, 1.0f));
  EXPECT_FALSE(list.AddRayHit(99, 0.5f));
  EXPECT_EQ(list.rayHitCount, CCDSHitList::kMaxHits);

  // The other list is apart; an object met again (filed in two cells) is
  // listed once.
  EXPECT_TRUE(list.AddSphereHit(4, 0.0f));
  EXPECT_FALSE(list.AddSphereHit(4, 0.0f));
  EXPECT_EQ(list.sphereHitCount, 1u);

  ASSERT_NE(list.GetRayHit(CCDSHitList::kMaxHits - 1), nullptr);
  EXPECT_EQ(list.GetRayHit(CCDSHitList::kMaxHits), nullptr);
  ASSERT_NE(list.GetSphereHit(0), nullptr);
  EXPECT_EQ(list.GetSphereHit(0)->object, 4u);
  EXPECT_EQ(list.GetSphereHit(1), nullptr);
}

TEST(CDSHitList, SortIsAscendingAndKeepsEqualDistancesInOrder) {
  struct Case {
    std::vector<CCDSHit> in;
    std::vector<uint32_t> objectsOut;
  };
  const float nan = std::nanf("");
  const std::vector<Case> cases = {
      {{{0, 5}, {1, 2}, {2, 2}, {3, 1}}, {3, 1, 2, 0}},
      {{{0, 0}, {1, 0}, {2, 0}}, {0, 1, 2}},  // sphere hits: order of discovery
      {{{0, 3}}, {0}},
      {{}, {}},
      {{{0, nan}, {1, 2}, {2, 1}}, {0, 2, 1}},  // NaN compares with nothing and stays
  };
  for (const Case& c : cases) {
    std::vector<CCDSHit> hits = c.in;
    SortHitsByDistance(hits.data(), static_cast<uint32_t>(hits.size()));
    std::vector<uint32_t> objects;
    for (const CCDSHit& hit : hits) objects.push_back(hit.object);
    EXPECT_EQ(objects, c.objectsOut);
  }
}

TEST(CDSHitList, QueriesResetTheirListAndKeepTotals) {
  ASSERT_TRUE(CCDSWorld::Instance().Init(4));
  CCDSHitList list;
  EXPECT_EQ(list.AverageHits(), 0.0f);
  EXPECT_EQ(list.AverageNodes(), 0.0f);
  EXPECT_EQ(list.AverageObjects(), 0.0f);

  list.AddRayHit(1, 2.0f);
  Ray ray;
  ray.SetFromPoints(Vector3(0, 0, 0), Vector3(1, 0, 0));
  list.QueryRay(ray);
  // The empty world answers nothing, but the visit of its root counts.
  EXPECT_EQ(list.rayHitCount, 0u);
  EXPECT_EQ(list.lastHitCount, 0u);
  EXPECT_EQ(list.nodesVisited, 1u);

  BoundingSphere sphere;
  list.QuerySphere(sphere);
  EXPECT_EQ(list.queryCount, 2u);
  EXPECT_EQ(list.totalNodesVisited, 2u);
  EXPECT_EQ(list.AverageNodes(), 1.0f);
  EXPECT_EQ(list.AverageHits(), 0.0f);

  // Averages divide in whole numbers: 7 over 2 queries is 3.
  list.totalHits = 7;
  EXPECT_EQ(list.AverageHits(), 3.0f);
}

}  // namespace
