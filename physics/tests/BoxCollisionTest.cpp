// The box primitive: exact support, face-clipping ray cast, plane
// sections, box and mass properties.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollisionBox.h"
#include "support/HullOracles.h"
#include "support/TestHull.h"

namespace {

std::unique_ptr<dgCollisionBox> MakeBox(float dx, float dy, float dz, const dgMatrix& offset = dgGetIdentityMatrix()) {
  return std::unique_ptr<dgCollisionBox>(
      new dgCollisionBox(dgCollisionBox::MakeBoxSignature(dx, dy, dz, offset), dx, dy, dz, offset));
}

}  // namespace

TEST(BoxShape, RayCastTable) {
  const auto box = MakeBox(2.0f, 2.0f, 2.0f);
  struct Case {
    dgVector p0, p1;
    float t;
    dgVector normal;
  };
  const dgVector miss(0, 0, 0, 0);
  const Case cases[] = {
      {{2, 0, 0, 1}, {0, 0, 0, 1}, 0.5f, {1, 0, 0, 1}},                // through +x
      {{-3, 0.5f, 0, 1}, {1, 0.5f, 0, 1}, 0.5f, {-1, 0, 0, 1}},        // through -x
      {{0.2f, 0, 3, 1}, {0.2f, 0, -3, 1}, 1.0f / 3.0f, {0, 0, 1, 1}},  // through +z
      {{0, 0.3f, -5, 1}, {0, 0.3f, 5, 1}, 0.4f, {0, 0, -1, 1}},        // through -z
      {{0, 2, 0, 1}, {0, -2, 0, 1}, 0.25f, {0, 1, 0, 1}},              // through +y
      {{0.5f, -3, 0.5f, 1}, {0.5f, 1, 0.5f, 1}, 0.5f, {0, -1, 0, 1}},  // through -y, returned at once
      {{3, 3, 0, 1}, {-1, -1, 0, 1}, 0.5f, {1, 0, 0, 1}},              // over the +x/+y edge: x is clipped first
      {{3, 0, 0, 1}, {1, 0, 0, 1}, 1.0f, {1, 0, 0, 1}},                // ends exactly on the face: t = 1
      {{0, 0, 0, 1}, {3, 0, 0, 1}, 1.2f, miss},                        // starts inside
      {{1, 0, 0, 1}, {0, 0, 0, 1}, 1.2f, miss},                        // starts on a face going in
      {{1, -2, 0, 1}, {1, 2, 0, 1}, 1.2f, miss},                       // lies in a face's plane
      {{2, 2, 0, 1}, {2, -2, 0, 1}, 1.2f, miss},                       // passes beside
      {{3, 0, 0, 1}, {2, 0, 0, 1}, 1.2f, miss},                        // stops short
  };
  for (const Case& c : cases) {
    dgContact contact{};
    const float t = box->RayCast(c.p0, c.p1, contact);
    EXPECT_NEAR(t, c.t, 1e-5f) << c.p0.x << " " << c.p0.y << " " << c.p0.z;
    if (c.t <= 1.0f) {
      EXPECT_EQ(contact.normal, c.normal) << c.p0.x << " " << c.p0.y << " " << c.p0.z;
    }
  }
}

TEST(BoxShape, SupportIsTheCornerOfTheDirectionsOctant) {
  const auto box = MakeBox(-2.0f, 4.0f, 6.0f);  // negative sizes count as positive
  EXPECT_EQ(box->GetHalfSize(), dgVector(1, 2, 3, 1));
  EXPECT_EQ(box->SupportVertex(dgVector(0, 0, 0, 0)), dgVector(1, 2, 3, 0));
  EXPECT_EQ(box->SupportVertex(dgVector(-0.0f, 0, 0, 0)), dgVector(1, 2, 3, 0));
  EXPECT_EQ(box->SupportVertex(dgVector(-1, 0.1f, -0.5f, 0)), dgVector(-1, 2, -3, 0));
  EXPECT_EQ(box->CalculateSignature(), dgCollisionBox::MakeBoxSignature(2, 4, 6, dgGetIdentityMatrix()));
}

