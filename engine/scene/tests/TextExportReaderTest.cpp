#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/TextExportCodec.h"
#include "engine/scene/model/TextScanner.h"
#include "platform/Random.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

// The read-back layout: three material lines (one repeated in other case,
// one behind blanks and a tab), two instances, and three meshes with a box,
// a sphere and a capsule. The first mesh's optional level line is given.
std::string Layout(const std::string& levelLine = "") {
  std::string text =
      "[V4]\n"
      "[NMATERIALS]3\n"
      "[MATERIAL] Stone\n"
      "[MATERIAL]  \t Marble\n"
      "[MATERIAL] STONE\n"
      "[NINSTANCES]2\n"
      "[INSTANCE][0]base\n"
      "[CID][0]\n"
      "[NODE] [P] [1,2,3] [R] (quat 0 0.6 0 0.8) [S] [2,2,2]\n"
      "[INSTANCE][1]top\n"
      "[CID][2]\n"
      "[NODE] [P] [-4,0.5,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[NCOMPONENTS]3\n"
      "[COMPONENT][0]block\n"
      "[BV] cuboid (0 1 2 4 6 8)\n"
      "[NVERTS]3\n"
      "[NUVS]1\n";
  text += levelLine;
  text +=
      "[VERTICES]\n"
      "[0,0,0]\n"
      "[1,0,0]\n"
      "[1,1,-2.5]\n"
      "[UV]\n"
      "[0.25,0.5,0]\n"
      "[1,0,0]\n"
      "[0,1,0]\n"
      "[FACES]\n";
  if (!levelLine.empty()) text += "[FACES]\n";
  text +=
      "[COMPONENT][1]ball\n"
      "[BV] SPHERE (1 2 3 0.5)\n"
      "[NVERTS]1\n"
      "[NUVS]0\n"
      "[VERTICES]\n"
      "[0,0,0]\n"
      "[UV]\n"
      "[FACES]\n"
      "[COMPONENT][2]pill\n"
      "[BV] Capsule (0 0 0 0 2 0 0.25)\n"
      "[NVERTS]0\n"
      "[NUVS]0\n"
      "[VERTICES]\n"
      "[UV]\n"
      "[FACES]\n"
      "[END]\n";
  return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

void ExpectVector(const Vector3& v, float x, float y, float z, const std::string& context) {
  EXPECT_FLOAT_EQ(v.x, x) << context;
  EXPECT_FLOAT_EQ(v.y, y) << context;
  EXPECT_FLOAT_EQ(v.z, z) << context;
}

// Whatever a read ended with, no count may pass what was reserved.
void ExpectWithinCapacity(const C3MEModel& model, const std::string& context) {
  ASSERT_LE(model.materialCount, model.materialCapacity) << context;
  ASSERT_LE(model.instanceCount, model.instanceCapacity) << context;
  ASSERT_LE(model.meshCount, model.meshCapacity) << context;
  for (uint32_t m = 0; m < model.meshCount; ++m)
    ASSERT_LE(model.meshes[m].texCoordSetCount, model.meshes[m].texCoordSetCapacity) << context;
  ExpectConsistent(model, context);
}

class TextReadBack : public ::testing::Test {
 protected:
  // Writes the text to a file and reads it back through an open file in
  // text mode (as the engine opens text) or in binary mode.
  bool ReadText(const std::string& text, C3MEModel& model, bool textMode = true) {
    const std::string path = folder_ / "MODEL.TXT";
    WriteFile(path, text);
    return ReadFile(path, model, textMode);
  }
  bool ReadFile(const std::string& path, C3MEModel& model, bool textMode = true) {
    File file(textMode ? File::kText : 0);
    EXPECT_TRUE(file.OpenRead(path.c_str()) & File::kOpen) << path;
    return CTXTCodec(&model).ReadBody(file);
  }

  platform::ScopedTempFolder folder_{"scene-readback"};
  FakeMaterials materials_;
};

TEST_F(TextReadBack, LayoutFillsTheModelWithAndWithoutTheLevelLine) {
  const struct {
    const char* levelLine;
    uint32_t blockLevels;
  } cases[] = {{"", 1}, {"[NLODS][2]\n", 2}, {"[NLODS]2\n", 2}};
  for (const auto& c : cases) {
    const std::string context = std::string("level line '") + c.levelLine + "'";
    C3MEModel model;
    ASSERT_TRUE(ReadText(Layout(c.levelLine), model)) << context;

    // Materials: lower-cased, blanks cut, the repeated name skipped.
    ASSERT_EQ(model.materialCount, 2u) << context;
    EXPECT_STREQ(model.GetMaterialName(0).Chars(), "stone") << context;
    EXPECT_STREQ(model.GetMaterialName(1).Chars(), "marble") << context;
    EXPECT_NE(model.GetMaterial(1), nullptr) << context;

    // Instances: placement as read, the bind brought up to date and copied to the pose.
    ASSERT_EQ(model.instanceCount, 2u) << context;
    const C3MEInstance& base = model.instances[0];
    EXPECT_TRUE(base.name == "base") << context;
    EXPECT_EQ(base.componentId, 0) << context;
    ExpectVector(base.transforms.bind.GetPosition(), 1.0f, 2.0f, 3.0f, context);
    EXPECT_FLOAT_EQ(base.transforms.bind.rotation.y, 0.6f) << context;
    EXPECT_FLOAT_EQ(base.transforms.bind.rotation.w, 0.8f) << context;
    // The file's scale of 2 is not applied.
    ExpectVector(base.transforms.bind.scale, 1.0f, 1.0f, 1.0f, context);
    EXPECT_FLOAT_EQ(base.transforms.bind.local.m[12], 1.0f) << context;
    EXPECT_FLOAT_EQ(base.transforms.bind.local.m[14], 3.0f) << context;
    for (int k = 0; k < 16; ++k)
      EXPECT_FLOAT_EQ(base.transforms.pose.local.m[k], base.transforms.bind.local.m[k]) << context;
    EXPECT_TRUE(model.instances[1].name == "top") << context;
    EXPECT_EQ(model.instances[1].componentId, 2) << context;
    ExpectVector(model.instances[1].transforms.pose.GetPosition(), -4.0f, 0.5f, 0.0f, context);

    ASSERT_EQ(model.meshCount, 3u) << context;
    const C3MEMesh& block = model.meshes[0];
    EXPECT_TRUE(block.name == "block") << context;
    EXPECT_EQ(block.volumeKind, uint32_t(C3MEMesh::kCuboid)) << context;
    ExpectVector(block.box.centre, 0.0f, 1.0f, 2.0f, context);
    ExpectVector(block.box.GetSize(), 4.0f, 6.0f, 8.0f, context);
    ASSERT_EQ(block.vertexCount, 3u) << context;
    ExpectVector(block.vertices[2].position, 1.0f, 1.0f, -2.5f, context);
    ASSERT_EQ(block.texCoordSetCount, 1u) << context;
    EXPECT_FLOAT_EQ(block.texCoords[0].u, 0.25f) << context;
    EXPECT_FLOAT_EQ(block.texCoords[0].v, 0.5f) << context;
    EXPECT_FLOAT_EQ(block.texCoords[2].v, 1.0f) << context;
    ASSERT_EQ(block.lodCount, c.blockLevels) << context;
    for (uint32_t level = 0; level < block.lodCount; ++level) EXPECT_EQ(block.lods[level].listCount, 0u);

    const C3MEMesh& ball = model.meshes[1];
    EXPECT_EQ(ball.volumeKind, uint32_t(C3MEMesh::kSphere)) << context;
    ExpectVector(ball.sphere.centre, 1.0f, 2.0f, 3.0f, context);
    EXPECT_FLOAT_EQ(ball.sphere.radius, 0.5f) << context;
    EXPECT_EQ(ball.lodCount, 1u) << context;

    const C3MEMesh& pill = model.meshes[2];
    EXPECT_TRUE(pill.name == "pill") << context;
    EXPECT_EQ(pill.volumeKind, uint32_t(C3MEMesh::kCapsule)) << context;
    ExpectVector(pill.cylinderB, 0.0f, 2.0f, 0.0f, context);
    EXPECT_FLOAT_EQ(pill.cylinderRadius, 0.25f) << context;
    EXPECT_EQ(pill.vertexCount, 0u) << context;
  }
}

TEST_F(TextReadBack, VolumeWordPicksTheKind) {
  const struct {
    const char* line;
    uint32_t kind;
  } cases[] = {
      {"[BV] CYLINDER (1 2 3 4 5 6 0.5)", C3MEMesh::kCylinder},
      {"[BV] NONE", C3MEMesh::kNone},
      {"[BV] pyramid (1 2 3)", C3MEMesh::kNone},
  };
  for (const auto& c : cases) {
    C3MEModel model;
    const std::string text = Replace(Layout(), "[BV] Capsule (0 0 0 0 2 0 0.25)", c.line);
    // The unknown kind leaves its numbers behind, which spoils the rest of the read.
    const bool read = ReadText(text, model);
    EXPECT_EQ(read, c.kind != C3MEMesh::kNone || std::string(c.line) == "[BV] NONE") << c.line;
    ASSERT_EQ(model.meshCount, 3u) << c.line;
    EXPECT_EQ(model.meshes[2].volumeKind, c.kind) << c.line;
  }
  C3MEModel model;
  ASSERT_TRUE(ReadText(Replace(Layout(), "[BV] Capsule (0 0 0 0 2 0 0.25)", "[BV] CYLINDER (1 2 3 4 5 6 0.5)"), model));
  ExpectVector(model.meshes[2].cylinderA, 1.0f, 2.0f, 3.0f, "cylinder");
  ExpectVector(model.meshes[2].cylinderB, 4.0f, 5.0f, 6.0f, "cylinder");
  EXPECT_FLOAT_EQ(model.meshes[2].cylinderRadius, 0.5f);
}

// A model the export can write in a form this reader takes: no materials, no
// texture-coordinate sets and no index lists.
void BuildPlainModel(C3MEModel& model) {
  ASSERT_TRUE(model.ReserveInstances(2));
  C3MEInstance& root = model.instances[model.instanceCount++];
  root.name = "root";
  root.componentId = 1;
  root.transforms.bind.SetPosition(1.5f, -2.0f, 0.25f);
  root.transforms.bind.SetRotation(Quaternion(0.0f, 0.6f, 0.0f, 0.8f));
  C3MEInstance& lid = model.instances[model.instanceCount++];
  lid.name = "lid";
  lid.componentId = 0;

  ASSERT_TRUE(model.ReserveMeshes(3));
  C3MEMesh& box = model.meshes[model.meshCount++];
  box.name = "box";
  box.volumeKind = C3MEMesh::kCuboid;
  box.box.SetMinMax(Vector3(-1.0f, -0.5f, 0.0f), Vector3(1.0f, 0.5f, 4.0f));
  ASSERT_TRUE(box.ReserveVertices(2));
  box.vertexCount = 2;
  box.vertices[0].position = Vector3(0.5f, 0.0f, -3.0f);
  box.vertices[1].position = Vector3(0.0f, 100000.0f, 1e-7f);
  ASSERT_TRUE(box.SetLodCount(2));
  C3MEMesh& ball = model.meshes[model.meshCount++];
  ball.name = "ball";
  ball.volumeKind = C3MEMesh::kSphere;
  ball.sphere.Set(Vector3(1.0f, 2.0f, 3.0f), 0.75f);
  ASSERT_TRUE(ball.SetLodCount(1));
  C3MEMesh& pill = model.meshes[model.meshCount++];
  pill.name = "pill";
  pill.volumeKind = C3MEMesh::kCapsule;
}

TEST_F(TextReadBack, PlainExportReadsBack) {
  C3MEModel source;
  BuildPlainModel(source);
  const std::string path = folder_ / "PLAIN.TXT";
  ASSERT_EQ(CTXTCodec(&source).Write(path.c_str()), C3MECodec::kWritten);

  C3MEModel model;
  ASSERT_TRUE(ReadFile(path, model));
  EXPECT_EQ(model.materialCount, 0u);
  ASSERT_EQ(model.instanceCount, 2u);
  for (uint32_t i = 0; i < 2; ++i) {
    const C3MEInstance& read = model.instances[i];
    const C3MEInstance& written = source.instances[i];
    EXPECT_STREQ(read.name.Chars(), written.name.Chars());
    EXPECT_EQ(read.componentId, written.componentId);
    const Vector3 p = written.transforms.bind.GetPosition();
    ExpectVector(read.transforms.bind.GetPosition(), p.x, p.y, p.z, read.name.Chars());
    EXPECT_FLOAT_EQ(read.transforms.bind.rotation.y, written.transforms.bind.rotation.y);
    EXPECT_FLOAT_EQ(read.transforms.pose.rotation.w, written.transforms.bind.rotation.w);
  }
  ASSERT_EQ(model.meshCount, 3u);
  const C3MEMesh& box = model.meshes[0];
  EXPECT_EQ(box.volumeKind, uint32_t(C3MEMesh::kCuboid));
  ExpectVector(box.box.min, -1.0f, -0.5f, 0.0f, "box");
  ExpectVector(box.box.max, 1.0f, 0.5f, 4.0f, "box");
  ASSERT_EQ(box.vertexCount, 2u);
  ExpectVector(box.vertices[0].position, 0.5f, 0.0f, -3.0f, "vertex 0");
  ExpectVector(box.vertices[1].position, 0.0f, 100000.0f, 1e-7f, "vertex 1");
  EXPECT_EQ(box.lodCount, 2u);
  EXPECT_EQ(model.meshes[1].volumeKind, uint32_t(C3MEMesh::kSphere));
  EXPECT_FLOAT_EQ(model.meshes[1].sphere.radius, 0.75f);
  EXPECT_EQ(model.meshes[1].lodCount, 1u);
  // The export writes no capsule; it reads back as no volume.
  EXPECT_EQ(model.meshes[2].volumeKind, uint32_t(C3MEMesh::kNone));
  EXPECT_EQ(model.meshes[2].lodCount, 0u);
}

// The export's material count without names, its two-value texture lines and
// its index-list records are not this layout: the read ends false, keeping a
// consistent model of what it read.
TEST_F(TextReadBack, ExportWithMaterialsSetsOrListsEndsFalse) {
  enum Extra { kMaterials, kTexCoords, kLists };
  for (Extra extra : {kMaterials, kTexCoords, kLists}) {
    C3MEModel source;
    BuildPlainModel(source);
    if (extra == kMaterials) {
      ASSERT_TRUE(source.ReserveMaterials(1));
      source.SetMaterial(source.materialCount++, "wood");
    }
    C3MEMesh& box = source.meshes[0];
    if (extra == kTexCoords) {
      ASSERT_TRUE(box.ReserveTexCoordSets(1));
      box.texCoordSetCount = 1;
    }
    if (extra == kLists) {
      ASSERT_TRUE(box.ReserveLists(0, 1));
      C3MEIndexList& list = box.lods[0].lists[box.lods[0].listCount++];
      ASSERT_TRUE(list.Reserve(3));
      for (uint16_t v : {0, 1, 1}) list.indices[list.PostIncrementCount()] = v;
    }
    const std::string path = folder_ / "EXTRA.TXT";
    ASSERT_EQ(CTXTCodec(&source).Write(path.c_str()), C3MECodec::kWritten);
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadFile(path, model)) << extra;
    EXPECT_TRUE(log.Contains("does not end with [END]")) << extra;
    ExpectWithinCapacity(model, "extra " + std::to_string(extra));
    if (extra != kMaterials) {
      // Everything before the box's texture lines or lists was read.
      EXPECT_EQ(model.instanceCount, 2u) << extra;
      ASSERT_GE(model.meshCount, 1u) << extra;
      ExpectVector(model.meshes[0].vertices[1].position, 0.0f, 100000.0f, 1e-7f, "kept vertex");
    }
  }
}

