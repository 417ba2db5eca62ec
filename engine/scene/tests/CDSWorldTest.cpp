#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/foundation/Quaternion.h"
#include "engine/scene/cds/CDSHitList.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/SceneNode.h"
#include "support/CDSTestSupport.h"

namespace {

constexpr float kTolerance = 1e-3f;

TEST_F(CDSWorldTest, SlotsAreTakenLowestFirstAndReused) {
  ASSERT_TRUE(world_.Init(2));
  EXPECT_EQ(world_.AddObject(), 0);
  EXPECT_EQ(world_.AddObject(), 1);
  EXPECT_EQ(world_.AddObject(), -1);
  EXPECT_EQ(world_.GetCount(), 2u);
  world_.RemoveObject(0);
  world_.RemoveObject(0);  // already empty
  world_.RemoveObject(-1);
  world_.RemoveObject(7);
  EXPECT_EQ(world_.GetCount(), 1u);
  EXPECT_EQ(world_.GetObject(0), nullptr);
  EXPECT_EQ(world_.AddObject(), 0);
  EXPECT_EQ(world_.GetObject(-1), nullptr);
  EXPECT_EQ(world_.GetObject(2), nullptr);

  const CCDSObject* object = world_.GetObject(0);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->slot, 0);
  EXPECT_EQ(object->name, "Default");
  EXPECT_EQ(object->owner, -1);
  EXPECT_EQ(object->collisionMask, 0u);
  EXPECT_EQ(object->collisionCategory, 0u);
  EXPECT_NE(object->contactEnabled, 0u);
  EXPECT_TRUE(object->active);
  EXPECT_EQ(object->kind, CCDSObject::kNone);
}

TEST_F(CDSWorldTest, InitRefusesUnusableCellsAndLeavesNoSlots) {
  const float nan = std::nanf("");
  const std::vector<CCDSShape> cells = {
      CCDSShape(Vector3(0, 0, 0), Vector3(0, 0, 0)),
      CCDSShape(Vector3(-1, -1, -1), Vector3(1, -1, 1)),  // flat
      CCDSShape(Vector3(-1, nan, -1), Vector3(1, 1, 1)),
      CCDSShape(Vector3(-1, -1, -1), Vector3(INFINITY, 1, 1)),
  };
  for (const CCDSShape& cell : cells) {
    EXPECT_FALSE(world_.Init(4, cell));
    EXPECT_EQ(world_.AddObject(), -1);
    EXPECT_EQ(world_.GetPhysicsWorld(), nullptr);
  }
  EXPECT_FALSE(world_.Init(CCDSWorld::kMaxCapacity + 1));
  // A second Init empties the world before it starts again.
  ASSERT_TRUE(world_.Init(4));
  EXPECT_EQ(world_.CreateSphereObject(BoundingSphere(Vector3(), 1.0f)), 0);
  ASSERT_TRUE(world_.Init(4));
  EXPECT_EQ(world_.GetCount(), 0u);
  EXPECT_EQ(world_.GetObject(0), nullptr);
  EXPECT_EQ(world_.GetRoot()->GetCell().Max().x, CCDSWorld::kDefaultCellHalfSize);
}

TEST_F(CDSWorldTest, PrimitiveVolumesArePlacedAsTheirParametersSay) {
  CSCNNode node;  // at the origin
  const int sphere = world_.CreateSphereObject(BoundingSphere(Vector3(1, 2, 3), 0.5f));
  CCDSShape boxVolume(Vector3(1, 1, 1), Vector3(3, 5, 7));
  const int box = world_.CreateBoxObject(boxVolume);
  ASSERT_GE(sphere, 0);
  ASSERT_GE(box, 0);
  world_.GetObject(sphere)->node = &node;
  world_.GetObject(box)->node = &node;
  world_.Update();

  const CCDSObject& s = *world_.GetObject(sphere);
  EXPECT_EQ(s.kind, CCDSObject::kSphere);
  ExpectNear(s.Min(), Vector3(0.5f, 1.5f, 2.5f), kTolerance);
  ExpectNear(s.Max(), Vector3(1.5f, 2.5f, 3.5f), kTolerance);
  // A box volume keeps its size but sits centred on the node.
  const CCDSObject& b = *world_.GetObject(box);
  EXPECT_EQ(b.kind, CCDSObject::kBox);
  ExpectNear(b.Min(), Vector3(-1, -2, -3), kTolerance);
  ExpectNear(b.Max(), Vector3(1, 2, 3), kTolerance);
}

