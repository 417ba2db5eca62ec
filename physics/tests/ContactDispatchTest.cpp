// Contact dispatch by shape kinds and the closed-form sphere and box-sphere contacts.

#include <gtest/gtest.h>

#include <cmath>

#include "physics/contacts/dgContactDispatch.h"
#include "support/ContactFixtures.h"

namespace {

void ExpectNear(const dgVector& actual, const dgVector& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class ContactDispatch : public ::testing::Test {
 protected:
  dgCollision* Sphere(float radius) { return world_->CreateSphere(radius, dgMatrix()); }
  dgCollision* Box(float x, float y, float z) { return world_->CreateBox(x, y, z, dgMatrix()); }

  WorldPtr world_ = MakeWorld();
};

}  // namespace

TEST_F(ContactDispatch, SpherePairsTouchFromOneTwoHundredFiftySixthOfOverlap) {
  struct Case {
    const char* name;
    float distance;  // between centres of two unit spheres
    int count;
    float penetration;
  };
  const Case cases[] = {
      {"separation -1/256 touches", 2.0f - 1.0f / 256.0f, 1, 0.0f},
      {"separation -1/300 does not", 2.0f - 1.0f / 300.0f, 0, 0.0f},
      {"overlap within the slop", 2.0f - 1.0f / 150.0f, 1, 0.0f},
      {"1.5 apart", 1.5f, 1, 0.5f - dgContactSlop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody a(Sphere(1), At(0, 0, 0));
    PlacedBody b(Sphere(1), At(c.distance, 0, 0));
    dgContact contacts[16];
    ASSERT_EQ(dgCalculateConvexContacts(0.0f, &a.body, &b.body, contacts, 16), c.count);
    if (c.count == 0) continue;
    EXPECT_NEAR(contacts[0].penetration, c.penetration, 1e-6f);
    ExpectNear(contacts[0].normal, dgVector(-1, 0, 0), 1e-6f);
    EXPECT_NEAR(contacts[0].point.x, 1.0f - contacts[0].penetration * 0.5f, 1e-6f);
    EXPECT_EQ(contacts[0].userId, 0);
  }
  PlacedBody a(Sphere(0.5f), At(1, 2, 3));
  PlacedBody b(Sphere(2), At(1, 2.005f, 3));
  dgContact contacts[1];
  ASSERT_EQ(dgCalculateConvexContacts(0.0f, &a.body, &b.body, contacts, 1), 1);
  ExpectNear(contacts[0].normal, dgVector(0, 1, 0), 0.0f);
  EXPECT_EQ(contacts[0].penetration, 0.01f);
  ExpectNear(contacts[0].point, dgVector(1, 2.5f, 3), 1e-6f);
}

TEST_F(ContactDispatch, BoxAndSphereMeetAtTheBoxsNearestFaceEdgeOrCorner) {
  const float r = 0.5f;
  const float inv3 = 1.0f / std::sqrt(3.0f);
  const float half = std::sqrt(0.5f);
  // Separations of the edge and corner cases: the centre's distance from
  // the nearest point of the box, less the radius.
  const float edgeS = 0.2f * std::sqrt(2.0f) - r;
  const float cornerS = 0.2f * std::sqrt(3.0f) - r;
  struct Case {
    const char* name;
    dgVector centre;  // of the sphere, the box at the origin with half sides (1, 2, 3)
    int count;
    dgVector normal;
    dgVector point;
    float penetration;
  };
  const Case cases[] = {
      {"+x face", {1.3f, 0.5f, -1, 1}, 1, {-1, 0, 0, 0}, {0.9f, 0.5f, -1, 1}, 0.2f - dgContactSlop},
      {"-y face", {0.2f, -2.4f, 2, 1}, 1, {0, 1, 0, 0}, {0.2f, -1.95f, 2, 1}, 0.1f - dgContactSlop},
      {"face at -1/256", {0, 0, 3.5f - 1.0f / 256.0f, 1}, 1, {0, 0, -1, 0}, {0, 0, 3 - 1.0f / 512.0f, 1}, 0.0f},
      {"face at -1/300", {0, 0, 3.5f - 1.0f / 300.0f, 1}, 0, {}, {}, 0.0f},
      {"x-y edge",
       {1.2f, 2.2f, 0.5f, 1},
       1,
       {-half, -half, 0, 0},
       {1 + 0.5f * edgeS * half, 2 + 0.5f * edgeS * half, 0.5f, 1},
       -edgeS - dgContactSlop},
      {"corner",
       {1.2f, -2.2f, -3.2f, 1},
       1,
       {-inv3, inv3, inv3, 0},
       {1 + 0.5f * cornerS * inv3, -2 - 0.5f * cornerS * inv3, -3 - 0.5f * cornerS * inv3, 1},
       -cornerS - dgContactSlop},
      {"corner out of reach", {1.3f, 2.3f, 3.3f, 1}, 0, {}, {}, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody box(Box(2, 4, 6), At(0, 0, 0));
    PlacedBody sphere(Sphere(r), At(c.centre.x, c.centre.y, c.centre.z));
    dgContact direct[16];
    ASSERT_EQ(dgCalculateConvexContacts(0.0f, &box.body, &sphere.body, direct, 16), c.count);
    dgContact swapped[16];
    ASSERT_EQ(dgCalculateConvexContacts(0.0f, &sphere.body, &box.body, swapped, 16), c.count);
    if (c.count == 0) continue;
    ExpectNear(direct[0].normal, c.normal, 1e-5f);
    ExpectNear(direct[0].point, c.point, 1e-4f);
    EXPECT_NEAR(direct[0].penetration, std::fmax(c.penetration, 0.0f), 1e-5f);
    // The swap reverses the normal only; bodies follow the caller's order.
    ExpectNear(swapped[0].normal, c.normal.Scale(-1.0f), 1e-5f);
    ExpectNear(swapped[0].point, direct[0].point, 1e-6f);
    EXPECT_EQ(swapped[0].penetration, direct[0].penetration);
    EXPECT_EQ(direct[0].body0, &box.body);
    EXPECT_EQ(direct[0].collision1, sphere.body.collision);
    EXPECT_EQ(swapped[0].body0, &sphere.body);
    EXPECT_EQ(swapped[0].body1, &box.body);
    EXPECT_EQ(swapped[0].collision0, sphere.body.collision);
    EXPECT_EQ(swapped[0].collision1, box.body.collision);
  }
}

TEST_F(ContactDispatch, ASphereCentredInsideABoxGoesToTheSolver) {
  PlacedBody box(Box(2, 2, 2), Turned(dgVector(0, 1, 0), 0.5f, dgVector(0, 0, 0)));
  PlacedBody sphere(Sphere(0.5f), At(0, 0.8f, 0));
  dgContact direct[16];
  ASSERT_EQ(dgCalculateConvexContacts(0.0f, &box.body, &sphere.body, direct, 16), 1);
  ExpectNear(direct[0].normal, dgVector(0, -1, 0), 0.02f);
  EXPECT_NEAR(direct[0].penetration, 0.7f - dgContactSlop, 0.02f);
  dgContact swapped[16];
  ASSERT_EQ(dgCalculateConvexContacts(0.0f, &sphere.body, &box.body, swapped, 16), 1);
  ExpectNear(swapped[0].normal, dgVector(0, 1, 0), 0.02f);
}

TEST_F(ContactDispatch, ShapeKindsAndTheContinuousFlagChooseTheRoutine) {
  // An ellipse answers as a sphere but goes the general way, which reports
  // an overlap the closed form leaves alone.
  PlacedBody sphere(Sphere(1), At(0, 0, 0));
  PlacedBody ball(Sphere(1), At(1.997f, 0, 0));
  PlacedBody ellipse(world_->CreateEllipse(1, 1, 1, dgMatrix()), At(1.997f, 0, 0));
  dgContact contacts[16];
  EXPECT_EQ(dgCalculateConvexContacts(0.0f, &sphere.body, &ball.body, contacts, 16), 0);
  ASSERT_EQ(dgCalculateConvexContacts(0.0f, &sphere.body, &ellipse.body, contacts, 16), 1);
  EXPECT_EQ(contacts[0].penetration, 0.0f);
  ExpectNear(contacts[0].normal, dgVector(-1, 0, 0), 0.02f);

  // The continuous flag on either body finds a contact ahead within the step.
  PlacedBody box(Box(1, 1, 1), At(0, 0, 0));
  PlacedBody bullet(Box(1, 1, 1), At(0, 3, 0));
  bullet.body.veloc = dgVector(0, -200, 0);
  EXPECT_EQ(dgCalculateConvexContacts(1.0f / 60.0f, &box.body, &bullet.body, contacts, 16), 0);
  box.body.flags |= dgBody::kFlagContinuous;
  const int count = dgCalculateConvexContacts(1.0f / 60.0f, &box.body, &bullet.body, contacts, 16);
  ASSERT_EQ(count, 4);
  for (int i = 0; i < count; ++i) {
    EXPECT_NEAR(contacts[i].point.y, 0.5f, 0.01f);
    EXPECT_EQ(contacts[i].body0, &box.body);
    EXPECT_EQ(contacts[i].body1, &bullet.body);
  }
}

TEST_F(ContactDispatch, NoRoutineWritesPastItsRoom) {
  struct Case {
    const char* name;
    float sphereRadius;  // 0: a box on a box
    dgVector position;
  };
  const Case cases[] = {
      {"box on box", 0.0f, {0, 0.9f, 0, 1}},
      {"sphere on sphere", 1.0f, {0, 1.5f, 0, 1}},
      {"sphere on box", 0.5f, {0, 0.9f, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody lower(c.sphereRadius > 0.5f ? Sphere(1) : Box(1, 1, 1), At(0, 0, 0));
    PlacedBody upper(c.sphereRadius > 0.0f ? Sphere(c.sphereRadius) : Box(1, 1, 1),
                     At(c.position.x, c.position.y, c.position.z));
    for (int room : {0, 1, 2}) {
      dgContact contacts[3];
      for (dgContact& contact : contacts) contact = SentinelContact();
      const int count = dgCalculateConvexContacts(0.0f, &lower.body, &upper.body, contacts, room);
      EXPECT_EQ(count, room == 0 ? 0 : (c.sphereRadius > 0.0f ? 1 : room));
      for (int i = count; i < 3; ++i) EXPECT_TRUE(IsSentinel(contacts[i])) << room << " " << i;
    }
  }
}
