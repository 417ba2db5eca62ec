#include <gtest/gtest.h>

#include <vector>

#include "engine/scene/cds/CDSHitList.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/Actor.h"
#include "engine/scene/model/Model.h"
#include "support/CDSTestSupport.h"
#include "support/TestActor.h"

namespace {

// A 2 x 2 square in the plane y = 0 around the origin, as one index list of
// the given primitive kind (a free slot and an out-of-range index included
// for the list kind, which the bodies must skip).
void BuildSquare(C3MEMesh& mesh, int32_t primitiveKind) {
  ASSERT_TRUE(mesh.ReserveVertices(4));
  mesh.vertexCount = 4;
  const Vector3 corners[4] = {{-1, 0, -1}, {-1, 0, 1}, {1, 0, -1}, {1, 0, 1}};
  for (int v = 0; v < 4; ++v) mesh.vertices[v].position = corners[v];
  ASSERT_TRUE(mesh.SetLodCount(1));
  ASSERT_TRUE(mesh.ReserveLists(0, 1));
  mesh.lods[0].listCount = 1;
  C3MEIndexList& list = mesh.lods[0].lists[0];
  list.primitiveKind = primitiveKind;
  std::vector<uint16_t> indices;
  if (primitiveKind == C3MEIndexList::kTriangleStrip)
    indices = {0, 1, 2, 3};
  else
    indices = {0, 1, 3, 0, 3, 2, 0, 1, 9, C3MEIndexList::kFreeSlot, 1, 2};
  ASSERT_TRUE(list.Reserve(static_cast<uint32_t>(indices.size())));
  for (size_t i = 0; i < indices.size(); ++i) list.indices[i] = indices[i];
  list.indexCount = static_cast<uint16_t>(indices.size());
}

void PlaceInstance(C3MEInstance& instance, const char* name, C3MEMesh* mesh, const Vector3& position) {
  instance.name = name;
  instance.mesh = mesh;
  instance.transforms.pose.SetPosition(position);
  instance.transforms.pose.RebuildMatrix();
}

class ActorBodies : public CDSWorldTest {
 protected:
  void SetUp() override {
    CDSWorldTest::SetUp();
    actor_.SetPosition(Vector3(5, 0, 0));
    actor_.node.RebuildMatrix();
  }
  void TearDown() override {
    actor_.ReleaseBodies();
    CDSWorldTest::TearDown();
  }

  // Two collision squares (a strip at y = 0, a list at y = 2) and one
  // drawn-only square.
  void BuildMeshModel() {
    ASSERT_TRUE(model_.ReserveMeshes(2));
    model_.meshCount = 2;
    BuildSquare(model_.meshes[0], C3MEIndexList::kTriangleStrip);
    BuildSquare(model_.meshes[1], C3MEIndexList::kTriangleList);
    ASSERT_TRUE(model_.ReserveInstances(3));
    model_.instanceCount = 3;
    PlaceInstance(model_.instances[0], "Hull_CDS", &model_.meshes[0], Vector3(0, 0, 0));
    PlaceInstance(model_.instances[1], "Deck_CDS", &model_.meshes[1], Vector3(0, 2, 0));
    PlaceInstance(model_.instances[2], "Flag", &model_.meshes[1], Vector3(0, 4, 0));
    actor_.model = &model_;
  }

  TestActor actor_;
  C3MEModel model_;
};

TEST_F(ActorBodies, MeshBodiesAreBuiltPlacedAndQueried) {
  BuildMeshModel();
  actor_.name = "Boat";
  actor_.collisionMask = 6;
  actor_.collisionCategory = 3;
  actor_.BuildMeshBodies();
  EXPECT_FALSE(actor_.bodiesDirty);
  ASSERT_EQ(actor_.bodyCount, 3u);
  EXPECT_EQ(actor_.bodyIds[2], -1);
  ASSERT_EQ(actor_.node.GetChildCount(), 2u);
  for (uint32_t i = 0; i < 2; ++i) {
    const CCDSObject* body = world_.GetObject(actor_.bodyIds[i]);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->kind, CCDSObject::kMesh);
    EXPECT_EQ(body->name, "CDS:Boat");
    EXPECT_EQ(body->owner, actor_.objectId);
    EXPECT_EQ(body->collisionMask, 6u);
    EXPECT_EQ(body->collisionCategory, 3u);
    ASSERT_NE(body->node, nullptr);
    EXPECT_EQ(body->node->parent, &actor_.node);
    EXPECT_EQ(body->node->id, actor_.bodyIds[i]);
  }
  // Built once: a second call while clean changes nothing.
  actor_.BuildMeshBodies();
  EXPECT_EQ(world_.GetCount(), 2u);

