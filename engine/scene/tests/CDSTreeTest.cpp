#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "engine/scene/cds/CDSHitList.h"
#include "engine/scene/cds/CDSNode.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/SceneNode.h"
#include "support/CDSTestSupport.h"

namespace {

CCDSShape Cube(const Vector3& centre, float half) {
  return CCDSShape(centre - Vector3(half, half, half), centre + Vector3(half, half, half));
}

// Objects with boxes only: filing looks at nothing else.
struct Filed {
  std::vector<std::unique_ptr<CCDSObject>> objects;
  CCDSObject* Add(const CCDSShape& box) {
    objects.push_back(std::make_unique<CCDSObject>(static_cast<int32_t>(objects.size())));
    objects.back()->SetMinMax(box.Min(), box.Max());
    return objects.back().get();
  }
};

bool Holds(const CCDSNode& node, const CCDSObject* object) {
  for (const CCDSObject* filed : node.GetObjects())
    if (filed == object) return true;
  return false;
}

// Planes facing inward around the box; a frustum's tests keep the margin 1.
Frustum BoxFrustum(float half) {
  Frustum frustum;
  const Vector3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int i = 0; i < 6; ++i) frustum.planes[i].SetPointNormal(normals[i] * -half, normals[i]);
  return frustum;
}

TEST(CDSTree, TenStayInALeafAndTheEleventhSplitsIt) {
  CCDSNode root(Cube(Vector3(), 8));
  Filed filed;
  std::vector<CCDSObject*> all;
  for (int i = 0; i < 10; ++i) all.push_back(filed.Add(Cube(Vector3(-6 + i, -4, 4), 0.25f)));
  for (CCDSObject* object : all) EXPECT_TRUE(root.Insert(object));
  EXPECT_FALSE(root.HasChildren());
  EXPECT_EQ(root.GetObjects().size(), 10u);

  all.push_back(filed.Add(Cube(Vector3(5, 5, -5), 0.25f)));
  EXPECT_TRUE(root.Insert(all.back()));
  ASSERT_TRUE(root.HasChildren());
  EXPECT_TRUE(root.GetObjects().empty());
  EXPECT_EQ(root.GetInsertCount(), 11u);
  EXPECT_EQ(root.GetTreeNodeCount(), 9u);
  // Every object now sits in exactly the children its box overlaps.
  for (int c = 0; c < CCDSNode::kChildCount; ++c) {
    const CCDSNode& child = *root.GetChild(c);
    for (const CCDSObject* object : all) EXPECT_EQ(Holds(child, object), object->Overlaps(child.GetCell()));
  }
  // Child order: bit 0 upper x, bit 1 lower z, bit 2 lower y.
  EXPECT_TRUE(Holds(*root.GetChild(3), all.back()));   // upper x, upper y, lower z
  EXPECT_TRUE(Holds(*root.GetChild(4), all.front()));  // lower x, lower y, upper z
  EXPECT_EQ(root.GetChild(5)->GetCell().Min().x, 0.0f);
  EXPECT_EQ(root.GetChild(5)->GetCell().Max().y, 0.0f);
  EXPECT_EQ(root.GetChild(5)->GetCell().Min().z, 0.0f);

  const CCDSObject* outside = filed.Add(Cube(Vector3(20, 0, 0), 1));
  EXPECT_FALSE(root.Insert(const_cast<CCDSObject*>(outside)));
}

TEST(CDSTree, ASmallLeafNeverSplits) {
  CCDSNode root(Cube(Vector3(), 0.9f));  // half-size shorter than sqrt(3)
  Filed filed;
  for (int i = 0; i < 25; ++i) EXPECT_TRUE(root.Insert(filed.Add(Cube(Vector3(), 0.1f))));
  EXPECT_FALSE(root.HasChildren());
  EXPECT_FALSE(root.CanSubdivide());
  EXPECT_EQ(root.GetObjects().size(), 25u);
  EXPECT_FALSE(root.Subdivide());
}

