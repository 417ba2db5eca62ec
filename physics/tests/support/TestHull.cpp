#include "support/TestHull.h"

#include <cmath>

#include "physics/math/dgQuaternion.h"
#include "physics/shapes/dgConvexHullTable.h"

TestHull::TestHull(int vertexCount, const dgVector* vertices, int faceCount, const int* faceSizes, const int* indices)
    : dgConvexCollision(0, dgGetIdentityMatrix(), kBox) {
  for (int i = 0; i < vertexCount && i < kMaxVertices; ++i) ownVertices_[i] = vertices[i];
  const int edges = dgBuildConvexEdgeTable(faceCount, faceSizes, indices, ownEdges_, kMaxEdges);
  vertices_ = ownVertices_;
  edges_ = ownEdges_;
  vertexCount_ = static_cast<uint16_t>(vertexCount);
  edgeCount_ = static_cast<uint16_t>(edges);
  if (edges) SetUpHull();
}

TestHull::~TestHull() {
  vertices_ = nullptr;
  edges_ = nullptr;
}

dgVector RandomUnitVector(std::mt19937& random) {
  std::normal_distribution<float> normal(0.0f, 1.0f);
  for (;;) {
    const dgVector v(normal(random), normal(random), normal(random), 0.0f);
    const float length2 = v.LengthSquared();
    if (length2 > 1e-4f) return v.Scale(1.0f / std::sqrt(length2));
  }
}

dgMatrix RandomRotation(std::mt19937& random, const dgVector& position) {
  std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
  dgVector p = position;
  p.w = 1.0f;
  return dgMatrix(dgQuaternion(RandomUnitVector(random), angle(random)), p);
}

TestHull* TestHull::RandomPrism(std::mt19937& random, int sides) {
  std::uniform_real_distribution<float> scale(0.5f, 3.0f);
  std::uniform_real_distribution<float> shift(-2.0f, 2.0f);
  const dgMatrix rotation = RandomRotation(random, dgVector(shift(random), shift(random), shift(random), 1.0f));
  const dgVector scales(scale(random), scale(random), scale(random), 0.0f);
  dgVector vertices[kMaxVertices];
  for (int i = 0; i < sides; ++i) {
    const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(sides);
    for (int side = 0; side < 2; ++side) {
      const dgVector local((side ? 1.0f : -1.0f) * scales.x, std::cos(a) * scales.y, std::sin(a) * scales.z, 1.0f);
      vertices[i + side * sides] = rotation.TransformVector(local);
    }
  }
  return Prism(sides, vertices);
}

TestHull* TestHull::Prism(int sides, const dgVector* vertices) {
  int sizes[kMaxVertices];
  int indices[4 * kMaxVertices];
  int faces = 0;
  int used = 0;
  for (int i = 0; i < sides; ++i) {
    const int prev = i == 0 ? sides - 1 : i - 1;
    indices[used++] = prev;
    indices[used++] = i;
    indices[used++] = i + sides;
    indices[used++] = prev + sides;
    sizes[faces++] = 4;
  }
  for (int i = sides - 1; i >= 0; --i) indices[used++] = i;
  sizes[faces++] = sides;
  for (int i = 0; i < sides; ++i) indices[used++] = sides + i;
  sizes[faces++] = sides;
  return new TestHull(2 * sides, vertices, faces, sizes, indices);
}
