#include <gtest/gtest.h>

#include "engine/foundation/Frustum.h"
#include "support/NearlyEqual.h"

namespace {

// The cube [-10, 10]^3 with inward normals and the default margin of 1.
Frustum CubeFrustum() {
  Frustum frustum;
  const struct {
    Frustum::PlaneIndex index;
    Vector3 point, normal;
  } planes[] = {
      {Frustum::kLeft, {-10, 0, 0}, {1, 0, 0}},   {Frustum::kRight, {10, 0, 0}, {-1, 0, 0}},
      {Frustum::kBottom, {0, -10, 0}, {0, 1, 0}}, {Frustum::kTop, {0, 10, 0}, {0, -1, 0}},
      {Frustum::kNear, {0, 0, 10}, {0, 0, -1}},   {Frustum::kFar, {0, 0, -10}, {0, 0, 1}},
  };
  for (const auto& p : planes) frustum.planes[p.index].SetPointNormal(p.point, p.normal);
  return frustum;
}

BoundingBox Box(Vector3 centre, float size) {
  BoundingBox box;
  box.SetCentreSize(centre, size, size, size);
  return box;
}

}  // namespace

TEST(Frustum, MarginIsStrictForPointsAndInclusiveForBoxes) {
  const Frustum frustum = CubeFrustum();
  EXPECT_EQ(frustum.margin, 1.0f);
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(-9, 0, 0)));  // distance exactly 1
  EXPECT_TRUE(frustum.ContainsPoint(Vector3(-8.5f, 0, 0)));
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(0, 0, 20)));

  // A box whose every corner is at distance exactly 1 from a plane passes it.
  BoundingBox atMargin;
  atMargin.SetMinMax(Vector3(-9, -1, -1), Vector3(-9, 1, 1));
  EXPECT_EQ(frustum.TestBox(atMargin), Frustum::kBoxCornerAInside);
}

TEST(Frustum, BoxTable) {
  const Frustum frustum = CubeFrustum();
  struct Case {
    BoundingBox box;
    Vector3 at;
    int result;
  };
  const Case cases[] = {
      {Box({0, 0, 0}, 4), {0, 0, 0}, Frustum::kBoxCornerAInside},
      {Box({-10.5f, 0, 0}, 0.5f), {0, 0, 0}, Frustum::kBoxOutside},  // below the margin of one plane
      {Box({30, 30, 30}, 2), {0, 0, 0}, Frustum::kBoxOutside},
      {Box({-10, 0, 0}, 4), {0, 0, 0}, Frustum::kBoxPartly},  // corner a fails the left plane
      {Box({0, 0, 0}, 40), {0, 0, 0}, Frustum::kBoxPartly},   // encloses the frustum
      // Corner a = (min x, max y, max z) is the first tried: a box poking out
      // only through the bottom still has a inside.
      {Box({0, -10, 0}, 4), {0, 0, 0}, Frustum::kBoxCornerAInside},
      {Box({0, 0, 0}, 4), {-10, 0, 0}, Frustum::kBoxPartly},
      {Box({0, 0, 0}, 4), {50, 0, 0}, Frustum::kBoxOutside},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frustum.TestBoxAt(c.box, c.at), c.result) << c.box.centre.x << " at " << c.at.x;
    BoundingBox moved;
    moved.SetCentreSize(c.box.centre + c.at, c.box.GetWidth(), c.box.GetHeight(), c.box.GetDepth());
    EXPECT_EQ(frustum.TestBox(moved), c.result);
  }
}

TEST(Frustum, SphereTable) {
  const Frustum frustum = CubeFrustum();
  struct Case {
    Vector3 centre;
    float radius;
    int result;
  };
  const Case cases[] = {
      {{0, 0, 0}, 5, Frustum::kSphereInside},
      {{0, 0, 0}, 9, Frustum::kSphereCrossing},  // distance 10 is not beyond 9 + 1
      {{0, 0, 0}, 8.9f, Frustum::kSphereInside},
      {{-9.5f, 0, 0}, 0.1f, Frustum::kSphereCentreOutside},  // centre within the margin
      {{-11, 0, 0}, 3, Frustum::kSphereCentreOutside},       // overlaps, centre outside
      {{0, 0, 50}, 1, Frustum::kSphereCentreOutside},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frustum.ClassifySphere(c.centre, c.radius), c.result) << c.centre.x << " r " << c.radius;
    EXPECT_EQ(frustum.ClassifySphere(BoundingSphere(c.centre, c.radius)), c.result);
  }
}

TEST(Frustum, TriangleAndCopy) {
  const Frustum frustum = CubeFrustum();
  EXPECT_TRUE(frustum.TestTriangle(Vector3(-20, 0, 0), Vector3(0, 0, 0), Vector3(-20, 1, 0)));
  EXPECT_FALSE(frustum.TestTriangle(Vector3(-20, 0, 0), Vector3(-9, 0, 0), Vector3(-20, 1, 0)));
  Triangle triangle;
  triangle.Set(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
  EXPECT_TRUE(frustum.TestTriangle(triangle));

  Frustum copy;
  copy.margin = 0;
  copy.Copy(frustum);
  EXPECT_EQ(copy.margin, 1.0f);
  EXPECT_EQ(copy.planes[Frustum::kTop].normal, Vector3(0, -1, 0));
}

TEST(Frustum, ExtractPlanesFacesInward) {
  // glFrustum(-1, 1, -1, 1, 1, 100) in column-major order.
  const float n = 1, f = 100;
  const float perspective[16] = {n, 0, 0, 0, 0, n, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
  Frustum frustum;
  frustum.margin = 0;
  frustum.projection.Set(perspective);
  frustum.ExtractPlanes();
  EXPECT_TRUE(frustum.ContainsPoint(Vector3(0, 0, -50)));
  EXPECT_TRUE(frustum.ContainsPoint(Vector3(40, -40, -50)));
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(0, 0, -150)));  // beyond far
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(0, 0, 0)));     // before near
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(60, 0, -50)));  // right of the view
  EXPECT_FALSE(frustum.ContainsPoint(Vector3(0, 60, -50)));  // above
  EXPECT_NEAR(frustum.planes[Frustum::kNear].Distance(Vector3(0, 0, -3)), 2.0f, 1e-4f);
  EXPECT_NEAR(frustum.planes[Frustum::kFar].Distance(Vector3(0, 0, -90)), 10.0f, 1e-3f);

  // The view matrix is premultiplied: a camera moved to x = 100.
  Frustum moved;
  moved.margin = 0;
  moved.projection.Set(perspective);
  moved.view.SetTranslation(-100, 0, 0);
  moved.ExtractPlanes();
  EXPECT_TRUE(moved.ContainsPoint(Vector3(100, 0, -50)));
  EXPECT_FALSE(moved.ContainsPoint(Vector3(0, 0, -50)));
}

TEST(Frustum, DescribePlanes) {
  const std::string text = CubeFrustum().DescribePlanes();
  EXPECT_EQ(text.substr(0, text.find('\n', 0) + 1), "Plane     a(x)    b(y)    c(z)    d\n");
  EXPECT_NE(text.find("LEFT      1.0000    0.0000    0.0000    10.0000\n"), std::string::npos);
  EXPECT_NE(text.find("FAR       0.0000    0.0000    1.0000    10.0000\n"), std::string::npos);
  EXPECT_LT(text.find("BOTTOM"), text.find("NEAR"));
}
