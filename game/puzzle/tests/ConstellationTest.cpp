#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "game/puzzle/Constellation.h"
#include "game/puzzle/GalacticPlane.h"
#include "platform/FileSystem.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

constexpr const char* kLyra =
    "[NAME] Lyra\n"
    "[SILOHUETTE] LyraShape\n"
    "[OUTLINE] LyraLines\n"
    "[SYMBOL] harp\n"
    "\t[STAR] (1,1) 0 5:00\n"  // before the count: no star to fill
    "[STARS] 3\n"
    "\t[STAR] (128,64) 1.0 2:30\n"
    "\t[STAR] (256,0) 0.5 0:10\n"
    "\t[STAR] (junk\n"  // does not scan: skipped
    "\t[STAR] (0,256) 0 1:00\n"
    "\t[STAR] (9,9) 0 9:00\n"  // beyond the count
    "[END]\n";

// Writes text under the working folder's challenge boards.
void WriteBoardText(const std::string& name, const std::string& text) {
  platform::MakeFolder("Resources");
  platform::MakeFolder("Resources/Boards");
  platform::MakeFolder("Resources/Boards/Challenge");
  std::ofstream("Resources/Boards/Challenge/" + name, std::ios::binary) << text;
}

std::string WithCrlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "  \r";
    out += c;
  }
  return out;
}

class ConstellationFiles : public ::testing::Test {
 protected:
  bool Read(const std::string& text) {
    WriteBoardText("Test.definition.txt", text);
    return record_.Read("Resources/Boards/Challenge/Test.definition.txt");
  }
  GameFixture fixture_;
  Constellation record_;
};

TEST_F(ConstellationFiles, ADefinitionGivesItsNameImagesAndTheDeclaredStars) {
  ASSERT_TRUE(Read(kLyra));
  EXPECT_STREQ(record_.name.Chars(), "Lyra");
  EXPECT_NE(record_.silhouette, nullptr);
  EXPECT_NE(record_.outline, nullptr);
  EXPECT_NE(record_.completedStarMaterial, nullptr);
  EXPECT_NE(record_.sprite, nullptr);
  ASSERT_EQ(record_.starCount, 3u);
  ASSERT_EQ(record_.stars.size(), 3u);
  const float expected[3][3] = {{0.5f, 0.25f, 150.0f}, {1.0f, 0.0f, 10.0f}, {0.0f, 1.0f, 60.0f}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(record_.stars[i].position.x, expected[i][0]) << i;
    EXPECT_FLOAT_EQ(record_.stars[i].position.y, expected[i][1]) << i;
    EXPECT_FLOAT_EQ(record_.stars[i].parSeconds, expected[i][2]) << i;
    EXPECT_NE(record_.stars[i].flipbook, nullptr) << i;
  }
  EXPECT_FLOAT_EQ(record_.parTotalSeconds, 220.0f);

  // A CRLF copy with trailing blanks names the same things.
  CMATMaterial* silhouette = record_.silhouette;
  ASSERT_TRUE(Read(WithCrlf(kLyra)));
  EXPECT_STREQ(record_.name.Chars(), "Lyra");
  EXPECT_EQ(record_.silhouette, silhouette);
  EXPECT_EQ(record_.starCount, 3u);
  EXPECT_FLOAT_EQ(record_.parTotalSeconds, 220.0f);
}

TEST_F(ConstellationFiles, DamagedDefinitionsAreRefusedOrCutWithoutHarm) {
  struct Case {
    const char* what;
    std::string text;
    bool result;
    uint32_t stars;
    size_t nameLength;
  };
  const std::string longName(2000, 'n');
  const Case cases[] = {
      {"no [END] keeps what was read", "[NAME] Vega\n[STARS] 1\n\t[STAR] (1,2) 0 0:30\n", false, 1, 4},
      {"a huge count is refused whole", "[NAME] Vega\n[STARS] 2000000000\n\t[STAR] (1,2) 0 0:30\n[END]\n", false, 0, 0},
      {"a count past the board's discs", "[STARS] 65\n[END]\n", false, 0, 0},
      {"the largest count a board allows", "[STARS] 64\n[END]\n", true, 64, 0},
      {"a repeated count is ignored", "[STARS] 2\n[STARS] 5\n\t[STAR] (1,2) 0 0:30\n[END]\n", true, 2, 0},
      {"a negative count leaves no stars", "[STARS] -4\n\t[STAR] (1,2) 0 0:30\n[END]\n", true, 0, 0},
      {"an over-long name is cut", "[NAME] " + longName + "\n[END]\n", true, 0, 255},
      {"garbage", std::string("\x01\xff[STA\0RS]\n(((\n", 15), false, 0, 0},
      {"empty", "", false, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.text), c.result) << c.what;
    EXPECT_EQ(record_.starCount, c.stars) << c.what;
    EXPECT_EQ(record_.stars.size(), c.stars) << c.what;
    EXPECT_EQ(record_.name.Length(), c.nameLength) << c.what;
  }
  EXPECT_FALSE(record_.Read("Resources/Boards/Challenge/Missing.definition.txt"));
  EXPECT_EQ(record_.sprite, nullptr);
  EXPECT_FLOAT_EQ(record_.size.x, 15.0f);
}

