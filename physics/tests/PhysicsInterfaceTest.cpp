// The flat interface as the engine calls it: worlds and their hooks, the
// shared primitives, tree collisions built in any order, boxes, ray casts,
// contacts and closest points.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "physics/memory/dgClassIds.h"
#include "physics/memory/dgMemory.h"
#include "physics/shapes/dgCollisionBox.h"
#include "physics/shapes/dgCollisionCapsule.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/world/Physics.h"
#include "physics/world/dgWorld.h"
#include "support/ContactFixtures.h"
#include "support/CountedAllocation.h"
#include "support/CountingHooks.h"
#include "support/SoupMeshes.h"
#include "support/TestMatrices.h"

namespace {

// Sixteen floats of a matrix, as the engine passes its Matrix4.
struct Placement {
  float m[16];
  explicit Placement(const dgMatrix& matrix) { matrix.ToFloats(m); }
  operator const float*() const { return m; }
};

int LiveShapes() {
  return dgCollisionBox::GetLiveCount() + dgCollisionSphere::GetLiveCount() + dgCollisionCapsule::GetLiveCount() +
         dgCollisionCylinder::GetLiveCount();
}

// A world made and destroyed through the interface.
struct FlatWorld {
  dgWorld* world = PhysicsCreate(nullptr, nullptr);
  ~FlatWorld() { PhysicsDestroy(world); }
};

// A tree collision of a 10 x 10 floor at y = 0 (attribute 5), built per triangle.
dgCollision* MakeFloor(dgWorld* world, int optimise = 1) {
  dgCollision* tree = PhysicsCreateTreeCollision(world, nullptr);
  PhysicsTreeCollisionBeginBuild(tree);
  const float a[9] = {-5, 0, -5, -5, 0, 5, 5, 0, 5};
  const float b[9] = {-5, 0, -5, 5, 0, 5, 5, 0, -5};
  PhysicsTreeCollisionAddFace(tree, 3, a, 12, 5);
  PhysicsTreeCollisionAddFace(tree, 3, b, 12, 5);
  PhysicsTreeCollisionEndBuild(tree, optimise);
  return tree;
}

void ExpectTriple(const float* got, float x, float y, float z, float tolerance = 1e-5f) {
  EXPECT_NEAR(got[0], x, tolerance);
  EXPECT_NEAR(got[1], y, tolerance);
  EXPECT_NEAR(got[2], z, tolerance);
}

}  // namespace

TEST(PhysicsInterface, NewWorldSpansTwoHundredUnits) {
  FlatWorld flat;
  ASSERT_NE(flat.world, nullptr);
  EXPECT_EQ(flat.world->GetBroadPhase().GetMinCorner(), dgVector(-100, -100, -100, 1));
  EXPECT_EQ(flat.world->GetBroadPhase().GetMaxCorner(), dgVector(100, 100, 100, 1));
  const float low[3] = {-10, -20, -30};
  const float high[3] = {10, 20, 30};
  PhysicsSetWorldSize(flat.world, low, high);
  EXPECT_EQ(flat.world->GetBroadPhase().GetMinCorner(), dgVector(-10, -20, -30, 1));
  // The grid grows the far corner to whole cells.
  for (int axis = 0; axis < 3; ++axis) EXPECT_GE(flat.world->GetBroadPhase().GetMaxCorner()[axis], high[axis]);
  PhysicsDestroy(nullptr);
}

TEST(PhysicsInterface, SphereOrEllipseByTheRadii) {
  FlatWorld flat;
  const struct {
    float rx, ry, rz;
    uint32_t type;
  } cases[] = {
      {1, 1, 1.000009f, dgCollisionSphereId},
      {1, 1, 1.00002f, dgCollisionEllipseId},
      {1, 1.00002f, 1, dgCollisionEllipseId},
      {-2, 2, -2, dgCollisionSphereId},
  };
  for (const auto& test : cases) {
    dgCollision* shape = PhysicsCreateSphere(flat.world, test.rx, test.ry, test.rz, nullptr);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->GetTypeId(), test.type) << test.rz;
    if (test.type == dgCollisionSphereId) {
      EXPECT_EQ(static_cast<dgCollisionSphere*>(shape)->GetRadius(), std::fabs(test.rx));
    }
    PhysicsReleaseCollision(flat.world, shape);
  }
}

