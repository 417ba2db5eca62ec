#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "physics/mesh/dgGeometryUtils.h"

namespace {

using Key = std::tuple<int, int, int>;

TEST(PhysicsGeometry, MinMaxOfStridedVertices) {
  const float vertices[] = {1, 5, -2, 99, -3, 0, 4, 99, 2, -1, 0, 99};
  dgVector minCorner;
  dgVector maxCorner;
  dgGetMinMax(minCorner, maxCorner, vertices, 3, 16);
  EXPECT_EQ(minCorner, dgVector(-3, -1, -2, 1));
  EXPECT_EQ(maxCorner, dgVector(2, 5, 4, 1));
  // A stride that is not a multiple of 4 is rounded down.
  dgGetMinMax(minCorner, maxCorner, vertices, 2, 17);
  EXPECT_EQ(maxCorner, dgVector(1, 5, 4, 1));
  dgGetMinMax(minCorner, maxCorner, vertices, 0, 16);
  EXPECT_EQ(minCorner, dgVector(0, 0, 0, 1));
  EXPECT_TRUE(dgCpuHasSSE());
}

TEST(PhysicsWeld, ToleranceAndExactWordsTable) {
  struct Case {
    const char* name;
    std::vector<float> vertices;  // 4 floats each: x, y, z, tag
    int compared;
    int exact;
    float tolerance;
    int expected;
  };
  const Case cases[] = {
      {"0.00005 apart, tolerance 0: welded", {0, 0, 0, 0, 0.00005f, 0, 0, 0}, 12, 0, 0.0f, 1},
      {"0.0002 apart, tolerance 0: distinct", {0, 0, 0, 0, 0.0002f, 0, 0, 0}, 12, 0, 0.0f, 2},
      {"equal positions, different exact word", {1, 2, 3, 5, 1, 2, 3, 6}, 12, 4, 0.01f, 2},
      {"equal positions, equal exact word", {1, 2, 3, 5, 1, 2, 3, 5}, 12, 4, 0.01f, 1},
      {"tag compared with tolerance", {1, 2, 3, 5, 1, 2, 3, 5.005f}, 16, 0, 0.01f, 1},
      {"tag ignored", {1, 2, 3, 5, 1, 2, 3, 6}, 12, 0, 0.01f, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<float> vertices = c.vertices;
    std::vector<int> indices(vertices.size() / 4, -1);
    EXPECT_EQ(dgWeldVertices(vertices.data(), 16, c.compared, c.exact, static_cast<int>(indices.size()),
                             indices.data(), c.tolerance),
              c.expected);
    for (int index : indices) EXPECT_TRUE(index >= 0 && index < c.expected);
  }
}

TEST(PhysicsWeld, RefusesBadLayoutsAndLeavesArrayUntouched) {
  struct Case {
    int stride;
    int compared;
    int exact;
  };
  const Case cases[] = {{8, 8, 0}, {12, 8, 0}, {16, 8, 0}, {12, 12, 4}, {16, 16, 4}, {16, -4, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stride * 100 + c.compared * 10 + c.exact);
    float vertices[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    int indices[2] = {-7, -7};
    EXPECT_EQ(dgWeldVertices(vertices, c.stride, c.compared, c.exact, 2, indices, 0.1f), 0);
    EXPECT_EQ(indices[0], -7);
    for (float v : vertices) EXPECT_EQ(v, 1.0f);
  }
  float vertices[3] = {0, 0, 0};
  int index = 0;
  EXPECT_EQ(dgWeldVertices(vertices, 12, 12, 0, 0, &index, 0.1f), 0);
  EXPECT_EQ(dgWeldVertices(nullptr, 12, 12, 0, 1, &index, 0.1f), 0);
}

TEST(PhysicsWeld, CubeCornersWeldToEightInSortOrder) {
  const float corners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                               {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
  const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                            {2, 3, 7}, {2, 7, 6}, {1, 2, 6}, {1, 6, 5}, {0, 4, 7}, {0, 7, 3}};
  std::vector<float> vertices;
  std::vector<int> corner;
  for (const auto& face : faces) {
    for (int k : face) {
      for (int axis = 0; axis < 3; ++axis) vertices.push_back(corners[k][axis]);
      corner.push_back(k);
    }
  }
  std::vector<int> indices(36, -1);
  ASSERT_EQ(dgWeldVertices(vertices.data(), 12, 12, 0, 36, indices.data(), 0.001f), 8);
  for (int i = 0; i < 36; ++i) {
    for (int j = 0; j < 36; ++j) EXPECT_EQ(indices[i] == indices[j], corner[i] == corner[j]);
    // The unique vertex of each corner lies on that corner.
    for (int axis = 0; axis < 3; ++axis)
      EXPECT_NEAR(vertices[static_cast<size_t>(indices[i]) * 3 + axis], corners[corner[i]][axis], 0.001f);
  }
  // The unique vertices follow the sort axis (y, as the spreads tie).
  for (int i = 1; i < 8; ++i) EXPECT_LE(vertices[static_cast<size_t>(i - 1) * 3 + 1], vertices[static_cast<size_t>(i) * 3 + 1]);
}

// Checks a weld of lattice points with tiny noise against grouping by lattice cell.
void CheckAgainstLattice(const std::vector<Key>& cells, float noise, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> jitter(-noise, noise);
  const int count = static_cast<int>(cells.size());
  std::vector<float> vertices;
  for (const Key& cell : cells) {
    vertices.push_back(std::get<0>(cell) + jitter(random));
    vertices.push_back(std::get<1>(cell) + jitter(random));
    vertices.push_back(std::get<2>(cell) + jitter(random));
  }
  const std::vector<float> original = vertices;
  std::map<Key, int> distinct;
  for (const Key& cell : cells) distinct.emplace(cell, 0);

  std::vector<int> indices(cells.size(), -1);
  const int unique = dgWeldVertices(vertices.data(), 12, 12, 0, count, indices.data(), 0.001f);
  ASSERT_EQ(unique, static_cast<int>(distinct.size()));
  std::map<Key, int> indexOfCell;
  std::vector<int> used(static_cast<size_t>(unique), 0);
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(indices[i] >= 0 && indices[i] < unique);
    auto [it, fresh] = indexOfCell.emplace(cells[i], indices[i]);
    ASSERT_EQ(it->second, indices[i]) << "one cell welded to two vertices";
    used[indices[i]] = 1;
    for (int axis = 0; axis < 3; ++axis)
      ASSERT_NEAR(vertices[static_cast<size_t>(indices[i]) * 3 + axis], original[static_cast<size_t>(i) * 3 + axis],
                  0.0011f);
  }
  EXPECT_EQ(std::count(used.begin(), used.end(), 1), unique) << "two cells welded together";
}

TEST(PhysicsWeld, SmallSetMatchesLatticeGrouping) {
  std::mt19937 random(3);
  std::vector<Key> cells;
  for (int i = 0; i < 3000; ++i) cells.emplace_back(random() % 12, random() % 12, random() % 12);
  CheckAgainstLattice(cells, 0.0001f, 4);
}

TEST(PhysicsWeld, LargeSetTakesTheSplitPathAndMatchesLatticeGrouping) {
  std::mt19937 random(8);
  std::vector<Key> cells;
  for (int i = 0; i < 120000; ++i) cells.emplace_back(random() % 70, random() % 70, random() % 70);
  CheckAgainstLattice(cells, 0.0001f, 9);
}

TEST(PhysicsWeld, HundredThousandIdenticalVerticesWeldToOne) {
  const int count = 100000;
  std::vector<float> vertices(static_cast<size_t>(count) * 3, 2.5f);
  std::vector<int> indices(count, -1);
  ASSERT_EQ(dgWeldVertices(vertices.data(), 12, 12, 0, count, indices.data(), 0.0f), 1);
  EXPECT_EQ(std::count(indices.begin(), indices.end(), 0), count);
}

TEST(PhysicsWeld, NonFiniteVerticesStayApartAndTerminate) {
  std::vector<float> vertices = {NAN, 0, 0, NAN, 0, 0, INFINITY, 1, 1, INFINITY, 1, 1, 0, 0, 0};
  std::vector<int> indices(5, -1);
  const int unique = dgWeldVertices(vertices.data(), 12, 12, 0, 5, indices.data(), 0.01f);
  EXPECT_EQ(unique, 5);  // inf - inf and NaN differences never fall within tolerance
  for (int index : indices) EXPECT_TRUE(index >= 0 && index < unique);
}

}  // namespace
