// The hull algorithms shared by every convex primitive, against brute force
// on random convex prisms.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "physics/body/dgContact.h"
#include "support/HullOracles.h"
#include "support/TestHull.h"

namespace {

std::unique_ptr<TestHull> Cube(float half, const dgVector& centre = dgVector(0, 0, 0, 0)) {
  dgVector v[8];
  for (int i = 0; i < 8; ++i) {
    v[i] = dgVector(centre.x + ((i & 1) ? -half : half), centre.y + ((i & 2) ? -half : half),
                    centre.z + ((i & 4) ? -half : half), 1.0f);
  }
  static constexpr int kFaces[24] = {0, 4, 5, 1, 0, 1, 3, 2, 1, 5, 7, 3, 5, 4, 6, 7, 4, 0, 2, 6, 6, 2, 3, 7};
  static constexpr int kSizes[6] = {4, 4, 4, 4, 4, 4};
  return std::make_unique<TestHull>(8, v, 6, kSizes, kFaces);
}

dgVector RandomPoint(std::mt19937& random, float range) {
  std::uniform_real_distribution<float> coordinate(-range, range);
  return {coordinate(random), coordinate(random), coordinate(random), 1.0f};
}

}  // namespace

TEST(ConvexHull, ClimbFindsTheBruteForceMaximum) {
  std::mt19937 random(1234);
  for (int shape = 0; shape < 100; ++shape) {
    std::unique_ptr<TestHull> hull(TestHull::RandomPrism(random, 3 + shape % 12));
    ASSERT_TRUE(hull->IsValid());
    for (int k = 0; k < 40; ++k) {
      const dgVector dir = RandomUnitVector(random);
      const float expected = BruteSupportValue(*hull, dir);
      EXPECT_NEAR(dir.DotProduct(hull->SupportVertex(dir)), expected, 1e-4f * (1.0f + std::fabs(expected)));
    }
    // A zero direction still lands on a hull vertex.
    const dgVector zero = hull->SupportVertex(dgVector(0, 0, 0, 0));
    bool isVertex = false;
    for (int i = 0; i < hull->GetVertexCount(); ++i) isVertex |= hull->GetVertices()[i] == zero;
    EXPECT_TRUE(isVertex);
  }
}

TEST(ConvexHull, SetUpGivesVolumeCentreAndBoxOfTheHull) {
  const auto cube = Cube(0.5f);
  EXPECT_NEAR(cube->GetHullVolume(), 1.0f, 1e-5f);
  EXPECT_NEAR(cube->GetCentreOfMass().LengthSquared(), 0.0f, 1e-10f);
  EXPECT_EQ(cube->GetBoxSize(), dgVector(0.5f, 0.5f, 0.5f, 0.0f));
  EXPECT_EQ(cube->GetBoxCentre(), dgVector(0.0f, 0.0f, 0.0f, 0.0f));

  dgVector inertia;
  dgVector centre;
  cube->CalculateInertia(inertia, centre);
  EXPECT_NEAR(inertia.x, 1.0f / 6.0f, 1e-5f);  // (1 + 1) / 12 per unit mass
  EXPECT_NEAR(inertia.y, 1.0f / 6.0f, 1e-5f);
  EXPECT_NEAR(inertia.z, 1.0f / 6.0f, 1e-5f);

  // A hull below 0.001 in volume divides by 0.001: its centre comes out
  // scaled by volume / 0.001 (0.064 for a 0.04 cube at x = 1).
  const auto tiny = Cube(0.02f, dgVector(1, 0, 0, 0));
  EXPECT_NEAR(tiny->GetVolume(), 0.04f * 0.04f * 0.04f, 1e-8f);
  tiny->CalculateInertia(inertia, centre);
  EXPECT_NEAR(centre.x, 0.064f, 1e-4f);
  EXPECT_NEAR(tiny->GetCentreOfMass().x, 0.064f, 1e-4f);
}

