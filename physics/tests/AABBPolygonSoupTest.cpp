#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "physics/memory/dgReport.h"
#include "physics/shapes/dgSegmentQueries.h"
#include "physics/soup/dgAABBPolygonSoup.h"
#include "physics/soup/dgPolygonSoupBuilder.h"
#include "physics/soup/dgTreeCollision.h"

namespace {

using Node = dgAABBPolygonSoup::Node;

dgVector P(float x, float y, float z) { return dgVector(x, y, z, 1.0f); }

void AddTriangle(dgPolygonSoupDatabaseBuilder& builder, std::vector<float> xyz, int attribute = 0) {
  const int count = 3;
  const int indices[] = {0, 1, 2};
  ASSERT_TRUE(builder.AddMesh(xyz.data(), 3, 12, 1, &count, indices, &attribute, dgGetIdentityMatrix()));
}

// Positions (of the first vertex index) of the faces a query hands out, in order.
struct Visits {
  std::vector<int> positions;
  const int* base = nullptr;
  int stopAfter = -1;
};

int Visit(void* context, const float*, int stride, const int* indices, int) {
  auto& visits = *static_cast<Visits*>(context);
  EXPECT_EQ(stride, 12);
  visits.positions.push_back(static_cast<int>(indices - visits.base));
  return static_cast<int>(visits.positions.size()) == visits.stopAfter ? 0 : 1;
}

std::vector<int> BoxQuery(const dgAABBPolygonSoup& soup, const dgVector& p0, const dgVector& p1, int stopAfter = -1) {
  Visits visits;
  visits.base = soup.GetIndices();
  visits.stopAfter = stopAfter;
  soup.ForAllFacesInAABB(p0, p1, Visit, &visits);
  return visits.positions;
}

std::vector<int> RayQuery(const dgAABBPolygonSoup& soup, const dgVector& p0, const dgVector& p1) {
  Visits visits;
  visits.base = soup.GetIndices();
  soup.ForAllFacesInRay(p0, p1, Visit, &visits);
  return visits.positions;
}

// Every face as (position of its first vertex index, index count).
std::vector<std::pair<int, int>> AllFaces(const dgPolygonSoupDatabaseBuilder& builder) {
  std::vector<std::pair<int, int>> faces;
  for (int f = 0, at = 0; f < builder.GetFaceCount(); at += builder.GetFaceIndexCounts()[f], ++f) {
    faces.emplace_back(at + 1, builder.GetFaceIndexCounts()[f] - 1);
  }
  return faces;
}

TEST(PhysicsAABBSoup, TwoFacesMakeOneRootWithTwoLeaves) {
  dgPolygonSoupDatabaseBuilder builder;
  AddTriangle(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1}, 4);
  AddTriangle(builder, {0, 0, 0, 1, 0, 1, 0, 2, 1}, 5);
  dgAABBPolygonSoup soup;
  ASSERT_TRUE(soup.Create(builder));
  ASSERT_EQ(soup.GetNodeCount(), 1);
  const Node& root = soup.GetNodes()[0];
  EXPECT_EQ(root.left, 1u * 256 + 3 * 2 + 1);
  EXPECT_EQ(root.right, 5u * 256 + 3 * 2 + 1);
  EXPECT_EQ(soup.GetIndices()[4], 5);
  dgVector lo;
  dgVector hi;
  ASSERT_TRUE(soup.GetAABB(lo, hi));
  EXPECT_EQ(lo, P(-0.125f, -0.125f, -0.125f));
  EXPECT_EQ(hi, P(1.125f, 2.125f, 1.125f));
  EXPECT_EQ(soup.GetVertexCount(), 6);
  EXPECT_EQ(soup.GetVertexStride(), 12);
}

