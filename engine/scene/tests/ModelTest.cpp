#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/scene/model/Model.h"
#include "support/SceneTestSupport.h"

namespace {

// A model of n meshes, each a single triangle at the given offset along x,
// drawn by one instance per mesh.
void BuildModel(C3MEModel& model, const std::vector<float>& offsets) {
  const uint32_t n = uint32_t(offsets.size());
  ASSERT_TRUE(model.ReserveMeshes(n));
  ASSERT_TRUE(model.ReserveInstances(n));
  for (uint32_t i = 0; i < n; ++i) {
    C3MEMesh& mesh = model.meshes[model.meshCount++];
    ASSERT_TRUE(mesh.ReserveVertices(3));
    mesh.vertexCount = 3;
    mesh.vertices[1].position = Vector3(1.0f, 0.0f, 0.0f);
    mesh.vertices[2].position = Vector3(0.0f, 1.0f, 0.0f);
    C3MEInstance& instance = model.instances[model.instanceCount++];
    instance.componentId = int32_t(i);
    instance.transforms.bind.centre = Vector3(offsets[i], 0.0f, 0.0f);
    instance.transforms.bind.RebuildMatrix();
  }
  model.ResolveComponents();
}

TEST(Model, EmptyModelHasZeroBoundsAndIgnoresSize) {
  C3MEModel model;
  model.ComputeBounds();
  EXPECT_EQ(model.sphere.radius, 0.0f);
  model.SetSize(50.0f);
  EXPECT_EQ(model.size, 50.0f);
  EXPECT_EQ(model.sphere.radius, 0.0f);
}

TEST(Model, SetSizeScalesToTheRequestedRadius) {
  C3MEModel model;
  BuildModel(model, {0.0f, 4.0f});
  model.prepared = true;
  model.SetSize(200.0f);
  EXPECT_NEAR(model.sphere.radius, 200.0f, 1e-3f);
  EXPECT_FALSE(model.prepared);  // the instance matrices must be rebuilt
  const Vector3 before = model.meshes[0].vertices[1].position;
  model.SetSize(200.0f);  // the stored size: nothing changes
  EXPECT_EQ(model.meshes[0].vertices[1].position, before);
}

TEST(Model, BoundsFollowInstancePlacement) {
  C3MEModel model;
  BuildModel(model, {0.0f, 10.0f});
  model.ComputeBounds();
  // The second triangle sits 10 along x: the box spans both.
  EXPECT_GT(model.box.GetSize().x, 10.0f);
  EXPECT_GT(model.sphere.radius, 5.0f);
}

TEST(Model, ChildSlots) {
  C3MEInstance instance;
  ASSERT_TRUE(instance.ReserveChildren(4));
  for (int32_t id : {3, 5, 3, 7, 9, -1}) instance.AddChild(id);
  EXPECT_EQ(instance.CountChildren(), 4u);  // 9 finds no free slot
  instance.RemoveChild(3);
  EXPECT_EQ(instance.CountChildren(), 2u);
  EXPECT_EQ(instance.childIds[0], 5);
  EXPECT_EQ(instance.childIds[1], 7);
  EXPECT_EQ(instance.childIds[2], -1);
}

TEST(Model, ResolveChildrenSkipsFreeAndOutOfRangeSlots) {
  C3MEModel model;
  BuildModel(model, {0.0f, 1.0f, 2.0f});
  C3MEInstance& root = model.instances[0];
  ASSERT_TRUE(root.ReserveChildren(4));
  root.AddChild(2);
  root.childIds[2] = 40;  // as a hostile or stale id would be
  root.childIds[3] = -7;
  model.ResolveChildren();
  EXPECT_EQ(root.children[0], &model.instances[2]);
  EXPECT_EQ(model.instances[2].parent, &root);
  EXPECT_EQ(root.children[1], nullptr);
  EXPECT_EQ(root.children[2], nullptr);
  EXPECT_EQ(root.children[3], nullptr);
}

TEST(Model, PrepareMatricesAppliesParents) {
  C3MEModel model;
  BuildModel(model, {1.0f, 2.0f, 5.0f});
  // 2 is a child of 1, which is a child of 0; the array order is not the tree order.
  ASSERT_TRUE(model.instances[1].ReserveChildren(1));
  model.instances[1].AddChild(2);
  ASSERT_TRUE(model.instances[0].ReserveChildren(1));
  model.instances[0].AddChild(1);
  model.ResolveChildren();
  model.PrepareMatrices();
  EXPECT_TRUE(model.prepared);
  EXPECT_EQ(model.instances[0].world.GetTranslation(), Vector3(1.0f, 0.0f, 0.0f));
  EXPECT_EQ(model.instances[1].world.GetTranslation(), Vector3(3.0f, 0.0f, 0.0f));
  EXPECT_EQ(model.instances[2].world.GetTranslation(), Vector3(8.0f, 0.0f, 0.0f));
}

TEST(Model, PrepareMatricesSurvivesACycle) {
  C3MEModel model;
  BuildModel(model, {1.0f, 2.0f});
  ASSERT_TRUE(model.instances[0].ReserveChildren(1));
  model.instances[0].AddChild(1);
  ASSERT_TRUE(model.instances[1].ReserveChildren(1));
  model.instances[1].AddChild(0);
  model.ResolveChildren();
  model.PrepareMatrices();
  EXPECT_TRUE(model.prepared);
}

TEST(Model, RemoveMeshRemovesItsInstancesAndRenumbersTheMovedOne) {
  C3MEModel model;
  BuildModel(model, {0.0f, 1.0f, 2.0f});
  model.meshes[2].name = "last";
  model.RemoveMesh(0);
  ASSERT_EQ(model.meshCount, 2u);
  EXPECT_TRUE(model.meshes[0].name == "last");
  ASSERT_EQ(model.instanceCount, 2u);
  for (uint32_t i = 0; i < model.instanceCount; ++i) {
    const C3MEInstance& instance = model.instances[i];
    ASSERT_GE(instance.componentId, 0);
    EXPECT_EQ(instance.mesh, &model.meshes[instance.componentId]);
  }
  // Removing the only instance of a mesh removes the mesh too.
  model.RemoveInstance(0);
  EXPECT_EQ(model.instanceCount, 1u);
  EXPECT_EQ(model.meshCount, 1u);
}

TEST(Model, MaterialTable) {
  FakeMaterials fake;
  C3MEModel model;
  ASSERT_TRUE(model.ReserveMaterials(3));
  model.SetMaterial(model.materialCount++, "red");
  model.SetMaterial(model.materialCount++, "blue");
  String wanted("BLUE");
  EXPECT_EQ(model.FindMaterial(wanted), 1);
  EXPECT_TRUE(wanted == "blue");  // lower-cased in place
  String missing("green");
  EXPECT_EQ(model.FindMaterial(missing), -1);
  EXPECT_EQ(model.GetMaterial(5), nullptr);
  EXPECT_NE(model.GetMaterial(1), nullptr);

  BuildModel(model, {0.0f});
  C3MEMesh& mesh = model.meshes[0];
  ASSERT_TRUE(mesh.SetLodCount(1));
  ASSERT_TRUE(mesh.ReserveLists(0, 2));
  mesh.lods[0].lists[mesh.lods[0].listCount++].materialIndex = 0;
  mesh.lods[0].lists[mesh.lods[0].listCount++].materialIndex = 1;
  model.RemoveMaterial(0);
  EXPECT_EQ(model.materialCount, 1u);
  EXPECT_TRUE(model.GetMaterialName(0) == "blue");
  EXPECT_EQ(mesh.lods[0].lists[0].materialIndex, -1);
  EXPECT_EQ(FakeMaterials::Lookups().back(), "Default");
  EXPECT_EQ(mesh.lods[0].lists[1].materialIndex, 0);
}

TEST(Model, MaterialLibraryName) {
  struct Case {
    const char* model;
    const char* library;
  } cases[] = {{"MODELS/GEM.3ME", "MODELS/GEM.MAT"},
               {"models/gem.3mx", "MODELS/GEM.MAT"},
               {"Models/Gem.txt", "MODELS/GEM.MAT"},
               {"MODELS/GEM", "MODELS/GEMMAT"},
               {"MODELS/GEM.OBJ", "MODELS/GEM.OBJMAT"}};
  for (const Case& c : cases) EXPECT_TRUE(MaterialLibraryName(String(c.model)) == c.library) << c.model;
}

TEST(Model, ReleasingDisplayListsClearsTheCompiledFlag) {
  FakeMaterials fake;
  FakeMaterials::DeletedLists().clear();
  C3MEModel model;
  BuildModel(model, {0.0f});
  model.meshes[0].displayList = 12;
  model.compiled = true;
  model.Clear();
  EXPECT_FALSE(model.compiled);
  EXPECT_EQ(FakeMaterials::DeletedLists(), std::vector<int32_t>{12});
}

}  // namespace