TEST(BoxShape, PlaneSections) {
  const auto box = MakeBox(2.0f, 2.0f, 2.0f);
  dgVector points[dgConvexCollision::kMaxSectionPoints];
  const dgVector centre(0, 0, 0, 1);

  ASSERT_EQ(box->CalculatePlaneIntersection(dgVector(0, 0, 1, 0), centre, points), 4);
  EXPECT_NEAR(PolygonArea(4, points, dgVector(0, 0, 1, 0)), 4.0f, 1e-5f);

  const float s = 1.0f / std::sqrt(3.0f);
  const dgVector diagonal(s, s, s, 0);
  ASSERT_EQ(box->CalculatePlaneIntersection(diagonal, centre, points), 6);
  EXPECT_NEAR(PolygonArea(6, points, diagonal), 3.0f * std::sqrt(3.0f), 1e-4f);

  // A plane that only touches a corner crosses no edge.
  EXPECT_EQ(box->CalculatePlaneIntersection(diagonal, dgVector(1, 1, 1, 1), points), 0);
  EXPECT_EQ(box->CalculatePlaneIntersection(diagonal, dgVector(2, 2, 2, 1), points), 0);

  // Random planes: the section found from any crossing half-edge has the brute-force area.
  std::mt19937 random(77);
  std::uniform_real_distribution<float> offset(-0.9f, 0.9f);
  for (int i = 0; i < 500; ++i) {
    const dgVector normal = RandomUnitVector(random);
    const dgVector point(offset(random), offset(random), offset(random), 1.0f);
    const int count = box->CalculatePlaneIntersection(normal, point, points);
    ASSERT_GE(count, 3);
    ASSERT_LE(count, 6);
    EXPECT_NEAR(PolygonArea(count, points, normal), BruteSectionArea(*box, normal, point), 1e-4f);
  }
}

TEST(BoxShape, BoxVolumeAndInertia) {
  dgMatrix offset;
  offset.posit = dgVector(1, 2, 3, 1);
  const auto box = MakeBox(2.0f, 4.0f, 6.0f, offset);
  EXPECT_TRUE(box->HasOffset());
  EXPECT_NEAR(box->GetVolume(), 48.0f, 1e-3f);
  dgVector inertia;
  dgVector centre;
  box->CalculateInertia(inertia, centre);
  EXPECT_NEAR(centre.x, 1.0f, 1e-4f);
  EXPECT_NEAR(centre.y, 2.0f, 1e-4f);
  EXPECT_NEAR(centre.z, 3.0f, 1e-4f);
  EXPECT_NEAR(inertia.x, (16.0f + 36.0f) / 12.0f, 1e-3f);
  EXPECT_NEAR(inertia.y, (4.0f + 36.0f) / 12.0f, 1e-3f);
  EXPECT_NEAR(inertia.z, (4.0f + 16.0f) / 12.0f, 1e-3f);

  // Turned 45 degrees about z, the box reaches sqrt(2) in x and y.
  const auto cube = MakeBox(2.0f, 2.0f, 2.0f);
  const float c = std::sqrt(0.5f);
  const dgMatrix turned(dgVector(c, c, 0, 0), dgVector(-c, c, 0, 0), dgVector(0, 0, 1, 0), dgVector(5, 0, 0, 1));
  dgVector lo;
  dgVector hi;
  cube->CalcAABB(turned, lo, hi);
  EXPECT_NEAR(lo.x, 5.0f - std::sqrt(2.0f), 1e-5f);
  EXPECT_NEAR(hi.y, std::sqrt(2.0f), 1e-5f);
  EXPECT_NEAR(hi.z, 1.0f, 1e-5f);
}

TEST(BoxShape, EdgeTableIsRebuiltIdentically) {
  struct Snapshot {
    int vertex[24];
    long twin[24], next[24], prev[24];
  };
  const auto take = [](const dgConvexEdge* edges) {
    Snapshot s{};
    for (int i = 0; i < 24; ++i) {
      s.vertex[i] = edges[i].vertex;
      s.twin[i] = edges[i].twin - edges;
      s.next[i] = edges[i].next - edges;
      s.prev[i] = edges[i].prev - edges;
    }
    return s;
  };
  Snapshot first{};
  {
    const auto box = MakeBox(1, 1, 1);
    first = take(box->GetEdges());
    for (int i = 0; i < 24; ++i) {
      const dgConvexEdge& e = box->GetEdges()[i];
      EXPECT_EQ(e.twin->twin, &e);
      EXPECT_EQ(e.next->prev, &e);
      EXPECT_EQ(e.twin->vertex, e.next->vertex);
    }
  }
  EXPECT_EQ(dgCollisionBox::GetLiveCount(), 0);
  const auto again = MakeBox(3, 1, 2);
  const Snapshot second = take(again->GetEdges());
  EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0);
}