TEST(PhysicsAABBSoup, EqualMaximaOnTheSplitAxisLeaveOneFaceOnTheLeft) {
  dgPolygonSoupDatabaseBuilder builder;
  AddTriangle(builder, {0, 0, 0, 10, 0, 0, 10, 0, 1});
  AddTriangle(builder, {5, 0, 0, 10, 0, 0, 10, 0, 1});
  AddTriangle(builder, {8, 0, 0, 10, 0, 0, 10, 0, 1});
  dgAABBPolygonSoup soup;
  ASSERT_TRUE(soup.Create(builder));
  ASSERT_EQ(soup.GetNodeCount(), 2);
  const Node& root = soup.GetNodes()[0];
  EXPECT_TRUE(dgAABBPolygonSoup::IsLeaf(root.left));
  EXPECT_EQ(dgAABBPolygonSoup::LeafPosition(root.left), 1);
  ASSERT_FALSE(dgAABBPolygonSoup::IsLeaf(root.right));
  EXPECT_EQ(dgAABBPolygonSoup::ChildNode(root.right), 1);
  EXPECT_EQ(BoxQuery(soup, P(-100, -100, -100), P(100, 100, 100)), (std::vector<int>{1, 5, 9}));
}

TEST(PhysicsAABBSoup, MaximaThatRoundToOneHeapKeySplitAsTheHeapPopsThem) {
  // Far from the node's maximum, the heap keys 2 * 4000.125 - maximum of
  // the first two faces round to one value although their maxima differ:
  // the heap pops the first pushed, so its maximum splits and only the
  // second face (strictly below it) goes left.
  dgPolygonSoupDatabaseBuilder builder;
  AddTriangle(builder, {0, 0, 0, 0, 0, 1, 1.00001f, 0, 0.5f});
  AddTriangle(builder, {0, 0, 2, 0, 0, 3, 1, 0, 2.5f});
  AddTriangle(builder, {3999, 0, 0, 3999, 0, 1, 4000, 0, 0.5f});
  dgAABBPolygonSoup soup;
  ASSERT_TRUE(soup.Create(builder));
  const Node& root = soup.GetNodes()[0];
  ASSERT_TRUE(dgAABBPolygonSoup::IsLeaf(root.left));
  EXPECT_EQ(dgAABBPolygonSoup::LeafPosition(root.left), 5);
}

TEST(PhysicsAABBSoup, FewerThanTwoFacesBuildNothing) {
  dgPolygonSoupDatabaseBuilder builder;
  dgAABBPolygonSoup soup;
  ASSERT_TRUE(soup.Create(builder));
  AddTriangle(builder, {0, 0, 0, 1, 0, 0, 1, 0, 1});
  ASSERT_TRUE(soup.Create(builder));
  dgVector lo = P(5, 5, 5);
  dgVector hi = P(5, 5, 5);
  EXPECT_FALSE(soup.GetAABB(lo, hi));
  EXPECT_EQ(lo, dgVector());
  EXPECT_EQ(hi, dgVector());
  EXPECT_TRUE(BoxQuery(soup, P(-9, -9, -9), P(9, 9, 9)).empty());
  EXPECT_TRUE(RayQuery(soup, P(0.5f, 5, 0.2f), P(0.5f, -5, 0.2f)).empty());
}

class PhysicsAABBSoupRandom : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> where(0.0f, 50.0f);
    std::uniform_real_distribution<float> size(-2.0f, 2.0f);
    for (int i = 0; i < 300; ++i) {
      const float x = where(random);
      const float y = where(random);
      const float z = where(random);
      AddTriangle(builder_,
                  {x, y, z, x + size(random), y + size(random), z + size(random), x + size(random), y + size(random),
                   z + size(random)},
                  i);
    }
    ASSERT_TRUE(soup_.Create(builder_));
    faces_ = AllFaces(builder_);
  }

  std::set<int> BruteBox(const dgVector& p0, const dgVector& p1) const {
    std::set<int> found;
    for (const auto& [position, count] : faces_) {
      bool overlaps = true;
      for (int axis = 0; axis < 3; ++axis) {
        float lo = 1e10f;
        float hi = -1e10f;
        for (int i = 0; i < count; ++i) {
          const float v = builder_.GetVertices()[builder_.GetIndices()[position + i] * 3 + axis];
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
        overlaps = overlaps && hi >= p0[axis] && lo <= p1[axis];
      }
      if (overlaps) found.insert(position);
    }
    return found;
  }

  dgPolygonSoupDatabaseBuilder builder_;
  dgAABBPolygonSoup soup_;
  std::vector<std::pair<int, int>> faces_;
};