TEST_F(TextReadBack, BadCountsAreRefusedWithALogLine) {
  const struct {
    const char* from;
    const char* to;
    const char* logged;
  } cases[] = {
      {"[NMATERIALS]3", "[NMATERIALS]-1", "bad material count"},
      {"[NMATERIALS]3", "[NMATERIALS]2147483647", "bad material count"},
      {"[NINSTANCES]2", "[NINSTANCES]-2", "bad instance count"},
      {"[NINSTANCES]2", "[NINSTANCES]90000", "bad instance count"},
      {"[NCOMPONENTS]3", "[NCOMPONENTS]-3", "bad component count"},
      {"[NCOMPONENTS]3", "[NCOMPONENTS]40", "bad component count"},
      {"[NVERTS]3", "[NVERTS]-3", "bad vertex count"},
      {"[NVERTS]3", "[NVERTS]99999999", "bad vertex count"},
      {"[NUVS]1", "[NUVS]-1", "bad texture-coordinate set count"},
      {"[NUVS]1", "[NUVS]2000000000", "bad texture-coordinate set count"},
      {"[NLODS][2]", "[NLODS][-1]", "bad level count"},
      {"[NLODS][2]", "[NLODS][1000000]", "bad level count"},
  };
  for (const auto& c : cases) {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadText(Replace(Layout("[NLODS][2]\n"), c.from, c.to), model)) << c.to;
    EXPECT_TRUE(log.Contains(c.logged)) << c.to;
    ExpectWithinCapacity(model, c.to);
  }
  // A set count of a mesh without vertices is still bounded by the file.
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadText(Replace(Layout(), "[NVERTS]0\n[NUVS]0", "[NVERTS]0\n[NUVS]60000"), model));
  EXPECT_TRUE(log.Contains("bad texture-coordinate set count"));
  // With room to spare in the file, more sets than a mesh can use are still refused.
  const std::string padded = Replace(Layout(), "[END]", std::string(4000, ' ') + "[END]");
  for (int sets : {255, 256}) {
    LogCapture setLog(kLog3ME);
    C3MEModel setModel;
    const std::string text = Replace(padded, "[NVERTS]0\n[NUVS]0", "[NVERTS]0\n[NUVS]" + std::to_string(sets));
    EXPECT_EQ(ReadText(text, setModel), sets == 255) << sets;
    EXPECT_EQ(setLog.Contains("bad texture-coordinate set count"), sets == 256) << sets;
  }

  // A model that already holds records cannot grow its arrays: the read
  // stops rather than write past them.
  C3MEModel filled;
  ASSERT_TRUE(filled.ReserveMaterials(1));
  filled.SetMaterial(filled.materialCount++, "old");
  EXPECT_FALSE(ReadText(Layout(), filled));
  EXPECT_TRUE(log.Contains("the model has no room for the records"));
  ExpectWithinCapacity(filled, "filled model");
}

