#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/scene/model/BinaryCodec.h"
#include "engine/scene/model/Model.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

// The golden model: two materials, two instances (one naming a mesh that
// does not exist), one mesh of four vertices with a texture set and two lists.
struct Golden {
  std::vector<uint8_t> bytes;
  std::map<std::string, size_t> offsets;  // where each count field sits
};

Golden BuildGolden(const std::string& meshName = "body") {
  Golden g;
  Bytes b;
  b.U8('3').U8('M').U8('E').U8('\n').U8(0);
  b.I32(10);
  b.Str("GEM");
  g.offsets["materials"] = b.data.size();
  b.I32(2).Str("red").Str("blue");
  g.offsets["instances"] = b.data.size();
  b.I32(2);
  b.Str("root").I32(0).F32(1).F32(2).F32(3).F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0);
  b.Str("stray").I32(7).F32(0).F32(0).F32(0).F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0);
  g.offsets["meshes"] = b.data.size();
  b.I32(1).Str(meshName);
  g.offsets["vertices"] = b.data.size();
  b.I32(4);
  const float positions[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  for (int v = 0; v < 4; ++v) {
    b.F32(positions[v][0]).F32(positions[v][1]).F32(positions[v][2]);
    b.F32(0).F32(0).F32(1);
    b.U8(uint8_t(10 * v)).U8(20).U8(30).U8(40);
  }
  g.offsets["sets"] = b.data.size();
  b.I32(1);
  for (int v = 0; v < 4; ++v) b.F32(float(v)).F32(0.5f);
  g.offsets["levels"] = b.data.size();
  b.I32(1);
  g.offsets["lists"] = b.data.size();
  b.I32(2);
  b.I32(1).I32(0);
  g.offsets["indices"] = b.data.size();
  b.I32(6).U16(0).U16(1).U16(2).U16(0).U16(2).U16(3);
  b.I32(0).I32(1).I32(5).U16(0).U16(1).U16(2).U16(3).U16(0);
  g.bytes = b.data;
  return g;
}

void Patch(std::vector<uint8_t>& bytes, size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); }

class BinaryModel : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_ / name; }
  // Writes the bytes and reads them into a fresh model.
  bool ReadBytes(const std::vector<uint8_t>& bytes, C3MEModel& model) {
    WriteFile(Path("GEM.3ME"), bytes);
    return model.Read(String(Path("GEM.3ME").c_str()));
  }

  platform::ScopedTempFolder folder_{"scene-binary"};
  FakeMaterials materials_;
};

TEST_F(BinaryModel, GoldenFileReadsEveryField) {
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(BuildGolden().bytes, model));
  EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoaded));
  EXPECT_TRUE(model.readComplete);
  EXPECT_TRUE(model.name == "GEM");
  ASSERT_EQ(model.materialCount, 2u);
  EXPECT_TRUE(model.GetMaterialName(1) == "blue");
  EXPECT_TRUE(model.GetMaterialName(2) == "N/A");
  ASSERT_EQ(model.instanceCount, 2u);
  const C3MEInstance& root = model.instances[0];
  EXPECT_TRUE(root.name == "root");
  EXPECT_EQ(root.transforms.bind.centre, Vector3(1, 2, 3));
  EXPECT_EQ(root.mesh, &model.meshes[0]);
  EXPECT_EQ(model.instances[1].componentId, 7);
  EXPECT_EQ(model.instances[1].mesh, nullptr);  // id 7 of 1 mesh: no mesh
  ASSERT_EQ(model.meshCount, 1u);
  const C3MEMesh& mesh = model.meshes[0];
  EXPECT_TRUE(mesh.name == "body");
  ASSERT_EQ(mesh.vertexCount, 4u);
  EXPECT_EQ(mesh.vertices[2].position, Vector3(1, 1, 0));
  EXPECT_EQ(mesh.vertices[3].red, 30);
  EXPECT_EQ(mesh.vertices[3].alpha, 40);
  EXPECT_EQ(mesh.texCoordSetCount, 1u);
  EXPECT_EQ(mesh.texCoords[3].u, 3.0f);
  EXPECT_EQ(mesh.texCoords[3].v, 0.5f);
  ASSERT_EQ(mesh.lodCount, 1u);
  ASSERT_EQ(mesh.lods[0].listCount, 2u);
  EXPECT_EQ(mesh.lods[0].lists[0].materialIndex, 1);
  EXPECT_EQ(mesh.lods[0].lists[1].primitiveKind, int32_t(C3MEIndexList::kTriangleStrip));
  EXPECT_EQ(model.triangleCount, 5u);  // 6-index list 2, 5-index strip 3
  EXPECT_EQ(mesh.sourceVertices[2].position, Vector3(1, 1, 0));
  // Binary names are looked up in the material manager as text names are.
  EXPECT_EQ(FakeMaterials::Lookups(), (std::vector<std::string>{"red", "blue"}));
  EXPECT_NE(model.materials[0], nullptr);
  EXPECT_EQ(mesh.lods[0].lists[0].material, model.materials[1]);
  ASSERT_EQ(FakeMaterials::Libraries().size(), 1u);
  EXPECT_NE(FakeMaterials::Libraries()[0].find("/GEM.MAT"), std::string::npos);
}