  world_.Update();
  Frustum everywhere;
  for (int i = 0; i < 6; ++i) everywhere.planes[i].SetPointNormal(Vector3(), Vector3());
  world_.GetObject(actor_.bodyIds[0])->node->visibility = 2;
  world_.Cull(everywhere);  // no plane passes a corner: all out of view
  EXPECT_EQ(world_.GetObject(actor_.bodyIds[0])->node->visibility, Frustum::kBoxOutside);

  // Straight down through both squares, under the actor at x = 5; the
  // strip's two triangles and the list's valid ones both answer.
  for (float x : {4.5f, 5.5f}) {
    CCDSHitList hits;
    hits.QueryRay(SegmentRay(Vector3(x, 10, 0.5f), Vector3(x, -10, 0.5f)));
    ASSERT_EQ(hits.rayHitCount, 2u) << x;
    EXPECT_EQ(hits.GetRayHit(0)->object, static_cast<uint32_t>(actor_.bodyIds[1]));
    EXPECT_NEAR(hits.GetRayHit(0)->distance, 8.0f, 1e-3f);
    EXPECT_EQ(hits.GetRayHit(1)->object, static_cast<uint32_t>(actor_.bodyIds[0]));
    EXPECT_NEAR(hits.GetRayHit(1)->distance, 10.0f, 1e-3f);
  }
  CCDSHitList misses;
  misses.QueryRay(SegmentRay(Vector3(0.5f, 10, 0.5f), Vector3(0.5f, -10, 0.5f)));
  EXPECT_EQ(misses.rayHitCount, 0u);

  actor_.SetBodiesActive(false);
  world_.Update();
  EXPECT_TRUE(world_.GetRoot()->GetObjects().empty());
}

TEST_F(ActorBodies, VolumeBodiesFollowEachMeshVolume) {
  ASSERT_TRUE(model_.ReserveMeshes(4));
  model_.meshCount = 4;
  model_.meshes[0].volumeKind = C3MEMesh::kSphere;
  model_.meshes[0].sphere = BoundingSphere(Vector3(0, 1, 0), 0.5f);
  model_.meshes[1].volumeKind = C3MEMesh::kCuboid;
  // Corners given the wrong way round still size the box.
  model_.meshes[1].box.min = Vector3(1, 1, 1);
  model_.meshes[1].box.max = Vector3(-1, -2, -3);
  model_.meshes[2].volumeKind = C3MEMesh::kCapsule;
  model_.meshes[2].cylinderA = Vector3(0, 0, 0);
  model_.meshes[2].cylinderB = Vector3(0, 2, 0);
  model_.meshes[2].cylinderRadius = 0.25f;
  model_.meshes[3].volumeKind = C3MEMesh::kNone;
  ASSERT_TRUE(model_.ReserveInstances(5));
  model_.instanceCount = 5;
  for (int i = 0; i < 4; ++i) PlaceInstance(model_.instances[i], "Part", &model_.meshes[i], Vector3(0, 0, 4.0f * i));
  PlaceInstance(model_.instances[4], "Empty", nullptr, Vector3());
  actor_.model = &model_;

  actor_.BuildVolumeBodies();
  ASSERT_EQ(actor_.bodyCount, 5u);
  const int32_t expectedKinds[5] = {CCDSObject::kSphere, CCDSObject::kBox, CCDSObject::kCapsule, -1, -1};
  for (int i = 0; i < 5; ++i) {
    if (expectedKinds[i] < 0) {
      EXPECT_EQ(actor_.bodyIds[i], -1);
      continue;
    }
    ASSERT_NE(world_.GetObject(actor_.bodyIds[i]), nullptr);
    EXPECT_EQ(world_.GetObject(actor_.bodyIds[i])->kind, expectedKinds[i]);
  }
  world_.Update();
  const CCDSObject& box = *world_.GetObject(actor_.bodyIds[1]);
  ExpectNear(box.Min(), Vector3(4, -1.5f, 2), 1e-3f);
  ExpectNear(box.Max(), Vector3(6, 1.5f, 6), 1e-3f);
  const CCDSObject& sphere = *world_.GetObject(actor_.bodyIds[0]);
  ExpectNear(sphere.Centre(), Vector3(5, 1, 0), 1e-3f);
}

