#include <gtest/gtest.h>

#include <vector>

#include "engine/scene/cds/CDSMesh.h"

namespace {

// A unit square in the z = 0 plane, counter-clockwise seen from +z.
const Vector3 kSquare[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const uint32_t kSquareFan[] = {0, 1, 2, 0, 2, 3};

void ExpectVector(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

CCDSMesh Square() {
  CCDSMesh mesh;
  EXPECT_TRUE(mesh.SetGeometry(kSquare, 4, kSquareFan, 6));
  return mesh;
}

BoundingBox Box(const Vector3& min, const Vector3& max) {
  BoundingBox box;
  box.SetMinMax(min, max);
  return box;
}

TEST(CDSMesh, PlaneAndBoundsComeFromTheGeometry) {
  // The first triple is collinear: the plane comes from the next one.
  const Vector3 vertices[] = {{0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {0, 1, 2}};
  const uint32_t indices[] = {0, 1, 2, 0, 1, 3};
  CCDSMesh mesh;
  ASSERT_TRUE(mesh.SetGeometry(vertices, 4, indices, 6));
  ExpectVector(mesh.normal, Vector3(0, 0, 1));
  EXPECT_FLOAT_EQ(mesh.d, -2.0f);
  ExpectVector(mesh.GetBounds().GetBoundingBox().min, Vector3(0, 0, 2));
  ExpectVector(mesh.GetBounds().GetBoundingBox().max, Vector3(2, 1, 2));

  // Only degenerate triples, or none at all, keep a zero normal.
  const uint32_t collinear[] = {0, 1, 2};
  ASSERT_TRUE(mesh.SetGeometry(vertices, 4, collinear, 3));
  ExpectVector(mesh.normal, Vector3(0, 0, 0));
  ASSERT_TRUE(mesh.SetGeometry(nullptr, 0, nullptr, 0));
  ExpectVector(mesh.normal, Vector3(0, 0, 0));
}

TEST(CDSMesh, IndexOutOfRangeIsRefusedAndChangesNothing) {
  CCDSMesh mesh = Square();
  const uint32_t bad[] = {0, 1, 4};
  EXPECT_FALSE(mesh.SetGeometry(kSquare, 4, bad, 3));
  EXPECT_EQ(mesh.GetVertexCount(), 4u);
  EXPECT_EQ(mesh.GetIndexCount(), 6u);
  ExpectVector(mesh.normal, Vector3(0, 0, 1));
}

TEST(CDSMesh, FlipTwiceGivesBackIndicesAndPlane) {
  CCDSMesh mesh = Square();
  mesh.Flip();
  EXPECT_EQ(mesh.GetIndices(), (std::vector<uint32_t>{3, 2, 0, 2, 1, 0}));
  ExpectVector(mesh.normal, Vector3(0, 0, -1));
  mesh.Flip();
  EXPECT_EQ(mesh.GetIndices(), (std::vector<uint32_t>(std::begin(kSquareFan), std::end(kSquareFan))));
  ExpectVector(mesh.normal, Vector3(0, 0, 1));
  EXPECT_EQ(mesh.d, 0.0f);
}

TEST(CDSMesh, RayTestThroughTheEngineRay) {
  const CCDSMesh mesh = Square();
  struct Case {
    Vector3 from, to;
    bool oneSided, hit;
    float distance;
  };
  const Case cases[] = {
      {{0.5f, 0.5f, 2}, {0.5f, 0.5f, -2}, true, true, 2.0f},    // onto the front
      {{0.5f, 0.5f, -2}, {0.5f, 0.5f, 2}, true, false, 0.0f},   // from behind, one-sided
      {{0.5f, 0.5f, -3}, {0.5f, 0.5f, 3}, false, true, 3.0f},   // from behind, both sides
      {{2.0f, 0.5f, 2}, {2.0f, 0.5f, -2}, false, false, 0.0f},  // beside the square
      {{0.5f, 0.5f, 2}, {0.5f, 0.5f, 1}, false, false, 0.0f},   // stops short
  };
  for (const Case& c : cases) {
    Ray ray;
    ray.SetFromPoints(c.from, c.to);
    float distance = 0.0f;
    EXPECT_EQ(ray.IntersectMesh(mesh, c.oneSided, &distance), c.hit);
    if (c.hit) {
      EXPECT_NEAR(distance, c.distance, 1e-5f);
    }
  }
}

TEST(CDSMesh, ClassifiesAgainstABox) {
  const CCDSMesh mesh = Square();
  EXPECT_EQ(mesh.ClassifyBox(Box({-1, -1, -1}, {2, 2, 1})), 0);
  EXPECT_EQ(mesh.ClassifyBox(Box({0.5f, -1, -1}, {2, 2, 1})), 1);
  EXPECT_EQ(mesh.ClassifyBox(Box({5, 5, 5}, {6, 6, 6})), 2);
  EXPECT_EQ(CCDSMesh().ClassifyBox(Box({-1, -1, -1}, {1, 1, 1})), 2);
}

TEST(CDSMesh, SplitPutsOnPlaneVerticesIntoBothParts) {
  const CCDSMesh mesh = Square();
  Plane plane;
  plane.SetPointNormal(Vector3(1, 0, 0), Vector3(1, 1, 0));  // through corners 1 and 3
  CCDSMesh front, back;
  mesh.SplitByPlane(plane, &front, &back);
  EXPECT_EQ(front.GetVertexCount(), 3u);
  EXPECT_EQ(back.GetVertexCount(), 3u);
  ExpectVector(front.GetVertices()[0], Vector3(1, 0, 0));
  ExpectVector(back.GetVertices()[0], Vector3(0, 0, 0));
  ExpectVector(back.GetVertices()[1], Vector3(1, 0, 0));

  // A crossing edge adds its crossing point to both parts.
  plane.SetPointNormal(Vector3(0.25f, 0, 0), Vector3(1, 0, 0));
  mesh.SplitByPlane(plane, &front, &back);
  EXPECT_EQ(front.GetVertexCount(), 4u);
  EXPECT_EQ(back.GetVertexCount(), 4u);
  ExpectVector(back.GetBounds().GetBoundingBox().max, Vector3(0.25f, 1, 0));
  ExpectVector(front.GetBounds().GetBoundingBox().min, Vector3(0.25f, 0, 0));
  ExpectVector(front.normal, Vector3(0, 0, 1));
}

TEST(CDSMesh, ClipKeepsThePartInsideTheBox) {
  CCDSMesh mesh = Square();
  mesh.ClipToBox(Box({-1, -1, -1}, {2, 2, 1}));
  EXPECT_EQ(mesh.GetVertices(), (std::vector<Vector3>(std::begin(kSquare), std::end(kSquare))));
  EXPECT_EQ(mesh.GetIndexCount(), 6u);

  mesh.ClipToBox(Box({0.5f, -1, -1}, {2, 0.5f, 1}));
  ExpectVector(mesh.GetBounds().GetBoundingBox().min, Vector3(0.5f, 0, 0));
  ExpectVector(mesh.GetBounds().GetBoundingBox().max, Vector3(1, 0.5f, 0));
  ExpectVector(mesh.normal, Vector3(0, 0, 1));
  Ray ray;
  ray.SetFromPoints(Vector3(0.75f, 0.25f, 1), Vector3(0.75f, 0.25f, -1));
  EXPECT_TRUE(ray.IntersectMesh(mesh, true));
  ray.SetFromPoints(Vector3(0.25f, 0.75f, 1), Vector3(0.25f, 0.75f, -1));
  EXPECT_FALSE(ray.IntersectMesh(mesh, true));

  // A polygon wholly outside the box keeps nothing.
  mesh.ClipToBox(Box({5, 5, 5}, {6, 6, 6}));
  EXPECT_EQ(mesh.GetVertexCount(), 0u);
  EXPECT_EQ(mesh.ClassifyBox(Box({-1, -1, -1}, {2, 2, 1})), 2);
}

}  // namespace