TEST(CDSTree, AnObjectOverTheCentreGoesToAllEightAndResetKeepsChildren) {
  CCDSNode root(Cube(Vector3(), 8));
  ASSERT_TRUE(root.Subdivide());
  Filed filed;
  CCDSObject* middle = filed.Add(Cube(Vector3(), 0.5f));
  CCDSObject* corner = filed.Add(Cube(Vector3(7, 7, 7), 0.5f));
  root.Insert(middle);
  root.Insert(corner);
  for (int c = 0; c < CCDSNode::kChildCount; ++c) EXPECT_TRUE(Holds(*root.GetChild(c), middle));
  ExpectNear(root.GetContentBounds().Min(), Vector3(-0.5f, -0.5f, -0.5f), 0.0f);
  ExpectNear(root.GetContentBounds().Max(), Vector3(7.5f, 7.5f, 7.5f), 0.0f);

  root.Reset();
  ASSERT_TRUE(root.HasChildren());
  EXPECT_EQ(root.GetInsertCount(), 0u);
  for (int c = 0; c < CCDSNode::kChildCount; ++c) EXPECT_TRUE(root.GetChild(c)->GetObjects().empty());
}

TEST(CDSTree, ElevenWorldSizedObjectsStayWithinTheNodeBound) {
  CCDSNode root(CCDSWorld::DefaultCell());
  Filed filed;
  for (int i = 0; i < 11; ++i) EXPECT_TRUE(root.Insert(filed.Add(Cube(Vector3(i, 0, 0), 900))));
  EXPECT_LE(root.GetTreeNodeCount(), CCDSNode::kMaxTreeNodes);
  EXPECT_GT(root.GetTreeNodeCount(), CCDSNode::kMaxTreeNodes - CCDSNode::kChildCount);
  // Refiling the same objects makes no more nodes.
  root.Reset();
  for (auto& object : filed.objects) root.Insert(object.get());
  EXPECT_LE(root.GetTreeNodeCount(), CCDSNode::kMaxTreeNodes);
}

TEST(CDSTree, CullingStampsCellsAndObjectNodes) {
  CCDSNode root(Cube(Vector3(), 100));
  ASSERT_TRUE(root.Subdivide());
  ASSERT_TRUE(root.GetChild(0)->Subdivide());
  Filed filed;
  CSCNNode near;
  near.SetPosition(-50, 50, 50);
  near.radius = 1;
  near.RebuildMatrix();
  CSCNNode far;
  far.SetPosition(90, 90, 90);
  far.radius = 1;
  far.RebuildMatrix();
  CCDSObject* nearObject = filed.Add(Cube(near.GetPosition(), 1));
  nearObject->node = &near;
  CCDSObject* farObject = filed.Add(Cube(far.GetPosition(), 1));
  farObject->node = &far;
  root.Insert(nearObject);
  root.Insert(farObject);

  // Everything out of view, then everything in view: whole subtrees and
  // their objects take the class without being tested.
  Frustum away = BoxFrustum(5);
  root.SetVisibility(Frustum::kBoxOutside);
  EXPECT_EQ(near.visibility, Frustum::kBoxOutside);
  root.Cull(BoxFrustum(10000));
  EXPECT_EQ(root.GetVisibility(), Frustum::kBoxCornerAInside);
  EXPECT_EQ(root.GetChild(0)->GetChild(7)->GetVisibility(), Frustum::kBoxCornerAInside);
  EXPECT_EQ(near.visibility, Frustum::kBoxCornerAInside);
  EXPECT_EQ(far.visibility, Frustum::kBoxCornerAInside);

  // A view around the origin cuts the root: the leaves' objects are
  // classified one by one, cells wholly out are stamped out. (A cell whose
  // corner a is in view counts as in view: the frustum's box test.)
  root.Cull(away);
  EXPECT_EQ(root.GetVisibility(), Frustum::kBoxPartly);
  EXPECT_EQ(near.visibility, Frustum::kSphereCentreOutside);
  EXPECT_EQ(far.visibility, Frustum::kSphereCentreOutside);
  CSCNNode inside;
  inside.radius = 0.5f;
  inside.RebuildMatrix();
  CCDSObject* insideObject = filed.Add(Cube(Vector3(), 0.5f));
  insideObject->node = &inside;
  root.Insert(insideObject);
  inside.visibility = 7;
  root.Cull(away);
  EXPECT_EQ(inside.visibility, Frustum::kSphereInside);
}

class CDSQueries : public CDSWorldTest {
 protected:
  int Sphere(const Vector3& centre, float radius) {
    const int slot = world_.CreateSphereObject(BoundingSphere(centre, radius));
    EXPECT_GE(slot, 0);
    return slot;
  }
};

