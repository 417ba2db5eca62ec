// The capsule and the cylinder along local x: sizes, supports, analytic
// ray casts, plane sections and the mass of their tessellations.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollisionCapsule.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "support/HullOracles.h"

namespace {

constexpr float kPi = 3.14159265f;

std::unique_ptr<dgCollisionCapsule> MakeCapsule(float radius, float height) {
  const dgMatrix& identity = dgGetIdentityMatrix();
  return std::unique_ptr<dgCollisionCapsule>(new dgCollisionCapsule(
      dgCollisionCapsule::MakeCapsuleSignature(radius, height, identity), radius, height, identity));
}

std::unique_ptr<dgCollisionCylinder> MakeCylinder(float radius, float height) {
  const dgMatrix& identity = dgGetIdentityMatrix();
  return std::unique_ptr<dgCollisionCylinder>(new dgCollisionCylinder(
      dgCollisionCylinder::MakeCylinderSignature(radius, height, identity), radius, height, identity));
}

struct RayCase {
  dgVector p0, p1;
  float t;
  dgVector normal;
};

void CheckRays(const dgConvexCollision& shape, const RayCase* cases, int count) {
  for (int i = 0; i < count; ++i) {
    const RayCase& c = cases[i];
    dgContact contact{};
    const float t = shape.RayCast(c.p0, c.p1, contact);
    EXPECT_NEAR(t, c.t, 1e-4f) << "case " << i;
    if (c.t <= 1.0f) {
      EXPECT_NEAR(contact.normal.x, c.normal.x, 1e-4f) << "case " << i;
      EXPECT_NEAR(contact.normal.y, c.normal.y, 1e-4f) << "case " << i;
      EXPECT_NEAR(contact.normal.z, c.normal.z, 1e-4f) << "case " << i;
      EXPECT_EQ(contact.normal.w, 1.0f);
    }
  }
}

}  // namespace

TEST(CapsuleShape, HalfLengthAndSignature) {
  const struct {
    float radius, height, halfLength;
  } cases[] = {{1.0f, 2.0f, 0.05f}, {1.0f, 2.09f, 0.05f}, {1.0f, 2.2f, 0.1f}, {0.5f, 4.0f, 1.5f}, {-0.5f, -4.0f, 1.5f}};
  for (const auto& c : cases) {
    const auto capsule = MakeCapsule(c.radius, c.height);
    EXPECT_NEAR(capsule->GetHalfLength(), c.halfLength, 1e-6f) << c.radius << " " << c.height;
    EXPECT_EQ(capsule->GetRadius(), std::fabs(c.radius));
    // The signature keeps half the height, also when the straight part is clamped.
    EXPECT_EQ(capsule->CalculateSignature(),
              dgCollisionCapsule::MakeCapsuleSignature(c.radius, c.height, dgGetIdentityMatrix()));
    EXPECT_EQ(capsule->GetVertexCount(), 48);
    EXPECT_EQ(capsule->GetEdgeCount(), 180);
  }
  EXPECT_NE(dgCollisionCapsule::MakeCapsuleSignature(1.0f, 2.0f, dgGetIdentityMatrix()),
            dgCollisionCapsule::MakeCapsuleSignature(1.0f, 2.09f, dgGetIdentityMatrix()));
}

TEST(CapsuleShape, SupportVertex) {
  const auto capsule = MakeCapsule(0.5f, 4.0f);  // h = 1.5
  EXPECT_EQ(capsule->SupportVertex(dgVector(1, 0, 0, 0)), dgVector(2, 0, 0, 0));
  EXPECT_EQ(capsule->SupportVertex(dgVector(-1, 0, 0, 0)), dgVector(-2, 0, 0, 0));
  // dir.x = 0 takes the +h end.
  const dgVector up = capsule->SupportVertex(dgVector(0, 1, 0, 0));
  EXPECT_EQ(up.x, 1.5f);
  EXPECT_NEAR(up.y, 0.5f, 1e-5f);
  const dgVector slant = capsule->SupportVertex(dgVector(-0.6f, 0.8f, 0, 0));
  EXPECT_NEAR((slant - dgVector(-1.5f, 0, 0, 1)).LengthSquared(), 0.25f, 1e-5f);
}

