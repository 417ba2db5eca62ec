#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "physics/memory/dgMemory.h"
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
    EXPECT_EQ(dgWeldVertices(vertices.data(), 16, c.compared, c.exact, static_cast<int>(indices.size()), indices.data(),
                             c.tolerance),
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
  for (int i = 1; i < 8; ++i)
    EXPECT_LE(vertices[static_cast<size_t>(i - 1) * 3 + 1], vertices[static_cast<size_t>(i) * 3 + 1]);
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

TEST(PhysicsWeld, ChainsWeldGreedilyInSweepOrderAndCopiesFollowTheirFirst) {
  // Along x each vertex lies within tolerance of the next, not of the one
  // after: the first keeps its place and claims its neighbour, the third
  // starts the next group. Exact copies go where their first occurrence goes.
  std::vector<float> vertices = {0.0024f, 0,       0, 0.0008f, 0,       0, 0.0016f, 0, 0, 0, 0,
                                 0,       0.0008f, 0, 0,       0.0024f, 0, 0,       5, 0, 0};
  std::vector<int> indices(7, -1);
  std::vector<unsigned char> moved(7, 9);
  ASSERT_EQ(dgWeldVertices(vertices.data(), 12, 12, 0, 7, indices.data(), 0.001f, moved.data()), 3);
  EXPECT_EQ(indices, (std::vector<int>{1, 0, 1, 0, 0, 1, 2}));
  // Those now standing where another vertex stood have moved.
  EXPECT_EQ(moved, (std::vector<unsigned char>{1, 1, 0, 0, 1, 1, 0}));
  EXPECT_EQ(std::vector<float>(vertices.begin(), vertices.begin() + 9),
            (std::vector<float>{0, 0, 0, 0.0016f, 0, 0, 5, 0, 0}));
}

// The weld as the plain sweep describes it: sort along the axis of largest
// spread (stable, NaN last); each vertex not yet claimed keeps its place and
// claims every later unclaimed one within tolerance, looking no further
// along the axis than its window reaches.
int ReferenceSweep(std::vector<float>& vertices, int words, int compared, int exact, std::vector<int>& indices,
                   float tolerance) {
  const int count = static_cast<int>(vertices.size()) / words;
  const auto at = [&](int i, int k) { return vertices[static_cast<size_t>(i) * words + k]; };
  double sum[3] = {}, squares[3] = {}, spread[3];
  for (int i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) {
      sum[k] += at(i, k);
      squares[k] += static_cast<double>(at(i, k)) * at(i, k);
    }
  }
  for (int k = 0; k < 3; ++k) spread[k] = count * squares[k] - sum[k] * sum[k];
  int axis = 0;
  if (spread[1] >= spread[0] && spread[1] >= spread[2])
    axis = 1;
  else if (spread[2] >= spread[0] && spread[2] >= spread[1])
    axis = 2;
  std::vector<int> order(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return !std::isnan(at(a, axis)) && (std::isnan(at(b, axis)) || at(a, axis) < at(b, axis));
  });
  const float widened = tolerance + 0.0001f;
  const auto duplicate = [&](int a, int b) {
    for (int k = 0; k < compared; ++k) {
      if (!(std::fabs(at(a, k) - at(b, k)) < widened)) return false;
    }
    return std::memcmp(&vertices[static_cast<size_t>(a) * words + compared],
                       &vertices[static_cast<size_t>(b) * words + compared], sizeof(float) * exact) == 0;
  };
  std::vector<int> mark(static_cast<size_t>(count), -1);
  std::vector<float> kept;
  for (int i = 0; i < count; ++i) {
    if (mark[i] != -1) continue;
    const int unique = static_cast<int>(kept.size()) / words;
    mark[i] = unique;
    const float limit = at(order[i], axis) + 2.0f * widened + 0.0001f;
    for (int j = i + 1; j < count; ++j) {
      if (mark[j] != -1) continue;
      if (at(order[j], axis) >= limit) break;
      if (duplicate(order[i], order[j])) mark[j] = unique;
    }
    kept.insert(kept.end(), &vertices[static_cast<size_t>(order[i]) * words],
                &vertices[static_cast<size_t>(order[i]) * words] + words);
  }
  for (int i = 0; i < count; ++i) indices[order[i]] = mark[i];
  std::copy(kept.begin(), kept.end(), vertices.begin());
  return static_cast<int>(kept.size()) / words;
}

