// The world: its defaults, material groups, the shared shape cache, the
// destroy paths of bodies and joints, and a clean teardown.

#include <gtest/gtest.h>

#include <memory>

#include "physics/contacts/dgContactSolver.h"
#include "physics/memory/dgClassIds.h"
#include "physics/shapes/dgCollisionBox.h"
#include "physics/shapes/dgCollisionCapsule.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/world/dgPointCollision.h"
#include "physics/world/dgWorld.h"
#include "support/CountedAllocation.h"
#include "support/CountingHooks.h"
#include "support/TestWorld.h"

namespace {

int LiveShapes() {
  return dgCollisionBox::GetLiveCount() + dgCollisionSphere::GetLiveCount() + dgCollisionCapsule::GetLiveCount() +
         dgCollisionCylinder::GetLiveCount();
}

}  // namespace

TEST(World, NewWorldDefaults) {
  const WorldPtr world = MakeWorld();
  EXPECT_EQ(world->GetMaterialGroupCount(), 1);
  EXPECT_EQ(world->GetDefaultMaterialGroup(), 0);
  ASSERT_EQ(world->GetMaterialTree().GetCount(), 1);
  EXPECT_EQ(world->GetMaterialTree().Minimum()->GetKey(), 0u);
  const dgMaterialPair& pair = world->GetMaterialTree().Minimum()->GetInfo();
  EXPECT_EQ(pair.flags, 0x47u);
  EXPECT_EQ(pair.softness, 0.1f);
  EXPECT_EQ(pair.elasticity, 0.4f);
  EXPECT_EQ(pair.kineticFriction1, 0.5f);

  EXPECT_EQ(world->GetLinearTolerance(), 0.01f);
  EXPECT_EQ(world->GetAngularTolerance(), 0.01f);
  EXPECT_EQ(world->GetLinearSleepSpeed(), 0.001f);
  EXPECT_EQ(world->GetAngularSleepSpeed(), 0.001f);
  EXPECT_EQ(world->GetSleepTime(), 0.25f);
  EXPECT_EQ(world->GetTimeStep(), 0.016666668f);
  EXPECT_EQ(world->GetBodyCount(), 0);
  EXPECT_EQ(world->GetJointCount(), 0);
  EXPECT_NE(world->GetSolverScratch(), nullptr);
  EXPECT_EQ(world->GetClassId(dgWorld::kConvexId), dgConvexCollisionId);
  EXPECT_EQ(world->GetClassId(dgWorld::kCompoundId), dgCompoundCollisionId);
  EXPECT_EQ(world->GetClassId(dgWorld::kPolygonSoupId), dgCollisionPolygonalSoupId);
  EXPECT_EQ(world->GetBroadPhase().GetRootSize(), 2000.0f);  // the default extent of +-1000

  const dgVector diagonal = dgContactSolver::GetSearchDirection(0);
  EXPECT_NEAR(diagonal.x, 0.57735f, 1e-5f);
  EXPECT_NEAR(diagonal.y, -0.57735f, 1e-5f);
  EXPECT_EQ(dgContactSolver::GetSearchDirection(13), dgVector(0, 0, -1, 0));

  const dgPointCollision* point = world->GetPointCollision();
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetSignature(), 0x12344321u);
  EXPECT_EQ(point->GetRadius(), 1.0f);
  EXPECT_TRUE(point->IsType(dgCollisionSphereId));
  EXPECT_EQ(point->SupportVertex(dgVector(1, 2, 3, 0)), dgVector(0, 0, 0, 0));
  EXPECT_EQ(point->GetVolume(), 0.0f);
  dgVector inertia(1, 1, 1, 1);
  dgVector centre(1, 1, 1, 1);
  point->CalculateInertia(inertia, centre);
  EXPECT_EQ(inertia, dgVector(0, 0, 0, 0));
}