TEST(CapsuleShape, RayCastTable) {
  const auto capsule = MakeCapsule(0.5f, 4.0f);  // straight part -1.5..1.5, ends to +-2
  const RayCase cases[] = {
      {{-5, 0, 0, 1}, {5, 0, 0, 1}, 0.3f, {-1, 0, 0, 1}},  // along the axis: the end sphere
      {{5, 0, 0, 1}, {-5, 0, 0, 1}, 0.3f, {1, 0, 0, 1}},
      {{0, 3, 0, 1}, {0, -3, 0, 1}, 2.5f / 6.0f, {0, 1, 0, 1}},  // the side
      {{0, 0, 3, 1}, {0, 0, 0.5f, 1}, 1.0f, {0, 0, 1, 1}},       // ends exactly on the side
      {{1.75f, 3, 0, 1},
       {1.75f, -3, 0, 1},  // beyond +h: the end sphere
       (3.0f - std::sqrt(0.25f - 0.0625f)) / 6.0f,
       {0.5f, std::sqrt(0.75f), 0, 1}},
      {{0, 0.2f, 0, 1}, {5, 0.2f, 0, 1}, 1.2f, {}},         // starts in the straight part
      {{1.8f, 0, 0, 1}, {5, 0, 0, 1}, 1.2f, {}},            // starts in the end sphere
      {{3, 0.1f, 0, 1}, {5, 0.1f, 0, 1}, 1.2f, {}},         // in line with the axis, going away
      {{0, 3, 0, 1}, {0, 1, 0, 1}, 1.2f, {}},               // stops short
      {{0, 3, 0, 1}, {5, 3, 0, 1}, 1.2f, {}},               // parallel, outside
      {{0, 0.5f, -3, 1}, {0, 0.5f, 3, 1}, 1.2f, {}},        // tangent to the side
      {{1.5f, 3, 0.5f, 1}, {1.5f, -3, 0.5f, 1}, 1.2f, {}},  // tangent where side meets end
  };
  CheckRays(*capsule, cases, static_cast<int>(sizeof cases / sizeof cases[0]));
}

TEST(CapsuleShape, PlaneSectionsAndMass) {
  const auto capsule = MakeCapsule(0.5f, 4.0f);
  dgVector points[dgConvexCollision::kMaxSectionPoints];
  // Across the axis near an end: one point, the end sphere's centre projected.
  ASSERT_EQ(capsule->CalculatePlaneIntersection(dgVector(1, 0, 0, 0), dgVector(1.7f, 0.3f, 0, 1), points), 1);
  EXPECT_NEAR(points[0].x, 1.7f, 1e-5f);
  EXPECT_NEAR(points[0].y, 0.0f, 1e-5f);
  EXPECT_EQ(capsule->CalculatePlaneIntersection(dgVector(1, 0, 0, 0), dgVector(5, 0, 0, 1), points), 0);
  // Along the axis: the hull's section in the turned frame, on the plane.
  const float s = std::sqrt(0.5f);
  const dgVector normal(0, s, s, 0);
  const int count = capsule->CalculatePlaneIntersection(normal, dgVector(0, 0, 0, 1), points);
  ASSERT_GE(count, 4);
  for (int i = 0; i < count; ++i) EXPECT_NEAR(normal.DotProduct(points[i]), 0.0f, 1e-5f);
  // The coarse hull is narrower than the capsule (0.866 of its width across the axis).
  const float area = PolygonArea(count, points, normal);
  EXPECT_GT(area, 3.0f * 0.86f);
  EXPECT_LT(area, 3.0f + kPi * 0.25f);

  const float exact = kPi * 0.25f * 3.0f + 4.0f / 3.0f * kPi * 0.125f;
  EXPECT_NEAR(capsule->GetVolume(), exact, 0.04f * exact);
}

TEST(CapsuleShape, WorldBoxFollowsTheAxis) {
  // Stood up along y (front row = y) and moved to (1, 2, 3).
  const dgMatrix upright(dgVector(0, 1, 0, 0), dgVector(-1, 0, 0, 0), dgVector(0, 0, 1, 0), dgVector(1, 2, 3, 1));
  dgVector lo;
  dgVector hi;
  MakeCapsule(0.5f, 4.0f)->CalcAABB(upright, lo, hi);
  EXPECT_NEAR(lo.y, 0.0f, 1e-5f);
  EXPECT_NEAR(hi.y, 4.0f, 1e-5f);
  EXPECT_NEAR(hi.x, 1.5f, 1e-4f);
  EXPECT_NEAR(lo.z, 2.5f, 1e-4f);
  MakeCylinder(1.0f, 3.0f)->CalcAABB(upright, lo, hi);
  EXPECT_NEAR(lo.y, 0.5f, 1e-5f);
  EXPECT_NEAR(hi.y, 3.5f, 1e-5f);
  EXPECT_NEAR(lo.x, 0.0f, 1e-4f);
  EXPECT_NEAR(hi.z, 4.0f, 1e-4f);
}