TEST(PhysicsWeld, SeededSetsWeldAsThePlainSweep) {
  // Clusters of near and exact copies, on a few layouts, with stray NaN,
  // infinite and far-out values.
  std::mt19937 random(12);
  for (int set = 0; set < 300; ++set) {
    SCOPED_TRACE(set);
    const int words = 3 + set % 2;
    const int compared = set % 3 == 2 ? 2 : 3;
    const int exact = words - compared;
    const int count = 1 + static_cast<int>(random() % 300);
    const int sources = 1 + static_cast<int>(random() % count);
    std::vector<float> source(static_cast<size_t>(sources) * words);
    for (float& v : source) {
      const int kind = static_cast<int>(random() % 100);
      v = static_cast<float>(random() % 6) * (set % 7 == 0 ? 40000.0f : 0.002f);
      if (kind == 0) v = NAN;
      if (kind == 1) v = INFINITY;
    }
    std::vector<float> vertices;
    for (int i = 0; i < count; ++i) {
      const float* from = &source[(random() % sources) * words];
      for (int k = 0; k < words; ++k) {
        const bool nudge = k < compared && random() % 4 == 0;
        vertices.push_back(from[k] + (nudge ? static_cast<float>(random() % 9) * 0.0003f : 0.0f));
      }
    }
    std::vector<float> expected = vertices;
    std::vector<int> expectedIndices(static_cast<size_t>(count));
    const int unique = ReferenceSweep(expected, words, compared, exact, expectedIndices, 0.001f);
    std::vector<int> indices(static_cast<size_t>(count), -1);
    ASSERT_EQ(dgWeldVertices(vertices.data(), 4 * words, 4 * compared, 4 * exact, count, indices.data(), 0.001f),
              unique);
    ASSERT_EQ(indices, expectedIndices);
    ASSERT_EQ(std::memcmp(vertices.data(), expected.data(), sizeof(float) * words * unique), 0);
  }
}

// Welds the vertices once as one array and once split into chunks of
// 1 << shift vertices: numbers, moved flags and kept vertices must agree.
void ExpectChunksWeldAsOneArray(const std::vector<float>& vertices, int words, int compared, int shift) {
  const int count = static_cast<int>(vertices.size()) / words;
  std::vector<float> whole = vertices;
  std::vector<int> wholeIndices(static_cast<size_t>(count), -1);
  std::vector<unsigned char> wholeMoved(static_cast<size_t>(count), 2);
  const int unique = dgWeldVertices(whole.data(), 4 * words, 4 * compared, 4 * (words - compared), count,
                                    wholeIndices.data(), 0.001f, wholeMoved.data());
  const int chunk = 1 << shift;
  std::vector<std::vector<float>> chunks;
  std::vector<const void*> table;
  for (int first = 0; first < count; first += chunk) {
    const int n = std::min(chunk, count - first);
    chunks.emplace_back(vertices.begin() + static_cast<long long>(first) * words,
                        vertices.begin() + static_cast<long long>(first + n) * words);
    table.push_back(chunks.back().data());
  }
  std::vector<int> indices(static_cast<size_t>(count), -1);
  std::vector<unsigned char> moved(static_cast<size_t>(count), 2);
  float* welded = nullptr;
  ASSERT_EQ(dgWeldVertexChunks(table.data(), shift, 4 * words, 4 * compared, 4 * (words - compared), count,
                               indices.data(), 0.001f, moved.data(), welded),
            unique);
  ASSERT_NE(welded, nullptr);
  EXPECT_EQ(indices, wholeIndices);
  EXPECT_EQ(moved, wholeMoved);
  EXPECT_EQ(std::memcmp(welded, whole.data(), sizeof(float) * words * unique), 0);
  dgFree(welded);
}

TEST(PhysicsWeld, ChunkedVerticesWeldAsOneArray) {
  std::mt19937 random(5);
  for (int set = 0; set < 40; ++set) {
    SCOPED_TRACE(set);
    const int words = 3 + set % 2;
    const int count = 1 + static_cast<int>(random() % 2000);
    std::vector<float> vertices(static_cast<size_t>(count) * words);
    for (float& v : vertices) v = static_cast<float>(random() % 8) * 0.0007f;
    ExpectChunksWeldAsOneArray(vertices, words, 3, set % 7);
  }
  // Enough vertices for the split path, in chunks the soup builder uses.
  std::vector<float> large;
  for (int i = 0; i < 130000; ++i) {
    for (int k = 0; k < 3; ++k) large.push_back(static_cast<float>(random() % 60) * 0.01f);
  }
  ExpectChunksWeldAsOneArray(large, 3, 3, 13);
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