// Capsule and cylinder from (1, 1, 1) to (3, 3, 3), radius 0.5: boxes and
// ray hits against the shapes worked out by hand.
TEST_F(CDSWorldTest, CapsuleAndCylinderLieAlongTheirAxis) {
  const Vector3 a(1, 1, 1);
  const Vector3 b(3, 3, 3);
  const float r = 0.5f;
  Capsule capsuleVolume;
  capsuleVolume.A = a;
  capsuleVolume.B = b;
  capsuleVolume.radius = r;
  Cylinder cylinderVolume;
  cylinderVolume.A = a;
  cylinderVolume.B = b;
  cylinderVolume.radius = r;
  const int capsule = world_.CreateCapsuleObject(capsuleVolume);
  const int cylinder = world_.CreateCylinderObject(cylinderVolume);
  ASSERT_GE(capsule, 0);
  ASSERT_GE(cylinder, 0);
  CCDSObject& cap = *world_.GetObject(capsule);
  CCDSObject& cyl = *world_.GetObject(cylinder);
  EXPECT_EQ(cap.kind, CCDSObject::kCapsule);
  EXPECT_EQ(cyl.kind, CCDSObject::kCylinder);
  cap.UpdateBounds();
  cyl.UpdateBounds();

  // The library's boxes are its shapes' own boxes turned into place, so
  // they hold the shapes' exact boxes (the capsule's: the segment's widened
  // by r; the cylinder's: rims r * sqrt(2/3) beyond the ends on each axis)
  // and centre on the middle of the axis. A shape lying along any other
  // axis would fall outside.
  const float tol = 0.05f;
  const float rim = r * std::sqrt(2.0f / 3.0f);
  struct Expected {
    const CCDSObject* object;
    float below;
    float above;
  };
  for (const Expected& e : {Expected{&cap, 1 - r, 3 + r}, Expected{&cyl, 1 - rim, 3 + rim}}) {
    for (float minimum : {e.object->Min().x, e.object->Min().y, e.object->Min().z})
      EXPECT_LE(minimum, e.below + kTolerance);
    for (float maximum : {e.object->Max().x, e.object->Max().y, e.object->Max().z})
      EXPECT_GE(maximum, e.above - kTolerance);
    ExpectNear(e.object->Centre(), Vector3(2, 2, 2), kTolerance);
  }

  // Across the middle of the axis: the side at r from the axis.
  const Vector3 middle(2, 2, 2);
  Vector3 across(1, -1, 0);
  across.Normalise();
  const Ray side = SegmentRay(middle + across * 5.0f, middle);
  for (CCDSObject* object : {&cap, &cyl}) {
    ASSERT_EQ(object->IntersectRay(side), CCDSContact::kPenetrating);
    EXPECT_NEAR(CCDSObject::GetContact().depths[0], 5.0f - r, tol);
    ExpectNear(CCDSObject::GetContact().normals[0], across, tol);
  }
  // Down the axis from beyond B: the capsule's cap tip, the cylinder's flat end.
  Vector3 axis = b - a;
  axis.Normalise();
  const Ray down = SegmentRay(b + axis * 4.0f, middle);
  ASSERT_EQ(cap.IntersectRay(down), CCDSContact::kPenetrating);
  EXPECT_NEAR(CCDSObject::GetContact().depths[0], 4.0f - r, tol);
  ASSERT_EQ(cyl.IntersectRay(down), CCDSContact::kPenetrating);
  EXPECT_NEAR(CCDSObject::GetContact().depths[0], 4.0f, tol);
  ExpectNear(CCDSObject::GetContact().normals[0], axis, tol);
}