TEST(ConvexHull, RayCastMatchesClippingAgainstTheFacePlanes) {
  std::mt19937 random(99);
  int hits = 0;
  int casts = 0;
  for (int shape = 0; shape < 150; ++shape) {
    std::unique_ptr<TestHull> hull(TestHull::RandomPrism(random, 3 + shape % 8));
    for (int k = 0; k < 40; ++k) {
      const dgVector p0 = RandomPoint(random, 6.0f);
      const dgVector p1 = hull->GetCentreOfMass() + RandomPoint(random, 3.0f);
      dgVector expectedNormal;
      float margin = 0.0f;
      const float expected = BruteRayCast(*hull, p0, p1, expectedNormal, margin);
      dgContact contact{};
      const float t = hull->RayCast(p0, p1, contact);
      ++casts;
      if (expected > 1.0f) {
        // A hit is called within 1e-4 of the surface: a graze may count.
        if (t <= 1.0f) {
          EXPECT_LT(HullSignedDistance(*hull, p0 + (p1 - p0).Scale(t)), 1e-3f);
        }
        continue;
      }
      ++hits;
      ASSERT_LE(t, 1.0f) << "shape " << shape << " cast " << k << " expected " << expected;
      EXPECT_NEAR(t, expected, 2e-3f);
      if (margin > 0.01f) {
        EXPECT_GT(contact.normal.DotProduct(expectedNormal), 0.999f);
      }
    }
  }
  // The sample covers both outcomes.
  EXPECT_GT(hits, casts / 5);
  EXPECT_LT(hits, casts * 4 / 5);
}

TEST(ConvexHull, RayCastEdgeCases) {
  const auto cube = Cube(1.0f);
  dgContact contact{};
  // Starting inside misses, also when the segment leaves the hull.
  EXPECT_EQ(cube->RayCast(dgVector(0, 0, 0, 1), dgVector(5, 0.3f, 0.2f, 1), contact), dgCollision::kRayMiss);
  // Touching the hull only at the end point is a hit at t = 1.
  contact.normal = dgVector();
  EXPECT_NEAR(cube->RayCast(dgVector(3, 0.2f, 0.1f, 1), dgVector(1, 0.2f, 0.1f, 1), contact), 1.0f, 1e-4f);
  EXPECT_NEAR(contact.normal.x, 1.0f, 1e-4f);
  // Parallel to an axis and outside the local box on either side: rejected by the box test.
  EXPECT_EQ(cube->RayCast(dgVector(-5, 2, 0, 1), dgVector(5, 2, 0, 1), contact), dgCollision::kRayMiss);
  EXPECT_EQ(cube->RayCast(dgVector(-5, -2, 0, 1), dgVector(5, -2, 0, 1), contact), dgCollision::kRayMiss);
  // Hulls below about 0.25 units cannot build the first tetrahedron: always a miss.
  const auto tiny = Cube(0.05f);
  EXPECT_EQ(tiny->RayCast(dgVector(-1, 0, 0, 1), dgVector(1, 0, 0, 1), contact), dgCollision::kRayMiss);
}

TEST(ConvexHull, PlaneSectionMatchesBruteForceArea) {
  std::mt19937 random(4321);
  int cuts = 0;
  for (int shape = 0; shape < 60; ++shape) {
    std::unique_ptr<TestHull> hull(TestHull::RandomPrism(random, 3 + shape % 8));
    for (int k = 0; k < 20; ++k) {
      const dgVector normal = RandomUnitVector(random);
      const dgVector point = hull->GetCentreOfMass() + RandomPoint(random, 0.4f);
      dgVector points[dgConvexCollision::kMaxSectionPoints];
      const int count = hull->CalculatePlaneIntersection(normal, point, points);
      const float expected = BruteSectionArea(*hull, normal, point);
      if (expected < 1e-3f) continue;
      ++cuts;
      ASSERT_GE(count, 3) << "shape " << shape << " cut " << k;
      for (int i = 0; i < count; ++i) EXPECT_NEAR(normal.DotProduct(points[i] - point), 0.0f, 1e-3f);
      EXPECT_NEAR(PolygonArea(count, points, normal), expected, 1e-3f * (1.0f + expected));
    }
  }
  EXPECT_GT(cuts, 600);

  // Planes through a hull vertex: the trace passes vertices lying exactly on
  // the plane and still closes (or reports nothing when its seed is on the plane).
  int traced = 0;
  for (int shape = 0; shape < 40; ++shape) {
    std::unique_ptr<TestHull> hull(TestHull::RandomPrism(random, 3 + shape % 8));
    for (int k = 0; k < 20; ++k) {
      const dgVector normal = RandomUnitVector(random);
      const dgVector point = hull->GetVertices()[k % hull->GetVertexCount()];
      dgVector points[dgConvexCollision::kMaxSectionPoints];
      const int count = hull->CalculatePlaneIntersection(normal, point, points);
      ASSERT_LE(count, dgConvexCollision::kMaxSectionPoints);
      if (count == 0) continue;
      ++traced;
      EXPECT_NEAR(PolygonArea(count, points, normal), BruteSectionArea(*hull, normal, point),
                  1e-3f * (1.0f + BruteSectionArea(*hull, normal, point)));
    }
  }
  EXPECT_GT(traced, 400);
}

