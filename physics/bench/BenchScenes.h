#pragma once
// The inputs every physics benchmark runs on, made from fixed seeds so that
// our library and the comparison library see the same scenes: wavy
// heightfield soups, segments across them, overlapping pose pairs and
// points around a shape.

#include <cstdint>
#include <vector>

#include "physics/math/dgMatrix.h"
#include "support/SoupMeshes.h"

class dgCollision;
class dgWorld;

// A heightfield of cells x cells unit squares (two triangles each) centred
// on the origin, as nine floats per triangle.
SoupInput MakeWavyHeightfield(int cells);

// Long segments across the whole soup, nearly parallel to its mean surface.
std::vector<Segment> GrazingSegments(const SoupInput& soup, int count, uint32_t seed);

// Two placements as sixteen floats each.
struct PosePair {
  float a[16];
  float b[16];
};
// a turned at random at the origin; b turned at random, its centre at most reach away.
std::vector<PosePair> OverlappingPoses(float reach, int count, uint32_t seed);

struct Point {
  float p[3];
};
// Points at a random distance in [nearest, farthest] from the origin.
std::vector<Point> PointsAround(float nearest, float farthest, int count, uint32_t seed);

// The shapes of the pair and closest-point scenes (sizes as full lengths).
namespace bench {
inline constexpr float kBoxSize = 1.0f;
inline constexpr float kSphereRadius = 0.5f;
inline constexpr float kCapsuleRadius = 0.3f;
inline constexpr float kCapsuleHeight = 1.2f;  // whole length, caps included
inline constexpr float kCylinderRadius = 0.4f;
inline constexpr float kCylinderHeight = 1.0f;
inline constexpr int kHullSides = 16;
inline constexpr float kHullRadius = 0.5f;
inline constexpr float kHullHalfLength = 0.5f;
inline constexpr float kPoseReach = 0.9f;
}  // namespace bench

// The vertices of the 16-sided prism both hull scenes use (along x).
std::vector<dgVector> HullPrismVertices();
// A hull collision of that prism (one reference).
dgCollision* MakeHullPrism();

// Builds a tree collision through the flat interface as the engine does:
// Begin, one AddFace per triangle, End.
dgCollision* BuildSoup(dgWorld* world, const SoupInput& soup, int optimise);
