// The convex-convex solver: contacts of penetrating pairs, their room,
// the section fallbacks, closest points and contacts at the first touch.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/contacts/dgContactDispatch.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/soup/dgCollisionConvexPolygon.h"
#include "physics/world/dgPointCollision.h"
#include "support/ContactFixtures.h"
#include "support/CountingHooks.h"
#include "support/TestHull.h"

namespace {

constexpr float kPi = 3.14159265f;

void ExpectNear(const dgVector& actual, const dgVector& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

int Contacts(dgBody& body0, dgBody& body1, dgContact* contacts, int room = 16) {
  dgContactSolver solver(&body0, &body1);
  return solver.CalculateContacts(contacts, 0, room);
}

class ContactSolver : public ::testing::Test {
 protected:
  dgCollision* Box(float side = 1.0f) { return world_->CreateBox(side, side, side, dgMatrix()); }

  WorldPtr world_ = MakeWorld();
};

}  // namespace

TEST_F(ContactSolver, BoxesFaceToFaceGiveTheFourCornersOfTheOverlap) {
  PlacedBody lower(Box(), At(0, 0, 0));
  PlacedBody upper(Box(), At(0, 0.9f, 0));
  dgContact contacts[16];
  ASSERT_EQ(Contacts(lower.body, upper.body, contacts), 4);
  std::vector<bool> seen(4, false);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(contacts[i].penetration, 0.1f - dgContactSlop, 1e-4f);
    ExpectNear(contacts[i].normal, dgVector(0, -1, 0), 1e-5f);
    EXPECT_NEAR(contacts[i].point.y, 0.45f, 1e-4f);
    EXPECT_NEAR(std::fabs(contacts[i].point.x), 0.5f, 1e-4f);
    EXPECT_NEAR(std::fabs(contacts[i].point.z), 0.5f, 1e-4f);
    seen[(contacts[i].point.x > 0 ? 1 : 0) + (contacts[i].point.z > 0 ? 2 : 0)] = true;
    EXPECT_EQ(contacts[i].userId, 0);
  }
  EXPECT_EQ(seen, std::vector<bool>(4, true));
}