TEST_F(CDSQueries, ALeafScanStopsAtTheEleventhHit) {
  ASSERT_TRUE(world_.Init(32, Cube(Vector3(), 0.9f)));  // too small to split
  for (int i = 0; i < 12; ++i) Sphere(Vector3(), 0.4f);
  world_.Update();
  CCDSHitList hits;
  hits.QuerySphere(BoundingSphere(Vector3(), 0.1f));
  EXPECT_EQ(hits.sphereHitCount, CCDSHitList::kMaxHits);
  EXPECT_EQ(hits.lastHitCount, CCDSHitList::kMaxHits);
  EXPECT_EQ(hits.objectsTested, 11u);  // the refused eleventh ends the scan
  EXPECT_EQ(hits.nodesVisited, 1u);
}

TEST_F(CDSQueries, RayHitsComeNearestFirstAndObjectsInSeveralCellsOnce) {
  // Eleven objects split the root; the one in the middle is in all eight.
  // It is filed after the others: meeting it again ends a leaf's scan.
  const int nearer = Sphere(Vector3(0, 0, 500), 5);
  const int farther = Sphere(Vector3(0, 0, -500), 5);
  const int middle = Sphere(Vector3(), 5);
  for (int i = 0; i < 8; ++i) Sphere(Vector3(-900, -900 + 100 * i, 0), 1);
  world_.Update();
  ASSERT_TRUE(world_.GetRoot()->HasChildren());

  CCDSHitList hits;
  hits.QueryRay(SegmentRay(Vector3(0, 0, 900), Vector3(0, 0, -900)));
  ASSERT_EQ(hits.rayHitCount, 3u);
  EXPECT_EQ(hits.GetRayHit(0)->object, static_cast<uint32_t>(nearer));
  EXPECT_NEAR(hits.GetRayHit(0)->distance, 395.0f, 0.01f);
  EXPECT_EQ(hits.GetRayHit(1)->object, static_cast<uint32_t>(middle));
  EXPECT_NEAR(hits.GetRayHit(1)->distance, 895.0f, 0.01f);
  EXPECT_EQ(hits.GetRayHit(2)->object, static_cast<uint32_t>(farther));
  EXPECT_EQ(hits.GetRayHit(3), nullptr);

  hits.QuerySphere(BoundingSphere(Vector3(1, 1, 1), 1));
  ASSERT_EQ(hits.sphereHitCount, 1u);
  EXPECT_EQ(hits.GetSphereHit(0)->object, static_cast<uint32_t>(middle));
  // The middle sphere was met in every child the query reached.
  EXPECT_GT(hits.objectsTested, 1u);
  EXPECT_EQ(hits.queryCount, 2u);
  EXPECT_EQ(hits.totalHits, 4u);
  EXPECT_EQ(hits.AverageHits(), 2.0f);
}

class CDSContacts : public CDSWorldTest {
 protected:
  // Two overlapping spheres, owned by the two recorders, filtered in.
  void SetUp() override {
    CDSWorldTest::SetUp();
    a_ = world_.CreateSphereObject(BoundingSphere(Vector3(), 1));
    b_ = world_.CreateSphereObject(BoundingSphere(Vector3(1.5f, 0, 0), 1));
    for (int slot : {a_, b_}) {
      world_.GetObject(slot)->collisionMask = 1;
      world_.GetObject(slot)->collisionCategory = 1;
    }
    world_.GetObject(a_)->owner = first_.receiverId;
    world_.GetObject(b_)->owner = second_.receiverId;
  }
  void Pass() {
    world_.Update();
    world_.FindContacts();
  }

  CollisionRecorder first_;
  CollisionRecorder second_;
  int a_ = -1;
  int b_ = -1;
};

TEST_F(CDSContacts, EachContactReachesBothOwners) {
  Pass();
  ASSERT_EQ(first_.received.size(), 1u);
  ASSERT_EQ(second_.received.size(), 1u);
  EXPECT_EQ(first_.received[0].source, second_.receiverId);
  EXPECT_EQ(second_.received[0].source, first_.receiverId);
  const CCDSContact& contact = second_.received[0].contact;
  EXPECT_EQ(contact.state, CCDSContact::kPenetrating);
  EXPECT_EQ(contact.a, world_.GetObject(a_));
  EXPECT_EQ(contact.b, world_.GetObject(b_));
  ASSERT_GT(contact.count, 0);
  // From B toward A.
  EXPECT_LT(contact.normals[0].x, 0.0f);
  EXPECT_GT(contact.depths[0], 0.0f);
}

