#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Plane.h"
#include "engine/foundation/Rect.h"
#include "support/NearlyEqual.h"

namespace {

Rect RectAt(float x, float y, float w, float h) {
  Rect r;
  r.SetPositionSize(Vector2(x, y), Vector2(w, h));
  return r;
}

BoundingBox Box(Vector3 centre, float size) {
  BoundingBox box;
  box.SetCentreSize(centre, size, size, size);
  return box;
}

Plane Ground() {
  Plane plane;
  plane.SetPointNormal(Vector3(0, 0, 0), Vector3(0, 3, 0));
  return plane;
}

}  // namespace

TEST(Rect, SettersAndContainment) {
  const Rect r = RectAt(10, 20, 100, 50);
  EXPECT_EQ(r.max, Vector2(110, 70));
  EXPECT_EQ(r.centre, Vector2(60, 45));
  EXPECT_EQ(r.GetSize(), Vector2(100, 50));
  EXPECT_TRUE(r.Contains(Vector2(10, 70)));  // inclusive bounds
  EXPECT_FALSE(r.Contains(Vector2(9.9f, 30)));

  Rect extent;
  extent.SetCentreExtent(Vector2(400, 300), 20, 10);
  EXPECT_EQ(extent.min, Vector2(-10, -5));  // relative to the centre
  Rect centred;
  centred.SetCentreSize(Vector2(400, 300), 20, 10);
  EXPECT_EQ(centred.min, Vector2(390, 295));

  centred.ScaleAboutCentre(2.0f);
  EXPECT_EQ(centred.min, Vector2(380, 290));
  EXPECT_EQ(centred.max, Vector2(420, 310));
  centred.SwapX();
  EXPECT_EQ(centred.min.x, 420.0f);
  EXPECT_FLOAT_EQ(centred.Width(), 40.0f);

  Rect turned = RectAt(1, 0, 1, 1);
  turned.Rotate(90.0f, Vector2(0, 0));
  EXPECT_TRUE(Near(turned.min, Vector2(0, 1)));
  EXPECT_TRUE(Near(turned.max, Vector2(-1, 2)));
}

TEST(Rect, OverlapsTable) {
  const Rect base = RectAt(0, 0, 10, 10);
  struct Case {
    Rect other;
    bool overlaps;
  };
  const Case cases[] = {
      {RectAt(5, 5, 10, 10), true},   {RectAt(10, 10, 5, 5), true},  // touching corner
      {RectAt(11, 0, 5, 5), false},   {RectAt(2, 2, 2, 2), true},    // inside
      {RectAt(-5, -5, 20, 20), true},                                // encloses
      {RectAt(3, -5, 2, 20), true},                                  // crosses like a plus
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base.Overlaps(c.other), c.overlaps) << c.other.min.x << ", " << c.other.min.y;
    EXPECT_EQ(c.other.Overlaps(base), c.overlaps);
  }
}