TEST_F(BinaryModel, WriteThenReadKeepsTheModel) {
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(BuildGolden().bytes, model));
  // Free slots behind the valid indices are not stored.
  C3MEIndexList& list = model.meshes[0].lods[0].lists[0];
  list.Remove(3);
  ASSERT_TRUE(model.Write(Path("COPY.3ME").c_str()));
  C3MEModel copy;
  ASSERT_TRUE(copy.Read(String(Path("COPY.3ME").c_str())));
  EXPECT_TRUE(copy.name == model.name);
  ASSERT_EQ(copy.instanceCount, 2u);
  EXPECT_EQ(copy.instances[0].transforms.bind.centre, Vector3(1, 2, 3));
  EXPECT_EQ(copy.instances[1].componentId, 7);
  ASSERT_EQ(copy.meshCount, 1u);
  const C3MEMesh& a = model.meshes[0];
  const C3MEMesh& b = copy.meshes[0];
  ASSERT_EQ(b.vertexCount, a.vertexCount);
  EXPECT_EQ(std::memcmp(a.vertices, b.vertices, sizeof(C3MEVertex) * a.vertexCount), 0);
  EXPECT_EQ(std::memcmp(a.texCoords, b.texCoords, sizeof(C3METexCoord) * a.vertexCount), 0);
  const C3MEIndexList& written = b.lods[0].lists[0];
  EXPECT_EQ(written.indexCount, 5);
  EXPECT_EQ(std::vector<uint16_t>(written.indices, written.indices + 5),
            std::vector<uint16_t>(list.indices, list.indices + 5));
  EXPECT_EQ(b.lods[0].lists[1].indexCount, 5);
}

TEST_F(BinaryModel, HeaderAndVersionAreChecked) {
  struct Case {
    const char* what;
    int32_t version;
    const char* tag;
  } cases[] = {{"version 9", 9, "3ME\n"}, {"version 11", 11, "3ME\n"}, {"no tag", 10, "XYZ\n"}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = BuildGolden().bytes;
    std::memcpy(bytes.data(), c.tag, 4);
    Patch(bytes, 5, c.version);
    WriteFile(Path("GEM.3ME"), bytes);
    C3MEModel model;
    C3MEBinaryCodec codec(&model);
    EXPECT_EQ(codec.Read(Path("GEM.3ME").c_str()), C3MECodec::kBadFile) << c.what;
    EXPECT_EQ(model.instanceCount, 0u) << c.what;
  }
  C3MEModel model;
  C3MEBinaryCodec codec(&model);
  EXPECT_EQ(codec.Read(Path("MISSING.3ME").c_str()), C3MECodec::kCannotOpen);
}

TEST_F(BinaryModel, EveryTruncationFails) {
  const std::vector<uint8_t> golden = BuildGolden().bytes;
  for (size_t length = 0; length < golden.size(); ++length) {
    C3MEModel model;
    const std::vector<uint8_t> cut(golden.begin(), golden.begin() + long(length));
    EXPECT_FALSE(ReadBytes(cut, model)) << "length " << length;
    EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoadFailed));
    EXPECT_EQ(model.instanceCount + model.meshCount + model.materialCount, 0u);
  }
}

TEST_F(BinaryModel, BadCountsAreRefused) {
  struct Case {
    const char* field;
    size_t extra;  // bytes after the field's offset
    int32_t value;
    const char* logged;
  } cases[] = {
      {"materials", 0, -1, "bad material count"},
      {"materials", 0, 0x7FFFFFFF, "bad material count"},
      {"instances", 0, -5, "bad instance count"},
      {"instances", 0, 1000000, "bad instance count"},
      {"meshes", 0, 0x40000000, "bad mesh count"},
      {"vertices", 0, -1, "bad vertex count"},
      {"vertices", 0, 0x7FFFFFF0, "bad vertex count"},
      {"sets", 0, -2, "bad texture-coordinate set count"},
      {"sets", 0, 0x7FFFFFFF, "bad texture-coordinate set count"},
      {"levels", 0, -1, "bad level count"},
      {"levels", 0, 999999, "bad level count"},
      {"lists", 0, 0x10000000, "bad index-list count"},
      {"indices", 0, -6, "bad index count"},
      {"indices", 0, 70000, "bad index count"},
  };
  for (const Case& c : cases) {
    Golden golden = BuildGolden();
    Patch(golden.bytes, golden.offsets[c.field] + c.extra, c.value);
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadBytes(golden.bytes, model)) << c.field << " = " << c.value;
    EXPECT_TRUE(log.Contains(c.logged)) << c.field << " = " << c.value;
    EXPECT_EQ(model.meshCount, 0u);
  }
}

