#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/scene/cds/CDSShape.h"

namespace {

CCDSShape Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  return CCDSShape(Vector3(x0, y0, z0), Vector3(x1, y1, z1));
}

Ray RayAlong(const Vector3& origin, const Vector3& direction, float length = 0.0f) {
  Ray ray;
  ray.origin = origin;
  ray.direction = direction;
  ray.length = length;
  return ray;
}

TEST(CDSShape, CentreFollowsTheExtremes) {
  BoundingBox box;
  box.SetMinMax(Vector3(1, 1, 1), Vector3(3, 5, 7));
  box.centre = Vector3(0, 0, 0);  // a stale centre is not taken over
  CCDSShape shape;
  shape.SetBoundingBox(box);
  EXPECT_EQ(shape.Centre().x, 2.0f);
  EXPECT_EQ(shape.Centre().y, 3.0f);
  EXPECT_EQ(shape.Centre().z, 4.0f);
}

TEST(CDSShape, OverlapAndContainmentIncludeTheBounds) {
  const CCDSShape unit = Box(0, 0, 0, 1, 1, 1);
  struct Case {
    CCDSShape other;
    bool overlaps;
  };
  const std::vector<Case> cases = {
      {Box(1, 0, 0, 2, 1, 1), true},                       // shares a face
      {Box(1, 1, 1, 2, 2, 2), true},                       // shares a corner
      {Box(0.25f, 0.25f, 0.25f, 0.5f, 0.5f, 0.5f), true},  // inside
      {Box(1.001f, 0, 0, 2, 1, 1), false},
      {Box(0, 0, -2, 1, 1, -0.001f), false},  // apart on z only
  };
  for (const Case& c : cases) {
    EXPECT_EQ(unit.Overlaps(c.other), c.overlaps);
    EXPECT_EQ(c.other.Overlaps(unit), c.overlaps);
  }
  EXPECT_TRUE(unit.Contains(Vector3(1, 1, 1)));
  EXPECT_TRUE(unit.Contains(Vector3(0, 0.5f, 1)));
  EXPECT_FALSE(unit.Contains(Vector3(0.5f, 1.0001f, 0.5f)));

  EXPECT_TRUE(unit.ContainsRay(RayAlong(Vector3(0, 0, 0), Vector3(1, 0, 0), 1.0f)));
  EXPECT_FALSE(unit.ContainsRay(RayAlong(Vector3(0, 0, 0), Vector3(1, 0, 0), 1.5f)));
}

TEST(CDSShape, ClampMovesOntoTheNearBoundAndWrapOntoTheFar) {
  const CCDSShape box = Box(-1, -1, -1, 1, 1, 1);
  Vector3 p(-3, 0.5f, 4);
  EXPECT_TRUE(box.ClampPoint(p));
  EXPECT_EQ(p, Vector3(-1, 0.5f, 1));
  EXPECT_FALSE(box.ClampPoint(p));

  Vector3 q(-3, 0.5f, 4);
  EXPECT_TRUE(box.WrapPoint(q));
  EXPECT_EQ(q, Vector3(1, 0.5f, -1));
  Vector3 inside(0, 0, 0);
  EXPECT_FALSE(box.WrapPoint(inside));
}

TEST(CDSShape, ClassifyPlanesSaysInsideCrossingOrOutside) {
  // Planes with the inside at negative distance: x <= 10 and x >= -10.
  Plane planes[2];
  planes[0].SetPointNormal(Vector3(10, 0, 0), Vector3(1, 0, 0));
  planes[1].SetPointNormal(Vector3(-10, 0, 0), Vector3(-1, 0, 0));
  EXPECT_EQ(Box(-1, -1, -1, 1, 1, 1).ClassifyPlanes(planes, 2), CCDSShape::kInsideAll);
  EXPECT_EQ(Box(9, -1, -1, 11, 1, 1).ClassifyPlanes(planes, 2), CCDSShape::kCrossing);
  EXPECT_EQ(Box(8, -1, -1, 10, 1, 1).ClassifyPlanes(planes, 2), CCDSShape::kCrossing);  // touching
  EXPECT_EQ(Box(-12, -1, -1, -11, 1, 1).ClassifyPlanes(planes, 2), CCDSShape::kOutsideOne);
  EXPECT_EQ(Box(-1, -1, -1, 1, 1, 1).ClassifyPlanes(planes, 0), CCDSShape::kInsideAll);
}

TEST(CDSShape, SlabTestReportsEntryOrExitDistance) {
  const CCDSShape box = Box(2, -1, -1, 4, 1, 1);
  struct Case {
    Ray ray;
    bool hit;
    float distance;
  };
  const std::vector<Case> cases = {
      {RayAlong(Vector3(0, 0, 0), Vector3(1, 0, 0)), true, 2.0f},
      {RayAlong(Vector3(3, 0, 0), Vector3(1, 0, 0)), true, 1.0f},   // from inside: the exit
      {RayAlong(Vector3(5, 0, 0), Vector3(1, 0, 0)), false, 0.0f},  // box behind the origin
      {RayAlong(Vector3(0, 2, 0), Vector3(1, 0, 0)), false, 0.0f},  // parallel, outside the y slab
      {RayAlong(Vector3(0, 1, 0), Vector3(1, 0, 0)), true, 2.0f},   // parallel, on the y bound
      {RayAlong(Vector3(0, 0, 0), Vector3(0, 1, 0)), false, 0.0f},
      {RayAlong(Vector3(std::nanf(""), 0, 0), Vector3(1, 0, 0)), false, 0.0f},
  };
  for (const Case& c : cases) {
    float distance = -1.0f;
    EXPECT_EQ(box.IntersectRay(c.ray, &distance), c.hit);
    if (c.hit) {
      EXPECT_FLOAT_EQ(distance, c.distance);
    }
  }
}

}  // namespace
