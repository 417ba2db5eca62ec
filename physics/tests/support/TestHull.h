#pragma once
// Convex hulls for tests: any closed convex polyhedron given as vertices and
// outward-wound faces, answering through the hull algorithms only.

#include <random>

#include "physics/shapes/dgConvexCollision.h"

class TestHull : public dgConvexCollision {
 public:
  static constexpr int kMaxVertices = 64;
  static constexpr int kMaxEdges = 256;

  // faces: faceCount polygons of faceSizes[i] vertex indices each.
  TestHull(int vertexCount, const dgVector* vertices, int faceCount, const int* faceSizes, const int* indices);
  ~TestHull() override;

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  uint32_t CalculateSignature() const override { return 0; }

  bool IsValid() const { return edgeCount_ > 0; }

  // A prism of n sides (radius 1, half height 1) mapped by a random
  // rotation, random axis scales in [0.5, 3] and a random shift.
  static TestHull* RandomPrism(std::mt19937& random, int sides);
  // A prism of n sides from its 2n vertices: the n of one end cap, then the
  // n of the other cap in the same order.
  static TestHull* Prism(int sides, const dgVector* vertices);

 private:
  dgVector ownVertices_[kMaxVertices];
  dgConvexEdge ownEdges_[kMaxEdges];
};

// A random unit vector (w = 0).
dgVector RandomUnitVector(std::mt19937& random);
// A random rotation matrix with the given position.
dgMatrix RandomRotation(std::mt19937& random, const dgVector& position);
