#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/soup/dgCollisionConvexPolygon.h"
#include "physics/soup/dgTreeCollision.h"

namespace {

using dgConvexPolygon = dgCollisionPolygonalSoup::dgCollisionConvexPolygon;

dgVector P(float x, float y, float z) { return dgVector(x, y, z, 1.0f); }

void ExpectNear(const dgVector& actual, const dgVector& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A tree collision released at the end of the test.
struct TreeShape {
  explicit TreeShape(dgTreeCollisionFaceCallback callback = nullptr) : soup(dgCreateTreeCollision(nullptr, callback)) {
    tree = static_cast<dgTreeCollision*>(soup->GetUserData());
    tree->BeginBuild();
  }
  ~TreeShape() { soup->Release(); }
  void Add(std::vector<float> xyz, int attribute) {
    tree->AddFace(static_cast<int>(xyz.size() / 3), xyz.data(), 12, attribute);
  }
  void End(bool optimise) { tree->EndBuild(optimise, *soup); }

  dgCollisionPolygonalSoup* soup;
  dgTreeCollision* tree;
};

// The floor y = 0 over [-5, 5] in x and z, facing up, as two triangles.
void AddFloor(TreeShape& shape, int attribute) {
  shape.Add({-5, 0, -5, -5, 0, 5, 5, 0, 5}, attribute);
  shape.Add({-5, 0, -5, 5, 0, 5, 5, 0, -5}, attribute);
}

TEST(PhysicsSoupCollision, TreeCollisionIsASoupShapeOverItsTree) {
  TreeShape shape;
  AddFloor(shape, 3);
  shape.End(true);
  EXPECT_EQ(shape.soup->GetKind(), dgCollision::kPolygonalSoup);
  EXPECT_EQ(shape.soup->GetSignature(), 0u);
  EXPECT_TRUE(shape.soup->IsType(dgCollisionId));
  EXPECT_FALSE(shape.soup->IsType(dgConvexCollisionId));
  EXPECT_TRUE(shape.tree->IsType(dgAABBPolygonSoupId));
  EXPECT_TRUE(shape.tree->IsType(dgPolygonSoupDatabaseId));
  EXPECT_EQ(shape.tree->GetBuilder(), nullptr);
  ASSERT_NE(shape.soup->GetPolygon(), nullptr);
  EXPECT_EQ(shape.soup->GetPolygon()->GetKind(), dgCollision::kConvexPolygon);
  EXPECT_EQ(shape.soup->GetPolygon()->CalculateSignature(), 0x12341234u);
  EXPECT_TRUE(shape.soup->GetPolygon()->IsType(dgConvexCollisionId));
  // The two triangles merged into one square, doubled so that a tree exists.
  EXPECT_EQ(shape.tree->GetNodeCount(), 1);
  EXPECT_EQ(shape.soup->GetBoxMin(), P(-5.125f, -0.125f, -5.125f));
  EXPECT_EQ(shape.soup->GetBoxMax(), P(5.125f, 0.125f, 5.125f));
  EXPECT_EQ(shape.soup->GetBoxCentre(), P(0, 0, 0));
}

TEST(PhysicsSoupCollision, RayCastTable) {
  TreeShape shape;
  AddFloor(shape, -2);
  shape.Add({-5, 0, 5, -5, 4, 5, 5, 4, 5, 5, 0, 5}, 8);  // a wall at z = 5 facing -z
  shape.Add({-5, 0, 7, -5, 4, 7, 5, 4, 7, 5, 0, 7}, 9);  // and one behind it
  shape.End(true);
  struct Case {
    const char* name;
    dgVector p0, p1;
    float t;
    dgVector normal;
    int64_t userId;
  };
  const dgVector untouched(9, 9, 9, 9);
  const Case cases[] = {
      {"down onto the floor", P(1, 2, 1), P(1, -2, 1), 0.5f, dgVector(0, 1, 0), 0xFFFFFFFEll},
      {"the nearer of two walls", P(0, 1, 0), P(0, 1, 10), 0.5f, dgVector(0, 0, -1), 8},
      {"the far wall from between", P(0, 1, 6), P(0, 1, 8), 0.5f, dgVector(0, 0, -1), 9},
      {"wall above the floor", P(0, 3, 3), P(0, -3, 9), 1.0f / 3.0f, dgVector(0, 0, -1), 8},
      {"up through the back of the floor", P(1, -2, 1), P(1, 2, 1), 2.0f, untouched, 77},
      {"beside the floor", P(8, 2, 1), P(8, -2, 1), 2.0f, untouched, 77},
      {"ending exactly on the floor", P(1, 1, 1), P(1, 0, 1), 1.0f, dgVector(0, 1, 0), 0xFFFFFFFEll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgContact contact{};
    contact.normal = untouched;
    contact.userId = 77;
    EXPECT_NEAR(shape.soup->RayCast(c.p0, c.p1, contact), c.t, 1e-6f);
    ExpectNear(contact.normal, c.normal);
    EXPECT_EQ(contact.userId, c.userId);
  }
  // The tree's own cast stores the hit at exactly 1 in its record.
  dgPolygonSoupRayRecord record;
  record.p0 = P(1, 1, 1);
  record.p1 = P(1, 0, 1);
  record.tree = shape.tree;
  EXPECT_EQ(TreeCollisionRayCast(record), 1.0f);
  ExpectNear(record.normal, dgVector(0, 1, 0));
  EXPECT_EQ(record.attribute, -2);
}

TEST(PhysicsSoupCollision, NearestHitWalkAgreesWithTheFullWalk) {
  // A bumpy grid, one attribute per triangle, and every fifth triangle
  // laid twice under another attribute: coincident faces tie exactly, and
  // the one added first (first in the index array) wins, whichever order
  // a walk meets them in.
  std::mt19937 random(29);
  std::uniform_real_distribution<float> bump(-1.0f, 1.0f);
  constexpr int kCells = 24;
  float heights[kCells + 1][kCells + 1];
  for (auto& row : heights) {
    for (float& h : row) h = bump(random);
  }
  TreeShape shape;
  int attribute = 0;
  for (int i = 0; i < kCells; ++i) {
    for (int j = 0; j < kCells; ++j) {
      const auto x = static_cast<float>(i);
      const auto z = static_cast<float>(j);
      const std::vector<float> first = {x,     heights[i][j],         z,    x, heights[i][j + 1], z + 1,
                                        x + 1, heights[i + 1][j + 1], z + 1};
      const std::vector<float> second = {x,     heights[i][j],     z, x + 1, heights[i + 1][j + 1], z + 1,
                                         x + 1, heights[i + 1][j], z};
      shape.Add(first, ++attribute);
      shape.Add(second, ++attribute);
      if (attribute % 5 == 0) shape.Add(second, 100000 + attribute);
    }
  }
  shape.End(false);

  std::uniform_real_distribution<float> across(-2.0f, kCells + 2.0f);
  std::uniform_real_distribution<float> height(-3.0f, 3.0f);
  int hits = 0;
  constexpr int kSegments = 3000;
  for (int n = 0; n < kSegments; ++n) {
    dgVector p0 = P(across(random), height(random), across(random));
    dgVector p1 = P(across(random), height(random), across(random));
    if (n % 3 == 0) {  // grazing: nearly level, right across the grid
      p0 = P(-1.0f, height(random) * 0.2f, across(random));
      p1 = P(kCells + 1.0f, height(random) * 0.2f, across(random));
    }
    dgTreeCollisionFaceRay full;
    full.p0 = p0;
    full.p1 = p1;
    shape.tree->ForAllFacesInRay(p0, p1, TreeCollisionRayHitFace, &full);
    dgTreeCollisionFaceRay nearest;
    nearest.p0 = p0;
    nearest.p1 = p1;
    shape.tree->ForFacesInRayWithin(p0, p1, &nearest.best, TreeCollisionRayHitFace, &nearest);
    ASSERT_EQ(nearest.best, full.best) << n;
    if (full.best <= 1.0f) {
      ++hits;
      ASSERT_EQ(nearest.normal, full.normal) << n;
      ASSERT_EQ(nearest.attribute, full.attribute) << n;
      ASSERT_LT(full.attribute, 100000) << n;
    }
  }
  // The sample holds plenty of both hits and misses.
  EXPECT_GT(hits, kSegments / 5);
  EXPECT_LT(hits, kSegments * 4 / 5);
}

TEST(PhysicsSoupCollision, SoupWithoutCallbacksMissesAndFindsNothing) {
  auto* soup = new dgCollisionPolygonalSoup(nullptr, nullptr, nullptr, nullptr);
  dgContact contact{};
  EXPECT_EQ(soup->RayCast(P(0, 1, 0), P(0, -1, 0), contact), dgCollision::kRayMiss);
  dgPolygonSoupCollideRecord record{};
  EXPECT_EQ(soup->GetFacesInBox(record), 0);
  EXPECT_EQ(soup->GetVolume(), 0.0f);
  soup->Release();
}

TEST(PhysicsSoupCollision, CalcAABBBoundsTheRotatedBox) {
  dgCollisionPolygonalSoup soup(nullptr, nullptr, nullptr, nullptr);
  soup.SetCollisionBBox(P(1, 2, 3), P(-1, 0, 1));
  EXPECT_EQ(soup.GetBoxMin(), P(-1, 0, 1));
  EXPECT_EQ(soup.GetBoxMax(), P(1, 2, 3));
  const float c = std::cos(0.5f);
  const float s = std::sin(0.5f);
  const dgMatrix matrix(dgVector(c, 0, -s, 0), dgVector(0, 1, 0, 0), dgVector(s, 0, c, 0), P(10, 0, -3));
  dgVector lo;
  dgVector hi;
  soup.CalcAABB(matrix, lo, hi);
  dgVector bruteLo(1e9f, 1e9f, 1e9f, 1);
  dgVector bruteHi(-1e9f, -1e9f, -1e9f, 1);
  for (int corner = 0; corner < 8; ++corner) {
    const dgVector p = matrix.TransformVector(P(corner & 1 ? 1 : -1, corner & 2 ? 2 : 0, corner & 4 ? 3 : 1));
    for (int axis = 0; axis < 3; ++axis) {
      bruteLo[axis] = std::min(bruteLo[axis], p[axis]);
      bruteHi[axis] = std::max(bruteHi[axis], p[axis]);
    }
  }
  ExpectNear(lo, bruteLo);
  ExpectNear(hi, bruteHi);
  EXPECT_EQ(lo.w, 1.0f);
}

// Flagged edges of a face as pairs of (masked) vertex indices.
std::vector<std::pair<int, int>> FlaggedEdges(const int* face, int count) {
  std::vector<std::pair<int, int>> edges;
  for (int i = 0; i < count; ++i) {
    if (static_cast<uint32_t>(face[i]) & dgAABBPolygonSoup::kEdgeFlag) {
      edges.emplace_back(face[i] & dgAABBPolygonSoup::kIndexMask,
                         face[(i + 1) % count] & dgAABBPolygonSoup::kIndexMask);
    }
  }
  return edges;
}

TEST(PhysicsSoupCollision, SharedEdgesAreFlaggedWhenFlatOrConcave) {
  struct Case {
    const char* name;
    float neighbourY;  // height of the neighbour's far corner
    bool flagged;
  };
  const Case cases[] = {{"flat", 0.0f, true}, {"convex ridge", -1.0f, false}, {"concave valley", 1.0f, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TreeShape shape;
    // The shared edge runs from (0, 0, 0) to (0, 0, 1).
    shape.Add({0, 0, 0, 0, 0, 1, 1, 0, 0}, 1);
    shape.Add({0, 0, 0, -1, c.neighbourY, 0.5f, 0, 0, 1}, 2);
    shape.End(false);
    const int* indices = shape.tree->GetIndices();
    ASSERT_EQ(shape.tree->GetIndexCount(), 8);
    const auto first = FlaggedEdges(indices + 1, 3);
    const auto second = FlaggedEdges(indices + 5, 3);
    if (!c.flagged) {
      EXPECT_TRUE(first.empty());
      EXPECT_TRUE(second.empty());
      continue;
    }
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].first, second[0].second);
    EXPECT_EQ(first[0].second, second[0].first);
  }
}

TEST(PhysicsSoupCollision, EdgeTableAndBoxQueriesFlagTheSameEdges) {
  // A bumpy grid (flat, ridge and valley edges), some faces laid again the
  // other way round and some again the same way.
  std::mt19937 random(31);
  std::uniform_real_distribution<float> bump(-0.6f, 0.6f);
  constexpr int kCells = 12;
  float heights[kCells + 1][kCells + 1];
  for (auto& row : heights) {
    for (float& h : row) h = random() % 3 == 0 ? 0.0f : bump(random);
  }
  TreeShape shape;
  for (int i = 0; i < kCells; ++i) {
    for (int j = 0; j < kCells; ++j) {
      const auto x = static_cast<float>(i);
      const auto z = static_cast<float>(j);
      const std::vector<float> a = {x, heights[i][j], z}, b = {x, heights[i][j + 1], z + 1};
      const std::vector<float> c = {x + 1, heights[i + 1][j + 1], z + 1}, d = {x + 1, heights[i + 1][j], z};
      shape.Add({a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]}, 1);
      shape.Add({a[0], a[1], a[2], c[0], c[1], c[2], d[0], d[1], d[2]}, 1);
      if ((i + j) % 7 == 0) shape.Add({a[0], a[1], a[2], c[0], c[1], c[2], b[0], b[1], b[2]}, 2);
      if ((i + 2 * j) % 9 == 0) shape.Add({a[0], a[1], a[2], c[0], c[1], c[2], d[0], d[1], d[2]}, 3);
    }
  }
  shape.End(false);
  int* indices = shape.tree->GetIndices();
  const std::vector<int> byTable(indices, indices + shape.tree->GetIndexCount());
  int flagged = 0;
  for (int i = 0; i < shape.tree->GetIndexCount(); ++i) {
    flagged += (static_cast<uint32_t>(indices[i]) & dgAABBPolygonSoup::kEdgeFlag) != 0;
    indices[i] &= dgAABBPolygonSoup::kIndexMask;
  }
  TreeCollisionMarkEdgesByBoxQuery(shape.tree);
  EXPECT_EQ(std::vector<int>(indices, indices + shape.tree->GetIndexCount()), byTable);
  // Both kinds of edge occur.
  EXPECT_GT(flagged, 50);
  EXPECT_LT(flagged, shape.tree->GetIndexCount() - 300);
}

struct FaceCalls {
  int calls = 0;
  void* user1 = nullptr;
  void* user2 = nullptr;
};
FaceCalls gFaceCalls;

void CountFace(void* user1, void* user2, const float*, int stride, int count, const int*) {
  ++gFaceCalls.calls;
  gFaceCalls.user1 = user1;
  gFaceCalls.user2 = user2;
  EXPECT_EQ(stride, 12);
  EXPECT_GE(count, 3);
}

TEST(PhysicsSoupCollision, CollideQueryFillsTheRecordAndCallsTheFaceCallback) {
  gFaceCalls = {};
  TreeShape shape(CountFace);
  AddFloor(shape, 4);
  shape.Add({20, 0, 0, 20, 0, 1, 21, 0, 0}, 6);
  shape.End(true);
  auto record = std::make_unique<dgPolygonSoupCollideRecord>();
  record->boxMin = P(-1, -1, -1);
  record->boxMax = P(1, 1, 1);
  int user1 = 0;
  int user2 = 0;
  record->userValue1 = &user1;
  record->userValue2 = &user2;
  EXPECT_EQ(shape.soup->GetFacesInBox(*record), 1);
  EXPECT_EQ(record->faceCount, 1);
  EXPECT_EQ(record->attributes[0], 4);
  EXPECT_EQ(record->indexCounts[0], 4);
  EXPECT_EQ(record->indexTotal, 4);
  EXPECT_EQ(record->vertices, shape.tree->GetVertices());
  EXPECT_EQ(record->vertexStrideBytes, 12);
  EXPECT_EQ(gFaceCalls.calls, 1);
  EXPECT_EQ(gFaceCalls.user1, &user1);
  EXPECT_EQ(gFaceCalls.user2, &user2);

  // ForEachFace runs the query over the point at the origin with the body as first user value.
  const auto* body = reinterpret_cast<const dgBody*>(&user2);
  shape.soup->ForEachFace(body, nullptr);
  EXPECT_EQ(gFaceCalls.calls, 2);
  EXPECT_EQ(gFaceCalls.user1, &user2);
}

TEST(PhysicsSoupCollision, CollideQueryStopsAtTheRecordsCapacity) {
  TreeShape shape;
  for (int i = 0; i < 2100; ++i) {
    const float x = static_cast<float>(i % 50) * 2.0f;
    const float z = static_cast<float>(i / 50) * 2.0f;
    shape.Add({x, 0, z, x, 0, z + 1, x + 1, 0, z}, i);
  }
  shape.End(true);
  auto record = std::make_unique<dgPolygonSoupCollideRecord>();
  record->boxMin = P(-10, -10, -10);
  record->boxMax = P(200, 10, 200);
  EXPECT_EQ(shape.soup->GetFacesInBox(*record), dgPolygonSoupCollideRecord::kMaxFaces);
  EXPECT_EQ(record->indexTotal, 3 * dgPolygonSoupCollideRecord::kMaxFaces);
}

// A unit square face in the plane y = 0, facing up.
class ConvexPolygonFace : public ::testing::Test {
 protected:
  void SetUp() override { polygon_.SetFace(vertices_, 3, indices_, 4); }