namespace {

TEST(Model, ReservePolicyUsesTheHintOrTwiceTheRequest) {
  C3MEModel model;
  const uint32_t hints[C3MEReservePolicy::kHintCount] = {0, 0, 2, 8, 4, 16, 6};
  model.SetReservePolicy(true, hints);
  ASSERT_TRUE(model.ReserveMeshes(3));
  EXPECT_EQ(model.meshCapacity, 8u);  // below the hint: the hint
  ASSERT_TRUE(model.ReserveInstances(20));
  EXPECT_EQ(model.instanceCapacity, 40u);  // above the hint: twice the request
  // Meshes and their lists reserve under the model's policy too.
  C3MEMesh& mesh = model.meshes[0];
  ASSERT_TRUE(mesh.SetLodCount(1));
  ASSERT_TRUE(mesh.ReserveLists(0, 1));
  EXPECT_EQ(mesh.lods[0].listCapacity, 2u);
  ASSERT_TRUE(mesh.lods[0].lists[0].Reserve(3));
  EXPECT_EQ(mesh.lods[0].lists[0].capacity, 6u);

  C3MEModel plain;
  ASSERT_TRUE(plain.ReserveMeshes(3));  // resets the process-wide policy
  EXPECT_EQ(plain.meshCapacity, 3u);
  C3MEIndexList list;
  ASSERT_TRUE(list.Reserve(3));
  EXPECT_EQ(list.capacity, 3u);
}

}  // namespace
