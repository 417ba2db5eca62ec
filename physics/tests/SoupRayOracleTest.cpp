// A tree collision built without optimisation answers every ray as an exact
// triangle test does: the first face hit, where and with which normal. The
// reference is a brute-force cast in double precision over the triangles
// the soup was made of, on the hill terrain and the UV sphere, so any change
// to how the tree is built (weld, face order, node layout) that loses, moves
// or swaps a face shows up here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "physics/world/Physics.h"
#include "support/SoupMeshes.h"
#include "support/TestWorld.h"

namespace {

// Rays passing this close (in barycentric units) to an edge of a face they
// cross, or ending this close to a face, are left out: there the float face
// test and the exact one may rightly disagree about which face (if any) is hit.
constexpr double kEdgeBand = 1e-3;
constexpr double kEndBand = 1e-6;

struct Vec {
  double x, y, z;
  Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec operator*(double s) const { return {x * s, y * s, z * s}; }
  double Dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
  Vec Cross(const Vec& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
};

Vec At(const float* p) { return {p[0], p[1], p[2]}; }

// The exact answer for one segment: the nearest front face crossed, and
// whether the segment comes too close to an edge or an end for the float
// test to be held to it.
struct Exact {
  double t = 2.0;
  int face = -1;
  Vec normal{};
  bool ambiguous = false;
};

// Folds triangle `face` of the soup into the answer.
void CastTriangle(const SoupInput& soup, int face, const Vec& p0, const Vec& d, Exact& exact) {
  const float* v = &soup.triangles[static_cast<size_t>(face) * 9];
  const Vec a = At(v), b = At(v + 3), c = At(v + 6);
  const Vec n = (b - a).Cross(c - a);
  const double dn = d.Dot(n);
  // Only faces turned towards the segment count, as in the tree's face test.
  if (!(dn < 0.0)) return;
  const double t = (a - p0).Dot(n) / dn;
  if (t < -kEndBand || t > 1.0 + kEndBand) return;
  const Vec q = p0 + d * t;
  const double area = n.Dot(n);
  const double lambda[3] = {(c - b).Cross(q - b).Dot(n) / area, (a - c).Cross(q - c).Dot(n) / area,
                            (b - a).Cross(q - a).Dot(n) / area};
  const double margin = std::min({lambda[0], lambda[1], lambda[2]});
  if (margin < -kEdgeBand) return;
  const bool inside = margin > kEdgeBand && t > kEndBand && t < 1.0 - kEndBand;
  if (t < exact.t) {
    exact.t = t;
    exact.face = inside ? face : -1;
    exact.normal = n * (1.0 / std::sqrt(area));
    exact.ambiguous = !inside;
  }
}

// Cells of the terrain whose square (a little widened) the segment's ground
// track crosses: only their triangles can be hit.
template <class Visit>
void ForTerrainCellsUnder(const Vec& p0, const Vec& p1, Visit visit) {
  constexpr int cells = soupmesh::kTerrainVertices - 1;
  constexpr double margin = 0.01;
  const int i0 = std::max(0, static_cast<int>(std::floor(std::min(p0.x, p1.x))) - 1);
  const int i1 = std::min(cells - 1, static_cast<int>(std::floor(std::max(p0.x, p1.x))) + 1);
  const int j0 = std::max(0, static_cast<int>(std::floor(std::min(p0.z, p1.z))) - 1);
  const int j1 = std::min(cells - 1, static_cast<int>(std::floor(std::max(p0.z, p1.z))) + 1);
  for (int i = i0; i <= i1; ++i) {
    for (int j = j0; j <= j1; ++j) {
      // The ground track clipped against the widened cell, slab by slab.
      double enter = 0.0;
      double leave = 1.0;
      const double from[2] = {p0.x, p0.z};
      const double span[2] = {p1.x - p0.x, p1.z - p0.z};
      const double low[2] = {i - margin, j - margin};
      const double high[2] = {i + 1 + margin, j + 1 + margin};
      for (int axis = 0; axis < 2 && enter <= leave; ++axis) {
        if (std::fabs(span[axis]) < 1e-12) {
          if (from[axis] < low[axis] || from[axis] > high[axis]) enter = 2.0;
          continue;
        }
        double ta = (low[axis] - from[axis]) / span[axis];
        double tb = (high[axis] - from[axis]) / span[axis];
        if (ta > tb) std::swap(ta, tb);
        enter = std::max(enter, ta);
        leave = std::min(leave, tb);
      }
      if (enter <= leave) visit(2 * (i * cells + j));
    }
  }
}

// The soup built unoptimised through the flat interface, triangle k with attribute k.
dgCollision* BuildNumbered(dgWorld* world, const SoupInput& soup) {
  dgCollision* tree = PhysicsCreateTreeCollision(world, nullptr);
  PhysicsTreeCollisionBeginBuild(tree);
  for (int k = 0; k < soup.TriangleCount(); ++k) {
    PhysicsTreeCollisionAddFace(tree, 3, &soup.triangles[static_cast<size_t>(k) * 9], 12, k);
  }
  PhysicsTreeCollisionEndBuild(tree, 0);
  return tree;
}

struct Tally {
  int hits = 0;
  int misses = 0;
  int ambiguous = 0;
};

// Casts every segment at the tree and at the exact triangles (those that
// candidates(p0, p1, visit) offers) and expects the same answer.
template <class Candidates>
void ExpectExactAnswers(dgCollision* tree, const SoupInput& soup, const std::vector<Segment>& segments,
                        Candidates candidates, Tally& tally) {
  for (size_t s = 0; s < segments.size(); ++s) {
    const Segment& segment = segments[s];
    const Vec p0 = At(segment.p0);
    const Vec p1 = At(segment.p1);
    Exact exact;
    candidates(p0, p1, [&](int face) { CastTriangle(soup, face, p0, p1 - p0, exact); });
    if (exact.ambiguous) {
      ++tally.ambiguous;
      continue;
    }
    float normal[3] = {0, 0, 0};
    int attribute = -1;
    const float t = PhysicsCollisionRayCast(tree, segment.p0, segment.p1, normal, &attribute);
    if (exact.face < 0) {
      ++tally.misses;
      ASSERT_GT(t, 1.0f) << "segment " << s << " hits face " << attribute << " where no face is";
      continue;
    }
    ++tally.hits;
    ASSERT_LE(t, 1.0f) << "segment " << s << " misses face " << exact.face << " at t = " << exact.t;
    ASSERT_EQ(attribute, exact.face) << "segment " << s;
    ASSERT_NEAR(t, exact.t, 1e-5) << "segment " << s;
    const double along = normal[0] * exact.normal.x + normal[1] * exact.normal.y + normal[2] * exact.normal.z;
    ASSERT_GT(along, 1.0 - 1e-6) << "segment " << s;
  }
}

void ExpectMostlyDecided(const Tally& tally, int segments) {
  // The sample really holds both hits and misses, and the edge band leaves
  // out only a few segments.
  EXPECT_GT(tally.hits, segments / 10);
  EXPECT_GT(tally.misses, segments / 10);
  EXPECT_LT(tally.ambiguous, segments / 20);
}

TEST(SoupRayOracle, UnoptimisedTerrainAnswersAsTheExactTriangles) {
  const WorldPtr world = MakeWorld();
  const SoupInput terrain = MakeHillTerrain();
  dgCollision* tree = BuildNumbered(world.get(), terrain);
  const auto cells = [](const Vec& p0, const Vec& p1, auto visit) {
    ForTerrainCellsUnder(p0, p1, [&](int first) {
      visit(first);
      visit(first + 1);
    });
  };
  std::vector<Segment> segments = RandomSegments(terrain, 300, 41);
  const std::vector<Segment> grazing = TerrainGrazingSegments(terrain, 300, 43);
  segments.insert(segments.end(), grazing.begin(), grazing.end());
  Tally tally;
  ExpectExactAnswers(tree, terrain, segments, cells, tally);
  ExpectMostlyDecided(tally, static_cast<int>(segments.size()));
  PhysicsReleaseCollision(world.get(), tree);
}

TEST(SoupRayOracle, UnoptimisedSphereAnswersAsTheExactTriangles) {
  const WorldPtr world = MakeWorld();
  const SoupInput sphere = MakeUvSphere();
  dgCollision* tree = BuildNumbered(world.get(), sphere);
  const auto all = [&](const Vec&, const Vec&, auto visit) {
    for (int face = 0; face < sphere.TriangleCount(); ++face) visit(face);
  };
  std::vector<Segment> segments = RandomSegments(sphere, 1000, 47);
  const std::vector<Segment> grazing = SphereGrazingSegments(1000, 53);
  segments.insert(segments.end(), grazing.begin(), grazing.end());
  Tally tally;
  ExpectExactAnswers(tree, sphere, segments, all, tally);
  ExpectMostlyDecided(tally, static_cast<int>(segments.size()));
  PhysicsReleaseCollision(world.get(), tree);
}

}  // namespace
