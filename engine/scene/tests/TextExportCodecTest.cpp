#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/scene/model/Model.h"
#include "engine/scene/model/TextExportCodec.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void AddList(C3MEMesh& mesh, uint32_t level, int32_t material, std::initializer_list<uint16_t> indices) {
  C3MELod& lod = mesh.lods[level];
  C3MEIndexList& list = lod.lists[lod.listCount++];
  ASSERT_TRUE(list.Reserve(uint32_t(indices.size())));
  list.materialIndex = material;
  for (uint16_t index : indices) list.indices[list.PostIncrementCount()] = index;
}

// Three materials; two instances (the second scaled, which the export does
// not show); a box mesh with a texture set and two levels, and a capsule
// mesh without sets or levels.
void BuildModel(C3MEModel& model) {
  ASSERT_TRUE(model.ReserveMaterials(3));
  model.SetMaterial(model.materialCount++, "wood");
  model.SetMaterial(model.materialCount++, "iron");
  model.SetMaterial(model.materialCount++, "glass");

  ASSERT_TRUE(model.ReserveInstances(2));
  C3MEInstance& root = model.instances[model.instanceCount++];
  root.name = "root part";
  root.componentId = 0;
  root.transforms.bind.SetPosition(1.5f, -2.0f, 0.1f);
  root.transforms.bind.SetRotation(Quaternion(0.0f, 0.7071068f, 0.0f, 0.7071068f));
  C3MEInstance& lid = model.instances[model.instanceCount++];
  lid.name = "lid";
  lid.componentId = 1;
  lid.transforms.bind.SetScale(2.0f, 3.0f, 4.0f);

  ASSERT_TRUE(model.ReserveMeshes(2));
  C3MEMesh& box = model.meshes[model.meshCount++];
  box.name = "box";
  box.volumeKind = C3MEMesh::kCuboid;
  box.box.SetMinMax(Vector3(-1.0f, -0.5f, 0.0f), Vector3(1.0f, 0.5f, 4.0f));
  ASSERT_TRUE(box.ReserveVertices(3));
  box.vertexCount = 3;
  box.vertices[0].position = Vector3(0.0f, 0.0f, 0.0f);
  box.vertices[1].position = Vector3(1.25f, 0.0f, -3.0f);
  box.vertices[2].position = Vector3(0.0f, 100000.0f, 1e-7f);
  ASSERT_TRUE(box.ReserveTexCoordSets(1));
  box.texCoordSetCount = 1;
  box.texCoords[0] = {0.0f, 1.0f};
  box.texCoords[1] = {0.5f, 0.25f};
  box.texCoords[2] = {1.0f, 0.0f};
  ASSERT_TRUE(box.SetLodCount(2));
  ASSERT_TRUE(box.ReserveLists(0, 2));
  AddList(box, 0, 2, {0, 1, 2, 2, 1, 0});
  AddList(box, 0, -1, {2, 1, 0});
  ASSERT_TRUE(box.ReserveLists(1, 1));
  AddList(box, 1, 0, {0, 1, 2});

  C3MEMesh& capsule = model.meshes[model.meshCount++];
  capsule.name = "cap";
  capsule.volumeKind = C3MEMesh::kCapsule;
}

