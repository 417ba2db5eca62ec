// The sphere and the ellipse: grid supports, analytic ray casts, boxes,
// one-point sections and the mass of their tessellation.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "support/TestHull.h"

namespace {

constexpr float kPi = 3.14159265f;

std::unique_ptr<dgCollisionSphere> MakeSphere(float radius) {
  const dgMatrix& identity = dgGetIdentityMatrix();
  return std::unique_ptr<dgCollisionSphere>(
      new dgCollisionSphere(dgCollisionSphere::MakeSphereSignature(radius, identity), radius, identity));
}

std::unique_ptr<dgCollisionEllipse> MakeEllipse(float rx, float ry, float rz) {
  const dgMatrix& identity = dgGetIdentityMatrix();
  return std::unique_ptr<dgCollisionEllipse>(
      new dgCollisionEllipse(dgCollisionEllipse::MakeEllipseSignature(rx, ry, rz, identity), rx, ry, rz, identity));
}

}  // namespace

TEST(SphereShape, GridStepFollowsTheRadius) {
  const struct {
    float radius;
    float steps;
  } cases[] = {{0.1f, 128}, {0.5f, 128}, {1.0f, 256}, {2.0f, 512}, {4.0f, 1024}, {10.0f, 1024}, {0.0f, 128}};
  for (const auto& c : cases) {
    EXPECT_NEAR(MakeSphere(c.radius)->GetGrid().step, 2.0f * kPi / c.steps, 1e-7f) << c.radius;
  }
}

TEST(SphereShape, SupportIsAStableGridPointOnTheSphere) {
  const auto sphere = MakeSphere(2.0f);
  EXPECT_EQ(sphere->SupportVertex(dgVector(1, 0, 0, 0)), dgVector(2, 0, 0, 0));
  EXPECT_EQ(sphere->SupportVertex(dgVector(-1, 0, 0, 0)), dgVector(-2, 0, 0, 0));

  std::mt19937 random(11);
  const float step = sphere->GetGrid().step;
  for (int i = 0; i < 500; ++i) {
    const dgVector dir = RandomUnitVector(random);
    const dgVector p = sphere->SupportVertex(dir);
    EXPECT_NEAR(std::sqrt(p.LengthSquared()), 2.0f, 1e-4f);
    // Never farther from the exact point than one grid cell.
    EXPECT_GT(p.DotProduct(dir), 2.0f * std::cos(2.0f * step));
    // A direction turned by a small fraction of a cell mostly keeps the point.
    const dgVector nearby = (dir + RandomUnitVector(random).Scale(step * 1e-3f));
    const dgVector q = sphere->SupportVertex(nearby.Scale(1.0f / std::sqrt(nearby.LengthSquared())));
    EXPECT_LT((q - p).LengthSquared(), 4.0f * (2.0f * step) * (2.0f * step));
  }
  // Within one cell the answer does not move at all.
  const dgVector a(0.3f, 0.5f, std::sqrt(1.0f - 0.34f), 0);
  const dgVector b = (a + dgVector(0, 1e-6f, -1e-6f, 0));
  EXPECT_EQ(sphere->SupportVertex(a), sphere->SupportVertex(b.Scale(1.0f / std::sqrt(b.LengthSquared()))));
}

TEST(SphereShape, RayCastTable) {
  const auto sphere = MakeSphere(1.0f);
  sphere->SetUserData(reinterpret_cast<void*>(intptr_t{-5}));
  struct Case {
    dgVector p0, p1;
    float t;
    bool writesNormal;
  };
  const Case cases[] = {
      {{-3, 0, 0, 1}, {3, 0, 0, 1}, 1.0f / 3.0f, true},  // straight through
      {{-3, 0, 0, 1}, {-1, 0, 0, 1}, 1.0f, true},        // ends exactly on the surface
      {{-3, 0, 0, 1}, {-2, 0, 0, 1}, 2.0f, false},       // root beyond the end: returned as it is
      {{0, 0, 0, 1}, {3, 0, 0, 1}, 1.2f, false},         // starts inside
      {{-3, 1, 0, 1}, {3, 1, 0, 1}, 1.2f, false},        // tangent (discriminant 0)
      {{-3, 2, 0, 1}, {3, 2, 0, 1}, 1.2f, false},        // passes beside
      {{3, 0, 0, 1}, {5, 0, 0, 1}, 1.2f, false},         // going away
      {{2, 2, 2, 1}, {2, 2, 2, 1}, 1.2f, false},         // a point, not a segment
  };
  for (const Case& c : cases) {
    dgContact contact{};
    const float t = sphere->RayCast(c.p0, c.p1, contact);
    EXPECT_NEAR(t, c.t, 1e-5f) << c.p0.x << " " << c.p0.y << " -> " << c.p1.x;
    if (c.writesNormal) {
      const dgVector hit = c.p0 + (c.p1 - c.p0).Scale(t);
      EXPECT_NEAR(contact.normal.DotProduct(hit), 1.0f, 1e-5f);
      EXPECT_EQ(contact.userId, -5);
    } else {
      EXPECT_EQ(contact.normal, dgVector());
    }
  }
}