TEST_F(CDSWorldTest, BodyUnderATurnedMovedParentAnswersInWorldSpace) {
  CSCNNode parent;
  parent.SetPosition(10, 0, 0);
  Quaternion quarterTurn;
  quarterTurn.SetAxisAngle(Vector3(0, 1, 0), 3.14159265f / 2.0f);
  parent.SetRotation(quarterTurn);
  parent.RebuildMatrix();
  CSCNNode child;
  child.RebuildMatrix();
  ASSERT_TRUE(parent.AddChild(&child));

  // 2 x 2 x 6 in its own frame: the turn lays its long side along world x.
  const int slot = world_.CreateBoxObject(CCDSShape(Vector3(-1, -1, -3), Vector3(1, 1, 3)));
  ASSERT_GE(slot, 0);
  CCDSObject& body = *world_.GetObject(slot);
  body.node = &child;
  world_.Update();
  ExpectNear(body.Min(), Vector3(7, -1, -1), kTolerance);
  ExpectNear(body.Max(), Vector3(13, 1, 1), kTolerance);

  ASSERT_EQ(body.IntersectRay(SegmentRay(Vector3(20, 0, 0), Vector3(0, 0, 0))), CCDSContact::kPenetrating);
  const CCDSContact& hit = CCDSObject::GetContact();
  EXPECT_EQ(hit.a, &body);
  EXPECT_EQ(hit.count, 1);
  EXPECT_NEAR(hit.depths[0], 7.0f, kTolerance);
  ExpectNear(hit.points[0], Vector3(13, 0, 0), kTolerance);
  ExpectNear(hit.normals[0], Vector3(1, 0, 0), kTolerance);
  parent.RemoveChild(&child);
}

TEST_F(CDSWorldTest, RayEndsCountAndEmptyRaysMiss) {
  const int slot = world_.CreateBoxObject(CCDSShape(Vector3(-1, -1, -1), Vector3(1, 1, 1)));
  CCDSObject& box = *world_.GetObject(slot);
  // Ending exactly on the face: t = 1 is a hit.
  EXPECT_EQ(box.IntersectRay(SegmentRay(Vector3(3, 0, 0), Vector3(1, 0, 0))), CCDSContact::kPenetrating);
  EXPECT_NEAR(CCDSObject::GetContact().depths[0], 2.0f, kTolerance);
  EXPECT_EQ(box.IntersectRay(SegmentRay(Vector3(3, 0, 0), Vector3(1.01f, 0, 0))), CCDSContact::kNone);

  Ray empty = SegmentRay(Vector3(3, 0, 0), Vector3(0, 0, 0));
  empty.length = 0.0f;
  EXPECT_EQ(box.IntersectRay(empty), CCDSContact::kNone);
  Ray endless = SegmentRay(Vector3(3, 0, 0), Vector3(0, 0, 0));
  endless.length = INFINITY;
  EXPECT_EQ(box.IntersectRay(endless), CCDSContact::kNone);
  Ray lost = SegmentRay(Vector3(3, 0, 0), Vector3(0, 0, 0));
  lost.origin.y = std::nanf("");
  EXPECT_EQ(box.IntersectRay(lost), CCDSContact::kNone);
  // A failed test still clears the shared record.
  EXPECT_EQ(CCDSObject::GetContact().a, nullptr);
}

TEST_F(CDSWorldTest, SphereQueryHitsAMeshOnlyWhenItTouchesAFace) {
  // A 2 x 2 square in the plane y = 0.
  const int slot = world_.CreateMeshObject();
  ASSERT_GE(slot, 0);
  CCDSObject& mesh = *world_.GetObject(slot);
  EXPECT_EQ(mesh.kind, CCDSObject::kMesh);
  mesh.AddTriangle(Vector3(-1, 0, -1), Vector3(-1, 0, 1), Vector3(1, 0, 1), 0);
  mesh.AddTriangle(Vector3(-1, 0, -1), Vector3(1, 0, 1), Vector3(1, 0, -1), 0);
  mesh.EndMesh();
  world_.Update();

  struct Case {
    Vector3 centre;
    float radius;
    bool hit;
  };
  const std::vector<Case> cases = {
      {Vector3(0, 0.5f, 0), 0.4f, false},
      {Vector3(0, 0.5f, 0), 0.6f, true},
      {Vector3(0.5f, -0.3f, 0.5f), 0.4f, true},
      {Vector3(3, 0, 0), 1.5f, false},  // beside the square, in its plane
  };
  CCDSHitList hits;
  for (const Case& c : cases) {
    hits.QuerySphere(BoundingSphere(c.centre, c.radius));
    EXPECT_EQ(hits.sphereHitCount, c.hit ? 1u : 0u) << c.centre.x << "," << c.centre.y << " r " << c.radius;
    if (c.hit) {
      EXPECT_EQ(hits.GetSphereHit(0)->object, static_cast<uint32_t>(slot));
      EXPECT_EQ(hits.GetSphereHit(0)->distance, 0.0f);
    }
  }
}