TEST(World, MaterialGroupsPairWithEveryGroupSoFar) {
  const WorldPtr world = MakeWorld();
  EXPECT_EQ(world->CreateMaterialGroup(), 1);
  EXPECT_NE(world->GetMaterialTree().Find(0x10000u), nullptr);
  EXPECT_NE(world->GetMaterialTree().Find(0x10001u), nullptr);
  EXPECT_EQ(world->GetMaterialTree().GetCount(), 3);
  EXPECT_EQ(world->CreateMaterialGroup(), 2);
  for (uint32_t key : {0x20000u, 0x20001u, 0x20002u}) EXPECT_NE(world->GetMaterialTree().Find(key), nullptr);
  EXPECT_EQ(world->GetMaterialTree().GetCount(), 6);
  EXPECT_EQ(world->GetMaterialPair(0, 2), world->GetMaterialPair(2, 0));
  EXPECT_EQ(world->GetMaterialPair(3, 0), nullptr);
}

TEST(World, ShapeCacheSharesEqualShapes) {
  const WorldPtr world = MakeWorld();
  const dgMatrix& identity = dgGetIdentityMatrix();
  dgCollision* a = world->CreateBox(1.0f, 1.0f, 1.0f, identity);
  EXPECT_EQ(a->GetRefCount(), 2);  // the cache's and the caller's
  // Half sides within 1/1024 of each other share; 1.002 does not.
  dgCollision* b = world->CreateBox(1.0004f, 1.0f, 1.0f, identity);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->GetRefCount(), 3);
  dgCollision* c = world->CreateBox(1.002f, 1.0f, 1.0f, identity);
  EXPECT_NE(a, c);
  EXPECT_EQ(world->CreateBox(-1.0f, 1.0f, -1.0f, identity), a);  // absolute values

  dgMatrix shifted;
  shifted.posit.x = 1e-30f;  // any change of a matrix bit is another shape
  dgCollision* d = world->CreateBox(1.0f, 1.0f, 1.0f, shifted);
  EXPECT_NE(d, a);

  // All-zero sizes: the kind word keeps a box and a sphere apart.
  dgCollision* zeroBox = world->CreateBox(0, 0, 0, identity);
  dgCollision* zeroSphere = world->CreateSphere(0, identity);
  EXPECT_NE(zeroBox->GetSignature(), zeroSphere->GetSignature());
  EXPECT_EQ(world->CreateCapsule(0.5f, 4.0f, identity), world->CreateCapsule(-0.5f, -4.0f, identity));
  EXPECT_NE(world->CreateCapsule(0.5f, 4.0f, identity), world->CreateCylinder(0.5f, 4.0f, identity));
  EXPECT_NE(world->CreateEllipse(1, 2, 3, identity), nullptr);

  // From count 4 down: cached until only the cache's reference is left.
  const int cached = world->GetShapeCache().GetCount();
  world->ReleaseCollision(a);
  world->ReleaseCollision(a);
  EXPECT_EQ(a->GetRefCount(), 2);
  EXPECT_EQ(world->GetShapeCache().GetCount(), cached);
  const int boxes = dgCollisionBox::GetLiveCount();
  world->ReleaseCollision(a);
  EXPECT_EQ(dgCollisionBox::GetLiveCount(), boxes - 1);
  EXPECT_EQ(world->GetShapeCache().GetCount(), cached - 1);
}

TEST(World, DestroyingTheWorldDestroysEveryCachedShape) {
  {
    const WorldPtr world = MakeWorld();
    const dgMatrix& identity = dgGetIdentityMatrix();
    world->CreateBox(1, 2, 3, identity);  // never released by its holder
    world->CreateSphere(1, identity);
    world->CreateEllipse(1, 2, 3, identity);
    world->CreateCapsule(1, 3, identity);
    world->CreateCylinder(1, 3, identity);
    EXPECT_EQ(LiveShapes(), 6);  // and the world's private point
  }
  EXPECT_EQ(LiveShapes(), 0);
}

