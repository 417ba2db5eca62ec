#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "engine/scene/model/Model.h"
#include "engine/scene/model/TextCodec3MX.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

const char* const kV6 =
    "3MX V6 export\n"
    "[NMATERIALS]1\n"
    "[MATERIAL][0]  GemCrystal Red \t\n"
    "[NINSTANCES]1\n"
    "[INSTANCE][0]gem\n"
    "[CID][0]\n"
    "[NODE] [P] [1,2,3] [R] (quat 0 0 0 1) [S] [2,2,2]\n"
    "[NCOMPONENTS]1\n"
    "[COMPONENT][0]gem body\n"
    "[NVERTS]4\n"
    "[NUVS]2\n"
    "[NRGBA]1\n"
    "[NFACES]2\n"
    "[VERTICES]\n"
    "[0,0,0] [0,0,1]\n"
    "[1,0,0] [0,0,1]\n"
    "[1,1,0] [0,0,1]\n"
    "[0,1,0] [0,0,1]\n"
    "[UV]\n"
    "[0.25,0.5,0]\n"
    "[1,1,0]\n"
    "[RGBA]\n"
    "(color 10 20 30)\n"
    "[FACES]\n"
    "[0] [MAT]0 [VIDS]3 [UVIDS]3\n"
    "[VI][1,2,3]\n"
    "[UVI][1,2,1]\n"
    "[CVI][1,1,1]\n"
    "[1] [MAT]0 [VIDS]3 [UVIDS]0\n"
    "[VI][1,3,4]\n"
    "[CVI][1,1,1]\n";

// One face in V5 with its own vertex normals; two faces that share their
// corners but point opposite ways decide the winding.
const char* const kV5 =
    "[V5]\n"
    "[NMATERIALS]0\n"
    "[NINSTANCES]0\n"
    "[NCOMPONENTS]1\n"
    "[COMPONENT][0]plate\n"
    "[NVERTS]3\n"
    "[NUVS]0\n"
    "[NFACES]1\n"
    "[VERTICES]\n"
    "[0,0,0] [0,0,-2]\n"
    "[1,0,0] [0,0,-2]\n"
    "[1,1,0] [0,0,-2]\n"
    "[FACES]\n"
    "[0] [MAT]0 [VIDS]3 [UVIDS]0\n"
    "[VI][1,2,3]\n"
    "[UVI][0,0,0]\n";

const char* const kV4 =
    "V4\n"
    "[NMATERIALS]2\n"
    "[MATERIAL][0]Stone\n"
    "[MATERIAL][1]Stone\n"
    "[NINSTANCES]1\n"
    "[INSTANCE][0]part\n"
    "[CID][0]\n"
    "[NODE] [P] [1,2,3] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[NCOMPONENTS]1\n"
    "[COMPONENT][0]two faces\n"
    "[NVERTS]3\n"
    "[NUVS]0\n"
    "[NFACES]2\n"
    "[VERTICES]\n"
    "[0,0,0]\n"
    "[1,0,0]\n"
    "[1,1,0]\n"
    "[UV]\n"
    "[FACES]\n"
    "[0] [MAT]1 [N][0,0,-1] [VIDS]3 [UVIDS]0\n"
    "[VI][1,2,3]\n"
    "[UVI][1,1,1]\n"
    "[1] [MAT]0 [N][0,0,1] [VIDS]3 [UVIDS]0\n"
    "[VI][1,2,3]\n"
    "[UVI][1,1,1]\n";

const char* const kV3 =
    "V3\n"
    "[NMATERIALS]3\n"
    "[MATERIAL] Wood\n"
    "[MATERIAL] wood\n"
    "[MATERIAL] Iron\n"
    "[NINSTANCES]1\n"
    "[INSTANCE][0]part\n"
    "[CID][0]\n"
    "[NODE] [P] [1,2,3] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[NCOMPONENTS]1\n"
    "[COMPONENT][0]board extra words\n"
    "[NVERTS]3\n"
    "[NUVS]1\n"
    "[NFACES]1\n"
    "[VERTICES]\n"
    "[0,0,0]\n"
    "[1,0,0]\n"
    "[1,1,0]\n"
    "[UV]\n"
    "[0.5,0.75,0]\n"
    "[FACES]\n"
    "[0] [MAT]1 [N][0,0,-1] [VIDS]3 [UVIDS]3\n"
    "[VI][1,2,3]\n"
    "[UVI][1,1,1]\n";

