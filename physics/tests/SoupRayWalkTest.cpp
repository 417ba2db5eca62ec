// The tree collision's ray cast walks only the cells that can still hold a
// nearer face, nearest first. Its answers must be those of the plain walk
// that hands every face of every crossed cell to the face test: the same
// parameter, normal and attribute, bit for bit, on the terrain and the
// sphere, built plain and optimised, for random and grazing segments and
// for the awkward ones (along the axes, through shared corners and edges,
// starting on the tree's box, of no length, not finite).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "physics/soup/dgRaySlabs.h"
#include "physics/soup/dgSoupRayTree.h"
#include "physics/soup/dgTreeCollision.h"
#include "physics/world/Physics.h"
#include "support/SoupMeshes.h"
#include "support/TestWorld.h"

namespace {

dgVector P(const float* p) { return dgVector(p[0], p[1], p[2], 1.0f); }

Segment Make(float x0, float y0, float z0, float x1, float y1, float z1) { return {{x0, y0, z0}, {x1, y1, z1}}; }

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The soup built through the flat interface, triangle k with attribute k.
dgCollision* BuildNumbered(dgWorld* world, const SoupInput& soup, int optimise) {
  dgCollision* tree = PhysicsCreateTreeCollision(world, nullptr);
  PhysicsTreeCollisionBeginBuild(tree);
  for (int k = 0; k < soup.TriangleCount(); ++k) {
    PhysicsTreeCollisionAddFace(tree, 3, &soup.triangles[static_cast<size_t>(k) * 9], 12, k);
  }
  PhysicsTreeCollisionEndBuild(tree, optimise);
  return tree;
}

// Casts every segment both ways and expects one answer; returns the hits.
int ExpectWalksAgree(dgCollision* collision, const std::vector<Segment>& segments) {
  const auto* tree = static_cast<const dgTreeCollision*>(collision->GetUserData());
  int hits = 0;
  for (size_t s = 0; s < segments.size(); ++s) {
    const dgVector p0 = P(segments[s].p0);
    const dgVector p1 = P(segments[s].p1);
    dgTreeCollisionFaceRay full;
    full.p0 = p0;
    full.p1 = p1;
    tree->ForAllFacesInRay(p0, p1, TreeCollisionRayHitFace, &full);
    dgPolygonSoupRayRecord record;
    record.p0 = p0;
    record.p1 = p1;
    record.tree = const_cast<dgTreeCollision*>(tree);
    const float t = TreeCollisionRayCast(record);
    EXPECT_TRUE(SameBits(t, full.best)) << "segment " << s << ": " << t << " against " << full.best;
    if (!(full.best <= 1.0f)) continue;
    ++hits;
    const float scale = 1.0f / std::sqrt(full.normal.LengthSquared() + 1.0e-8f);
    const dgVector normal = full.normal.Scale(scale);
    for (int axis = 0; axis < 3; ++axis) EXPECT_TRUE(SameBits(record.normal[axis], normal[axis])) << "segment " << s;
    EXPECT_EQ(record.attribute, full.attribute) << "segment " << s;
  }
  return hits;
}

// Segments the seeded samples rarely produce.
std::vector<Segment> AwkwardSegments(const SoupInput& soup) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float* lo = soup.low;
  const float* hi = soup.high;
  const float cx = 0.5f * (lo[0] + hi[0]);
  const float cy = 0.5f * (lo[1] + hi[1]);
  const float cz = 0.5f * (lo[2] + hi[2]);
  std::vector<Segment> segments = {
      Make(cx, hi[1] + 5, cz, cx, lo[1] - 5, cz),      // straight down the middle
      Make(cx, lo[1] - 5, cz, cx, hi[1] + 5, cz),      // straight up
      Make(lo[0] - 1, cy, cz, hi[0] + 1, cy, cz),      // along x
      Make(cx, cy, lo[2] - 1, cx, cy, hi[2] + 1),      // along z
      Make(lo[0], hi[1], lo[2], hi[0], lo[1], hi[2]),  // corner to corner of the box
      Make(hi[0], lo[1], hi[2], lo[0], hi[1], lo[2]),
      Make(cx, hi[1], cz, cx, hi[1], cz),  // no length
      Make(nan, 0, 0, 1, 1, 1),            // not finite
      Make(0, 0, 0, inf, -inf, 0),
      Make(cx, hi[1] + 5, cz, cx, -inf, cz),
  };
  // Down through shared corners and along shared edges of a unit grid, and
  // level lines lying in the planes of the grid lines.
  for (int i = 0; i < 8; ++i) {
    const float x = std::floor(lo[0]) + 1.0f + static_cast<float>(i * 7 % 23);
    const float z = std::floor(lo[2]) + 1.0f + static_cast<float>(i * 11 % 29);
    segments.push_back(Make(x, hi[1] + 1, z, x, lo[1] - 1, z));
    segments.push_back(Make(x + 0.5f, hi[1] + 1, z, x + 0.5f, lo[1] - 1, z));
    segments.push_back(Make(x, hi[1] + 1, z + 0.5f, x + 0.5f, lo[1] - 1, z + 0.5f));
    segments.push_back(Make(lo[0] - 1, cy, z, hi[0] + 1, cy, z));
  }
  return segments;
}