TEST(PhysicsInterface, EqualPrimitivesAreSharedAndReleasedOnce) {
  const int before = LiveShapes();
  {
    FlatWorld flat;
    dgCollision* box = PhysicsCreateBox(flat.world, 2, 2, 2, nullptr);
    EXPECT_EQ(PhysicsCreateBox(flat.world, -2, 2, 2, nullptr), box) << "negative sizes count as their size";
    EXPECT_EQ(box->GetRefCount(), 3);
    dgCollision* capsule = PhysicsCreateCapsule(flat.world, -0.5f, 3, Placement(AxisRotation(2, 0.5f)));
    EXPECT_EQ(PhysicsCreateCapsule(flat.world, 0.5f, -3, Placement(AxisRotation(2, 0.5f))), capsule);
    EXPECT_NE(PhysicsCreateCylinder(flat.world, 0.5f, 3, nullptr), nullptr);
    const int live = LiveShapes();

    PhysicsReleaseCollision(flat.world, box);
    PhysicsReleaseCollision(flat.world, box);
    EXPECT_EQ(LiveShapes(), live - 1) << "the second release destroys it";
    PhysicsReleaseCollision(flat.world, capsule);
    EXPECT_EQ(LiveShapes(), live - 1);
  }
  EXPECT_EQ(LiveShapes(), before) << "the world takes what is left";
}

TEST(PhysicsInterface, SignatureClashGivesTwoShapesThatBothRelease) {
  FlatWorld flat;
  const int before = LiveShapes();
  flat.world->SetSignatureHook([](uint32_t) { return 0x1234u; });
  dgCollision* box = PhysicsCreateBox(flat.world, 1, 1, 1, nullptr);
  dgCollision* sphere = PhysicsCreateSphere(flat.world, 1, 1, 1, nullptr);
  ASSERT_NE(box, sphere);
  EXPECT_EQ(box->GetTypeId(), dgCollisionBoxId);
  EXPECT_EQ(sphere->GetTypeId(), dgCollisionSphereId);
  EXPECT_EQ(sphere->GetRefCount(), 1) << "outside the cache";
  EXPECT_EQ(PhysicsCreateBox(flat.world, 1, 1, 1, nullptr), box) << "the equal block still shares";
  PhysicsReleaseCollision(flat.world, box);
  PhysicsReleaseCollision(flat.world, sphere);
  EXPECT_EQ(LiveShapes(), before + 1);
  PhysicsReleaseCollision(flat.world, box);
  EXPECT_EQ(LiveShapes(), before);
}