class TextModel : public ::testing::Test {
 protected:
  bool ReadText(const std::string& text, C3MEModel& model, const char* name = "GEM.3MX") {
    WriteFile(folder_ / name, text);
    return model.Read(String((folder_ / name).c_str()));
  }
  int32_t CodecResult(const std::string& text) {
    WriteFile(folder_ / "GEM.3MX", text);
    C3MEModel model;
    C3MXCodec codec(&model);
    return codec.Read((folder_ / "GEM.3MX").c_str());
  }

  platform::ScopedTempFolder folder_{"scene-3mx"};
  FakeMaterials materials_;
};

void ExpectVertex(const C3MEVertex& v, Vector3 position, Vector3 normal) {
  EXPECT_EQ(v.position, position);
  EXPECT_NEAR(v.normal.x, normal.x, 1e-6f);
  EXPECT_NEAR(v.normal.y, normal.y, 1e-6f);
  EXPECT_NEAR(v.normal.z, normal.z, 1e-6f);
}

TEST_F(TextModel, V6ReversesEveryFaceAndUsesThePlaneNormal) {
  C3MEModel model;
  ASSERT_TRUE(ReadText(kV6, model));
  ASSERT_EQ(model.materialCount, 1u);
  EXPECT_TRUE(model.GetMaterialName(0) == "gemcrystal red");
  EXPECT_EQ(FakeMaterials::Lookups(), std::vector<std::string>{"gemcrystal red"});
  ASSERT_EQ(model.instanceCount, 1u);
  const TransformNode& bind = model.instances[0].transforms.bind;
  EXPECT_TRUE(model.instances[0].name == "gem");
  EXPECT_NEAR(bind.centre.x, 1.0f, 1e-5f);
  EXPECT_NEAR(bind.centre.y, 3.0f, 1e-5f);
  EXPECT_NEAR(bind.centre.z, -2.0f, 1e-5f);
  EXPECT_NEAR(bind.rotation.x, -0.70710677f, 1e-5f);
  EXPECT_NEAR(bind.rotation.w, 0.70710677f, 1e-5f);
  ASSERT_EQ(model.meshCount, 1u);
  const C3MEMesh& mesh = model.meshes[0];
  EXPECT_TRUE(mesh.name == "gem body");
  ASSERT_EQ(mesh.vertexCount, 6u);
  // Corners 2, 1, 0; the plane through corners 0, 1, 2 faces -z, so the normal is +z.
  ExpectVertex(mesh.vertices[0], Vector3(1, 1, 0), Vector3(0, 0, 1));
  ExpectVertex(mesh.vertices[1], Vector3(1, 0, 0), Vector3(0, 0, 1));
  ExpectVertex(mesh.vertices[2], Vector3(0, 0, 0), Vector3(0, 0, 1));
  ExpectVertex(mesh.vertices[3], Vector3(0, 1, 0), Vector3(0, 0, 1));
  EXPECT_EQ(mesh.vertices[0].red, 10);
  EXPECT_EQ(mesh.vertices[0].blue, 30);
  EXPECT_EQ(mesh.vertices[0].alpha, 10);  // the fourth byte repeats the first
  ASSERT_EQ(mesh.texCoordSetCount, 1u);
  EXPECT_EQ(mesh.texCoords[0].u, 0.25f);  // corner 2 uses coordinate 1
  EXPECT_EQ(mesh.texCoords[1].u, 1.0f);
  ASSERT_EQ(mesh.lods[0].listCount, 1u);
  EXPECT_EQ(mesh.lods[0].lists[0].indexCount, 6);
  EXPECT_EQ(mesh.lods[0].lists[0].indices[5], 5);
  EXPECT_EQ(model.triangleCount, 2u);
}

TEST_F(TextModel, V5WindsByTheFirstCornersNormal) {
  C3MEModel model;
  ASSERT_TRUE(ReadText(kV5, model));
  ASSERT_EQ(model.materialCount, 1u);
  EXPECT_TRUE(model.GetMaterialName(0) == "DummyMaterial");
  const C3MEMesh& mesh = model.meshes[0];
  EXPECT_EQ(mesh.texCoordSetCount, 0u);
  // The plane faces -z like corner 0's normal: file order kept, normals normalised.
  ExpectVertex(mesh.vertices[0], Vector3(0, 0, 0), Vector3(0, 0, -1));
  ExpectVertex(mesh.vertices[2], Vector3(1, 1, 0), Vector3(0, 0, -1));
}