TEST_F(BinaryModel, RecordCountsStayWithinSixteenBits) {
  // 70,000 empty material names fit the file but not the cap.
  Bytes b;
  b.U8('3').U8('M').U8('E').U8('\n').U8(0).I32(10).Str("MANY").I32(70000);
  for (int i = 0; i < 70000; ++i) b.U8(0);
  b.I32(0).I32(0);
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadBytes(b.data, model));
  EXPECT_TRUE(log.Contains("bad material count"));
}

TEST_F(BinaryModel, IndexBeyondTheVerticesDropsItsList) {
  Golden golden = BuildGolden();
  // The first list's fourth index becomes 4, one past the four vertices.
  golden.bytes[golden.offsets["indices"] + 4 + 3 * 2] = 4;
  LogCapture log(kLog3ME);
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(golden.bytes, model));
  EXPECT_TRUE(log.Contains("drops an index list"));
  ASSERT_EQ(model.meshes[0].lods[0].listCount, 1u);
  EXPECT_EQ(model.meshes[0].lods[0].lists[0].primitiveKind, int32_t(C3MEIndexList::kTriangleStrip));
  EXPECT_EQ(model.triangleCount, 3u);
}

// A mesh of the given vertex count with one triangle touching the last vertex.
std::vector<uint8_t> LargeMesh(int32_t vertexCount) {
  Bytes b;
  b.U8('3').U8('M').U8('E').U8('\n').U8(0).I32(10).Str("BIG").I32(0).I32(0);
  b.I32(1).Str("big").I32(vertexCount);
  for (int32_t v = 0; v < vertexCount; ++v)
    for (int k = 0; k < 7; ++k) b.I32(0);
  b.I32(0).I32(1).I32(1).I32(0).I32(0).I32(3);
  b.U16(0).U16(1).U16(uint16_t(vertexCount - 1));
  return b.data;
}

TEST_F(BinaryModel, SixteenBitLimits) {
  {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_TRUE(ReadBytes(LargeMesh(32769), model));
    EXPECT_TRUE(log.Contains("has 32769 vertices"));
    EXPECT_EQ(model.meshes[0].lods[0].lists[0].indices[2], 32768);
  }
  {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadBytes(LargeMesh(65536), model));
    EXPECT_TRUE(log.Contains("more than 65535 vertices"));
  }
}

TEST_F(BinaryModel, LongNamesReadWhole) {
  const std::string longName(5000, 'n');
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(BuildGolden(longName).bytes, model));
  EXPECT_EQ(model.meshes[0].name.Length(), 5000u);
}

TEST_F(BinaryModel, ReadPathPicksTheCodecByExtension) {
  {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(model.Read(String("")));
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "C3MEModel::Read - ERROR : No filename!");
    EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoadFailed));
    EXPECT_EQ(model.loadRecord->result, int32_t(C3MELoadRecord::kFailed));
  }
  {
    WriteFile(Path("GEM.OBJ"), BuildGolden().bytes);
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(model.Read(String(Path("GEM.OBJ").c_str())));
    EXPECT_TRUE(log.Lines().empty());
  }
  {
    // Lower-case extension and file name: the codec gets the upper-cased
    // name and the path resolver finds the file.
    WriteFile(Path("gem.3me"), BuildGolden().bytes);
    C3MEModel model;
    EXPECT_TRUE(model.Read(String(Path("gem.3me").c_str())));
  }
}

}  // namespace

#include "platform/Random.h"

namespace {

TEST_F(BinaryModel, RandomlyDamagedFilesReadConsistentlyOrFail) {
  platform::SeedRandom(1234);
  const std::vector<uint8_t> golden = BuildGolden().bytes;
  int succeeded = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = golden;
    const int damage = 1 + platform::NextRandom() % 4;
    for (int d = 0; d < damage; ++d)
      bytes[size_t(platform::NextRandom()) % bytes.size()] = uint8_t(platform::NextRandom());
    C3MEModel model;
    if (ReadBytes(bytes, model)) {
      ++succeeded;
      ExpectConsistent(model, "round " + std::to_string(round));
    } else {
      EXPECT_EQ(model.meshCount + model.instanceCount, 0u);
    }
  }
  // Damage to vertex data or names still reads: both paths were taken.
  EXPECT_GT(succeeded, 0);
  EXPECT_LT(succeeded, 300);
}

}  // namespace