  float vertices_[12] = {0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0};
  int indices_[4] = {0, 1, 2, 3};
  dgConvexPolygon polygon_;
};

TEST_F(ConvexPolygonFace, PlaneIntersectionCutsOrCopiesTheFace) {
  dgCollisionSphere sphere(0, 0.5f, dgGetIdentityMatrix());
  dgMatrix matrix = dgGetIdentityMatrix();
  matrix.posit = P(-0.5f, -0.3f, -0.5f);
  ASSERT_EQ(polygon_.ContactsToConvexA(sphere, matrix), 1);
  dgVector points[8];
  ASSERT_EQ(polygon_.CalculatePlaneIntersection(dgVector(0, 1, 0), P(0, 0, 0), points), 4);
  EXPECT_EQ(points[2], P(1, 0, 1));
  ASSERT_EQ(polygon_.CalculatePlaneIntersection(dgVector(1, 0, 0), P(0.5f, 0, 0), points), 2);
  ExpectNear(points[0], P(0.5f, 0, 0));
  ExpectNear(points[1], P(0.5f, 0, 1));
  EXPECT_EQ(polygon_.SupportVertex(dgVector(1, 0, 1)), P(1, 0, 1));
}

TEST_F(ConvexPolygonFace, OneAndTwoSidedTestsAgainstASphere) {
  dgCollisionSphere sphere(0, 0.5f, dgGetIdentityMatrix());
  polygon_.SetBox(P(-0.5f, -0.5f, -0.5f), P(0.5f, 0.5f, 0.5f));
  struct Case {
    const char* name;
    dgVector centre;
    int oneSided;
    int twoSided;
  };
  const Case cases[] = {
      {"touching from above", P(0.5f, 0.3f, 0.5f), 1, 1},
      {"well above", P(0.5f, 0.7f, 0.5f), 1, 0},
      {"wholly below", P(0.5f, -1.0f, 0.5f), 0, 0},
      {"in the plane but beside", P(5.0f, 0.0f, 0.5f), 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dgMatrix matrix = dgGetIdentityMatrix();
    matrix.posit = P(-c.centre.x, -c.centre.y, -c.centre.z);
    EXPECT_EQ(polygon_.ContactsToConvexA(sphere, matrix), c.oneSided);
    EXPECT_EQ(polygon_.GetNormal(), dgVector(0, 1, 0, 1));
    EXPECT_EQ(polygon_.ContactsToConvexB(sphere, matrix), c.twoSided);
    EXPECT_EQ(polygon_.GetNormal(), dgVector(-0.0f, -1, -0.0f, 1));
  }
}

TEST_F(ConvexPolygonFace, FlaggedCornersExpandAndFlaggedEdgesClipContacts) {
  indices_[0] |= static_cast<int>(dgConvexPolygon::kEdgeFlag);  // the edge (0,0,0) -> (0,0,1)
  polygon_.ExpandFlaggedCorners();
  const float d = 0.25f / std::sqrt(2.0f);
  ExpectNear(polygon_.GetLoadedVertices()[0], P(-d, 0, -d));
  EXPECT_EQ(polygon_.GetLoadedVertices()[1], P(0, 0, 1));

  dgContact contacts[4] = {};
  contacts[0].point = P(-0.1f, 0, 0.5f);  // beyond the flagged edge
  contacts[1].point = P(0.3f, 0, 0.5f);
  contacts[2].point = P(0.0f, 0, 0.2f);  // on it
  contacts[3].point = P(0.9f, 0, 1.5f);  // beyond an unflagged edge
  EXPECT_EQ(polygon_.ClipContacts(4, contacts, dgGetIdentityMatrix()), 2);
  EXPECT_EQ(contacts[0].point, P(0.9f, 0, 1.5f));
  EXPECT_EQ(contacts[1].point, P(0.3f, 0, 0.5f));
  // Contacts given in a space moved by +10 in x come back into the soup's space first.
  dgMatrix moved = dgGetIdentityMatrix();
  moved.posit = P(10, 0, 0);
  contacts[0].point = P(9.9f, 0, 0.5f);
  EXPECT_EQ(polygon_.ClipContacts(1, contacts, moved), 0);
}

TEST_F(ConvexPolygonFace, DistanceToPointCountsExactlyTheRadius) {
  dgVector closest;
  EXPECT_TRUE(polygon_.DistanceToPoint(P(0.5f, 2, 0.5f), 2.0f, closest));
  EXPECT_EQ(closest, P(0.5f, 0, 0.5f));
  EXPECT_EQ(polygon_.GetNormal(), dgVector(0, 1, 0, 1));
  EXPECT_FALSE(polygon_.DistanceToPoint(P(0.5f, 2, 0.5f), 1.99f, closest));
  EXPECT_TRUE(polygon_.DistanceToPoint(P(3, 0, 0.5f), 2.0f, closest));
  EXPECT_EQ(closest, P(1, 0, 0.5f));
}

TEST(PhysicsSoupCollision, ClosestPointOnTriangleRegions) {
  const dgVector a = P(0, 0, 0);
  const dgVector b = P(2, 0, 0);
  const dgVector c = P(0, 0, 2);
  struct Case {
    dgVector p, expected;
  };
  const Case cases[] = {
      {P(-1, 1, -1), a},
      {P(3, 0, -1), b},
      {P(-1, 0, 3), c},
      {P(1, 5, -1), P(1, 0, 0)},
      {P(-1, 0, 1), P(0, 0, 1)},
      {P(2, 0, 2), P(1, 0, 1)},
      {P(0.5f, 3, 0.5f), P(0.5f, 0, 0.5f)},
  };
  for (const Case& t : cases) ExpectNear(dgClosestPointOnTriangle(t.p, a, b, c), t.expected);
}

TEST(PhysicsSoupCollision, BuildStepsOutOfOrderDoNothingHarmful) {
  TreeShape shape;
  shape.tree->BeginBuild();  // a second begin replaces the open builder
  shape.Add({0, 0, 0}, 1);   // too few vertices
  std::vector<float> many(3 * 1025, 0.0f);
  shape.tree->AddFace(1025, many.data(), 12, 1);
  shape.End(true);
  EXPECT_EQ(shape.tree->GetNodeCount(), 0);
  shape.End(true);  // no open build
  shape.tree->AddFace(3, many.data(), 12, 1);
  dgContact contact{};
  EXPECT_EQ(shape.soup->RayCast(P(0, 1, 0), P(0, -1, 0), contact), 2.0f);
}

}  // namespace
