// The angular grid's cell angles: its table and approximate angles must
// give exactly what the trigonometric formula gives, bit for bit, also
// for directions on and right beside the cell borders, where the two
// could part.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "physics/shapes/dgAngularGrid.h"

namespace {

// The formula the grid stands for: the cell's angle and its sine and cosine.
void Reference(float angle, const dgAngularGrid& grid, float& outSin, float& outCos) {
  const float cellAngle = std::floor(angle * grid.invStep) * grid.step;
  outSin = std::sin(cellAngle);
  outCos = std::cos(cellAngle);
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Sines on, and a few ulp either side of, every cell border, and random ones.
std::vector<float> Sines(const dgAngularGrid& grid, std::mt19937& random) {
  std::vector<float> sines = {0.0f, -0.0f, 1.0f, -1.0f};
  for (int k = -300; k <= 300; ++k) {
    float s = std::sin(static_cast<float>(k) * grid.step);
    if (std::fabs(static_cast<float>(k) * grid.step) > 1.5707964f) continue;
    for (int i = 0; i < 4; ++i) s = std::nextafter(s, -2.0f);
    for (int i = 0; i < 9; ++i, s = std::nextafter(s, 2.0f)) sines.push_back(s);
  }
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  for (int i = 0; i < 20000; ++i) sines.push_back(unit(random));
  return sines;
}

// Directions (y, x) on, and a few ulp beside, every cell border, the axes
// with both signed zeros, and random ones.
std::vector<std::pair<float, float>> Directions(const dgAngularGrid& grid, std::mt19937& random) {
  std::vector<std::pair<float, float>> directions;
  for (float y : {0.0f, -0.0f, 1.0f, -1.0f}) {
    for (float x : {0.0f, -0.0f, 1.0f, -1.0f}) directions.emplace_back(y, x);
  }
  for (int k = -600; k <= 600; ++k) {
    const float angle = static_cast<float>(k) * grid.step;
    if (std::fabs(angle) > 3.1415927f) continue;
    const float y = std::sin(angle);
    const float x = std::cos(angle);
    for (int dy = -3; dy <= 3; ++dy) {
      for (int dx = -3; dx <= 3; ++dx) {
        float ny = y;
        float nx = x;
        for (int i = 0; i < std::abs(dy); ++i) ny = std::nextafter(ny, dy < 0 ? -2.0f : 2.0f);
        for (int i = 0; i < std::abs(dx); ++i) nx = std::nextafter(nx, dx < 0 ? -2.0f : 2.0f);
        directions.emplace_back(ny, nx);
      }
    }
  }
  std::normal_distribution<float> normal(0.0f, 1.0f);
  for (int i = 0; i < 20000; ++i) directions.emplace_back(normal(random), normal(random));
  return directions;
}

}  // namespace

TEST(AngularGrid, CellAnglesMatchTheTrigonometricFormulaBitForBit) {
  // Step counts 128, 256, 307 (not a multiple of four), 512 and 1024.
  for (const float radius : {0.3f, 1.0f, 1.2f, 2.0f, 4.0f}) {
    SCOPED_TRACE(radius);
    const dgAngularGrid grid(radius);
    std::mt19937 random(5);
    int mismatches = 0;
    for (const float sine : Sines(grid, random)) {
      float s, c, expectedS, expectedC;
      grid.LatitudeSinCos(sine, s, c);
      Reference(std::asin(sine), grid, expectedS, expectedC);
      if (!SameBits(s, expectedS) || !SameBits(c, expectedC)) {
        if (++mismatches < 5) ADD_FAILURE() << "latitude of sine " << sine;
      }
    }
    for (const auto& [y, x] : Directions(grid, random)) {
      float s, c, expectedS, expectedC;
      grid.LongitudeSinCos(y, x, s, c);
      Reference(std::atan2(y, x), grid, expectedS, expectedC);
      if (!SameBits(s, expectedS) || !SameBits(c, expectedC)) {
        if (++mismatches < 5) ADD_FAILURE() << "longitude of (" << y << ", " << x << ")";
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(AngularGrid, NonFiniteAnglesTakeTheFormula) {
  const dgAngularGrid grid(1.0f);
  const float nan = std::nanf("");
  const float inf = INFINITY;
  float s, c;
  grid.LatitudeSinCos(nan, s, c);
  EXPECT_TRUE(std::isnan(s) && std::isnan(c));
  grid.LongitudeSinCos(nan, 1.0f, s, c);
  EXPECT_TRUE(std::isnan(s) && std::isnan(c));
  for (const auto& [y, x] : {std::pair{inf, 1.0f}, std::pair{-inf, inf}, std::pair{1.0f, -inf}}) {
    float expectedS, expectedC;
    grid.LongitudeSinCos(y, x, s, c);
    Reference(std::atan2(y, x), grid, expectedS, expectedC);
    EXPECT_TRUE(SameBits(s, expectedS) && SameBits(c, expectedC)) << y << " " << x;
  }
}