std::vector<Segment> Join(std::vector<Segment> a, const std::vector<Segment>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The mesh built plain and optimised answers every segment as the full walk does.
void ExpectMeshAgrees(const SoupInput& mesh, const std::vector<Segment>& segments) {
  const WorldPtr world = MakeWorld();
  for (int optimise = 0; optimise < 2; ++optimise) {
    SCOPED_TRACE(optimise);
    dgCollision* tree = BuildNumbered(world.get(), mesh, optimise);
    const int hits = ExpectWalksAgree(tree, segments);
    EXPECT_GT(hits, 1000);
    PhysicsReleaseCollision(world.get(), tree);
  }
}

TEST(SoupRayWalk, TerrainAnswersAsTheFullWalk) {
  const SoupInput terrain = MakeHillTerrain();
  ExpectMeshAgrees(terrain, Join(Join(RandomSegments(terrain, 1000, 61), TerrainGrazingSegments(terrain, 1000, 67)),
                                 AwkwardSegments(terrain)));
}

TEST(SoupRayWalk, SphereAnswersAsTheFullWalk) {
  const SoupInput sphere = MakeUvSphere();
  std::vector<Segment> segments =
      Join(Join(RandomSegments(sphere, 2000, 71), SphereGrazingSegments(2000, 73)), AwkwardSegments(sphere));
  // Through the poles (shared corners of a fan) and the centre along each axis.
  segments.push_back(Make(0, 20, 0, 0, -20, 0));
  segments.push_back(Make(0, -20, 0, 0, 20, 0));
  segments.push_back(Make(20, 0, 0, -20, 0, 0));
  segments.push_back(Make(0, 0, -20, 0, 0, 20));
  ExpectMeshAgrees(sphere, segments);
}

TEST(SoupRayWalk, SlabTestNeverMissesABoxTheSegmentTouches) {
  struct Case {
    const char* what;
    float lo[3], hi[3];
    Segment segment;
    float limit;
    bool crosses;
  };
  const Case cases[] = {
      {"straight through", {0, 0, 0}, {1, 1, 1}, Make(-1, 0.5f, 0.5f, 2, 0.5f, 0.5f), 1.0f, true},
      {"backwards through", {0, 0, 0}, {1, 1, 1}, Make(2, 0.5f, 0.5f, -1, 0.5f, 0.5f), 1.0f, true},
      {"flat box, segment in its plane", {0, 2, 0}, {1, 2, 1}, Make(-1, 2, 0.5f, 2, 2, 0.5f), 1.0f, true},
      {"along a side of the box", {0, 0, 0}, {1, 1, 1}, Make(-1, 1, 1, 2, 1, 1), 1.0f, true},
      {"starts on a corner, leaves", {0, 0, 0}, {1, 1, 1}, Make(1, 1, 1, 3, 2, 5), 1.0f, true},
      {"ends on a face", {0, 0, 0}, {1, 1, 1}, Make(-2, 0.5f, 0.5f, 0, 0.5f, 0.5f), 1.0f, true},
      {"no length, inside", {0, 0, 0}, {1, 1, 1}, Make(0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f), 1.0f, true},
      {"passes beside", {0, 0, 0}, {1, 1, 1}, Make(-1, 1.1f, 0.5f, 2, 1.1f, 0.5f), 1.0f, false},
      {"stops short", {0, 0, 0}, {1, 1, 1}, Make(-3, 0.5f, 0.5f, -1, 0.5f, 0.5f), 1.0f, false},
      {"limited before the box", {0, 0, 0}, {1, 1, 1}, Make(-3, 0.5f, 0.5f, 1, 0.5f, 0.5f), 0.5f, false},
      {"limited just at the box", {0, 0, 0}, {1, 1, 1}, Make(-3, 0.5f, 0.5f, 1, 0.5f, 0.5f), 0.75f, true},
  };
  const float bound[3] = {-10, -10, -10};
  const float boundHigh[3] = {10, 10, 10};
  for (const Case& c : cases) {
    // The case's box in the first slot, the other three empty.
    dgSoupRayTree::Node node;
    for (int axis = 0; axis < 3; ++axis) {
      for (int k = 0; k < dgSoupRayTree::kWidth; ++k) {
        node.bounds[0][axis][k] = k == 0 ? c.lo[axis] : std::numeric_limits<float>::infinity();
        node.bounds[1][axis][k] = k == 0 ? c.hi[axis] : -std::numeric_limits<float>::infinity();
      }
    }
    const dgRaySlabs ray(P(c.segment.p0), P(c.segment.p1), bound, boundHigh);
    float enter[dgSoupRayTree::kWidth];
    bool crosses[dgSoupRayTree::kWidth];
    dgSoupRayTree::Slabs(node, ray, c.limit, enter, crosses);
    EXPECT_EQ(crosses[0], c.crosses) << c.what;
    for (int k = 1; k < dgSoupRayTree::kWidth; ++k) EXPECT_FALSE(crosses[k]) << c.what;
    if (c.crosses) {
      EXPECT_GE(enter[0], 0.0f) << c.what;
      EXPECT_LE(enter[0], c.limit) << c.what;
    }
  }
}

}  // namespace