TEST(PhysicsInterface, TreeBuildMisuseNeitherCrashesNorLeaks) {
  FlatWorld flat;
  const float triangle[9] = {0, 0, 0, 0, 0, 1, 1, 0, 0};
  const float far[9] = {0, 5, 0, 0, 5, 1, 1, 5, 0};
  const int counted = LiveCountedBlocks();
  dgCollision* box = PhysicsCreateBox(flat.world, 1, 1, 1, nullptr);
  const auto misuse = [&](dgCollision* tree) {
    PhysicsTreeCollisionAddFace(tree, 3, triangle, 12, 1);  // before Begin
    PhysicsTreeCollisionEndBuild(tree, 1);                  // End without Begin
    PhysicsTreeCollisionBeginBuild(tree);
    PhysicsTreeCollisionBeginBuild(tree);  // a second Begin drops the first builder
    PhysicsTreeCollisionAddFace(tree, 2, triangle, 12, 1);
    PhysicsTreeCollisionAddFace(tree, 1025, triangle, 12, 1);
    PhysicsTreeCollisionAddFace(tree, 3, triangle, 8, 1);
    PhysicsTreeCollisionAddFace(tree, 3, nullptr, 12, 1);
    PhysicsTreeCollisionAddFace(tree, 3, triangle, 12, 1);
    PhysicsTreeCollisionEndBuild(tree, 0);
    PhysicsTreeCollisionEndBuild(tree, 0);
  };
  misuse(nullptr);
  misuse(box);  // not a tree collision: ignored
  EXPECT_EQ(box->GetRefCount(), 2);

  dgCollision* tree = PhysicsCreateTreeCollision(flat.world, nullptr);
  misuse(tree);
  float normal[3] = {};
  int attribute = 0;
  const float above[3] = {0.2f, 1, 0.2f};
  const float below[3] = {0.2f, -1, 0.2f};
  EXPECT_NEAR(PhysicsCollisionRayCast(tree, above, below, normal, &attribute), 0.5f, 1e-6f);
  EXPECT_EQ(attribute, 1);
  // A Begin after End starts a build that replaces the faces at its End;
  // one left open is dropped with the collision.
  PhysicsTreeCollisionBeginBuild(tree);
  PhysicsTreeCollisionAddFace(tree, 3, far, 12, 2);
  PhysicsTreeCollisionEndBuild(tree, 1);
  const float up[3] = {0.2f, 6, 0.2f};
  const float down[3] = {0.2f, -1, 0.2f};
  EXPECT_NEAR(PhysicsCollisionRayCast(tree, up, down, normal, &attribute), 1.0f / 7.0f, 1e-6f);
  EXPECT_EQ(attribute, 2);
  PhysicsTreeCollisionBeginBuild(tree);
  PhysicsTreeCollisionAddFace(tree, 3, triangle, 12, 1);
  PhysicsReleaseCollision(flat.world, tree);
  PhysicsReleaseCollision(flat.world, box);
  EXPECT_EQ(LiveCountedBlocks(), counted);
}