TEST_F(PhysicsAABBSoupRandom, BoxQueryFindsExactlyTheFacesWhoseBoxesOverlap) {
  std::mt19937 random(99);
  std::uniform_real_distribution<float> where(-5.0f, 55.0f);
  std::uniform_real_distribution<float> size(0.0f, 12.0f);
  int nonEmpty = 0;
  for (int q = 0; q < 200; ++q) {
    const dgVector p0 = P(where(random), where(random), where(random));
    const dgVector p1 = p0 + dgVector(size(random), size(random), size(random));
    const std::vector<int> found = BoxQuery(soup_, p0, p1);
    const std::set<int> unique(found.begin(), found.end());
    EXPECT_EQ(unique.size(), found.size());
    EXPECT_EQ(unique, BruteBox(p0, p1));
    nonEmpty += !found.empty();
  }
  EXPECT_GT(nonEmpty, 20);
  EXPECT_LT(nonEmpty, 190);
}

TEST_F(PhysicsAABBSoupRandom, BoxTouchingAFaceCountsAndAZeroResultStops) {
  const auto [position, count] = faces_[17];
  float top = -1e10f;
  for (int i = 0; i < count; ++i)
    top = std::max(top, builder_.GetVertices()[builder_.GetIndices()[position + i] * 3 + 1]);
  const std::vector<int> touching = BoxQuery(soup_, P(-100, top, -100), P(100, top + 1, 100));
  EXPECT_NE(std::find(touching.begin(), touching.end(), position), touching.end());

  EXPECT_EQ(BoxQuery(soup_, P(-100, -100, -100), P(100, 100, 100), 1).size(), 1u);
  EXPECT_EQ(BoxQuery(soup_, P(-100, -100, -100), P(100, 100, 100)).size(), faces_.size());
}

TEST_F(PhysicsAABBSoupRandom, SegmentQueryVisitsEveryFaceTheSegmentHits) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> where(-5.0f, 55.0f);
  int hits = 0;
  for (int q = 0; q < 300; ++q) {
    const dgVector p0 = P(where(random), where(random), where(random));
    const dgVector p1 = P(where(random), where(random), where(random));
    const std::vector<int> visited = RayQuery(soup_, p0, p1);
    const std::set<int> unique(visited.begin(), visited.end());
    EXPECT_EQ(unique.size(), visited.size());
    for (const auto& [position, count] : faces_) {
      float t = 0.0f;
      dgVector normal;
      const int* face = builder_.GetIndices() + position;
      if (dgRayCastPolygon(p0, p1, builder_.GetVertices(), 12, face, count, t, normal) ||
          dgRayCastPolygon(p1, p0, builder_.GetVertices(), 12, face, count, t, normal)) {
        ++hits;
        EXPECT_TRUE(unique.count(position)) << "segment " << q << " face " << position;
      }
    }
  }
  EXPECT_GT(hits, 10);
  EXPECT_TRUE(RayQuery(soup_, P(-50, -50, -50), P(-40, -50, -50)).empty());
  EXPECT_TRUE(RayQuery(soup_, P(10, 80, 10), P(20, 90, 20)).empty());
}

// Stream helpers.
void Write(void* handle, const void* data, size_t bytes) {
  auto& out = *static_cast<std::vector<unsigned char>*>(handle);
  out.insert(out.end(), static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + bytes);
}

struct Reader {
  const std::vector<unsigned char>* data;
  size_t at = 0;
  size_t limit;
};

size_t Read(void* handle, void* data, size_t bytes) {
  auto& reader = *static_cast<Reader*>(handle);
  const size_t n = std::min(bytes, reader.limit - reader.at);
  std::memcpy(data, reader.data->data() + reader.at, n);
  reader.at += n;
  return n;
}

bool Load(dgAABBPolygonSoup& soup, const std::vector<unsigned char>& bytes, size_t limit = SIZE_MAX) {
  Reader reader{&bytes, 0, std::min(limit, bytes.size())};
  return soup.Deserialize(Read, &reader);
}

template <class T>
void Put(std::vector<unsigned char>& out, const T& value) {
  Write(&out, &value, sizeof value);
}

