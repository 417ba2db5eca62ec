#include "physics/bench/BenchScenes.h"

#include <cmath>
#include <random>

#include "physics/world/Physics.h"
#include "support/TestHull.h"

namespace {

float Height(float x, float z) {
  return 1.5f * std::sin(0.35f * x) * std::cos(0.27f * z) + 0.4f * std::sin(0.9f * x + 0.4f * z);
}

void Store(float* out, const dgVector& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

}  // namespace

SoupInput MakeWavyHeightfield(int cells) {
  SoupInput soup;
  soup.triangles.reserve(static_cast<size_t>(cells) * cells * 18);
  const float origin = -0.5f * static_cast<float>(cells);
  float lowY = 1e30f;
  float highY = -1e30f;
  const auto corner = [&](int i, int j) {
    const float x = origin + static_cast<float>(i);
    const float z = origin + static_cast<float>(j);
    const float y = Height(x, z);
    lowY = std::fmin(lowY, y);
    highY = std::fmax(highY, y);
    return dgVector(x, y, z, 1.0f);
  };
  const auto emit = [&](const dgVector& a, const dgVector& b, const dgVector& c) {
    for (const dgVector* v : {&a, &b, &c}) {
      soup.triangles.push_back(v->x);
      soup.triangles.push_back(v->y);
      soup.triangles.push_back(v->z);
    }
  };
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      const dgVector p00 = corner(i, j);
      const dgVector p10 = corner(i + 1, j);
      const dgVector p01 = corner(i, j + 1);
      const dgVector p11 = corner(i + 1, j + 1);
      // Wound so that the faces look up (+y).
      emit(p00, p01, p11);
      emit(p00, p11, p10);
    }
  }
  soup.low[0] = soup.low[2] = origin;
  soup.high[0] = soup.high[2] = -origin;
  soup.low[1] = lowY;
  soup.high[1] = highY;
  return soup;
}

std::vector<Segment> GrazingSegments(const SoupInput& soup, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Segment> segments(static_cast<size_t>(count));
  const float size = soup.high[0] - soup.low[0];
  for (size_t i = 0; i < segments.size(); ++i) {
    Segment& segment = segments[i];
    // Alternately along x and along z, from one edge to the other, starting
    // and ending a little above the mean height.
    const int along = i % 2 == 0 ? 0 : 2;
    const int across = 2 - along;
    segment.p0[along] = soup.low[along];
    segment.p1[along] = soup.high[along];
    segment.p0[across] = soup.low[across] + unit(random) * size;
    segment.p1[across] = soup.low[across] + unit(random) * size;
    segment.p0[1] = 0.2f + unit(random) * 0.6f;
    segment.p1[1] = 0.2f + unit(random) * 0.6f;
  }
  return segments;
}

std::vector<PosePair> OverlappingPoses(float reach, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<PosePair> poses(static_cast<size_t>(count));
  for (PosePair& pose : poses) {
    RandomRotation(random, dgVector(0, 0, 0, 1)).ToFloats(pose.a);
    const dgVector centre = RandomUnitVector(random).Scale(reach * unit(random));
    RandomRotation(random, dgVector(centre.x, centre.y, centre.z, 1)).ToFloats(pose.b);
  }
  return poses;
}

std::vector<Point> PointsAround(float nearest, float farthest, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> distance(nearest, farthest);
  std::vector<Point> points(static_cast<size_t>(count));
  for (Point& point : points) Store(point.p, RandomUnitVector(random).Scale(distance(random)));
  return points;
}

std::vector<dgVector> HullPrismVertices() {
  std::vector<dgVector> vertices;
  for (int side = 0; side < 2; ++side) {
    for (int i = 0; i < bench::kHullSides; ++i) {
      const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(bench::kHullSides);
      vertices.emplace_back((side ? 1.0f : -1.0f) * bench::kHullHalfLength, bench::kHullRadius * std::cos(a),
                            bench::kHullRadius * std::sin(a), 1.0f);
    }
  }
  return vertices;
}

dgCollision* MakeHullPrism() { return TestHull::Prism(bench::kHullSides, HullPrismVertices().data()); }

dgCollision* BuildSoup(dgWorld* world, const SoupInput& soup, int optimise) {
  dgCollision* tree = PhysicsCreateTreeCollision(world, nullptr);
  PhysicsTreeCollisionBeginBuild(tree);
  const int triangles = soup.TriangleCount();
  for (int i = 0; i < triangles; ++i) PhysicsTreeCollisionAddFace(tree, 3, &soup.triangles[i * 9], 12, 0);
  PhysicsTreeCollisionEndBuild(tree, optimise);
  return tree;
}