TEST(Plane, SetAndDistances) {
  Plane plane;
  plane.Set(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
  EXPECT_TRUE(Near(plane.normal, Vector3(0, 0, -1)));  // (A - B) x (C - B)
  plane.Set(Vector3(0, 0, 2), Vector3(0, 1, 2), Vector3(1, 0, 2));
  EXPECT_TRUE(Near(plane.normal, Vector3(0, 0, 1)));
  EXPECT_FLOAT_EQ(plane.d, -2.0f);
  EXPECT_FLOAT_EQ(plane.Distance(Vector3(5, 5, 7)), 5.0f);
  EXPECT_TRUE(plane.Contains(Vector3(3, -4, 2)));
  EXPECT_TRUE(Near(plane.ProjectPoint(Vector3(3, 4, 9)), Vector3(3, 4, 2)));

  const Plane ground = Ground();
  EXPECT_EQ(ground.normal, Vector3(0, 1, 0));
  EXPECT_EQ(ground.ClassifyPoint(Vector3(0, 0.00001f, 0)), kPlaneOn);
  EXPECT_EQ(ground.ClassifyPoint(Vector3(0, 0.0000101f, 0)), kPlaneFront);
  EXPECT_EQ(ground.ClassifyPoint(Vector3(0, -0.0000101f, 0)), kPlaneBehind);
  EXPECT_FALSE(ground.SeparatesPoints(Vector3(0, 1, 0), Vector3(1, 2, 0), Vector3(5, 0.1f, 0)));
  EXPECT_TRUE(ground.SeparatesPoints(Vector3(0, 1, 0), Vector3(1, 2, 0), Vector3(5, 0, 0)));
  EXPECT_TRUE(ground.SegmentCrosses(Vector3(0, 1, 0), Vector3(0, -1, 0)));
  EXPECT_FALSE(ground.SegmentCrosses(Vector3(0, 0, 0), Vector3(0, -1, 0)));  // on the plane never crosses
  EXPECT_TRUE(Near(ground.IntersectLine(Vector3(1, 2, 3), Vector3(1, -2, 3)), Vector3(1, 0, 3)));
  EXPECT_EQ(ground.IntersectLine(Vector3(1, 2, 3), Vector3(4, 2, 3)), Vector3(3, 0, 0));  // parallel

  Plane unnormalised;
  unnormalised.normal.Set(0, 0, 0);
  unnormalised.d = 4;
  unnormalised.Normalise();
  EXPECT_EQ(unnormalised.d, 4.0f);
}

TEST(Plane, PolygonClassification) {
  const Plane ground = Ground();
  struct Case {
    std::vector<Vector3> vertices;
    int side;
    bool touches;
  };
  const Case cases[] = {
      {{{0, 0, 0}, {1, 0, 0}, {0, 0.000005f, 1}}, kPlaneOn, true},  // lying in the plane
      {{{0, 0, 0}, {1, -1, 0}, {0, -2, 1}}, kPlaneBehind, false},
      {{{0, 1, 0}, {1, 0, 0}, {0, 2, 1}}, kPlaneFront, false},
      {{{0, 1, 0}, {1, -1, 0}, {0, 2, 1}}, kPlaneSpanning, true},
      {{}, kPlaneOn, true},
  };
  for (const Case& c : cases) {
    const uint32_t count = static_cast<uint32_t>(c.vertices.size());
    EXPECT_EQ(Polygon::ClassifyPlane(c.vertices.data(), count, ground), c.side) << count;
    EXPECT_EQ(Polygon::TouchesPlane(c.vertices.data(), count, ground), c.touches);
  }
}

TEST(Triangle, SetRefreshAndContainment) {
  Triangle triangle;
  Plane& asPlane = triangle;
  asPlane.Set(Vector3(0, 0, 2), Vector3(0, 1, 2), Vector3(1, 0, 2));  // dispatches to Triangle::Set
  EXPECT_EQ(triangle.B, Vector3(0, 1, 2));
  EXPECT_TRUE(Near(triangle.Centroid(), Vector3(1.0f / 3, 1.0f / 3, 2)));
  EXPECT_EQ(triangle.GetMin(), Vector3(0, 0, 2));
  EXPECT_EQ(triangle.GetMax(), Vector3(1, 1, 2));

  triangle.C.Set(0, 0, 3);
  triangle.Refresh();
  EXPECT_TRUE(Near(triangle.normal, Vector3(-1, 0, 0)));
  EXPECT_EQ(triangle.C, Vector3(0, 0, 3));

  Triangle skew;
  const Vector3 a(0.1f, 0.3f, 0.7f), b(1.7f, 2.9f, -0.4f), c(-1.3f, 2.2f, 0.9f);
  skew.Set(a, b, c);
  EXPECT_TRUE(skew.ContainsPoint(skew.Centroid()));
  EXPECT_TRUE(skew.ContainsPointSides(skew.Centroid()));
  EXPECT_FALSE(skew.ContainsPoint(a + (a - skew.Centroid())));
  EXPECT_FALSE(skew.ContainsPointSides(a + (a - skew.Centroid())));
  // On an edge two directions are opposite; their cosine may round below -1.
  for (int i = 1; i < 20; ++i) {
    Vector3 onEdge;
    onEdge.Interpolate(a, b, i / 20.0f);
    EXPECT_TRUE(skew.ContainsPoint(onEdge)) << i;
  }
}

TEST(BoundingBox, CornersSizeAndContainment) {
  BoundingBox box;
  box.SetCentreSize(Vector3(1, 2, 3), 2, 4, 6);
  EXPECT_EQ(box.a, Vector3(0, 4, 6));  // smallest x, largest y and z
  EXPECT_EQ(box.b, Vector3(2, 0, 0));
  EXPECT_EQ(box.min, Vector3(0, 0, 0));
  EXPECT_EQ(box.max, Vector3(2, 4, 6));
  EXPECT_EQ(box.GetSize(), Vector3(2, 4, 6));
  EXPECT_EQ(box.GetLargestSide(), 6.0f);
  EXPECT_TRUE(box.ContainsPoint(Vector3(0, 4, 0)));  // inclusive
  EXPECT_FALSE(box.ContainsPoint(Vector3(2.01f, 1, 1)));

  BoundingBox flat;
  flat.SetCentreSize(Vector3(1, 2, 3), 0, 0, 0);
  for (const Vector3& v : {flat.a, flat.b, flat.min, flat.max}) EXPECT_EQ(v, Vector3(1, 2, 3));

  BoundingBox inverted;
  inverted.SetCentreSizeVector(Vector3(0, 0, 0), Vector3(-2, 2, 2));
  EXPECT_EQ(inverted.min.x, -1.0f);
  EXPECT_EQ(inverted.max.x, 1.0f);

  BoundingBox fromExtremes;
  fromExtremes.SetMinMax(Vector3(-1, -2, -3), Vector3(3, 2, 1));
  EXPECT_EQ(fromExtremes.centre, Vector3(1, 0, -1));
  EXPECT_EQ(fromExtremes.a, Vector3(-1, 2, 1));
  EXPECT_EQ(fromExtremes.b, Vector3(3, -2, -3));
  EXPECT_EQ(fromExtremes.GetSize(), Vector3(4, 4, 4));
  EXPECT_TRUE(fromExtremes.ContainsPoint(Vector3(3, -2, 1)));

  BoundingBox copy;
  fromExtremes.CopyTo(copy);
  EXPECT_EQ(copy.max, Vector3(3, 2, 1));
  EXPECT_TRUE(BoundingBox::EitherContains(box, fromExtremes, Vector3(-1, 0, 0)));
  EXPECT_FALSE(BoundingBox::EitherContains(box, fromExtremes, Vector3(9, 0, 0)));
}

TEST(BoundingBox, OverlapsTable) {
  const BoundingBox base = Box(Vector3(0, 0, 0), 2);
  struct Case {
    BoundingBox other;
    bool overlaps;
  };
  BoundingBox rod;
  rod.SetCentreSize(Vector3(0, 0, 0), 0.5f, 0.5f, 10);
  const Case cases[] = {
      {Box(Vector3(1, 1, 1), 2), true},  {Box(Vector3(2, 0, 0), 2), true},   // touching faces
      {Box(Vector3(0, 3, 0), 2), false}, {Box(Vector3(0, 0, 0), 10), true},  // encloses
      {Box(Vector3(0, 0, 0), 1), true},  {rod, true},                        // pierces
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base.OverlapsBox(c.other), c.overlaps) << c.other.centre.y << " " << c.other.GetWidth();
    EXPECT_EQ(c.other.OverlapsBox(base), c.overlaps);
  }
}

