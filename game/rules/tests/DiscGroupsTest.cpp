#include <gtest/gtest.h>

#include <algorithm>

#include "engine/foundation/Log.h"
#include "game/rules/PuzzleDisc.h"
#include "platform/Random.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

std::vector<std::string> DrawDiscRings(const CGPuzzleDisc& disc) {
  std::vector<std::string> rings;
  for (unsigned r = 0; r < disc.ringCount; ++r) rings.push_back(DrawRing(disc, static_cast<int>(r)));
  return rings;
}

int CountLines(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

TEST(DiscGroups, CompactPacksSettledGemsAgainstTheCentre) {
  // Columns drawn ring by ring: column 0 reads, from the centre, Empty, Red,
  // Empty, Blue; column 1 keeps a Breaking gem where it is.
  auto disc = DrawDisc({"..G",  //
                        "RY.",  //
                        "...",  //
                        "BG."});
  disc->GemAt(0, 1).state = GemState::Breaking;
  disc->Compact();
  EXPECT_EQ(DrawDiscRings(*disc), (std::vector<std::string>{"R*G", "BY.", ".G.", "..."}));
}

TEST(DiscGroups, AnalysisCountsGroupsOfTwoOrMoreAndLogsThem) {
  StartLogCapture();
  auto disc = DrawDisc({"RRRRR.GGG.BBBBY.KK"});
  disc->GemAt(0, 17).state = GemState::Placed;  // only Settled gems group
  GroupStats stats;
  disc->AnalyseGroups(stats);
  EXPECT_EQ(stats.smallest, 3u);
  EXPECT_EQ(stats.largest, 5u);
  EXPECT_EQ(stats.groupCount, 3u);
  EXPECT_EQ(stats.gemsInGroups, 12u);
  EXPECT_FLOAT_EQ(stats.ratio, 12.0f / 15.0f);
  ASSERT_EQ(stats.groups.size(), 3u);
  EXPECT_EQ(stats.groups[1].column, 6);
  EXPECT_EQ(stats.groups[1].size, 3u);
  const std::vector<std::string> expected = {
      "Smallest Group = 3",  "Largest Group  = 5",  "Num Groups     = 3",        "Gems in Groups = 12",
      "Gems in Puzzle = 15", "Gems Possible  = 18", "Actual Ratio   = 0.800000",
  };
  EXPECT_EQ(LogLinesOf(kLogDBG), expected);
  // Members of groups of two or more are marked for good.
  EXPECT_TRUE(disc->GemAt(0, 0).grouped);
  EXPECT_FALSE(disc->GemAt(0, 14).grouped);
}

TEST(DiscGroups, ADiscWithoutGroupsStopsGenerationAtOnce) {
  StartLogCapture();
  auto disc = DrawDisc({"RGBY", "...."});
  GroupStats stats;
  disc->AnalyseGroups(stats);
  EXPECT_EQ(LogLinesOf(kLogDBG)[0], "Smallest Group = -1");
  disc->GenerateGroups(1.0f, 100, 100);
  EXPECT_EQ(DrawDiscRings(*disc), (std::vector<std::string>{"RGBY", "...."}));
  EXPECT_FLOAT_EQ(stats.ratio, 0.0f);
  CGPuzzleDisc empty(2, 3);
  empty.AnalyseGroups(stats);
  EXPECT_FLOAT_EQ(stats.ratio, 0.0f);
}

TEST(DiscGroups, GenerationStopsAtTheWantedRatioOrALimit) {
  struct Case {
    const char* name;
    float ratio;
    unsigned smallestLimit;
    unsigned largestLimit;
    const char* after;
  };
  const Case cases[] = {
      {"ratio 0 leaves the disc as built", 0.0f, 100, 100, "RRGBYO"},
      {"the smallest group has the limit's size", 1.0f, 2, 100, "RRGBYO"},
      {"the largest group has the limit's size", 1.0f, 100, 2, "RRGBYO"},
      {"a group at the limit is not grown", 1.0f, 100, 4, "RRGBRR"},
      {"one gem a pass until the ratio is met", 1.0f, 100, 100, "RRRRRR"},
      {"ratio two thirds", 0.6f, 100, 100, "RRGBRR"},
  };
  for (const Case& c : cases) {
    StartLogCapture();
    auto disc = DrawDisc({"RRGBYO"});
    disc->GenerateGroups(c.ratio, c.smallestLimit, c.largestLimit);
    EXPECT_EQ(DrawRing(*disc, 0), c.after) << c.name;
    // Every pass recoloured exactly one gem.
    int recoloured = 0;
    const std::string before = "RRGBYO";
    for (size_t i = 0; i < before.size(); ++i) recoloured += DrawRing(*disc, 0)[i] != before[i] ? 1 : 0;
    EXPECT_EQ(CountLines(LogLinesOf(kLogDBG), "Modified groups!"), recoloured) << c.name;
  }
}

TEST(DiscGroups, WhiteBlackAndGoldGroupsNeverGrowAndPairMembersAreNeverRecoloured) {
  StartLogCapture();
  const std::vector<std::string> drawn = {"WWR.KKR.AAR.RRYY"};
  auto disc = DrawDisc(drawn);
  disc->GenerateGroups(1.0f, 100, 100);
  EXPECT_EQ(DrawDiscRings(*disc), drawn);
  const std::vector<std::string> lines = LogLinesOf(kLogDBG);
  EXPECT_EQ(CountLines(lines, "Checking group 0 / 5..."), 1);
  EXPECT_EQ(CountLines(lines, "Found 2 matches."), 2);  // the Red and the Yellow pair
  EXPECT_EQ(CountLines(lines, "Modified groups!"), 0);
  EXPECT_EQ(CountLines(lines, "CGPuzzleDisc::GenerateGroups : Analysis Before..."), 1);
  EXPECT_EQ(CountLines(lines, "CGPuzzleDisc::GenerateGroups : Analysis After..."), 1);
}

TEST(DiscGroups, RandomDiscsGrowOneGemAPassUntilGenerationEnds) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    platform::SeedRandom(seed);
    CGPuzzleDisc disc(7, 40);
    for (int r = 0; r < 7; ++r) {
      for (int c = 0; c < 40; ++c) {
        if (platform::NextRandom() % 5 == 0) continue;  // a gap
        CGPuzzleGem& gem = disc.GemAt(r, c);
        gem.SetColour(platform::NextRandom() % kGemColourCount);
        gem.type = platform::NextRandom() % kGemTypeCount;
        gem.state = GemState::Settled;
      }
    }
    disc.Compact();
    GroupStats before;
    disc.AnalyseGroups(before);
    std::vector<int> colours;
    for (int r = 0; r < 7; ++r) {
      for (int c = 0; c < 40; ++c) colours.push_back(disc.GemAt(r, c).colour);
    }
    disc.GenerateGroups(0.95f, 1000, 1000);
    GroupStats after;
    disc.AnalyseGroups(after);
    int recoloured = 0;
    for (int r = 0; r < 7; ++r) {
      for (int c = 0; c < 40; ++c) {
        const CGPuzzleGem& gem = disc.GemAt(r, c);
        if (gem.colour == colours[r * 40 + c]) continue;
        ++recoloured;
        EXPECT_TRUE(gem.grouped);
        EXPECT_EQ(gem.state, GemState::Settled);
      }
    }
    EXPECT_GT(recoloured, 0) << seed;
    EXPECT_GT(after.ratio, before.ratio) << seed;
    // It ended because the ratio was met or because no single gem was left
    // beside a group that may grow: then another run changes nothing.
    if (after.ratio < 0.95f) {
      const std::vector<std::string> generated = DrawDiscRings(disc);
      disc.GenerateGroups(0.95f, 1000, 1000);
      EXPECT_EQ(DrawDiscRings(disc), generated) << seed;
    }
  }
}

}  // namespace