TEST(ConvexHull, PlaneSectionEdgeCases) {
  const auto cube = Cube(1.0f);
  dgVector points[dgConvexCollision::kMaxSectionPoints];
  // Through the middle, parallel to a face: the four corners of the section.
  ASSERT_EQ(cube->CalculatePlaneIntersection(dgVector(0, 1, 0, 0), dgVector(0, 0, 0, 1), points), 4);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(std::fabs(points[i].x) + std::fabs(points[i].z), 2.0f, 1e-5f);
  // A plane that misses the hull.
  EXPECT_EQ(cube->CalculatePlaneIntersection(dgVector(0, 1, 0, 0), dgVector(0, 3, 0, 1), points), 0);

  // A fine hull cut across its 20 side faces gives 20 crossings, reduced to 12.
  std::mt19937 random(5);
  std::unique_ptr<TestHull> fine(TestHull::RandomPrism(random, 20));
  const dgVector axis = (fine->GetVertices()[20] - fine->GetVertices()[0]);
  const dgVector unitAxis = axis.Scale(1.0f / std::sqrt(axis.LengthSquared()));
  EXPECT_EQ(fine->CalculatePlaneIntersection(unitAxis, fine->GetCentreOfMass(), points), 12);
}

TEST(ConvexHull, VolumeBelowPlane) {
  const auto cube = Cube(1.0f);
  std::mt19937 random(3);
  const dgMatrix placed = RandomRotation(random, dgVector(1, 2, 3, 1));

  // Without a callback the plane lies at y = 1e8: the whole shape is below.
  dgVector out;
  cube->CalculateVolumeBelowPlane(out, placed, nullptr, nullptr);
  EXPECT_NEAR(out.w, 8.0f, 1e-4f);
  EXPECT_NEAR(out.x, 1.0f, 1e-4f);
  EXPECT_NEAR(out.y, 2.0f, 1e-4f);
  EXPECT_NEAR(out.z, 3.0f, 1e-4f);

  // A global plane y = 0.5 through the unrotated cube: 1.5 of its 2 units of height are below.
  struct Plane {
    static int At(void*, void* context, const dgMatrix&, float* plane) {
      const float height = *static_cast<float*>(context);
      plane[0] = 0.0f;
      plane[1] = 1.0f;
      plane[2] = 0.0f;
      plane[3] = -height;
      return 1;
    }
  };
  float height = 0.5f;
  cube->CalculateVolumeBelowPlane(out, dgGetIdentityMatrix(), Plane::At, &height);
  EXPECT_NEAR(out.w, 6.0f, 1e-4f);
  EXPECT_NEAR(out.y, -0.25f, 1e-4f);
  EXPECT_NEAR(out.x, 0.0f, 1e-4f);

  // Entirely above: nothing.
  height = -2.0f;
  cube->CalculateVolumeBelowPlane(out, dgGetIdentityMatrix(), Plane::At, &height);
  EXPECT_EQ(out.w, 0.0f);

  // Through the centre at a slant: half of a symmetric body.
  struct Slant {
    static int At(void*, void*, const dgMatrix&, float* plane) {
      const float s = 1.0f / std::sqrt(3.0f);
      plane[0] = s;
      plane[1] = s;
      plane[2] = s;
      plane[3] = 0.0f;
      return 1;
    }
  };
  cube->CalculateVolumeBelowPlane(out, dgGetIdentityMatrix(), Slant::At, nullptr);
  EXPECT_NEAR(out.w, 4.0f, 1e-3f);
}
