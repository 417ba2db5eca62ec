#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/contacts/dgContactReduction.h"
#include "support/CountingHooks.h"

namespace {

dgContact At(float x, float y, float z, int tag = 0) {
  dgContact contact{};
  contact.point = dgVector(x, y, z, 1.0f);
  contact.userId = tag;
  return contact;
}

float Distance(const dgVector& a, const dgVector& b) { return std::sqrt((a - b).DotProduct(a - b)); }

TEST(PhysicsContacts, PruneCollapsesContactsAtOnePoint) {
  for (int count : {3, 8, 10, 40}) {
    SCOPED_TRACE(count);
    std::vector<dgContact> contacts(static_cast<size_t>(count), At(1, 2, 3));
    EXPECT_EQ(dgPruneContacts(count, contacts.data(), 128), 1);
  }
}

TEST(PhysicsContacts, PruneKeepsDistinctContactsAndRemovesNearDuplicates) {
  // Pairwise path: 4 distinct, 2 near duplicates (closer than 0.005).
  std::vector<dgContact> few = {At(0, 0, 0, 1), At(1, 0, 0, 2),      At(0.001f, 0, 0, 3),
                                At(0, 1, 0, 4), At(1.004f, 0, 0, 5), At(0, 0, 1, 6)};
  const int kept = dgPruneContacts(static_cast<int>(few.size()), few.data(), 128);
  EXPECT_EQ(kept, 4);
  for (int i = 0; i < kept; ++i)
    for (int j = i + 1; j < kept; ++j) EXPECT_GE(Distance(few[i].point, few[j].point), 0.005f);

  // Sweep path: a 4 x 4 grid of distinct points, each given twice.
  std::vector<dgContact> many;
  for (int i = 0; i < 16; ++i) {
    many.push_back(At(static_cast<float>(i % 4), static_cast<float>(i / 4), 0));
    many.push_back(At(static_cast<float>(i % 4) + 0.002f, static_cast<float>(i / 4), 0));
  }
  EXPECT_EQ(dgPruneContacts(static_cast<int>(many.size()), many.data(), 128), 16);
}

TEST(PhysicsContacts, ReduceToWantedCountKeepsOrderAndCoversRemoved) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
  for (int round = 0; round < 40; ++round) {
    const int count = 10 + static_cast<int>(random() % 200);
    const int wanted = 1 + static_cast<int>(random() % 12);
    std::vector<dgContact> contacts;
    for (int i = 0; i < count; ++i)
      contacts.push_back(At(coordinate(random), coordinate(random), coordinate(random), i));
    const std::vector<dgContact> original = contacts;
    float finalDistance = 0;
    const int kept = dgReduceContacts(count, contacts.data(), wanted, 0.01f, &finalDistance);
    ASSERT_EQ(kept, wanted);
    // Kept contacts keep their order.
    for (int i = 1; i < kept; ++i) EXPECT_LT(contacts[i - 1].userId, contacts[i].userId);
    // Each removed contact was near a contact kept in its pass; the chain of
    // passes (distances d, 2d, 4d, ...) stays within twice the last one.
    for (const dgContact& contact : original) {
      float nearest = 1e30f;
      for (int i = 0; i < kept; ++i) nearest = std::min(nearest, Distance(contact.point, contacts[i].point));
      EXPECT_LT(nearest, 2.0f * finalDistance);
    }
  }
}

TEST(PhysicsContacts, ReduceFarApartContactsDoublesUntilEnoughFall) {
  std::vector<dgContact> contacts;
  for (int i = 0; i < 20; ++i) contacts.push_back(At(static_cast<float>(i), 0, 0, i));
  float finalDistance = 0;
  EXPECT_EQ(dgReduceContacts(20, contacts.data(), 5, 0.01f, &finalDistance), 5);
  EXPECT_GT(finalDistance, 1.0f);
  EXPECT_FLOAT_EQ(std::log2(finalDistance / 0.01f), std::round(std::log2(finalDistance / 0.01f)));
}

TEST(PhysicsContacts, ReduceTerminatesOnBadCountsAndPoints) {
  std::vector<dgContact> contacts;
  for (int i = 0; i < 12; ++i) contacts.push_back(At(static_cast<float>(i), 0, 0, i));
  // A wanted count of 0 or less keeps one contact.
  EXPECT_EQ(dgReduceContacts(12, contacts.data(), 0, 0.01f), 1);
  EXPECT_EQ(dgReduceContacts(1, contacts.data(), -5, 0.01f), 1);
  // Nothing to remove.
  EXPECT_EQ(dgReduceContacts(3, contacts.data(), 8, 0.01f), 3);
  // A zero distance never grows: the surplus is cut after the doublings.
  std::vector<dgContact> spread;
  for (int i = 0; i < 12; ++i) spread.push_back(At(static_cast<float>(i), 0, 0, i));
  EXPECT_EQ(dgReduceContacts(12, spread.data(), 4, 0.0f), 4);
  EXPECT_EQ(spread[0].userId, 0);
  // NaN and infinite points never fall within any distance.
  std::vector<dgContact> broken;
  for (int i = 0; i < 10; ++i) broken.push_back(At(i % 2 ? NAN : INFINITY, static_cast<float>(i), NAN, i));
  EXPECT_EQ(dgReduceContacts(10, broken.data(), 3, 0.01f), 3);
  EXPECT_EQ(dgPruneContacts(10, broken.data(), 0), 1);
}

TEST(PhysicsContacts, PruneAndReduceOfABufferThatFitsTheStackAllocateNothing) {
  // The world's collide service prunes and reduces its 128-record buffer on
  // every query: its scratch must not come from the allocation hooks.
  std::vector<dgContact> contacts;
  for (int i = 0; i < 128; ++i) contacts.push_back(At(static_cast<float>(i % 16), static_cast<float>(i / 16), 0, i));
  ScopedCountingHooks hooks;
  const long long before = GetHookCounts().mallocCalls;
  EXPECT_EQ(dgPruneContacts(128, contacts.data(), 128), 128);
  EXPECT_EQ(dgReduceContacts(128, contacts.data(), 8, 0.01f), 8);
  EXPECT_EQ(GetHookCounts().mallocCalls, before);
}

}  // namespace