const char* const kExpected =
    "[V4]\n"
    "[NMATERIALS]3\n"
    "[NINSTANCES]2\n"
    "[INSTANCE][0]root part\n"
    "[CID][0]\n"
    "[NODE] [P] [1.5,-2,0.1] [R] (quat 0 0.707107 0 0.707107) [S] [1.0,1.0,1.0]\n"
    "[INSTANCE][1]lid\n"
    "[CID][1]\n"
    "[NODE] [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1.0,1.0,1.0]\n"
    "[NCOMPONENTS]2\n"
    "[COMPONENT][0]box\n"
    "[BV] CUBOID (0 0 2 2 1 4)\n"
    "[NVERTS]3\n"
    "[NUVS]1\n"
    "[NLODS]2\n"
    "[VERTICES]\n"
    "[0,0,0]\n"
    "[1.25,0,-3]\n"
    "[0,100000,1e-07]\n"
    "[UV]\n"
    "[0, 1]\n"
    "[0.5, 0.25]\n"
    "[1, 0]\n"
    "[FACES]\n"
    "[0] [MAT]2 [N][0.0,0.0,0.0] [VIDS]6 [UVIDS]6\n"
    "[VI][0,1,2,2,1,0]\n"
    "[UVI][0,1,2,2,1,0]\n"
    "[1] [MAT]-1 [N][0.0,0.0,0.0] [VIDS]3 [UVIDS]3\n"
    "[VI][2,1,0]\n"
    "[UVI][2,1,0]\n"
    "[FACES]\n"
    "[0] [MAT]0 [N][0.0,0.0,0.0] [VIDS]3 [UVIDS]3\n"
    "[VI][0,1,2]\n"
    "[UVI][0,1,2]\n"
    "[COMPONENT][1]cap\n"
    "[BV] NONE\n"
    "[NVERTS]0\n"
    "[NUVS]0\n"
    "[NLODS]0\n"
    "[VERTICES]\n"
    "[UV]\n"
    "[END]\n";

class TextExport : public ::testing::Test {
 protected:
  platform::ScopedTempFolder folder_{"scene-txt"};
  FakeMaterials materials_;
};

TEST_F(TextExport, ModelWritesTheExpectedText) {
  C3MEModel model;
  BuildModel(model);
  CTXTCodec codec(&model);
  const std::string path = folder_ / "BOX.TXT";
  ASSERT_EQ(codec.Write(path.c_str()), C3MECodec::kWritten);
  EXPECT_EQ(ReadAll(path), kExpected);
}

TEST_F(TextExport, EmptyModelWritesCountsOnly) {
  C3MEModel model;
  EXPECT_EQ(CTXTCodec(&model).Format(), "[V4]\n[NMATERIALS]0\n[NINSTANCES]0\n[NCOMPONENTS]0\n[END]\n");
}

TEST_F(TextExport, VolumeLineFollowsTheMeshKind) {
  const struct {
    uint32_t kind;
    const char* line;
  } cases[] = {
      {C3MEMesh::kNone, "[BV] NONE\n"},
      {C3MEMesh::kSphere, "[BV] SPHERE (1 2 3 0.5)\n"},
      {C3MEMesh::kCylinder, "[BV] NONE\n"},
      {C3MEMesh::kCapsule, "[BV] NONE\n"},
      {C3MEMesh::kCuboid, "[BV] CUBOID (0 0 0 4 6 8)\n"},
  };
  for (const auto& c : cases) {
    C3MEModel model;
    ASSERT_TRUE(model.ReserveMeshes(1));
    C3MEMesh& mesh = model.meshes[model.meshCount++];
    mesh.name = "m";
    mesh.volumeKind = c.kind;
    mesh.sphere.centre = Vector3(1.0f, 2.0f, 3.0f);
    mesh.sphere.radius = 0.5f;
    mesh.box.SetMinMax(Vector3(-2.0f, -3.0f, -4.0f), Vector3(2.0f, 3.0f, 4.0f));
    const std::string text = CTXTCodec(&model).Format();
    EXPECT_NE(text.find(std::string("[COMPONENT][0]m\n") + c.line), std::string::npos) << c.kind << "\n" << text;
  }
}

TEST_F(TextExport, UnwritablePathIsNotWrittenAndTheFormLoadsNothing) {
  C3MEModel model;
  BuildModel(model);
  CTXTCodec codec(&model);
  EXPECT_EQ(codec.Write((folder_ / "missing/BOX.TXT").c_str()), C3MECodec::kNotWritten);

  const std::string path = folder_ / "BOX.TXT";
  ASSERT_EQ(codec.Write(path.c_str()), C3MECodec::kWritten);
  EXPECT_EQ(codec.Read(path.c_str()), C3MECodec::kCannotOpen);
  C3MEModel loaded;
  EXPECT_FALSE(loaded.Read(String(path.c_str())));
  EXPECT_EQ(loaded.loadState, uint32_t(C3MEModel::kLoadFailed));
}

}  // namespace
