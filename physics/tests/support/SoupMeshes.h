#pragma once
// Two fixed triangle soups that tests and benchmarks share, a jittered hilly
// terrain (the heightfield a level is made of) and a closed UV sphere, and
// the seeded segments cast at them. All are fully determined by formulas
// and seeds, so answers measured on them can be compared between builds and
// with other libraries.

#include <cstdint>
#include <vector>

// Triangles as nine floats each, with the box of their vertices.
struct SoupInput {
  std::vector<float> triangles;
  float low[3] = {};
  float high[3] = {};
  int TriangleCount() const { return static_cast<int>(triangles.size() / 9); }
};

namespace soupmesh {
inline constexpr int kTerrainVertices = 257;  // per side; 256 x 256 cells, two triangles each
inline constexpr uint32_t kTerrainSeed = 20261209;
inline constexpr float kSphereRadius = 10.0f;
inline constexpr int kSphereRings = 32;  // rings between the poles
inline constexpr int kSphereSlices = 32;
}  // namespace soupmesh

// The terrain: vertex (i, j) at x = i, z = j and
// y = 6 sin(0.05 x) cos(0.04 z) + 2 sin(0.21 x + 0.13 z) + jitter, the jitter
// drawn uniformly from [-0.2, 0.2] (std::mt19937 seeded kTerrainSeed, i then
// j); per cell the triangles (a, b, c) and (a, c, d) with a = (i, j),
// b = (i, j + 1), c = (i + 1, j + 1), d = (i + 1, j), facing up. The
// triangles of cell (i, j) are numbers 2 (i * 256 + j) and that plus one.
SoupInput MakeHillTerrain();
// The height of the terrain's surface (its triangles) at (x, z) inside it.
float TerrainHeightAt(const SoupInput& terrain, float x, float z);

// The UV sphere of radius 10 about the origin: poles (0, +-10, 0), ring
// i = 1..32 and slice j = 0..31 at (R sin(phi) cos(theta), R cos(phi),
// R sin(phi) sin(theta)) with phi = pi i / 33 and theta = 2 pi j / 32
// (computed in double, stored as float); fans at the poles and two
// triangles per quad, wound outward: 2,048 triangles.
SoupInput MakeUvSphere();

// A segment from p0 to p1.
struct Segment {
  float p0[3];
  float p1[3];
};
// Both ends anywhere in the soup's box.
std::vector<Segment> RandomSegments(const SoupInput& soup, int count, uint32_t seed);
// Over the hill terrain: each starts 0.05-1.0 above the ground at a random
// place and runs 128 units in a random direction, its slope drawn from
// [-0.03, 0.03] (nearly level), so it skims the hills.
std::vector<Segment> TerrainGrazingSegments(const SoupInput& terrain, int count, uint32_t seed);
// Over the UV sphere: each starts 0.05-1.0 above the surface at a random
// place and runs 20 units (the diameter) along the tangent plane there,
// tilted towards the centre by a slope drawn from [0, 0.5], so it cuts the
// sphere at a glancing angle or just misses it.
std::vector<Segment> SphereGrazingSegments(int count, uint32_t seed);