TEST_F(TextModel, V4OrdersListsByMaterialAndWindsByTheFaceNormal) {
  C3MEModel model;
  ASSERT_TRUE(ReadText(kV4, model));
  EXPECT_EQ(model.materialCount, 2u);  // a repeated name is added again
  const C3MEMesh& mesh = model.meshes[0];
  ASSERT_EQ(mesh.lods[0].listCount, 2u);
  EXPECT_EQ(mesh.lods[0].lists[0].materialIndex, 0);
  EXPECT_EQ(mesh.lods[0].lists[1].materialIndex, 1);
  // Material 0's face has normal +z against a plane facing -z: reversed.
  ExpectVertex(mesh.vertices[0], Vector3(1, 1, 0), Vector3(0, 0, 1));
  // Material 1's face has normal -z: kept in file order.
  ExpectVertex(mesh.vertices[3], Vector3(0, 0, 0), Vector3(0, 0, -1));
  EXPECT_NEAR(model.instances[0].transforms.bind.centre.z, -2.0f, 1e-5f);
}

TEST_F(TextModel, V3KeepsPlacementAndSkipsRepeatedMaterials) {
  C3MEModel model;
  ASSERT_TRUE(ReadText(kV3, model));
  ASSERT_EQ(model.materialCount, 2u);
  EXPECT_TRUE(model.GetMaterialName(0) == "wood");
  EXPECT_TRUE(model.GetMaterialName(1) == "iron");
  EXPECT_TRUE(model.meshes[0].name == "board");
  const TransformNode& bind = model.instances[0].transforms.bind;
  EXPECT_EQ(bind.centre, Vector3(1, 2, 3));
  EXPECT_EQ(bind.rotation.w, 1.0f);
  const C3MEMesh& mesh = model.meshes[0];
  ExpectVertex(mesh.vertices[0], Vector3(0, 0, 0), Vector3(0, 0, -1));
  EXPECT_EQ(mesh.texCoords[2].v, 0.75f);
}

TEST_F(TextModel, HeaderPicksTheFirstTagInOrder) {
  const std::string body = "[NMATERIALS]0\n[NINSTANCES]0\n[NCOMPONENTS]0\n";
  struct Case {
    const char* header;
    uint32_t materials;  // V5 and V6 add "DummyMaterial"
  } cases[] = {{"[V5]", 1}, {"V3 V6", 0}, {"model V6", 1}, {"V4", 0}};
  for (const Case& c : cases) {
    C3MEModel model;
    ASSERT_TRUE(ReadText(std::string(c.header) + "\n" + body, model)) << c.header;
    EXPECT_EQ(model.materialCount, c.materials) << c.header;
  }
  EXPECT_EQ(CodecResult("V7\n" + body), C3MECodec::kBadFile);
  C3MEModel model;
  C3MXCodec codec(&model);
  EXPECT_EQ(codec.Read((folder_ / "NONE.3MX").c_str()), C3MECodec::kCannotOpen);
  EXPECT_EQ(codec.Write((folder_ / "OUT.3MX").c_str()), C3MECodec::kNotWritten);
}

std::string ManyFaces(int first, int second) {
  std::ostringstream text;
  text << "V6\n[NMATERIALS]2\n[MATERIAL][0]a\n[MATERIAL][1]b\n[NINSTANCES]0\n[NCOMPONENTS]1\n"
       << "[COMPONENT][0]many\n[NVERTS]3\n[NUVS]0\n[NRGBA]0\n[NFACES]" << first + second << "\n"
       << "[VERTICES]\n[0,0,0] [0,0,1]\n[1,0,0] [0,0,1]\n[0,1,0] [0,0,1]\n[FACES]\n";
  for (int f = 0; f < first + second; ++f)
    text << "[" << f << "] [MAT]" << (f < first ? 0 : 1) << " [VIDS]3 [UVIDS]0\n[VI][1,2,3]\n";
  return text.str();
}

TEST_F(TextModel, ListsHoldAtMost2000Faces) {
  C3MEModel model;
  ASSERT_TRUE(ReadText(ManyFaces(4500, 10), model));
  const C3MEMesh& mesh = model.meshes[0];
  EXPECT_EQ(mesh.vertexCount, 13530u);
  ASSERT_EQ(mesh.lods[0].listCount, 4u);
  const uint16_t expected[] = {6000, 6000, 1500, 30};
  for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(mesh.lods[0].lists[k].indexCount, expected[k]) << k;
  EXPECT_EQ(mesh.lods[0].lists[3].materialIndex, 1);
}