TEST_F(ContactSolver, EdgeAcrossEdgeAndCornerDownGiveOneContact) {
  const float halfDiagonal = std::sqrt(0.5f);
  const float halfBodyDiagonal = std::sqrt(0.75f);
  struct Case {
    const char* name;
    dgMatrix lower;
    dgMatrix upper;
    dgVector point;
    float depth;
  };
  const Case cases[] = {
      {"edge across edge", Turned(dgVector(1, 0, 0), kPi / 4, dgVector(0, 0, 0)),
       Turned(dgVector(0, 0, 1), kPi / 4, dgVector(0, 2 * halfDiagonal - 0.02f, 0)),
       dgVector(0, halfDiagonal - 0.01f, 0), 0.02f},
      {"corner down", dgMatrix(),
       // A cube diagonal turned onto the y axis: one corner points straight down.
       Turned(dgVector(-1, 0, 1).Scale(std::sqrt(0.5f)), std::acos(1.0f / std::sqrt(3.0f)),
              dgVector(0.1f, 0.5f + halfBodyDiagonal - 0.02f, -0.2f)),
       dgVector(0.1f, 0.49f, -0.2f), 0.02f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody lower(Box(), c.lower);
    PlacedBody upper(Box(), c.upper);
    dgContact contacts[16];
    ASSERT_EQ(Contacts(lower.body, upper.body, contacts), 1);
    // The sections are slivers of the overlap's size, merged into one point.
    ExpectNear(contacts[0].point, c.point, 0.03f);
    ExpectNear(contacts[0].normal, dgVector(0, -1, 0), 1e-3f);
    EXPECT_NEAR(contacts[0].penetration, c.depth - dgContactSlop, 1e-3f);
  }
}

TEST_F(ContactSolver, SeededPairsSeparateAlongTheirNormalWithinTheirRoom) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> size(0.4f, 2.0f);
  std::uniform_real_distribution<float> depth(0.02f, 0.2f);
  std::uniform_int_distribution<int> kind(0, 4);
  const auto makeShape = [&](int k) -> dgCollision* {
    switch (k) {
      case 0:
        return world_->CreateBox(size(random), size(random), size(random), dgMatrix());
      case 1:
        return world_->CreateCapsule(size(random) * 0.5f, size(random) * 2, dgMatrix());
      case 2:
        return world_->CreateCylinder(size(random) * 0.5f, size(random), dgMatrix());
      case 3:
        return world_->CreateEllipse(size(random) * 0.5f, size(random) * 0.5f, size(random) * 0.5f, dgMatrix());
      default:
        return TestHull::RandomPrism(random, 5);
    }
  };
  for (int trial = 0; trial < 150; ++trial) {
    SCOPED_TRACE(trial);
    PlacedBody body0(makeShape(kind(random)), RandomRotation(random, dgVector(0, 0, 0, 1)));
    const dgVector away = RandomUnitVector(random).Scale(8.0f);
    PlacedBody body1(makeShape(kind(random)), RandomRotation(random, dgVector(away.x, away.y, away.z, 1)));
    // Bring body 1 straight in until the two overlap by a known depth.
    dgVector p0, p1, apart;
    ASSERT_EQ(dgCalculateClosestPoints(&body0.body, &body1.body, p0, p1, apart), 1);
    const float overlap = depth(random);
    dgMatrix closer = body1.body.matrix;
    closer.posit -= apart.Scale(std::sqrt((p1 - p0).LengthSquared()) + overlap);
    body1.Place(closer);

    const int room = trial % 5 == 0 ? trial % 2 : 16;
    dgContact contacts[17];
    for (dgContact& contact : contacts) contact = SentinelContact();
    const int count = Contacts(body0.body, body1.body, contacts, room);
    ASSERT_EQ(count > 0, room > 0);
    EXPECT_TRUE(IsSentinel(contacts[room]));
    if (count == 0) continue;
    float deepest = 0.0f;
    for (int i = 0; i < count; ++i) {
      EXPECT_GE(contacts[i].penetration, 0.0f);
      EXPECT_LE(contacts[i].penetration, overlap);
      EXPECT_NEAR(contacts[i].normal.LengthSquared(), 1.0f, 1e-4f);
      EXPECT_NEAR(contacts[i].normal.DotProduct(contacts[0].normal), 1.0f, 1e-5f);
      deepest = std::fmax(deepest, contacts[i].penetration);
    }
    // From body 1 towards body 0, roughly against the way body 1 came in.
    EXPECT_LT(contacts[0].normal.DotProduct(apart), 0.0f);
    // Body 0 moved out along the normal by the depth no longer touches.
    dgMatrix moved = body0.body.matrix;
    moved.posit += contacts[0].normal.Scale(deepest + dgContactSlop + 0.01f);
    body0.Place(moved);
    dgContact after[16];
    EXPECT_EQ(Contacts(body0.body, body1.body, after), 0);
  }
}

TEST_F(ContactSolver, DeepRoundPairsEndTheExpansionWithinItsBounds) {
  // Smooth shapes deep inside each other exhaust the polytope's vertices,
  // edges, planes and heap before the search converges.
  std::mt19937 random(4321);
  std::uniform_real_distribution<float> size(0.5f, 3.0f);
  std::uniform_real_distribution<float> offset(-0.3f, 0.3f);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    dgCollision* shapes[2];
    for (dgCollision*& shape : shapes) {
      shape = trial % 2 ? world_->CreateEllipse(size(random), size(random), size(random), dgMatrix())
                        : world_->CreateCapsule(size(random) * 0.5f, size(random) * 2, dgMatrix());
    }
    PlacedBody body0(shapes[0], RandomRotation(random, dgVector(0, 0, 0, 1)));
    PlacedBody body1(shapes[1], RandomRotation(random, dgVector(offset(random), offset(random), offset(random), 1)));
    dgContact contacts[16];
    const int count = Contacts(body0.body, body1.body, contacts);
    ASSERT_GE(count, 1);
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE(std::isfinite(contacts[i].point.LengthSquared()));
      EXPECT_NEAR(contacts[i].normal.LengthSquared(), 1.0f, 1e-4f);
      EXPECT_GE(contacts[i].penetration, 0.0f);
    }
  }
}