TEST_F(ConstellationFiles, AListReadsEachDefinitionAndGoesOnPastAMissingOne) {
  WriteBoardText("Lyra.definition.txt", kLyra);
  WriteBoardText("Orion.definition.txt", WithCrlf("[NAME] Orion\n[STARS] 1\n\t[STAR] (0,0) 0 1:00\n[END]\n"));
  WriteBoardText("Huge.definition.txt", "[NAME] Huge\n[STARS] 99999\n[END]\n");
  WriteBoardText("List.txt", WithCrlf("[CONSTELLATIONS] 4\n[CONSTELLATIONS] 40\n[CONSTELLATION] Lyra\n"
                                      "[CONSTELLATION] Nowhere\n[CONSTELLATION] Huge\n[CONSTELLATION] Orion\n"
                                      "[CONSTELLATION] Lyra\n[END]\n"));
  GalacticPlane plane;
  ASSERT_TRUE(plane.ReadConstellations("Resources/Boards/Challenge/List.txt"));
  ASSERT_EQ(plane.constellationCount, 4u);
  ASSERT_EQ(plane.constellations.size(), 4u);
  const char* names[] = {"Lyra", "", "", "Orion"};
  const uint32_t stars[] = {3, 0, 0, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(plane.constellations[i].name.Chars(), names[i]) << i;
    EXPECT_EQ(plane.constellations[i].starCount, stars[i]) << i;
  }

  WriteBoardText("List.txt", "[CONSTELLATIONS] 100000000\n[CONSTELLATION] Lyra\n[END]\n");
  EXPECT_FALSE(plane.ReadConstellations("Resources/Boards/Challenge/List.txt"));
  EXPECT_TRUE(plane.constellations.empty());
  EXPECT_EQ(plane.constellationCount, 0u);
  EXPECT_FALSE(plane.ReadConstellations("Resources/Boards/Challenge/NoList.txt"));
}

}  // namespace

namespace {

TEST(ConstellationMotion, CompletingAStarPansTheViewToTheNextInOneSecond) {
  Constellation record;
  record.stars.resize(2);
  record.starCount = 2;
  record.stars[0].position = Vector2(0.0f, 0.0f);
  record.stars[1].position = Vector2(1.0f, 0.5f);
  record.CompleteStar();
  EXPECT_EQ(record.completed, 1u);
  EXPECT_FALSE(record.PanToCurrentStar(0.5f));
  EXPECT_GT(record.viewCentre.x, 7.5f);
  EXPECT_LT(record.viewCentre.x, 15.0f);
  EXPECT_TRUE(record.PanToCurrentStar(0.5f));
  EXPECT_FLOAT_EQ(record.viewCentre.x, 15.0f);
  EXPECT_FLOAT_EQ(record.viewCentre.z, 7.5f);
  EXPECT_FLOAT_EQ(record.panStart.x, 15.0f);

  // With every star complete there is no star to pan to.
  record.CompleteStar();
  EXPECT_TRUE(record.PanToCurrentStar(0.5f));
  EXPECT_FLOAT_EQ(record.viewCentre.x, 15.0f);
}

TEST(ConstellationMotion, CompletedStarsTwinkleThroughSixCellsOfAThreeByTwoGrid) {
  Constellation record;
  record.stars.resize(3);
  record.starCount = 3;
  record.completed = 5;  // more than the stars: only the three light up
  record.UpdateCompletedStars(0.1f);
  for (const ConstellationStar& star : record.stars) {
    ASSERT_NE(star.flipbook, nullptr);
    EXPECT_TRUE(star.flipbook->active);
    EXPECT_EQ(star.flipbook->columns, 3u);
    EXPECT_EQ(star.flipbook->rows, 2u);
    EXPECT_FLOAT_EQ(star.flipbook->frame.maximum, 6.0f);
    EXPECT_EQ(star.flipbook->frame.mode, ValueStepper::kWrap);
  }
}

}  // namespace