TEST(PhysicsInterface, WorldBoxIncludesTheOffset) {
  FlatWorld flat;
  const struct {
    const char* name;
    dgMatrix offset;
    dgMatrix matrix;
    float min[3];
    float max[3];
  } cases[] = {
      {"plain", dgMatrix(), At(0, 5, 0), {-1, 4.5f, -2}, {1, 5.5f, 2}},
      {"shifted offset", At(1, 0, 0), At(0, 5, 0), {0, 4.5f, -2}, {2, 5.5f, 2}},
      // The offset turns the box a quarter about z (x and y swap), then the matrix shifts it.
      {"turned offset", AxisRotation(2, 1.5707964f, dgVector(0, 0, 3)), At(10, 0, 0), {9.5f, -1, 1}, {10.5f, 1, 5}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    dgCollision* box = PhysicsCreateBox(flat.world, 2, 1, 4, Placement(test.offset));
    float low[3];
    float high[3];
    PhysicsCollisionCalculateAABB(box, Placement(test.matrix), low, high);
    ExpectTriple(low, test.min[0], test.min[1], test.min[2]);
    ExpectTriple(high, test.max[0], test.max[1], test.max[2]);
    PhysicsReleaseCollision(flat.world, box);
  }
}

TEST(PhysicsInterface, RayCastTable) {
  FlatWorld flat;
  dgCollision* floor = MakeFloor(flat.world);
  dgCollision* plainBox = PhysicsCreateBox(flat.world, 2, 2, 2, nullptr);
  // The box turned a quarter about y and moved to x = 5: its +x face now faces -z.
  dgCollision* turnedBox =
      PhysicsCreateBox(flat.world, 2, 2, 2, Placement(AxisRotation(1, 1.5707964f, dgVector(5, 0, 0))));
  dgCollision* sphere = PhysicsCreateSphere(flat.world, 1, 1, 1, Placement(At(0, 3, 0)));
  constexpr float kSentinel = 99.0f;
  const struct {
    const char* name;
    dgCollision* shape;
    float p0[3];
    float p1[3];
    float t;  // NAN: any miss (outside 0..1)
    float normal[3];
    int attribute;
  } cases[] = {
      {"floor from above", floor, {1, 2, 1}, {1, -2, 1}, 0.5f, {0, 1, 0}, 5},
      {"floor ending exactly on it", floor, {1, 1, 1}, {1, 0, 1}, 1.0f, {0, 1, 0}, 5},
      {"floor from below", floor, {1, -1, 1}, {1, 1, 1}, NAN, {kSentinel, kSentinel, kSentinel}, -1},
      {"box ending exactly on +x", plainBox, {3, 0, 0}, {1, 0, 0}, 1.0f, {1, 0, 0}, 0},
      {"box missed", plainBox, {3, 3, 0}, {3, -3, 0}, NAN, {kSentinel, kSentinel, kSentinel}, -1},
      {"box from inside", plainBox, {0, 0, 0}, {3, 0, 0}, NAN, {kSentinel, kSentinel, kSentinel}, -1},
      {"turned box along z", turnedBox, {5, 0, -4}, {5, 0, 0}, 0.75f, {0, 0, -1}, 0},
      {"turned box along x", turnedBox, {8, 0.5f, 0}, {4, 0.5f, 0}, 0.5f, {1, 0, 0}, 0},
      {"shifted sphere", sphere, {0, 6, 0}, {0, 3, 0}, 2.0f / 3.0f, {0, 1, 0}, 0},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    float normal[3] = {kSentinel, kSentinel, kSentinel};
    int attribute = -1;
    const float t = PhysicsCollisionRayCast(test.shape, test.p0, test.p1, normal, &attribute);
    if (std::isnan(test.t)) {
      EXPECT_TRUE(t < 0.0f || t > 1.0f) << t;
    } else {
      EXPECT_NEAR(t, test.t, 1e-5f);
    }
    ExpectTriple(normal, test.normal[0], test.normal[1], test.normal[2]);
    EXPECT_EQ(attribute, test.attribute);
  }
  for (dgCollision* shape : {floor, plainBox, turnedBox, sphere}) PhysicsReleaseCollision(flat.world, shape);
}

namespace {

enum class Shape { kBox, kTallBox, kSphere, kCapsule, kFloor };

dgCollision* MakeShape(dgWorld* world, Shape shape, const dgMatrix& offset) {
  switch (shape) {
    case Shape::kBox:
      return PhysicsCreateBox(world, 2, 2, 2, Placement(offset));
    case Shape::kTallBox:
      return PhysicsCreateBox(world, 2, 4, 2, Placement(offset));
    case Shape::kSphere:
      return PhysicsCreateSphere(world, 1, 1, 1, Placement(offset));
    case Shape::kCapsule:
      return PhysicsCreateCapsule(world, 0.5f, 3, Placement(offset));
    case Shape::kFloor:
      return MakeFloor(world);
  }
  return nullptr;
}

}  // namespace

TEST(PhysicsInterface, CollideTable) {
  FlatWorld flat;
  const dgMatrix none;
  const dgMatrix quarterZ = AxisRotation(2, 1.5707964f);
  const float slop = 1.0f / 128.0f;
  const struct {
    const char* name;
    Shape a;
    dgMatrix offsetA;
    dgMatrix matrixA;
    Shape b;
    dgMatrix offsetB;
    dgMatrix matrixB;
    float normal[3];  // every contact's; from b toward a unless a is the soup
    float depth;      // geometric overlap; -1: no contact
  } cases[] = {
      {"sphere-sphere", Shape::kSphere, none, At(0, 0, 0), Shape::kSphere, none, At(1.5f, 0, 0), {-1, 0, 0}, 0.5f},
      {"box-sphere", Shape::kBox, none, At(0, 0, 0), Shape::kSphere, none, At(0, 1.5f, 0), {0, -1, 0}, 0.5f},
      {"sphere-box", Shape::kSphere, none, At(0, 1.5f, 0), Shape::kBox, none, At(0, 0, 0), {0, 1, 0}, 0.5f},
      {"box-box", Shape::kBox, none, At(0, 1.8f, 0), Shape::kBox, none, At(0, 0, 0), {0, 1, 0}, 0.2f},
      {"capsule-box", Shape::kCapsule, none, At(0, 1.3f, 0), Shape::kBox, none, At(0, 0, 0), {0, 1, 0}, 0.2f},
      {"box-sphere apart", Shape::kBox, none, At(0, 0, 0), Shape::kSphere, none, At(0, 2.1f, 0), {}, -1},
      {"soup-sphere", Shape::kFloor, none, At(0, 0, 0), Shape::kSphere, none, At(1, 0.7f, 1), {0, 1, 0}, 0.3f},
      {"soup-box", Shape::kFloor, none, At(0, 0, 0), Shape::kBox, none, At(1, 0.8f, 1), {0, 1, 0}, 0.2f},
      {"box-soup", Shape::kBox, none, At(1, 0.8f, 1), Shape::kFloor, none, At(0, 0, 0), {0, 1, 0}, 0.2f},
      {"soup-soup", Shape::kFloor, none, At(0, 0, 0), Shape::kFloor, none, At(0, 0.1f, 0), {}, -1},
      // Offsets: a box turned about y and a sphere lifted by its offset, both placed at x = 3.
      {"offset box-sphere",
       Shape::kBox,
       AxisRotation(1, 0.7f),
       At(3, 0, 0),
       Shape::kSphere,
       At(0, 1.5f, 0),
       At(3, 0, 0),
       {0, -1, 0},
       0.5f},
      // A tall box laid on its side by its offset: its half width along x is now 2.
      {"turned tall box-sphere",
       Shape::kTallBox,
       quarterZ,
       At(0, 0, 0),
       Shape::kSphere,
       none,
       At(2.5f, 0, 0),
       {-1, 0, 0},
       0.5f},
      {"turned tall box-sphere by the matrix",
       Shape::kTallBox,
       none,
       quarterZ,
       Shape::kSphere,
       none,
       At(2.5f, 0, 0),
       {-1, 0, 0},
       0.5f},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    dgCollision* a = MakeShape(flat.world, test.a, test.offsetA);
    dgCollision* b = MakeShape(flat.world, test.b, test.offsetB);
    float points[8][3];
    float normals[8][3];
    float depths[8];
    const int count = PhysicsCollisionCollide(flat.world, 8, a, Placement(test.matrixA), b, Placement(test.matrixB),
                                              points[0], normals[0], depths);
    if (test.depth < 0.0f) {
      EXPECT_EQ(count, 0);
    } else {
      ASSERT_GT(count, 0);
      EXPECT_LE(count, 8);
      for (int i = 0; i < count; ++i) {
        ExpectTriple(normals[i], test.normal[0], test.normal[1], test.normal[2], 1e-3f);
        EXPECT_NEAR(depths[i], test.depth - slop, 2e-3f);
      }
    }
    PhysicsReleaseCollision(flat.world, a);
    PhysicsReleaseCollision(flat.world, b);
  }
}

TEST(PhysicsInterface, CollideKeepsAtMostTheRoomAndTheBuffer) {
  FlatWorld flat;
  dgCollision* floor = MakeFloor(flat.world);
  dgCollision* box = PhysicsCreateBox(flat.world, 4, 2, 4, nullptr);
  float points[128][3];
  float normals[128][3];
  float depths[128];
  const int all =
      PhysicsCollisionCollide(flat.world, 500, floor, Placement(At(0, 0, 0)), box,
                              Placement(AxisRotation(1, 0.3f, dgVector(0, 0.9f, 0))), points[0], normals[0], depths);
  EXPECT_GT(all, 1);
  EXPECT_LE(all, 128);
  EXPECT_EQ(
      PhysicsCollisionCollide(flat.world, 128, floor, Placement(At(0, 0, 0)), box,
                              Placement(AxisRotation(1, 0.3f, dgVector(0, 0.9f, 0))), points[0], normals[0], depths),
      all);
  EXPECT_EQ(
      PhysicsCollisionCollide(flat.world, 1, floor, Placement(At(0, 0, 0)), box,
                              Placement(AxisRotation(1, 0.3f, dgVector(0, 0.9f, 0))), points[0], normals[0], depths),
      1);
  PhysicsReleaseCollision(flat.world, floor);
  PhysicsReleaseCollision(flat.world, box);
}

TEST(PhysicsInterface, ClosestPointTable) {
  FlatWorld flat;
  const struct {
    const char* name;
    Shape shape;
    dgMatrix offset;
    dgMatrix matrix;
    float point[3];
    int found;
    float contact[3];
    float normal[3];  // from the shape toward the point
  } cases[] = {
      {"above a box", Shape::kBox, dgMatrix(), At(0, 0, 0), {0.2f, 3, 0.1f}, 1, {0.2f, 1, 0.1f}, {0, 1, 0}},
      {"beside a placed box", Shape::kBox, dgMatrix(), At(5, 0, 0), {2, 0.5f, 0}, 1, {4, 0.5f, 0}, {-1, 0, 0}},
      {"beside a shifted sphere", Shape::kSphere, At(0, 0, 5), At(1, 0, 0), {1, 0, 8}, 1, {1, 0, 6}, {0, 0, 1}},
      // The capsule's height of 3 is its whole length, caps included.
      {"off a capsule's end", Shape::kCapsule, dgMatrix(), At(0, 0, 0), {4, 0, 0}, 1, {1.5f, 0, 0}, {1, 0, 0}},
      {"off a capsule stood up by its offset",
       Shape::kCapsule,
       AxisRotation(2, 1.5707964f),
       At(0, 0, 0),
       {0, 4, 0},
       1,
       {0, 1.5f, 0},
       {0, 1, 0}},
      {"inside a box", Shape::kBox, dgMatrix(), At(0, 0, 0), {0.2f, 0.3f, 0}, 0, {}, {}},
      {"above the soup", Shape::kFloor, dgMatrix(), At(0, 0, 0), {0, 3, 0}, 0, {}, {}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    dgCollision* shape = MakeShape(flat.world, test.shape, test.offset);
    float contact[3] = {7, 7, 7};
    float normal[3] = {7, 7, 7};
    EXPECT_EQ(PhysicsCollisionClosestPoint(flat.world, test.point, shape, Placement(test.matrix), contact, normal),
              test.found);
    if (test.found) {
      ExpectTriple(contact, test.contact[0], test.contact[1], test.contact[2], 1e-3f);
      ExpectTriple(normal, test.normal[0], test.normal[1], test.normal[2], 1e-3f);
    } else {
      ExpectTriple(contact, 7, 7, 7, 0);
      ExpectTriple(normal, 7, 7, 7, 0);
    }
    PhysicsReleaseCollision(flat.world, shape);
  }
}

TEST(PhysicsInterface, CollideWithoutRoomWritesNothing) {
  FlatWorld flat;
  dgCollision* a = PhysicsCreateBox(flat.world, 2, 2, 2, nullptr);
  dgCollision* b = PhysicsCreateSphere(flat.world, 1, 1, 1, nullptr);
  for (const int room : {0, -1}) {
    float points[3] = {7, 7, 7};
    float normals[3] = {7, 7, 7};
    float depths[1] = {7};
    EXPECT_EQ(PhysicsCollisionCollide(flat.world, room, a, Placement(At(0, 0, 0)), b, Placement(At(0, 0.5f, 0)), points,
                                      normals, depths),
              0);
    ExpectTriple(points, 7, 7, 7, 0);
    ExpectTriple(normals, 7, 7, 7, 0);
    EXPECT_EQ(depths[0], 7.0f);
  }
  PhysicsReleaseCollision(flat.world, a);
  PhysicsReleaseCollision(flat.world, b);
}

TEST(PhysicsInterface, CreateDestroyCyclesGrowNothing) {
  ScopedCountingHooks hooks;
  const auto cycle = [] {
    dgWorld* world = PhysicsCreate(dgGetMallocHook(), dgGetFreeHook());  // the counting pair
    dgCollision* box = PhysicsCreateBox(world, 1, 2, 3, nullptr);
    dgCollision* floor = MakeFloor(world);
    PhysicsReleaseCollision(world, floor);
    PhysicsReleaseCollision(world, box);
    PhysicsDestroy(world);
  };
  ExpectCyclesGrowNoHook(cycle);
}

TEST(PhysicsInterface, TreeBuildHoldsAFewTimesTheTreeItMakes) {
  // Every byte the library takes while the sphere's tree is built, against
  // what the finished tree keeps: building must not cost far more memory
  // than its result, however few the faces. The merge of an optimised
  // build works on a half-edge mesh of the faces it joins, which costs
  // more than the merged tree it leaves. A first build fills the shared
  // pool of mesh edges, which keeps its pages for the next.
  struct Case {
    int optimise;
    long long times;
  };
  ScopedCountingHooks hooks;
  dgWorld* world = PhysicsCreate(dgGetMallocHook(), dgGetFreeHook());  // the counting pair
  const SoupInput sphere = MakeUvSphere();
  const auto build = [&](int optimise) {
    dgCollision* tree = PhysicsCreateTreeCollision(world, nullptr);
    PhysicsTreeCollisionBeginBuild(tree);
    for (int k = 0; k < sphere.TriangleCount(); ++k) {
      PhysicsTreeCollisionAddFace(tree, 3, &sphere.triangles[static_cast<size_t>(k) * 9], 12, 0);
    }
    PhysicsTreeCollisionEndBuild(tree, optimise);
    return tree;
  };
  for (const Case c : {Case{0, 4}, Case{1, 8}}) {
    PhysicsReleaseCollision(world, build(c.optimise));
    const long long before = GetHookCounts().liveBytes;
    GetHookCounts().peakBytes = before;
    dgCollision* tree = build(c.optimise);
    const long long kept = GetHookCounts().liveBytes - before;
    const long long peak = GetHookCounts().peakBytes - before;
    EXPECT_GT(kept, 25LL * sphere.TriangleCount()) << c.optimise;
    EXPECT_LE(peak, c.times * kept) << c.optimise << ": peak " << peak << ", kept " << kept;
    PhysicsReleaseCollision(world, tree);
  }
  PhysicsDestroy(world);
}

namespace {

// Two hook pairs that each remember their blocks and count blocks that
// reach the wrong free hook.
template <int Pair>
struct TrackedHooks {
  static std::unordered_set<void*>& Blocks() {
    static auto* blocks = new std::unordered_set<void*>;  // outlives every late free
    return *blocks;
  }
  static inline int foreign = 0;
  static void* Malloc(size_t bytes) {
    void* block = std::malloc(bytes);
    Blocks().insert(block);
    return block;
  }
  static void Free(void* block, size_t) {
    if (Blocks().erase(block) == 0) ++foreign;
    std::free(block);
  }
};

}  // namespace

TEST(PhysicsInterface, EveryBlockReachesTheFreeHookThatMadeIt) {
  using First = TrackedHooks<1>;
  using Second = TrackedHooks<2>;
  dgWorld* first = PhysicsCreate(First::Malloc, First::Free);
  dgCollision* box = PhysicsCreateBox(first, 1, 1, 1, nullptr);
  dgWorld* second = PhysicsCreate(Second::Malloc, Second::Free);
  dgCollision* sphere = PhysicsCreateSphere(second, 1, 1, 1, nullptr);
  PhysicsReleaseCollision(first, box);
  PhysicsDestroy(first);  // under the second pair's hooks
  PhysicsReleaseCollision(second, sphere);
  PhysicsDestroy(second);
  EXPECT_EQ(First::foreign, 0);
  EXPECT_EQ(Second::foreign, 0);
  RestoreDefaultHooks();
}

namespace {

// Hooks that hand out a set number of blocks, then refuse.
int gBlocksLeft = 0;
void* RationedMalloc(size_t bytes) { return gBlocksLeft-- > 0 ? std::malloc(bytes) : nullptr; }
void RationedFree(void* block, size_t) { std::free(block); }

// A world answers as a whole one does: its default material pair, a body
// made and destroyed, a box resting on a floor, the closest point to a point.
void ExpectWorldWorks(dgWorld* world) {
  EXPECT_NE(world->GetMaterialPair(0, 0), nullptr);
  dgCollision* box = PhysicsCreateBox(world, 2, 2, 2, nullptr);
  dgCollision* floor = MakeFloor(world);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(floor, nullptr);
  dgBody* body = world->CreateBody(box, At(1, 2, 3));
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(world->GetBodyCount(), 1);
  world->DestroyBody(body);
  float points[8][3];
  float normals[8][3];
  float depths[8];
  EXPECT_GT(PhysicsCollisionCollide(world, 8, box, Placement(At(0, 0.9f, 0)), floor, Placement(At(0, 0, 0)), points[0],
                                    normals[0], depths),
            0);
  const float point[3] = {0, 5, 0};
  float contact[3];
  float normal[3];
  EXPECT_NE(PhysicsCollisionClosestPoint(world, point, box, Placement(dgGetIdentityMatrix()), contact, normal), 0);
  ExpectTriple(contact, 0, 1, 0, 1e-3f);
  PhysicsReleaseCollision(world, floor);
  PhysicsReleaseCollision(world, box);
}

}  // namespace

TEST(PhysicsInterface, WorldOrShapesThatCannotBeAllocatedAreNull) {
  // Each sweep rations from no block at all to enough: the first the world,
  // the second a box and a floor in a whole world. A null comes only with a
  // refused block, a world only without one, and each sweep meets both outcomes.
  bool sawNoWorld = false;
  bool sawWorld = false;
  for (int allowed = 0; allowed < 128; ++allowed) {
    SCOPED_TRACE(allowed);
    gBlocksLeft = allowed;
    dgWorld* world = PhysicsCreate(RationedMalloc, RationedFree);
    if (world) {
      EXPECT_GE(gBlocksLeft, 0) << "a world made although a block was refused";
      gBlocksLeft = 1 << 20;
      ExpectWorldWorks(world);
    } else {
      EXPECT_LT(gBlocksLeft, 0) << "a null world although no block was refused";
    }
    (world ? sawWorld : sawNoWorld) = true;
    PhysicsDestroy(world);
  }
  EXPECT_TRUE(sawNoWorld);
  EXPECT_TRUE(sawWorld);

  gBlocksLeft = 1 << 20;
  dgWorld* world = PhysicsCreate(RationedMalloc, RationedFree);
  ASSERT_NE(world, nullptr);
  bool sawNoShape = false;
  bool sawShapes = false;
  for (int allowed = 0; allowed < 128; ++allowed) {
    SCOPED_TRACE(allowed);
    gBlocksLeft = allowed;
    dgCollision* box = PhysicsCreateBox(world, 1, 2, 3, nullptr);
    const bool boxRefused = gBlocksLeft < 0;
    dgCollision* floor = MakeFloor(world);  // the build copes with refusals too
    const bool floorRefused = gBlocksLeft < 0;
    if (box) {
      // A box that was made is whole.
      float low[3];
      float high[3];
      PhysicsCollisionCalculateAABB(box, Placement(dgGetIdentityMatrix()), low, high);
      ExpectTriple(low, -0.5f, -1.0f, -1.5f);
      ExpectTriple(high, 0.5f, 1.0f, 1.5f);
    } else {
      EXPECT_TRUE(boxRefused) << "a null box although no block was refused";
    }
    if (!floor) EXPECT_TRUE(floorRefused) << "a null floor although no block was refused";
    if (!box || !floor) sawNoShape = true;
    if (box && floor) sawShapes = true;
    gBlocksLeft = 1 << 20;
    PhysicsReleaseCollision(world, floor);
    PhysicsReleaseCollision(world, box);
  }
  PhysicsDestroy(world);
  RestoreDefaultHooks();
  EXPECT_TRUE(sawNoShape);
  EXPECT_TRUE(sawShapes);
}