// A stream of a chain tree: node i has face i on the left and node i + 1 on
// the right (the last node two faces). Face 0 has 127 corners on a circle.
std::vector<unsigned char> ChainStream(int nodeCount) {
  std::vector<float> vertices;
  std::vector<int> indices;
  std::vector<int> positions;
  for (int i = 0; i < 127; ++i) vertices.insert(vertices.end(), {std::cos(i * 0.0494f), 0, std::sin(i * 0.0494f)});
  indices.push_back(0);
  positions.push_back(1);
  for (int i = 0; i < 127; ++i) indices.push_back(i);
  for (int f = 1; f <= nodeCount; ++f) {
    const int base = static_cast<int>(vertices.size() / 3);
    const float x = 3.0f + f;
    vertices.insert(vertices.end(), {x, 0, 0, x + 0.5f, 0, 0, x, 0, 0.5f});
    indices.push_back(f);
    positions.push_back(static_cast<int>(indices.size()));
    indices.insert(indices.end(), {base, base + 2, base + 1});
  }
  std::vector<Node> nodes(nodeCount);
  for (int i = 0; i < nodeCount; ++i) {
    nodes[i] = Node{{-2, -1, -2}, {static_cast<float>(nodeCount + 5), 1, 2}, 0, 0};
    const int count = i == 0 ? 127 : 3;
    nodes[i].left = static_cast<uint32_t>(positions[i]) * 256 + count * 2 + 1;
    nodes[i].right = i + 1 < nodeCount ? static_cast<uint32_t>(i + 1) << 1
                                       : static_cast<uint32_t>(positions[nodeCount]) * 256 + 3 * 2 + 1;
  }
  std::vector<unsigned char> out;
  Put(out, static_cast<int32_t>(vertices.size() / 3));
  Write(&out, vertices.data(), vertices.size() * 4);
  Put(out, static_cast<int32_t>(indices.size()));
  Write(&out, indices.data(), indices.size() * 4);
  Put(out, static_cast<int32_t>(nodeCount));
  Write(&out, nodes.data(), nodes.size() * sizeof(Node));
  return out;
}

TEST_F(PhysicsAABBSoupRandom, SerializedSoupReadsBackAndAnswersTheSame) {
  std::vector<unsigned char> bytes;
  soup_.Serialize(Write, &bytes);
  const size_t expected =
      4 + soup_.GetVertexCount() * 12 + 4 + soup_.GetIndexCount() * 4 + 4 + soup_.GetNodeCount() * sizeof(Node);
  ASSERT_EQ(bytes.size(), expected);
  dgAABBPolygonSoup copy;
  ASSERT_TRUE(Load(copy, bytes));
  EXPECT_EQ(copy.GetNodeCount(), soup_.GetNodeCount());
  EXPECT_EQ(0, std::memcmp(copy.GetNodes(), soup_.GetNodes(), soup_.GetNodeCount() * sizeof(Node)));
  EXPECT_EQ(BoxQuery(copy, P(10, 10, 10), P(30, 30, 30)), BoxQuery(soup_, P(10, 10, 10), P(30, 30, 30)));
  EXPECT_EQ(RayQuery(copy, P(0, 0, 0), P(50, 50, 50)), RayQuery(soup_, P(0, 0, 0), P(50, 50, 50)));
}

TEST(PhysicsAABBSoup, DeepChainAnd127CornerFaceAreWalkedWhole) {
  const std::vector<unsigned char> bytes = ChainStream(300);
  dgAABBPolygonSoup soup;
  ASSERT_TRUE(Load(soup, bytes));
  const std::vector<int> all = BoxQuery(soup, P(-10, -10, -10), P(400, 10, 10));
  EXPECT_EQ(all.size(), 301u);
  EXPECT_EQ(dgAABBPolygonSoup::LeafIndexCount(soup.GetNodes()[0].left), 127);
  EXPECT_EQ(RayQuery(soup, P(-5, 0.5f, 0.1f), P(400, -0.5f, 0.1f)).size(), 301u);
  // The nearest-hit walk goes as deep (its stack then comes from the heap).
  for (const int face : {1, 150, 300}) {
    const float x = 3.1f + static_cast<float>(face);
    dgTreeCollisionFaceRay ray;
    ray.p0 = P(x, 1, 0.1f);
    ray.p1 = P(x, -1, 0.1f);
    soup.ForFacesInRayWithin(ray.p0, ray.p1, &ray.best, TreeCollisionRayHitFace, &ray);
    EXPECT_EQ(ray.best, 0.5f) << face;
    EXPECT_EQ(ray.attribute, face);
  }
}

