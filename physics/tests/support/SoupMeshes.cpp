#include "support/SoupMeshes.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "support/TestHull.h"

namespace {

struct Vertex {
  float x, y, z;
};

void Emit(SoupInput& soup, const Vertex& a, const Vertex& b, const Vertex& c) {
  for (const Vertex* v : {&a, &b, &c}) {
    soup.triangles.insert(soup.triangles.end(), {v->x, v->y, v->z});
  }
}

void MeasureBox(SoupInput& soup) {
  for (int axis = 0; axis < 3; ++axis) {
    soup.low[axis] = 1e30f;
    soup.high[axis] = -1e30f;
  }
  for (size_t i = 0; i < soup.triangles.size(); ++i) {
    const int axis = static_cast<int>(i % 3);
    soup.low[axis] = std::min(soup.low[axis], soup.triangles[i]);
    soup.high[axis] = std::max(soup.high[axis], soup.triangles[i]);
  }
}

}  // namespace

SoupInput MakeHillTerrain() {
  constexpr int n = soupmesh::kTerrainVertices;
  std::mt19937 random(soupmesh::kTerrainSeed);
  std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
  std::vector<Vertex> grid(static_cast<size_t>(n) * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const double x = i;
      const double z = j;
      const double y = 6.0 * std::sin(0.05 * x) * std::cos(0.04 * z) + 2.0 * std::sin(0.21 * x + 0.13 * z);
      grid[static_cast<size_t>(i) * n + j] = {static_cast<float>(x), static_cast<float>(y + jitter(random)),
                                              static_cast<float>(z)};
    }
  }
  SoupInput soup;
  soup.triangles.reserve(static_cast<size_t>(n - 1) * (n - 1) * 18);
  const auto at = [&](int i, int j) { return grid[static_cast<size_t>(i) * n + j]; };
  for (int i = 0; i + 1 < n; ++i) {
    for (int j = 0; j + 1 < n; ++j) {
      const Vertex a = at(i, j), b = at(i, j + 1), c = at(i + 1, j + 1), d = at(i + 1, j);
      Emit(soup, a, b, c);
      Emit(soup, a, c, d);
    }
  }
  MeasureBox(soup);
  return soup;
}

float TerrainHeightAt(const SoupInput& terrain, float x, float z) {
  constexpr int cells = soupmesh::kTerrainVertices - 1;
  const int i = std::clamp(static_cast<int>(std::floor(x)), 0, cells - 1);
  const int j = std::clamp(static_cast<int>(std::floor(z)), 0, cells - 1);
  // Triangle (a, b, c) holds the part of the cell with dz >= dx, (a, c, d) the rest.
  const bool first = z - static_cast<float>(j) >= x - static_cast<float>(i);
  const float* t = &terrain.triangles[(static_cast<size_t>(i) * cells + j) * 18 + (first ? 0 : 9)];
  // The plane through the three corners, solved for y.
  const double e1[3] = {t[3] - t[0], t[4] - t[1], t[5] - t[2]};
  const double e2[3] = {t[6] - t[0], t[7] - t[1], t[8] - t[2]};
  const double nx = e1[1] * e2[2] - e1[2] * e2[1];
  const double ny = e1[2] * e2[0] - e1[0] * e2[2];
  const double nz = e1[0] * e2[1] - e1[1] * e2[0];
  return static_cast<float>(t[1] - (nx * (x - t[0]) + nz * (z - t[2])) / ny);
}

SoupInput MakeUvSphere() {
  constexpr double kPi = 3.14159265358979323846;
  constexpr int rings = soupmesh::kSphereRings;
  constexpr int slices = soupmesh::kSphereSlices;
  constexpr double r = soupmesh::kSphereRadius;
  const auto ring = [&](int i, int j) {
    const double phi = kPi * i / (rings + 1);
    const double theta = 2.0 * kPi * (j % slices) / slices;
    return Vertex{static_cast<float>(r * std::sin(phi) * std::cos(theta)), static_cast<float>(r * std::cos(phi)),
                  static_cast<float>(r * std::sin(phi) * std::sin(theta))};
  };
  const Vertex top{0.0f, static_cast<float>(r), 0.0f};
  const Vertex bottom{0.0f, static_cast<float>(-r), 0.0f};
  SoupInput soup;
  for (int j = 0; j < slices; ++j) Emit(soup, top, ring(1, j + 1), ring(1, j));
  for (int i = 1; i < rings; ++i) {
    for (int j = 0; j < slices; ++j) {
      const Vertex a = ring(i, j), b = ring(i, j + 1), c = ring(i + 1, j + 1), d = ring(i + 1, j);
      Emit(soup, a, b, c);
      Emit(soup, a, c, d);
    }
  }
  for (int j = 0; j < slices; ++j) Emit(soup, bottom, ring(rings, j), ring(rings, j + 1));
  MeasureBox(soup);
  return soup;
}

std::vector<Segment> RandomSegments(const SoupInput& soup, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Segment> segments(static_cast<size_t>(count));
  for (Segment& segment : segments) {
    for (int axis = 0; axis < 3; ++axis) {
      const float span = soup.high[axis] - soup.low[axis];
      segment.p0[axis] = soup.low[axis] + unit(random) * span;
      segment.p1[axis] = soup.low[axis] + unit(random) * span;
    }
  }
  return segments;
}

std::vector<Segment> TerrainGrazingSegments(const SoupInput& terrain, int count, uint32_t seed) {
  constexpr float kLength = 128.0f;
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uniform_real_distribution<float> lift(0.05f, 1.0f);
  std::uniform_real_distribution<float> slope(-0.03f, 0.03f);
  std::vector<Segment> segments(static_cast<size_t>(count));
  for (Segment& segment : segments) {
    const float x = terrain.low[0] + unit(random) * (terrain.high[0] - terrain.low[0]);
    const float z = terrain.low[2] + unit(random) * (terrain.high[2] - terrain.low[2]);
    const float y = TerrainHeightAt(terrain, x, z) + lift(random);
    const float angle = 6.2831853f * unit(random);
    const float rise = slope(random);
    // The run is kLength long with the slope's rise per unit of level distance.
    const float level = kLength / std::sqrt(1.0f + rise * rise);
    segment.p0[0] = x;
    segment.p0[1] = y;
    segment.p0[2] = z;
    segment.p1[0] = x + level * std::cos(angle);
    segment.p1[1] = y + level * rise;
    segment.p1[2] = z + level * std::sin(angle);
  }
  return segments;
}

std::vector<Segment> SphereGrazingSegments(int count, uint32_t seed) {
  constexpr float kLength = 2.0f * soupmesh::kSphereRadius;
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> lift(0.05f, 1.0f);
  std::uniform_real_distribution<float> slope(0.0f, 0.5f);
  std::vector<Segment> segments(static_cast<size_t>(count));
  for (Segment& segment : segments) {
    const dgVector up = RandomUnitVector(random);
    // A tangent: any unit vector with the radial part taken out.
    dgVector tangent = RandomUnitVector(random);
    tangent = tangent - up.Scale(tangent.DotProduct(up));
    tangent = tangent.Scale(1.0f / std::sqrt(tangent.DotProduct(tangent)));
    dgVector direction = tangent - up.Scale(slope(random));
    direction = direction.Scale(kLength / std::sqrt(direction.DotProduct(direction)));
    const dgVector start = up.Scale(soupmesh::kSphereRadius + lift(random));
    const dgVector end = start + direction;
    for (int axis = 0; axis < 3; ++axis) {
      segment.p0[axis] = start[axis];
      segment.p1[axis] = end[axis];
    }
  }
  return segments;
}
