#include <gtest/gtest.h>

#include "platform/Random.h"

TEST(Random, SeedOneGivesTheKnownSequence) {
  platform::SeedRandom(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) EXPECT_EQ(platform::NextRandom(), value);
}

TEST(Random, ReseedingReplaysAndValuesStayInRange) {
  platform::SeedRandom(12345);
  int first[100];
  for (int& value : first) value = platform::NextRandom();
  platform::SeedRandom(12345);
  for (int value : first) {
    int again = platform::NextRandom();
    EXPECT_EQ(again, value);
    EXPECT_GE(again, 0);
    EXPECT_LE(again, platform::kRandomMax);
  }
}