TEST_F(TextModel, MeshesPastSixteenBitsAreRefused) {
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadText(ManyFaces(21846, 0), model));
  EXPECT_TRUE(log.Contains("more than 65535 vertices"));
  EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoadFailed));
  LogCapture warned(kLog3ME);
  C3MEModel large;
  EXPECT_TRUE(ReadText(ManyFaces(10923, 0), large));
  EXPECT_TRUE(warned.Contains("has 32769 vertices"));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(TextModel, EveryMissingTailFails) {
  const std::vector<std::string> lines = Lines(kV6);
  for (size_t keep = 0; keep < lines.size(); ++keep) {
    std::string text;
    for (size_t i = 0; i < keep; ++i) text += lines[i] + "\n";
    C3MEModel model;
    EXPECT_FALSE(ReadText(text, model)) << "lines kept " << keep;
    EXPECT_EQ(model.meshCount + model.instanceCount, 0u);
  }
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST_F(TextModel, BadCountsAreRefused) {
  struct Case {
    const char* from;
    const char* to;
    const char* logged;
  } cases[] = {
      {"[NMATERIALS]1", "[NMATERIALS]-1", "bad material count"},
      {"[NMATERIALS]1", "[NMATERIALS]2147483647", "bad material count"},
      {"[NINSTANCES]1", "[NINSTANCES]-3", "bad instance count"},
      {"[NINSTANCES]1", "[NINSTANCES]900000", "bad instance count"},
      {"[NCOMPONENTS]1", "[NCOMPONENTS]1000000", "bad component count"},
      {"[NVERTS]4", "[NVERTS]-1", "bad vertex count"},
      {"[NVERTS]4", "[NVERTS]99999999", "bad vertex count"},
      {"[NUVS]2", "[NUVS]-2", "bad texture-coordinate count"},
      {"[NRGBA]1", "[NRGBA]2000000000", "bad colour count"},
      {"[NFACES]2", "[NFACES]-2", "bad face count"},
      {"[NFACES]2", "[NFACES]8", "counts exceed the file"},
  };
  for (const Case& c : cases) {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadText(Replace(kV6, c.from, c.to), model)) << c.to;
    EXPECT_TRUE(log.Contains(c.logged)) << c.to;
  }
}

TEST_F(TextModel, CornersOutOfRangeSkipTheFace) {
  for (const char* corners :
       {"[VI][1,3,5]", "[VI][0,3,4]", "[VI][1,-3,4]", "[VI][1,3,4294967297]", "[VI][1,-9223372036854775808,4]"}) {
    LogCapture log(kLog3ME);
    C3MEModel model;
    ASSERT_TRUE(ReadText(Replace(kV6, "[VI][1,3,4]", corners), model)) << corners;
    EXPECT_TRUE(log.Contains("skips 1 faces with corners out of range")) << corners;
    EXPECT_EQ(model.meshes[0].vertexCount, 3u) << corners;
  }
  LogCapture log(kLog3ME);
  C3MEModel model;
  ASSERT_TRUE(ReadText(Replace(kV6, "[UVI][1,2,1]", "[UVI][1,9,1]"), model));
  EXPECT_TRUE(log.Contains("texture or colour corners out of range"));
  EXPECT_EQ(model.meshes[0].vertexCount, 6u);
  for (const char* from : {"[UVI][1,2,1]", "[CVI][1,1,1]"}) {
    const std::string to = std::string(from, 5) + "[-9223372036854775808,1,1]";
    LogCapture lowest(kLog3ME);
    C3MEModel other;
    ASSERT_TRUE(ReadText(Replace(kV6, from, to.c_str()), other)) << to;
    EXPECT_TRUE(lowest.Contains("texture or colour corners out of range")) << to;
  }
}

TEST_F(TextModel, LongNamesAreCutAndLineEndsStripped) {
  const std::string longMaterial(1000, 'm');
  const std::string longMesh(2000, 'x');
  std::string text = Replace(kV6, "  GemCrystal Red \t", longMaterial);
  text = Replace(text, "gem body", longMesh);
  // Windows line ends.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  C3MEModel model;
  ASSERT_TRUE(ReadText(crlf, model));
  EXPECT_EQ(model.GetMaterialName(0).Length(), C3MXCodec::kMaxMaterialName);
  EXPECT_EQ(model.meshes[0].name.Length(), C3MXCodec::kMaxPartName);
  EXPECT_TRUE(model.instances[0].name == "gem");
}

}  // namespace

#include "platform/Random.h"

namespace {

TEST_F(TextModel, RandomlyDamagedFilesReadConsistentlyOrFail) {
  platform::SeedRandom(4321);
  const std::string golden = kV6;
  const char alphabet[] = "0123456789-[],. \n";
  int succeeded = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text = golden;
    const int damage = 1 + platform::NextRandom() % 4;
    for (int d = 0; d < damage; ++d)
      text[size_t(platform::NextRandom()) % text.size()] =
          alphabet[size_t(platform::NextRandom()) % (sizeof alphabet - 1)];
    C3MEModel model;
    if (ReadText(text, model)) {
      ++succeeded;
      ExpectConsistent(model, "round " + std::to_string(round));
    }
  }
  EXPECT_GT(succeeded, 0);
  EXPECT_LT(succeeded, 300);
}

}  // namespace