TEST_F(ContactSolver, SpherePairsMatchTheClosedFormWithinTheGrid) {
  std::mt19937 random(77);
  std::uniform_real_distribution<float> radius(0.5f, 2.0f);
  int compared = 0;
  for (int trial = 0; trial < 40; ++trial) {
    const float r0 = radius(random);
    const float r1 = radius(random);
    const dgVector direction = RandomUnitVector(random);
    const float distance = (r0 + r1) * (0.6f + 0.35f * static_cast<float>(trial) / 40.0f);
    PlacedBody a(world_->CreateSphere(r0, dgMatrix()), At(0, 0, 0));
    PlacedBody b(world_->CreateSphere(r1, dgMatrix()),
                 At(direction.x * distance, direction.y * distance, direction.z * distance));
    dgContact general[16];
    dgContact closed[1];
    ASSERT_EQ(dgCalculateGeneralConvexContacts(&a.body, &b.body, general), 1);
    ASSERT_EQ(dgCalculateSphereSphereContact(&a.body, &b.body, closed), 1);
    // The support points lie on a grid of step 2 pi / (256 r) at most.
    const float tolerance = 2.0f * (r0 + r1) * 2.0f * kPi / 256.0f;
    EXPECT_NEAR(general[0].penetration, closed[0].penetration, tolerance);
    EXPECT_GT(general[0].normal.DotProduct(closed[0].normal), std::cos(0.05f));
    ++compared;
  }
  EXPECT_EQ(compared, 40);
}

namespace {

// A cube whose plane sections always come back empty, the way a section
// missed by the rounding of a support point does.
class SectionlessCube : public TestHull {
 public:
  SectionlessCube() : TestHull(8, kCorners, 6, kSizes, kFaces) {}
  int CalculatePlaneIntersection(const dgVector&, const dgVector&, dgVector*) const override { return 0; }

 private:
  static constexpr dgVector kCorners[8] = {{-0.5f, -0.5f, -0.5f, 1}, {0.5f, -0.5f, -0.5f, 1}, {0.5f, 0.5f, -0.5f, 1},
                                           {-0.5f, 0.5f, -0.5f, 1},  {-0.5f, -0.5f, 0.5f, 1}, {0.5f, -0.5f, 0.5f, 1},
                                           {0.5f, 0.5f, 0.5f, 1},    {-0.5f, 0.5f, 0.5f, 1}};
  static constexpr int kSizes[6] = {4, 4, 4, 4, 4, 4};
  static constexpr int kFaces[24] = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 2, 3, 7, 6, 1, 2, 6, 5, 0, 4, 7, 3};
};

}  // namespace

TEST_F(ContactSolver, AnEmptySectionStillGivesOneContact) {
  PlacedBody lower(Box(), At(0, 0, 0));
  PlacedBody upper(new SectionlessCube, At(0, 0.9f, 0));
  ASSERT_TRUE(static_cast<SectionlessCube*>(upper.body.collision)->IsValid());
  dgContact contacts[16];
  ASSERT_EQ(Contacts(lower.body, upper.body, contacts), 1);
  ExpectNear(contacts[0].normal, dgVector(0, -1, 0), 1e-4f);
  EXPECT_NEAR(contacts[0].penetration, 0.1f - dgContactSlop, 1e-3f);
  EXPECT_NEAR(contacts[0].point.y, 0.45f, 1e-3f);
}

TEST(ContactClipping, PolygonsStopAtTheRoomAndMergeNearPoints) {
  // A 20-gon clipped by a larger square keeps all its corners, 16 at most.
  std::vector<dgVector> ring;
  for (int i = 0; i < 20; ++i) {
    const float a = 2 * kPi * static_cast<float>(i) / 20.0f;
    ring.push_back(dgVector(std::cos(a), 0, std::sin(a), 1));
  }
  const dgVector square[4] = {{-2, 0, -2, 1}, {2, 0, -2, 1}, {2, 0, 2, 1}, {-2, 0, 2, 1}};
  const dgVector up(0, 1, 0, 0);
  for (int room : {0, 1, 16}) {
    dgContact contacts[17];
    for (dgContact& contact : contacts) contact = SentinelContact();
    const int count = dgContactSolver::ClipPolygons(up, 7, 0.5f, 4, square, 20, ring.data(), contacts, room);
    EXPECT_EQ(count, room);
    EXPECT_TRUE(IsSentinel(contacts[room]));
  }
  // Either winding of the clipping polygon cuts the same square.
  const dgVector reversed[4] = {square[3], square[2], square[1], square[0]};
  const dgVector small[4] = {{-1, 0, -1, 1}, {1, 0, -1, 1}, {1, 0, 3, 1}, {-1, 0, 3, 1}};
  for (const dgVector* clipper : {square, reversed}) {
    dgContact contacts[16];
    ASSERT_EQ(dgContactSolver::ClipPolygons(up, -1, 0.5f, 4, clipper, 4, small, contacts, 16), 4);
    for (int i = 0; i < 4; ++i) EXPECT_LE(contacts[i].point.z, 2.0f + 1e-5f);
    EXPECT_EQ(contacts[0].userId, 0xFFFFFFFFll);
  }
  // Corners closer than about 0.045 join the contact made before them.
  const dgVector close[4] = {{0, 0, 0, 1}, {0.03f, 0, 0, 1}, {0.03f, 0, 0.03f, 1}, {0, 0, 0.03f, 1}};
  dgContact contacts[16];
  EXPECT_EQ(dgContactSolver::ClipPolygons(up, 0, 0.0f, 4, square, 4, close, contacts, 16), 1);
}

