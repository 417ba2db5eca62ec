#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/scene/model/TextScanner.h"

namespace {

TextScanner Over(const std::string& text) { return TextScanner(std::vector<uint8_t>(text.begin(), text.end())); }

TEST(TextScanner, BoneLineReadsEveryField) {
  TextScanner scan = Over("[RBONE]  Hips [C] 2 [P] [1.5,-2,3e1] [R] (quat 0 0 0.5 1)\n[S] [1,1,1]\nnext");
  std::string name;
  uint32_t children = 0;
  float v[10] = {};
  const int stored = scan.Scan("[RBONE] %s [C] %u [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]\n", &name,
                               &children, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9]);
  EXPECT_EQ(stored, 12);
  EXPECT_EQ(name, "Hips");
  EXPECT_EQ(children, 2u);
  EXPECT_FLOAT_EQ(v[0], 1.5f);
  EXPECT_FLOAT_EQ(v[1], -2.0f);
  EXPECT_FLOAT_EQ(v[2], 30.0f);
  EXPECT_FLOAT_EQ(v[5], 0.5f);
  std::string rest;
  EXPECT_EQ(scan.Scan("%s", &rest), 1);
  EXPECT_EQ(rest, "next");
}

// Like a formatted stream read: a mismatch stops the scan at the character
// that failed and leaves it for the next scan.
TEST(TextScanner, MismatchAndEndBehaveLikeStreamInput) {
  struct Case {
    const char* text;
    const char* format;
    int stored;
    const char* left;  // what a following "%s" reads
  };
  const Case cases[] = {
      {"[END]", "[RBONE] %s", 0, "END]"},
      {"[NFRAMES]7f x", "[NFRAMES]%df", 1, "x"},
      {"[NFRAMES]abc", "[NFRAMES]%d", 0, "abc"},
      {"[C] -", "[C] %d", 0, "-"},
      {"12.5f tail", "%f", 1, "f"},
  };
  for (const Case& c : cases) {
    TextScanner scan = Over(c.text);
    int32_t i = 0;
    float f = 0;
    std::string s;
    const bool isFloat = std::string(c.format) == "%f";
    const bool isWord = std::string(c.format).find("%s") != std::string::npos;
    const int stored = isFloat ? scan.Scan(c.format, &f) : isWord ? scan.Scan(c.format, &s) : scan.Scan(c.format, &i);
    EXPECT_EQ(stored, c.stored) << c.text;
    std::string left;
    scan.Scan("%s", &left);
    EXPECT_EQ(left, c.left) << c.text;
  }
  int32_t value = 0;
  TextScanner empty = Over("   \n");
  EXPECT_EQ(empty.Scan("%d", &value), -1);
}

TEST(TextScanner, HostileNumbersAndWordsStayBounded) {
  TextScanner scan = Over("99999999999999999999 -1 " + std::string(600, 'w') + std::string("\0hidden", 7));
  int32_t big = 0;
  uint32_t wrapped = 0;
  std::string word, rest, hidden;
  EXPECT_EQ(scan.Scan("%d %u %s%s", &big, &wrapped, &word, &rest), 4);
  EXPECT_EQ(big, INT32_MAX);
  EXPECT_EQ(wrapped, 0xFFFFFFFFu);
  EXPECT_EQ(word.size(), TextScanner::kMaxWord);
  EXPECT_EQ(rest.size(), 600 - TextScanner::kMaxWord);
  // A NUL ends the text.
  EXPECT_EQ(scan.Scan("%s", &hidden), -1);
  EXPECT_EQ(scan.Remaining(), 0u);
}

// Floats read as the C library reads them in the "C" locale, without
// consulting the program's locale: "." is the decimal point, a comma ends
// the number, and values beyond a float's range saturate.
TEST(TextScanner, FloatsReadAsInTheCLocale) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    std::string text;
    int stored;
    float value;
    const char* left;  // what a following "%s" reads
  } cases[] = {
      {"+1.5 x", 1, 1.5f, "x"},   {"-.25 x", 1, -0.25f, "x"},
      {"5. x", 1, 5.0f, "x"},     {"1,5", 1, 1.0f, ",5"},
      {"2.5e1x", 1, 25.0f, "x"},  {"1e39 x", 1, inf, "x"},
      {"-1e400 x", 1, -inf, "x"}, {"1" + std::string(60, '0') + " x", 1, inf, "x"},
      {"1e-60 x", 1, 0.0f, "x"},  {"0." + std::string(400, '0') + "1e350 x", 1, 0.0f, "x"},
      {"+-1", 0, 7.0f, "+-1"},    {"infinity x", 1, inf, "x"},
  };
  for (const auto& c : cases) {
    TextScanner scan = Over(c.text);
    float value = 7.0f;
    EXPECT_EQ(scan.Scan("%f", &value), c.stored) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    std::string left;
    scan.Scan("%s", &left);
    EXPECT_EQ(left, c.left) << c.text;
  }
  float value = 0.0f;
  EXPECT_EQ(Over("nan").Scan("%f", &value), 1);
  EXPECT_TRUE(std::isnan(value));
}

}  // namespace
