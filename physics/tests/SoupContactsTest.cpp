// Contacts of convex bodies with polygon soups: the sphere's closed form,
// the solver face by face, the room of the contact array and the swept path.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/contacts/dgContactDispatch.h"
#include "physics/contacts/dgSoupContacts.h"
#include "physics/soup/dgTreeCollision.h"
#include "support/ContactFixtures.h"
#include "support/CountingHooks.h"

namespace {

void ExpectNear(const dgVector& actual, const dgVector& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A tree collision built from triangles, as the flat interface builds one.
dgCollision* BuildSoup(const std::vector<std::vector<float>>& faces, int attribute, bool optimise) {
  dgCollisionPolygonalSoup* soup = dgCreateTreeCollision(nullptr, nullptr);
  auto* tree = static_cast<dgTreeCollision*>(soup->GetUserData());
  tree->BeginBuild();
  for (const std::vector<float>& face : faces) {
    tree->AddFace(static_cast<int>(face.size() / 3), face.data(), 12, attribute);
  }
  tree->EndBuild(optimise, *soup);
  return soup;
}

// The floor y = 0 over [-5, 5] in x and z as two triangles meeting on the diagonal.
std::vector<std::vector<float>> Floor() { return {{-5, 0, -5, -5, 0, 5, 5, 0, 5}, {-5, 0, -5, 5, 0, 5, 5, 0, -5}}; }

// The floor with a second, far face, which keeps the floor's two triangles,
// merged into one square, from being stored twice as a lone face is.
std::vector<std::vector<float>> FloorAndAFarFace() {
  std::vector<std::vector<float>> faces = Floor();
  faces.push_back({20, 0, 20, 20, 0, 21, 21, 0, 21});
  return faces;
}

// A grid of cells x cells squares of the given size, two triangles each,
// with seeded heights up to bump.
std::vector<std::vector<float>> Terrain(int cells, float size, float bump, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> height(-bump, bump);
  std::vector<float> heights((cells + 1) * (cells + 1));
  for (float& h : heights) h = height(random);
  const auto corner = [&](int i, int j) {
    const float half = 0.5f * size * static_cast<float>(cells);
    return std::vector<float>{static_cast<float>(i) * size - half, heights[i * (cells + 1) + j],
                              static_cast<float>(j) * size - half};
  };
  std::vector<std::vector<float>> faces;
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      const std::vector<float> a = corner(i, j), b = corner(i, j + 1), c = corner(i + 1, j + 1), d = corner(i + 1, j);
      faces.push_back({a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]});
      faces.push_back({a[0], a[1], a[2], c[0], c[1], c[2], d[0], d[1], d[2]});
    }
  }
  return faces;
}

class SoupContacts : public ::testing::Test {
 protected:
  WorldPtr world_ = MakeWorld();
};

}  // namespace