TEST(PhysicsAABBSoup, TruncatedStreamsAreRefused) {
  const std::vector<unsigned char> bytes = ChainStream(4);
  for (size_t limit = 0; limit < bytes.size(); ++limit) {
    dgAABBPolygonSoup soup;
    ASSERT_FALSE(Load(soup, bytes, limit)) << limit;
    dgVector lo;
    dgVector hi;
    EXPECT_FALSE(soup.GetAABB(lo, hi));
    EXPECT_EQ(soup.GetVertexCount(), 0);
  }
}

// The lines the library reported while a test's hook was installed.
std::vector<std::string> gReported;

TEST(PhysicsAABBSoup, HostileCountsAndLinksAreRefused) {
  const std::vector<unsigned char> good = ChainStream(3);
  int32_t vertexCount;
  std::memcpy(&vertexCount, good.data(), 4);
  const size_t indexCountAt = 4 + vertexCount * 12;
  int32_t indexCount;
  std::memcpy(&indexCount, good.data() + indexCountAt, 4);
  const size_t nodeCountAt = indexCountAt + 4 + indexCount * 4;
  const size_t nodesAt = nodeCountAt + 4;
  const size_t firstIndexAt = indexCountAt + 4;

  // The last node's right link: a leaf that stands in for a child.
  uint32_t lastLeaf;
  std::memcpy(&lastLeaf, good.data() + nodesAt + 2 * 32 + 28, 4);

  struct Patch {
    size_t at;
    uint32_t value;
  };
  struct Case {
    const char* name;
    std::vector<Patch> writes;
    const char* reason;
  };
  const Case cases[] = {
      {"huge vertex count", {{0, 0x7FFFFFFFu}}, "the vertices end early"},
      {"negative vertex count", {{0, 0x80000000u}}, "no vertex count"},
      {"huge index count", {{indexCountAt, 0x00FFFFFFu}}, "the indices end early"},
      {"index count beyond a link's reach", {{indexCountAt, 0x01000000u}}, "more indices than a link can reach"},
      {"huge node count", {{nodeCountAt, 0x7FFFFFFFu}}, "the nodes end early"},
      {"child beyond the nodes", {{nodesAt + 28, 9u << 1}}, "out of order"},
      {"child pointing at itself", {{nodesAt + 28, 0u}}, "out of order"},
      {"child pointing back", {{nodesAt + 32 + 28, 0u << 1}}, "out of order"},
      {"shared child", {{nodesAt + 24, 1u << 1}}, "two links"},
      {"leaf beyond the indices", {{nodesAt + 24, 100000u * 256 + 3 * 2 + 1}}, "outside the indices"},
      {"leaf at position 0", {{nodesAt + 24, 0u * 256 + 3 * 2 + 1}}, "outside the indices"},
      {"vertex index beyond the vertices", {{firstIndexAt + 4, 5000u}}, "beyond the vertices"},
      // Nodes 1 and 2 hang from no link; the links of node 1 lead nowhere.
      {"node beyond the root's reach", {{nodesAt + 28, lastLeaf}, {nodesAt + 32 + 28, 900u << 1}}, "hangs from no"},
      {"node beyond the root's reach, sound links", {{nodesAt + 28, lastLeaf}}, "hangs from no"},
  };
  dgSetReportHook([](const char* line) { gReported.emplace_back(line); });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<unsigned char> bytes = good;
    for (const Patch& patch : c.writes) std::memcpy(bytes.data() + patch.at, &patch.value, 4);
    dgAABBPolygonSoup soup;
    gReported.clear();
    EXPECT_FALSE(Load(soup, bytes));
    ASSERT_EQ(gReported.size(), 1u);
    EXPECT_THAT(gReported[0], testing::StartsWith("Face tree stream refused: "));
    EXPECT_THAT(gReported[0], testing::HasSubstr(c.reason));
    EXPECT_EQ(soup.GetNodeCount(), 0);
  }
  dgSetReportHook(nullptr);
  dgAABBPolygonSoup soup;
  EXPECT_TRUE(Load(soup, good));
  // A flagged vertex index is still a valid index.
  std::vector<unsigned char> flagged = good;
  flagged[firstIndexAt + 4 + 3] |= 0x80;
  EXPECT_TRUE(Load(soup, flagged));
}

}  // namespace