TEST(World, CreateAndDestroyLeaveTheHooksBalanced) {
  ScopedCountingHooks hooks;
  const auto cycle = [] {
    const WorldPtr world = MakeWorld();
    const dgMatrix& identity = dgGetIdentityMatrix();
    dgCollision* box = world->CreateBox(1, 2, 3, identity);
    dgCollision* sphere = world->CreateSphere(0.5f, identity);
    world->CreateCapsule(0.2f, 1.0f, identity);
    dgBody* body = world->CreateBody(box, identity);
    world->CreateBody(sphere, dgMatrix(dgVector(1, 0, 0, 0), dgVector(0, 1, 0, 0), dgVector(0, 0, 1, 0),
                                       dgVector(3.3f, 0.2f, 7.1f, 1)));
    dgHingeJoint* hinge = world->GetHingePool().Allocate();
    world->AttachJoint(hinge, body, nullptr);
    world->ReleaseCollision(box);
  };
  cycle();  // the library's shared pools and free lists fill up once
  const long long blocks = GetHookCounts().liveBlocks;
  const long long bytes = GetHookCounts().liveBytes;
  const int counted = LiveCountedBlocks();
  for (int i = 0; i < 4; ++i) {
    cycle();
    EXPECT_EQ(GetHookCounts().liveBlocks, blocks);
    EXPECT_EQ(GetHookCounts().liveBytes, bytes);
    EXPECT_EQ(LiveCountedBlocks(), counted);
    EXPECT_EQ(LiveShapes(), 0);
  }
}

TEST(World, DestroyingABodyTakesItsJointsAndWakesThePartner) {
  const WorldPtr world = MakeWorld();
  static int destroyedBodies;
  static int destroyedJoints;
  static int lastActivation;
  destroyedBodies = destroyedJoints = 0;
  lastActivation = -1;

  dgCollision* box = world->CreateBox(1, 1, 1, dgGetIdentityMatrix());
  dgBody* a = world->CreateBody(box, dgGetIdentityMatrix());
  dgMatrix far;
  far.posit = dgVector(10, 0, 10, 1);
  dgBody* b = world->CreateBody(box, far);
  world->ReleaseCollision(box);
  EXPECT_EQ(box->GetRefCount(), 3);
  EXPECT_EQ(world->GetBodyCount(), 2);
  ASSERT_NE(a->broadPhaseNode, nullptr);

  a->destructionCallback = [](dgBody*) { ++destroyedBodies; };
  b->destructionCallback = [](dgBody*) { ++destroyedBodies; };
  b->activationCallback = [](const dgBody*, unsigned state) { lastActivation = static_cast<int>(state); };
  b->sleepTimer = 0.0f;

  dgHingeJoint* hinge = world->GetHingePool().Allocate();
  hinge->SetUserCallback([](const dgConstraint*) { ++destroyedJoints; });
  world->AttachJoint(hinge, a, b);
  dgBallAndSocketJoint* ball = world->GetBallAndSocketPool().Allocate();
  world->AttachJoint(ball, a, nullptr);
  EXPECT_EQ(world->GetJointCount(), 2);
  const int freeHinges = world->GetHingePool().GetFreeCount();

  world->DestroyBody(a);
  EXPECT_EQ(destroyedBodies, 1);
  EXPECT_EQ(destroyedJoints, 1);
  EXPECT_EQ(world->GetJointCount(), 0);
  EXPECT_EQ(world->GetBodyCount(), 1);
  EXPECT_EQ(world->GetHingePool().GetFreeCount(), freeHinges + 1);
  EXPECT_EQ(b->jointList, nullptr);
  EXPECT_EQ(lastActivation, 1);  // the hinge's removal woke b
  EXPECT_TRUE(b->IsInActiveSet());
  EXPECT_TRUE(b->flags & dgBody::kFlagResting);
  EXPECT_EQ(box->GetRefCount(), 2);

  world->DestroyBody(b);
  EXPECT_EQ(lastActivation, 0);
  EXPECT_EQ(world->GetActiveBodyTree().GetCount(), 0);
  EXPECT_EQ(world->GetBodyTree().GetCount(), 0);
  EXPECT_EQ(world->GetBroadPhase().GetRoot(), nullptr);
  // The last body held the last reference besides the cache's: the box is gone.
  EXPECT_EQ(world->GetShapeCache().GetCount(), 0);
  EXPECT_EQ(dgCollisionBox::GetLiveCount(), 0);
}