TEST(CylinderShape, SupportVertex) {
  const auto cylinder = MakeCylinder(1.0f, 4.0f);  // h = 2
  const dgVector rim = cylinder->SupportVertex(dgVector(1, 0, 0, 0));
  EXPECT_EQ(rim.x, 2.0f);
  EXPECT_NEAR(rim.y * rim.y + rim.z * rim.z, 1.0f, 1e-5f);
  // dir.x = 0 takes the -h end.
  const dgVector side = cylinder->SupportVertex(dgVector(0, 1, 0, 0));
  EXPECT_EQ(side.x, -2.0f);
  EXPECT_NEAR(side.y, 1.0f, 1e-4f);
  EXPECT_EQ(side.w, 1.0f);
}

TEST(CylinderShape, RayCastTable) {
  const auto cylinder = MakeCylinder(1.0f, 4.0f);
  const RayCase cases[] = {
      {{-5, 0, 0, 1}, {5, 0, 0, 1}, 0.3f, {-1, 0, 0, 1}},  // along the axis: the cap
      {{5, 0.5f, 0, 1}, {0, 0.5f, 0, 1}, 0.6f, {1, 0, 0, 1}},
      {{3, 0, 0, 1}, {2, 0, 0, 1}, 1.0f, {1, 0, 0, 1}},               // ends exactly on the cap
      {{0, 0, 3, 1}, {0, 0, -3, 1}, 1.0f / 3.0f, {0, 0, 1, 1}},       // the side
      {{1, 3, 0, 1}, {1, 1, 0, 1}, 1.0f, {0, 1, 0, 1}},               // ends exactly on the side
      {{4, 1.5f, 0, 1}, {1, 0.5f, 0, 1}, 2.0f / 3.0f, {1, 0, 0, 1}},  // meets the side beyond h, enters the cap
      {{0, 0.2f, 0, 1}, {5, 0.2f, 0, 1}, 1.2f, {}},                   // starts inside
      {{2.5f, 3, 0, 1}, {2.5f, -3, 0, 1}, 1.2f, {}},                  // beside the end
      {{5, 1.5f, 0, 1}, {-5, 1.5f, 0, 1}, 1.2f, {}},                  // parallel, outside
      {{0, 1, -3, 1}, {0, 1, 3, 1}, 1.2f, {}},                        // tangent to the side
  };
  CheckRays(*cylinder, cases, static_cast<int>(sizeof cases / sizeof cases[0]));
}

TEST(CylinderShape, PlaneSectionsAndMass) {
  const auto cylinder = MakeCylinder(1.0f, 4.0f);
  dgVector points[dgConvexCollision::kMaxSectionPoints];
  // Across the axis: the octagon of the hull.
  ASSERT_EQ(cylinder->CalculatePlaneIntersection(dgVector(1, 0, 0, 0), dgVector(0.5f, 0, 0, 1), points), 8);
  EXPECT_NEAR(PolygonArea(8, points, dgVector(1, 0, 0, 0)), 2.0f * std::sqrt(2.0f), 1e-4f);
  // Along the axis, turned so the normal lies in xy: a rectangle of 4 by about 2.
  const dgVector normal(0, 0.6f, 0.8f, 0);
  const int count = cylinder->CalculatePlaneIntersection(normal, dgVector(0, 0, 0, 1), points);
  ASSERT_EQ(count, 4);
  EXPECT_NEAR(PolygonArea(count, points, normal), 8.0f, 1e-3f);

  const float exact = kPi * 4.0f;
  EXPECT_NEAR(cylinder->GetVolume(), exact, 0.015f * exact);
  dgVector inertia;
  dgVector centre;
  cylinder->CalculateInertia(inertia, centre);
  EXPECT_NEAR(inertia.x, 0.5f, 0.02f);                   // r^2 / 2
  EXPECT_NEAR(inertia.y, 0.25f + 16.0f / 12.0f, 0.03f);  // r^2 / 4 + L^2 / 12
  EXPECT_NEAR(inertia.y, inertia.z, 1e-3f);
}