TEST(BoundingSphere, IntersectionAndContainment) {
  const BoundingSphere sphere(Vector3(0, 0, 0), 2);
  EXPECT_TRUE(sphere.Intersects(BoundingSphere(Vector3(3, 0, 0), 1)));  // touching
  EXPECT_FALSE(sphere.Intersects(BoundingSphere(Vector3(3.1f, 0, 0), 1)));
  EXPECT_TRUE(sphere.ContainsPoint(Vector3(0, -2, 0)));
  EXPECT_FALSE(sphere.ContainsPoint(Vector3(0, -2.01f, 0)));
  BoundingSphere copy;
  sphere.CopyTo(copy);
  EXPECT_EQ(copy.radius, 2.0f);
}

TEST(Capsule, ClosestPointTable) {
  Capsule capsule;
  capsule.A.Set(0, 0, 0);
  capsule.B.Set(0, 4, 0);
  capsule.radius = 1;
  const std::pair<Vector3, Vector3> cases[] = {
      {{3, -2, 0}, {0, 0, 0}},  // before A
      {{3, 9, 1}, {0, 4, 0}},   // beyond B: exactly B
      {{3, 1, 0}, {0, 1, 0}},
  };
  for (const auto& [p, closest] : cases) EXPECT_EQ(capsule.ClosestPoint(p), closest);
  EXPECT_FLOAT_EQ(capsule.DistanceToPoint(Vector3(3, 1, 0)), 3.0f);
  EXPECT_FLOAT_EQ(capsule.AxisLength(), 4.0f);

  Capsule point;
  point.A.Set(1, 1, 1);
  point.B = point.A;
  EXPECT_EQ(point.ClosestPoint(Vector3(5, 5, 5)), Vector3(1, 1, 1));

  Cylinder cylinder, copy;
  cylinder.A.Set(1, 2, 3);
  cylinder.capB = 1;
  cylinder.radius = 0.5f;
  copy.Assign(cylinder);
  EXPECT_EQ(copy.A, Vector3(1, 2, 3));
  EXPECT_EQ(copy.capB, 1);
  EXPECT_EQ(copy.radius, 0.5f);
}