TEST_F(ActorBodies, ASingleBoxSitsAroundTheCurrentNode) {
  BuildMeshModel();
  actor_.flags |= Actor::kSingleBoxBody;
  actor_.node.radius = 2;
  actor_.BuildVolumeBodies();
  ASSERT_EQ(actor_.bodyCount, 1u);
  CCDSObject* body = world_.GetObject(actor_.bodyIds[0]);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->kind, CCDSObject::kBox);
  EXPECT_EQ(body->node, &actor_.node);
  EXPECT_EQ(actor_.node.GetChildCount(), 0u);
  world_.Update();
  ExpectNear(body->Min(), Vector3(3, -2, -2), 1e-3f);
  ExpectNear(body->Max(), Vector3(7, 2, 2), 1e-3f);
  actor_.ReleaseBodies();
  EXPECT_EQ(world_.GetCount(), 0u);
  EXPECT_EQ(actor_.node.id, -1);
}

TEST_F(ActorBodies, RebuildingLeavesOneSetOfNodesAndThePoolItsSize) {
  BuildMeshModel();
  CSCNNodePool& pool = CSCNNodePool::Instance();
  const uint32_t poolBefore = pool.nodes.Count();
  actor_.BuildMeshBodies();
  const uint32_t poolBuilt = pool.nodes.Count();
  EXPECT_EQ(poolBuilt, poolBefore + 2);
  world_.Update();

  actor_.ReleaseBodies();
  EXPECT_TRUE(actor_.bodiesDirty);
  EXPECT_EQ(actor_.bodyCount, 0u);
  EXPECT_EQ(actor_.bodyIds, nullptr);
  EXPECT_EQ(actor_.node.GetChildCount(), 0u);
  EXPECT_EQ(pool.nodes.Count(), poolBefore);
  EXPECT_EQ(world_.GetCount(), 0u);
  // The released bodies left the tree at once.
  EXPECT_TRUE(world_.GetRoot()->GetObjects().empty());

  actor_.BuildMeshBodies();
  EXPECT_EQ(actor_.node.GetChildCount(), 2u);
  EXPECT_EQ(pool.nodes.Count(), poolBuilt);
  EXPECT_EQ(world_.GetCount(), 2u);

  // Marked dirty by hand: the old set goes before the new one comes.
  actor_.bodiesDirty = true;
  actor_.BuildMeshBodies();
  EXPECT_EQ(actor_.node.GetChildCount(), 2u);
  EXPECT_EQ(world_.GetCount(), 2u);
}

TEST_F(ActorBodies, AnActorTakesItsBodiesWithIt) {
  {
    TestActor passing;
    passing.model = &model_;
    BuildMeshModel();
    passing.BuildMeshBodies();
    EXPECT_EQ(world_.GetCount(), 2u);
  }
  EXPECT_EQ(world_.GetCount(), 0u);
  actor_.model = nullptr;
}

TEST(CSCNNodePoolRelease, DeletesOnlyItsOwnNodes) {
  CSCNNodePool pool;
  CSCNNode parent;
  CSCNNode* node = pool.Acquire();
  ASSERT_TRUE(parent.AddChild(node));
  CSCNNode stranger;
  EXPECT_FALSE(pool.Release(&stranger));
  EXPECT_FALSE(pool.Release(nullptr));
  EXPECT_TRUE(pool.Release(node));
  EXPECT_EQ(parent.GetChildCount(), 0u);
  EXPECT_EQ(pool.nodes.Count(), 0u);
  // A pool keeping freed nodes for reuse never hands a released one out.
  pool.nodes.SetFixed(true);
  CSCNNode* kept = pool.Acquire();
  EXPECT_TRUE(pool.Release(kept));
  CSCNNode* fresh = pool.Acquire();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(pool.nodes.Count(), 1u);
}

}  // namespace