TEST(SphereShape, BoxSectionAndMass) {
  const auto sphere = MakeSphere(2.0f);
  dgMatrix placed;
  placed.posit = dgVector(1, 2, 3, 1);
  dgVector lo;
  dgVector hi;
  sphere->CalcAABB(placed, lo, hi);
  EXPECT_EQ(lo, dgVector(-1, 0, 1, 1));
  EXPECT_EQ(hi, dgVector(3, 4, 5, 1));

  // One point, (normal · point) normal, even for a plane far off the sphere.
  dgVector points[1];
  ASSERT_EQ(sphere->CalculatePlaneIntersection(dgVector(0, 1, 0, 0), dgVector(5, 9, 5, 1), points), 1);
  EXPECT_EQ(points[0], dgVector(0, 9, 0, 0));

  // 512 triangles hold about 98 % of the true volume; the 18-vertex hull much less.
  const float exact = 4.0f / 3.0f * kPi * 8.0f;
  EXPECT_NEAR(sphere->GetVolume(), exact, 0.03f * exact);
  EXPECT_LT(sphere->GetVolume(), exact);
  EXPECT_LT(sphere->GetHullVolume(), 0.8f * exact);
  dgVector inertia;
  dgVector centre;
  sphere->CalculateInertia(inertia, centre);
  EXPECT_NEAR(inertia.x, 0.4f * 4.0f, 0.05f * 1.6f);
  EXPECT_NEAR(inertia.x, inertia.y, 1e-3f);
  EXPECT_NEAR(inertia.y, inertia.z, 1e-3f);
  EXPECT_NEAR(centre.LengthSquared(), 0.0f, 1e-8f);
}

TEST(EllipseShape, ScalesTheUnitSphere) {
  const auto ellipse = MakeEllipse(1.0f, 2.0f, 3.0f);
  EXPECT_EQ(ellipse->GetKind(), dgCollision::kEllipse);
  EXPECT_TRUE(ellipse->IsType(dgCollisionSphereId));
  EXPECT_TRUE(ellipse->IsType(dgConvexCollisionId));
  EXPECT_FALSE(MakeSphere(1.0f)->IsType(dgCollisionEllipseId));

  EXPECT_EQ(ellipse->SupportVertex(dgVector(0, 0, 1, 0)), dgVector(0, 0, 3, 1));
  EXPECT_EQ(ellipse->SupportVertex(dgVector(1, 0, 0, 0)), dgVector(1, 0, 0, 1));

  dgVector lo;
  dgVector hi;
  ellipse->CalcAABB(dgGetIdentityMatrix(), lo, hi);
  EXPECT_NEAR(hi.x, 1.0f, 0.01f);
  EXPECT_NEAR(hi.y, 2.0f, 0.01f);
  EXPECT_NEAR(hi.z, 3.0f, 0.01f);
  EXPECT_NEAR(lo.z, -3.0f, 0.01f);

  const float exact = 4.0f / 3.0f * kPi * 6.0f;
  EXPECT_NEAR(ellipse->GetVolume(), exact, 0.03f * exact);
}

TEST(EllipseShape, RayCastNormalIsTheGradient) {
  const dgVector radii(1.0f, 2.0f, 3.0f, 0.0f);
  const auto ellipse = MakeEllipse(radii.x, radii.y, radii.z);
  std::mt19937 random(21);
  for (int i = 0; i < 200; ++i) {
    // Aim from outside at a random surface point.
    const dgVector u = RandomUnitVector(random);
    const dgVector surface(u.x * radii.x, u.y * radii.y, u.z * radii.z, 1.0f);
    const dgVector gradient = dgVector(u.x / radii.x, u.y / radii.y, u.z / radii.z, 0.0f);
    const dgVector outward = gradient.Scale(1.0f / std::sqrt(gradient.LengthSquared()));
    const dgVector p0 = surface + outward.Scale(2.0f);
    const dgVector p1 = surface - outward.Scale(0.5f);
    dgContact contact{};
    const float t = ellipse->RayCast(p0, p1, contact);
    ASSERT_LE(t, 1.0f);
    EXPECT_NEAR(t, 0.8f, 1e-3f);
    EXPECT_GT(contact.normal.DotProduct(outward), 0.9999f);
  }
  // One point on the plane: the tangent point of a plane of this normal.
  dgVector points[1];
  ASSERT_EQ(ellipse->CalculatePlaneIntersection(dgVector(0, 0, 1, 0), dgVector(0, 0, 3, 1), points), 1);
  EXPECT_NEAR(points[0].z, 3.0f, 1e-5f);
}

TEST(EllipseShape, VolumeBelowPlaneIsTheScaledSpheres) {
  struct Plane {
    static int At(void*, void* context, const dgMatrix&, float* plane) {
      const float* p = static_cast<float*>(context);
      for (int i = 0; i < 4; ++i) plane[i] = p[i];
      return 1;
    }
  };
  const auto ellipse = MakeEllipse(1.0f, 2.0f, 3.0f);
  const auto unit = MakeSphere(1.0f);
  // The plane z = 1.5 of the ellipse is the plane z = 0.5 of its unit sphere.
  float ellipsePlane[4] = {0, 0, 1, -1.5f};
  float unitPlane[4] = {0, 0, 1, -0.5f};
  dgVector ellipseOut;
  dgVector unitOut;
  ellipse->CalculateVolumeBelowPlane(ellipseOut, dgGetIdentityMatrix(), Plane::At, ellipsePlane);
  unit->CalculateVolumeBelowPlane(unitOut, dgGetIdentityMatrix(), Plane::At, unitPlane);
  ASSERT_GT(unitOut.w, 0.0f);
  EXPECT_NEAR(ellipseOut.w, unitOut.w * 6.0f, 1e-4f);
  EXPECT_NEAR(ellipseOut.z, unitOut.z * 3.0f, 1e-4f);
  EXPECT_NEAR(ellipseOut.x, 0.0f, 1e-4f);

  // Without a plane: the whole (hull) volume, scaled.
  ellipse->CalculateVolumeBelowPlane(ellipseOut, dgGetIdentityMatrix(), nullptr, nullptr);
  EXPECT_NEAR(ellipseOut.w, unit->GetHullVolume() * 6.0f, 1e-4f);
}
