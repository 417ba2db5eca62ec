// The Challenge's board files as the build wrote them, read field by field.

#include "content/ChallengeBoards.h"
#include "content/Constellations.h"
#include "support/GameDataSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// Little-endian 32-bit integers, refusing to read past the end.
class IntReader {
 public:
  explicit IntReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool Next(int32_t& value) {
    if (position_ + 4 > bytes_.size()) return false;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= uint32_t(bytes_[position_ + size_t(i)]) << (8 * i);
    position_ += 4;
    value = int32_t(bits);
    return true;
  }
  bool AtEnd() const { return position_ == bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

TEST(ChallengeBoards, EveryBoardHoldsOneFilledDiscPerStar) {
  InRunFolder run;
  std::set<int32_t> colours;
  for (const ConstellationDesign& constellation : ChallengeConstellations()) {
    SCOPED_TRACE(constellation.name);
    IntReader file(ReadAll(std::string("Resources/Boards/Challenge/") + constellation.name + ".stars"));
    int32_t discs = 0;
    ASSERT_TRUE(file.Next(discs));
    ASSERT_EQ(size_t(discs), constellation.stars.size());
    for (int32_t d = 0; d < discs; ++d) {
      SCOPED_TRACE("disc " + std::to_string(d));
      int32_t rings = 0, slots = 0, queue = 0;
      ASSERT_TRUE(file.Next(rings) && file.Next(slots) && file.Next(queue));
      ASSERT_TRUE(rings >= 3 && rings <= 5) << rings;
      ASSERT_TRUE(slots >= 10 && slots <= 16) << slots;
      ASSERT_EQ(queue, kBoardQueueLength);
      std::vector<std::vector<int32_t>> states(static_cast<size_t>(rings), std::vector<int32_t>(static_cast<size_t>(slots)));
      int gems = 0;
      for (int32_t r = 0; r < rings; ++r) {
        for (int32_t s = 0; s < slots; ++s) {
          int32_t colour = -1, shape = -1, state = -1;
          ASSERT_TRUE(file.Next(colour) && file.Next(shape) && file.Next(state));
          ASSERT_TRUE(state == 0 || state == 1) << state;
          if (state == 1) {
            ASSERT_TRUE(colour >= 0 && colour <= 9 && shape >= 0 && shape <= 4);
            colours.insert(colour);
            ++gems;
          }
          states[size_t(r)][size_t(s)] = state;
        }
      }
      // The outer ring is free, and no gem floats over an empty slot.
      for (int32_t s = 0; s < slots; ++s) {
        EXPECT_EQ(states[size_t(rings - 1)][size_t(s)], 0);
        for (int32_t r = 1; r < rings; ++r) {
          if (states[size_t(r)][size_t(s)] == 1) {
            EXPECT_EQ(states[size_t(r - 1)][size_t(s)], 1);
          }
        }
      }
      const float fill = float(gems) / float(rings * slots);
      EXPECT_TRUE(fill >= 0.29f && fill <= 0.61f) << fill;
      // A blank queue: the game generates it when the disc starts.
      for (int32_t q = 0; q < queue * 3; ++q) {
        int32_t value = -1;
        ASSERT_TRUE(file.Next(value));
        EXPECT_EQ(value, 0);
      }
    }
    EXPECT_TRUE(file.AtEnd());
  }
  for (int32_t special : {7, 8, 9}) EXPECT_TRUE(colours.count(special)) << "colour " << special;
}

}  // namespace