TEST_F(CDSWorldTest, SphereQueryAgainstAConvexShape) {
  CSCNNode node;
  node.SetPosition(5, 0, 0);
  node.RebuildMatrix();
  const int slot = world_.CreateBoxObject(CCDSShape(Vector3(-1, -1, -1), Vector3(1, 1, 1)));
  CCDSObject& box = *world_.GetObject(slot);
  box.node = &node;
  // Centre inside the box: a hit at the centre itself.
  EXPECT_EQ(box.IntersectSphere(BoundingSphere(Vector3(5, 0.5f, 0), 0.1f)), CCDSContact::kPenetrating);
  ExpectNear(CCDSObject::GetContact().points[0], Vector3(5, 0.5f, 0), kTolerance);
  // Outside: a hit only within the radius of the closest point.
  EXPECT_EQ(box.IntersectSphere(BoundingSphere(Vector3(7, 0, 0), 0.9f)), CCDSContact::kNone);
  EXPECT_EQ(box.IntersectSphere(BoundingSphere(Vector3(7, 0, 0), 1.1f)), CCDSContact::kPenetrating);
  ExpectNear(CCDSObject::GetContact().points[0], Vector3(6, 0, 0), 0.01f);
  EXPECT_EQ(CCDSObject::GetContact().count, 1);
}

TEST_F(CDSWorldTest, AnObjectWithoutAShapeIsNeitherFiledNorTested) {
  const int bare = world_.AddObject();
  const int sphere = world_.CreateSphereObject(BoundingSphere(Vector3(), 1.0f));
  world_.GetObject(bare)->SetMinMax(Vector3(-1, -1, -1), Vector3(1, 1, 1));
  world_.Update();
  const std::vector<CCDSObject*>& filed = world_.GetRoot()->GetObjects();
  ASSERT_EQ(filed.size(), 1u);
  EXPECT_EQ(filed[0]->slot, sphere);
  // Without a node the sphere is placed by the identity.
  CCDSHitList hits;
  hits.QueryRay(SegmentRay(Vector3(0, 5, 0), Vector3(0, -5, 0)));
  ASSERT_EQ(hits.rayHitCount, 1u);
  EXPECT_NEAR(hits.GetRayHit(0)->distance, 4.0f, kTolerance);
}

TEST_F(CDSWorldTest, APausedClockChangesNothing) {
  CollisionRecorder first;
  CollisionRecorder second;
  const int a = world_.CreateSphereObject(BoundingSphere(Vector3(), 1.0f));
  const int b = world_.CreateSphereObject(BoundingSphere(Vector3(0.5f, 0, 0), 1.0f));
  for (int slot : {a, b}) {
    world_.GetObject(slot)->collisionMask = 1;
    world_.GetObject(slot)->collisionCategory = 1;
  }
  world_.GetObject(a)->owner = first.receiverId;
  world_.GetObject(b)->owner = second.receiverId;

  Clock::Instance().SetPaused(true);
  world_.Update();
  EXPECT_TRUE(world_.GetRoot()->GetObjects().empty());
  Clock::Instance().SetPaused(false);
  world_.Update();
  ASSERT_EQ(world_.GetRoot()->GetObjects().size(), 2u);

  Clock::Instance().SetPaused(true);
  Frustum nothingInView;
  world_.Cull(nothingInView);
  EXPECT_EQ(world_.GetRoot()->GetVisibility(), 0);
  world_.FindContacts();
  EXPECT_TRUE(first.received.empty());
  world_.GetObject(a)->active = false;
  world_.Update();
  EXPECT_EQ(world_.GetRoot()->GetObjects().size(), 2u);

  Clock::Instance().SetPaused(false);
  world_.FindContacts();
  EXPECT_EQ(first.received.size(), 1u);
  EXPECT_EQ(second.received.size(), 1u);
}

}  // namespace