TEST_F(CDSContacts, SameOwnerFilteredOrOwnerlessPairsStayQuiet) {
  struct Case {
    const char* what;
    std::function<void(CCDSObject&, CCDSObject&)> change;
  };
  const std::vector<Case> cases = {
      {"one owner", [](CCDSObject& x, CCDSObject& y) { y.owner = x.owner; }},
      {"mask misses category", [](CCDSObject& x, CCDSObject&) { x.collisionMask = 2; }},
      {"no category", [](CCDSObject& x, CCDSObject&) { x.collisionCategory = 0; }},
      {"contacts off", [](CCDSObject&, CCDSObject& y) { y.contactEnabled = 0; }},
      {"no owner", [](CCDSObject& x, CCDSObject&) { x.owner = -1; }},
      {"apart", [](CCDSObject&, CCDSObject& y) { y.SetSphere(y.physicsWorld, BoundingSphere(Vector3(9, 0, 0), 1)); }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.change(*world_.GetObject(a_), *world_.GetObject(b_));
    Pass();
    EXPECT_TRUE(first_.received.empty()) << c.what;
    EXPECT_TRUE(second_.received.empty()) << c.what;
    TearDown();
  }
}

TEST_F(CDSContacts, AReceiverRemovingBothObjectsEndsTheirPart) {
  // A third object touching both would pair with each after the first pair.
  const int c = world_.CreateSphereObject(BoundingSphere(Vector3(0.75f, 0, 0), 1));
  world_.GetObject(c)->collisionMask = 1;
  world_.GetObject(c)->collisionCategory = 1;
  CollisionRecorder third;
  world_.GetObject(c)->owner = third.receiverId;
  first_.onCollision = [&] {
    world_.RemoveObject(a_);
    world_.RemoveObject(b_);
  };
  Pass();
  EXPECT_EQ(first_.received.size(), 1u);
  EXPECT_EQ(second_.received.size(), 1u);
  EXPECT_TRUE(third.received.empty());
  EXPECT_EQ(world_.GetObject(a_), nullptr);
  EXPECT_EQ(world_.GetCount(), 1u);
  // Gone from the tree with the pass: queries and a new pass run clean.
  CCDSHitList hits;
  hits.QuerySphere(BoundingSphere(Vector3(), 0.5f));
  ASSERT_EQ(hits.sphereHitCount, 1u);
  EXPECT_EQ(hits.GetSphereHit(0)->object, static_cast<uint32_t>(c));
  world_.FindContacts();
  EXPECT_TRUE(third.received.empty());
}

TEST_F(CDSContacts, AReceiverCannotRebuildTheWorldUnderThePass) {
  bool initAnswer = true;
  first_.onCollision = [&] {
    world_.Update();
    world_.FindContacts();
    initAnswer = world_.Init(4);
  };
  Pass();
  EXPECT_FALSE(initAnswer);
  EXPECT_EQ(first_.received.size(), 1u);
  EXPECT_EQ(second_.received.size(), 1u);
  EXPECT_EQ(world_.GetCount(), 2u);
  EXPECT_EQ(world_.GetRoot()->GetObjects().size(), 2u);
}

TEST_F(CDSContacts, ARemovalBetweenUpdateAndQueriesIsForgottenAtOnce) {
  world_.Update();
  world_.RemoveObject(a_);
  CCDSHitList hits;
  hits.QueryRay(SegmentRay(Vector3(-5, 0, 0), Vector3(5, 0, 0)));
  ASSERT_EQ(hits.rayHitCount, 1u);
  EXPECT_EQ(hits.GetRayHit(0)->object, static_cast<uint32_t>(b_));
  world_.FindContacts();
  world_.Cull(BoxFrustum(10));
  EXPECT_TRUE(second_.received.empty());
  EXPECT_EQ(world_.GetRoot()->GetObjects().size(), 1u);
}

}  // namespace