std::string MeshOfVertices(uint32_t count) {
  std::string text = "[V4]\n[NMATERIALS]0\n[NINSTANCES]0\n[NCOMPONENTS]1\n[COMPONENT][0]big\n[BV] NONE\n";
  text += "[NVERTS]" + std::to_string(count) + "\n[NUVS]0\n[VERTICES]\n";
  for (uint32_t v = 0; v < count; ++v) text += "[0,0,0]\n";
  return text + "[UV]\n[FACES]\n[END]\n";
}

TEST_F(TextReadBack, MeshesPastSixteenBitsAreRefused) {
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadText(MeshOfVertices(65536), model));
  EXPECT_TRUE(log.Contains("more than 65535 vertices in a mesh"));
  EXPECT_EQ(model.meshes[0].vertexCount, 0u);

  LogCapture warned(kLog3ME);
  C3MEModel large;
  EXPECT_TRUE(ReadText(MeshOfVertices(32769), large));
  EXPECT_TRUE(warned.Contains("mesh 'big' has 32769 vertices"));
  EXPECT_EQ(large.meshes[0].vertexCount, 32769u);
}

TEST_F(TextReadBack, HostileTextReadsOrRefusesSafely) {
  const std::string longName(600, 'n');
  std::string crlf;
  for (char c : Layout()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

  // A name longer than a word holds is cut and the read goes on.
  C3MEModel named;
  ASSERT_TRUE(ReadText(Replace(Layout(), "[INSTANCE][0]base", "[INSTANCE][0]" + longName), named));
  EXPECT_EQ(named.instances[0].name.Length(), uint32_t(TextScanner::kMaxWord));
  EXPECT_EQ(named.instances[0].componentId, 0);

  // Windows line ends, in text mode and in binary mode: no "\r" reaches a name.
  for (bool textMode : {true, false}) {
    C3MEModel model;
    ASSERT_TRUE(ReadText(crlf, model, textMode)) << textMode;
    EXPECT_STREQ(model.GetMaterialName(1).Chars(), "marble") << textMode;
    EXPECT_STREQ(model.instances[1].name.Chars(), "top") << textMode;
    EXPECT_STREQ(model.meshes[2].name.Chars(), "pill") << textMode;
  }

  // A value that is not a finite number, and every one after it on the
  // line, keeps its default; the read itself succeeds.
  const struct {
    const char* from;
    const char* to;
  } poisons[] = {
      {"[P] [1,2,3]", "[P] [1,nan,3]"},
      {"[P] [1,2,3]", "[P] [1,2,inf]"},
      {"(quat 0 0.6 0 0.8)", "(quat 0 -nan 0 0.8)"},
  };
  for (const auto& poison : poisons) {
    C3MEModel model;
    ASSERT_TRUE(ReadText(Replace(Layout(), poison.from, poison.to), model)) << poison.to;
    const TransformNode& bind = model.instances[0].transforms.bind;
    for (int k = 0; k < 16; ++k) EXPECT_TRUE(std::isfinite(bind.local.m[k])) << poison.to;
    EXPECT_FLOAT_EQ(bind.GetPosition().x, 1.0f) << poison.to;
    EXPECT_FLOAT_EQ(bind.rotation.w, 1.0f) << poison.to;
  }
  C3MEModel bounds;
  ASSERT_TRUE(ReadText(Replace(Layout(), "(0 1 2 4 6 8)", "(0 1 2 4 NaN 8)"), bounds));
  ExpectVector(bounds.meshes[0].box.GetSize(), 4.0f, 0.0f, 0.0f, "NaN size");

  // Every cut of the text before its closing word is whole ends false
  // without breaking the model.
  const std::string whole = Layout("[NLODS]2\n");
  for (size_t keep = 0; keep + 1 < whole.size(); keep += 7) {
    C3MEModel model;
    EXPECT_FALSE(ReadText(whole.substr(0, keep), model)) << keep;
    ExpectWithinCapacity(model, "cut at " + std::to_string(keep));
  }

  // A file that is not open reads nothing.
  LogCapture log(kLog3ME);
  File closed(File::kText);
  C3MEModel model;
  EXPECT_FALSE(CTXTCodec(&model).ReadBody(closed));
  EXPECT_TRUE(log.Contains("is not open for reading"));
}

TEST_F(TextReadBack, DamagedLayoutsNeverBreakTheReader) {
  platform::SeedRandom(2468);
  const std::string golden = Layout("[NLODS][2]\n");
  const char alphabet[] = "0123456789-[],.() \nNaEe";
  int succeeded = 0;
  for (int round = 0; round < 300; ++round) {
    std::string text = golden;
    const int damage = 1 + platform::NextRandom() % 4;
    for (int d = 0; d < damage; ++d) {
      const size_t at = size_t(platform::NextRandom()) % text.size();
      const char c = alphabet[size_t(platform::NextRandom()) % (sizeof alphabet - 1)];
      switch (platform::NextRandom() % 4) {
        case 0:
          text[at] = c;
          break;
        case 1:
          text.insert(at, 1, c);
          break;
        case 2:
          text[at] = char(text[at] ^ (1 << (platform::NextRandom() % 8)));
          break;
        default:
          text.resize(at);
          break;
      }
      if (text.empty()) break;
    }
    C3MEModel model;
    if (ReadText(text, model)) ++succeeded;
    ExpectWithinCapacity(model, "round " + std::to_string(round));
  }
  // The damage is mild enough that some files still read, and harsh enough that not all do.
  EXPECT_GT(succeeded, 0);
  EXPECT_LT(succeeded, 300);
}

}  // namespace