TEST_F(SoupContacts, SpheresMeetTheFloorOnceWhereverTheyRest) {
  struct Case {
    const char* name;
    dgVector centre;
    float radius;
    int count;
    dgVector point;
    float penetration;
  };
  const Case cases[] = {
      {"inside one triangle", {2, 0.9f, -1, 1}, 1, 1, {2, -0.05f, -1, 1}, 0.1f - dgContactSlop},
      {"over the seam", {1, 0.9f, 1, 1}, 1, 1, {1, -0.05f, 1, 1}, 0.1f - dgContactSlop},
      {"centred on the floor", {-2, 0, 3, 1}, 0.5f, 1, {-2, -0.25f, 3, 1}, 0.5f - dgContactSlop},
      {"overlap under 1/256", {0, 0.9975f, 2, 1}, 1, 0, {}, 0.0f},
  };
  PlacedBody floor(BuildSoup(Floor(), -3, false), At(0, 0, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody sphere(world_->CreateSphere(c.radius, dgMatrix()), At(c.centre.x, c.centre.y, c.centre.z));
    dgContact contacts[8];
    const int count = dgCalculateSoupContacts(world_.get(), 0.0f, &sphere.body, &floor.body, contacts, 8);
    ASSERT_EQ(count, c.count);
    if (count == 0) continue;
    ExpectNear(contacts[0].point, c.point, 1e-5f);
    ExpectNear(contacts[0].normal, dgVector(0, 1, 0), 1e-6f);
    EXPECT_NEAR(contacts[0].penetration, c.penetration, 1e-5f);
    EXPECT_EQ(contacts[0].userId, -3);
    EXPECT_EQ(contacts[0].body0, &sphere.body);
    EXPECT_EQ(contacts[0].collision1, floor.body.collision);
  }
}

TEST_F(SoupContacts, ABoxOnALargeFaceGetsItsFourCorners) {
  PlacedBody floor(BuildSoup(FloorAndAFarFace(), 7, true), Turned(dgVector(0, 1, 0), 0.3f, dgVector(0, -1, 0)));
  PlacedBody box(world_->CreateBox(1, 1, 1, dgMatrix()), At(0.5f, -0.55f, -0.5f));
  dgContact contacts[16];
  ASSERT_EQ(dgCalculateSoupContacts(world_.get(), 0.0f, &box.body, &floor.body, contacts, 16), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(contacts[i].userId, 7);
    ExpectNear(contacts[i].normal, dgVector(0, 1, 0), 1e-4f);
    EXPECT_NEAR(contacts[i].penetration, 0.05f - dgContactSlop, 1e-3f);
    EXPECT_NEAR(std::fabs(contacts[i].point.x - 0.5f), 0.5f, 1e-3f);
    EXPECT_NEAR(std::fabs(contacts[i].point.z + 0.5f), 0.5f, 1e-3f);
  }
}

TEST_F(SoupContacts, ManyFacesNeverWritePastTheRoom) {
  PlacedBody ground(BuildSoup(Terrain(12, 0.5f, 0.08f, 99), 1, false), At(0, 0, 0));
  struct Shape {
    const char* name;
    dgCollision* collision;
  };
  const Shape shapes[] = {
      {"slab", world_->CreateBox(3, 0.5f, 3, dgMatrix())},
      {"ball", world_->CreateSphere(1.2f, dgMatrix())},
      {"drum", world_->CreateCylinder(1.2f, 2.5f, dgMatrix())},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    PlacedBody body(shape.collision, Turned(dgVector(0, 0, 1), 0.05f, dgVector(0.1f, 0.0f, 0.2f)));
    dgMatrix placed = body.body.matrix;
    // Rest the shape 0.1 deep in the terrain.
    dgVector low, high;
    shape.collision->CalcAABB(body.body.collisionMatrix, low, high);
    placed.posit.y -= low.y + 0.1f;
    body.Place(placed);
    for (int room = 0; room <= 8; ++room) {
      SCOPED_TRACE(room);
      dgContact contacts[9];
      for (dgContact& contact : contacts) contact = SentinelContact();
      int count = 0;
      {
        ScopedCountingHooks hooks;
        const HookCounts before = GetHookCounts();
        count = dgCalculateSoupContacts(world_.get(), 0.0f, &body.body, &ground.body, contacts, room);
        EXPECT_EQ(GetHookCounts().liveBlocks, before.liveBlocks);
      }
      EXPECT_LE(count, room);
      EXPECT_EQ(count > 0, room > 0);
      for (int i = room; i < 9; ++i) EXPECT_TRUE(IsSentinel(contacts[i])) << i;
      for (int i = 0; i < count; ++i) {
        EXPECT_NEAR(contacts[i].normal.LengthSquared(), 1.0f, 1e-4f);
        EXPECT_GE(contacts[i].penetration, 0.0f);
      }
    }
  }
}

TEST_F(SoupContacts, AFastThinBoxTouchesDownAtTheFirstTouch) {
  const float step = 1.0f / 60.0f;
  struct Case {
    const char* name;
    float speed;
    bool continuous;
    int count;
  };
  const Case cases[] = {
      {"fast and swept", 30.0f, true, 4},
      {"fast without the flag", 30.0f, false, 0},
      {"slow with the flag takes the plain path", 0.5f, true, 0},
  };
  PlacedBody floor(BuildSoup(FloorAndAFarFace(), 2, true), At(0, 0, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedBody plate(world_->CreateBox(2, 0.1f, 2, dgMatrix()), At(0.3f, 0.5f, 0.2f));
    plate.body.veloc = dgVector(0, -c.speed, 0);
    if (c.continuous) plate.body.flags |= dgBody::kFlagContinuous;
    dgContact contacts[16];
    const int count = dgCalculateSoupContacts(world_.get(), step, &plate.body, &floor.body, contacts, 16);
    ASSERT_EQ(count, c.count);
    for (int i = 0; i < count; ++i) {
      EXPECT_NEAR(contacts[i].point.y, 0.0f, 0.01f);
      ExpectNear(contacts[i].normal, dgVector(0, 1, 0), 1e-3f);
      EXPECT_EQ(contacts[i].userId, 2);
    }
  }
}