TEST(ContactTriangle, DegenerateTrianglesAnswerTheNearestEdgePoint) {
  struct Case {
    const char* name;
    dgVector a, b, c, p, expected;
  };
  const Case cases[] = {
      {"two equal corners", {0, 0, 0, 1}, {0, 0, 0, 1}, {2, 0, 0, 1}, {1, 1, 0, 1}, {1, 0, 0, 1}},
      {"equal last corners", {0, 0, 0, 1}, {2, 0, 0, 1}, {2, 0, 0, 1}, {3, 1, 0, 1}, {2, 0, 0, 1}},
      {"corners on a line", {0, 0, 0, 1}, {1, 0, 0, 1}, {3, 0, 0, 1}, {2, 0, 5, 1}, {2, 0, 0, 1}},
      {"one point", {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}},
      {"a plain triangle", {0, 0, 0, 1}, {4, 0, 0, 1}, {0, 0, 4, 1}, {1, 3, 1, 1}, {1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float weights[3];
    const dgVector q = dgClosestPointOnTriangle(c.p, c.a, c.b, c.c, weights);
    ExpectNear(q, c.expected, 1e-6f);
    EXPECT_NEAR(weights[0] + weights[1] + weights[2], 1.0f, 1e-6f);
  }
}

TEST_F(ContactSolver, ClosestPointsOfSeparatedShapesMatchTheirDistance) {
  {
    PlacedBody a(Box(), At(0, 0, 0));
    PlacedBody b(Box(), Turned(dgVector(0, 1, 0), 0.3f, dgVector(0.0f, 0.1f, 3.0f)));
    dgVector p0, p1, normal;
    ASSERT_EQ(dgCalculateClosestPoints(&a.body, &b.body, p0, p1, normal), 1);
    EXPECT_NEAR(p0.z, 0.5f, 1e-3f);
    // The turned box's nearest point is its corner nearest the first box.
    const float expectedGap = 3.0f - 0.5f - 0.5f * (std::cos(0.3f) + std::sin(0.3f));
    EXPECT_NEAR(p1.z - p0.z, expectedGap, 1e-3f);
    ExpectNear(normal, dgVector(0, 0, 1), 1e-3f);
  }
  std::mt19937 random(5);
  for (int trial = 0; trial < 20; ++trial) {
    const dgVector direction = RandomUnitVector(random);
    const float distance = 2.5f + static_cast<float>(trial) * 0.1f;
    PlacedBody a(world_->CreateSphere(0.75f, dgMatrix()), At(1, 2, 3));
    PlacedBody b(world_->CreateSphere(1.0f, dgMatrix()),
                 At(1 + direction.x * distance, 2 + direction.y * distance, 3 + direction.z * distance));
    dgVector p0, p1, normal;
    ASSERT_EQ(dgCalculateClosestPoints(&a.body, &b.body, p0, p1, normal), 1);
    EXPECT_NEAR(std::sqrt((p1 - p0).LengthSquared()), distance - 1.75f, 0.01f);
    EXPECT_GT(normal.DotProduct(direction), 0.999f);
    // Both points lie on the line of centres.
    EXPECT_GT((p0 - dgVector(1, 2, 3, 1)).DotProduct(direction), 0.74f);
  }
  {
    // The world's point query: the shape as body 0, its private point as body 1.
    PlacedBody box(Box(), Turned(dgVector(0, 1, 0), 0.7f, dgVector(1, 0, 0)));
    dgCollision* point = world_->GetPointCollision();
    point->AddRef();
    PlacedBody query(point, At(1, 3, 0));
    dgVector onBox, onPoint, normal;
    ASSERT_EQ(dgCalculateClosestPoints(&box.body, &query.body, onBox, onPoint, normal), 1);
    ExpectNear(onBox, dgVector(1, 0.5f, 0), 1e-4f);
    ExpectNear(onPoint, dgVector(1, 3, 0), 1e-4f);
    ExpectNear(normal, dgVector(0, 1, 0), 1e-4f);
  }
  for (float gap : {0.0f, -0.2f}) {
    PlacedBody a(Box(), At(0, 0, 0));
    PlacedBody b(Box(), At(0, 1.0f + gap, 0));
    dgVector p0, p1, normal;
    EXPECT_EQ(dgCalculateClosestPoints(&a.body, &b.body, p0, p1, normal), 0) << gap;
  }
}

TEST_F(ContactSolver, FastBoxGetsItsContactsAtTheFirstTouch) {
  struct Case {
    const char* name;
    float speed;
    int expected;
  };
  const float step = 1.0f / 60.0f;
  const Case cases[] = {{"fast", 180.0f, 4}, {"slow", 1.0f, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody still(Box(), At(0, 0, 0));
    PlacedBody moving(Box(), At(3, 0, 0));
    moving.body.veloc = dgVector(-c.speed, 0, 0);
    moving.body.flags |= dgBody::kFlagContinuous;
    dgContact contacts[16];
    const int count = dgCalculateConvexContacts(step, &still.body, &moving.body, contacts, 16);
    ASSERT_EQ(count, c.expected);
    for (int i = 0; i < count; ++i) {
      EXPECT_NEAR(contacts[i].point.x, 0.5f, 0.01f);
      ExpectNear(contacts[i].normal, dgVector(-1, 0, 0), 1e-3f);
      EXPECT_EQ(contacts[i].penetration, 0.0f);
    }
  }
  // Moving the other body the same way relative to the first gives the touch
  // where the moving body meets the still one.
  PlacedBody moving(Box(), At(-3, 0, 0));
  PlacedBody still(Box(), At(0, 0, 0));
  moving.body.veloc = dgVector(180, 0, 0);
  moving.body.flags |= dgBody::kFlagContinuous;
  dgContact contacts[16];
  const int count = dgCalculateConvexContacts(step, &moving.body, &still.body, contacts, 16);
  ASSERT_GE(count, 1);
  EXPECT_NEAR(contacts[0].point.x, -0.5f, 0.01f);
  ExpectNear(contacts[0].normal, dgVector(-1, 0, 0), 1e-3f);
}

TEST_F(ContactSolver, QueriesAllocateNothing) {
  PlacedBody lower(Box(), At(0, 0, 0));
  PlacedBody upper(world_->CreateCapsule(0.4f, 2, dgMatrix()),
                   Turned(dgVector(0, 0, 1), 0.4f, dgVector(0.1f, 0.8f, 0)));
  ScopedCountingHooks hooks;
  const HookCounts before = GetHookCounts();
  dgContact contacts[16];
  EXPECT_GE(dgCalculateConvexContacts(0.0f, &lower.body, &upper.body, contacts, 16), 1);
  EXPECT_EQ(GetHookCounts().mallocCalls, before.mallocCalls);
  dgVector p0, p1, normal;
  upper.Place(At(0, 3, 0));
  EXPECT_EQ(dgCalculateClosestPoints(&lower.body, &upper.body, p0, p1, normal), 1);
  EXPECT_EQ(GetHookCounts().mallocCalls, before.mallocCalls);
  EXPECT_EQ(GetHookCounts().liveBlocks, before.liveBlocks);
}

// The supports a shape keeps for the solver's search directions are its own
// supports along them, the ellipse's scaled radii included (it is built as a
// unit sphere first), and stay so when asked again.
TEST_F(ContactSolver, KeptSearchSupportsAreTheShapesOwn) {
  const dgMatrix identity;
  dgCollision* const shapes[] = {
      Box(1.5f), world_->CreateSphere(0.7f, identity), world_->CreateEllipse(1.0f, 2.0f, 3.0f, identity),
      world_->CreateCapsule(0.3f, 1.2f, identity), world_->CreateCylinder(0.4f, 1.0f, identity)};
  for (dgCollision* shape : shapes) {
    const auto* convex = static_cast<const dgConvexCollision*>(shape);
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < dgContactSolver::kDirectionCount; ++i) {
        const dgVector& dir = dgContactSolver::GetSearchDirection(i);
        const dgVector expected = convex->SupportVertex(dir);
        const dgVector& kept = convex->KeptSupportVertex(i, dir);
        EXPECT_TRUE(kept.x == expected.x && kept.y == expected.y && kept.z == expected.z && kept.w == expected.w)
            << "shape kind " << shape->GetKind() << ", direction " << i;
      }
    }
    world_->ReleaseCollision(shape);
  }
}
