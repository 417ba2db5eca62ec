#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/scene/model/Model.h"
#include "engine/scene/model/PEOCodec.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

struct PeoFace {
  uint32_t normal;
  uint16_t corners[3];
  uint16_t material;
  float uv[3][2];
};

struct PeoObject {
  std::vector<Vector3> positions;
  std::vector<Vector3> normals;
  std::vector<PeoFace> faces;
  float placement[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// Where the count and offset fields of a built file sit, for hostile patches.
struct PeoLayout {
  std::vector<uint8_t> bytes;
  size_t materialArray = 0;
  std::vector<size_t> faceArrays;
};

class PeoWriter {
 public:
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
  }
  void Put16(size_t at, uint16_t v) {
    bytes[at] = uint8_t(v);
    bytes[at + 1] = uint8_t(v >> 8);
  }
  void PutF(size_t at, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    Put32(at, bits);
  }
  // Appends n zero bytes and returns where they start.
  size_t Grow(size_t n) {
    const size_t at = bytes.size();
    bytes.resize(at + n, 0);
    return at;
  }
  std::vector<uint8_t> bytes;
};

// Materials: a name, or none for a zero name offset. One extra record
// follows them, with a name, as the format allows.
PeoLayout BuildPeo(const std::vector<std::optional<std::string>>& materials, const std::vector<PeoObject>& objects) {
  PeoWriter w;
  w.Grow(CPEOCodec::kHeaderBytes + objects.size() * CPEOCodec::kObjectBytes);
  PeoLayout layout;
  w.Put32(28, 1);
  w.Put32(32, uint32_t(materials.size()));
  w.Put32(44, uint32_t(objects.size()));
  layout.materialArray = w.Grow((materials.size() + 1) * CPEOCodec::kMaterialBytes);
  w.Put32(40, uint32_t(layout.materialArray));
  auto addName = [&](size_t record, const std::string& name) {
    const size_t at = w.Grow(name.size() + 1);
    std::memcpy(&w.bytes[at], name.data(), name.size());
    w.Put32(record + 20, uint32_t(at));
  };
  for (size_t i = 0; i < materials.size(); ++i)
    if (materials[i]) addName(layout.materialArray + i * CPEOCodec::kMaterialBytes, *materials[i]);
  addName(layout.materialArray + materials.size() * CPEOCodec::kMaterialBytes, "extra");

  for (size_t o = 0; o < objects.size(); ++o) {
    const PeoObject& object = objects[o];
    const size_t record = CPEOCodec::kHeaderBytes + o * CPEOCodec::kObjectBytes;
    auto points = [&](const std::vector<Vector3>& list) {
      const size_t at = w.Grow(list.size() * CPEOCodec::kPointBytes);
      for (size_t i = 0; i < list.size(); ++i) {
        w.PutF(at + 16 * i, list[i].x);
        w.PutF(at + 16 * i + 4, list[i].y);
        w.PutF(at + 16 * i + 8, list[i].z);
      }
      return at;
    };
    w.Put32(record + 24, uint32_t(points(object.positions)));
    w.Put32(record + 28, uint32_t(points(object.normals)));
    const size_t faces = w.Grow(object.faces.size() * CPEOCodec::kFaceBytes);
    layout.faceArrays.push_back(faces);
    w.Put32(record + 20, uint32_t(object.faces.size()));
    w.Put32(record + 32, uint32_t(faces));
    for (size_t f = 0; f < object.faces.size(); ++f) {
      const PeoFace& face = object.faces[f];
      const size_t at = faces + f * CPEOCodec::kFaceBytes;
      w.Put32(at, face.normal);
      for (int k = 0; k < 3; ++k) {
        w.Put16(at + 4 + 2 * k, face.corners[k]);
        w.PutF(at + 12 + 8 * k, face.uv[k][0]);
        w.PutF(at + 16 + 8 * k, face.uv[k][1]);
      }
      w.Put16(at + 10, face.material);
    }
    for (int i = 0; i < 16; ++i) w.PutF(record + 48 + 4 * i, object.placement[i]);
  }
  layout.bytes = w.bytes;
  return layout;
}

// One object: a quad of four positions with two faces of material 1 and,
// between them in the file, one of material 0; placed by a quarter turn
// about y and a move to (5, 6, 7).
PeoObject QuadObject() {
  PeoObject object;
  object.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  object.normals = {{0, 0, 1}, {0, 0, -1}};
  object.faces = {
      {0, {0, 1, 2}, 1, {{0.0f, 0.1f}, {0.2f, 0.3f}, {0.4f, 0.5f}}},
      {1, {2, 3, 0}, 0, {{1.0f, 1.1f}, {1.2f, 1.3f}, {1.4f, 1.5f}}},
      {0, {3, 2, 1}, 1, {{2.0f, 2.1f}, {2.2f, 2.3f}, {2.4f, 2.5f}}},
  };
  Matrix4 turn;
  Quaternion(0.0f, 0.7071068f, 0.0f, 0.7071068f).ToMatrix(turn);
  for (int i = 0; i < 16; ++i) object.placement[i] = turn.m[i];
  object.placement[12] = 5.0f;
  object.placement[13] = 6.0f;
  object.placement[14] = 7.0f;
  return object;
}

class PeoModel : public ::testing::Test {
 protected:
  bool ReadBytes(const std::vector<uint8_t>& bytes, C3MEModel& model) {
    WriteFile(folder_ / "SCENE.peo", bytes);
    return model.Read(String((folder_ / "SCENE.peo").c_str()));
  }

  platform::ScopedTempFolder folder_{"scene-peo"};
  FakeMaterials materials_;
};

TEST_F(PeoModel, ObjectBecomesMeshAndInstanceGroupedByMaterial) {
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(BuildPeo({std::string("Stone"), std::nullopt}, {QuadObject()}).bytes, model));
  EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoaded));

  ASSERT_EQ(model.materialCount, 2u);
  EXPECT_STREQ(model.materialNames[0].Chars(), "Stone");
  EXPECT_STREQ(model.materialNames[1].Chars(), "TEXDefault");
  EXPECT_EQ(FakeMaterials::Lookups(), (std::vector<std::string>{"Stone", "TEXDefault"}));

  ASSERT_EQ(model.meshCount, 1u);
  const C3MEMesh& mesh = model.meshes[0];
  ASSERT_EQ(mesh.vertexCount, 9u);
  EXPECT_EQ(mesh.texCoordSetCount, 1u);
  ASSERT_EQ(mesh.lodCount, 1u);
  ASSERT_EQ(mesh.lods[0].listCount, 2u);
  const C3MEIndexList& first = mesh.lods[0].lists[0];
  const C3MEIndexList& second = mesh.lods[0].lists[1];
  EXPECT_EQ(first.materialIndex, 0);
  EXPECT_EQ(second.materialIndex, 1);
  ASSERT_EQ(first.indexCount, 3u);
  ASSERT_EQ(second.indexCount, 6u);
  for (uint16_t i = 0; i < 3; ++i) EXPECT_EQ(first.indices[i], i);
  for (uint16_t i = 0; i < 6; ++i) EXPECT_EQ(second.indices[i], i + 3);
  EXPECT_EQ(model.triangleCount, 3u);

  // Emission order: the material-0 face, then the two material-1 faces in
  // file order; each triangle runs corner 2, corner 1, corner 0.
  const struct {
    Vector3 position;
    Vector3 normal;
    float u, v;
  } expected[9] = {
      {{0, 0, 0}, {0, 0, -1}, 1.4f, 1.5f}, {{0, 1, 0}, {0, 0, -1}, 1.2f, 1.3f}, {{1, 1, 0}, {0, 0, -1}, 1.0f, 1.1f},
      {{1, 1, 0}, {0, 0, 1}, 0.4f, 0.5f},  {{1, 0, 0}, {0, 0, 1}, 0.2f, 0.3f},  {{0, 0, 0}, {0, 0, 1}, 0.0f, 0.1f},
      {{1, 0, 0}, {0, 0, 1}, 2.4f, 2.5f},  {{1, 1, 0}, {0, 0, 1}, 2.2f, 2.3f},  {{0, 1, 0}, {0, 0, 1}, 2.0f, 2.1f},
  };
  for (uint32_t k = 0; k < 9; ++k) {
    EXPECT_EQ(mesh.vertices[k].position, expected[k].position) << k;
    EXPECT_EQ(mesh.vertices[k].normal, expected[k].normal) << k;
    EXPECT_EQ(mesh.texCoords[k].u, expected[k].u) << k;
    EXPECT_EQ(mesh.texCoords[k].v, expected[k].v) << k;
    EXPECT_EQ(mesh.vertices[k].red, 255) << k;
  }

  ASSERT_EQ(model.instanceCount, 1u);
  const C3MEInstance& instance = model.instances[0];
  EXPECT_EQ(instance.componentId, 0);
  EXPECT_EQ(instance.mesh, &model.meshes[0]);
  EXPECT_STREQ(instance.name.Chars(), mesh.name.Chars());
  EXPECT_EQ(instance.transforms.bind.GetPosition(), Vector3(5, 6, 7));
  // The rebuilt bind matrix is the file's placement, rotation included.
  const PeoObject quad = QuadObject();
  const float* placement = quad.placement;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(instance.transforms.bind.local.m[i], placement[i], 1e-5f) << i;
}

TEST_F(PeoModel, NoObjectsYieldsOnlyMaterials) {
  C3MEModel model;
  ASSERT_TRUE(ReadBytes(BuildPeo({std::string("a"), std::string("b")}, {}).bytes, model));
  EXPECT_EQ(model.materialCount, 2u);
  EXPECT_EQ(model.meshCount, 0u);
  EXPECT_EQ(model.instanceCount, 0u);
}

TEST_F(PeoModel, MissingFileCannotBeOpenedAndWritingIsRefused) {
  C3MEModel model;
  CPEOCodec codec(&model);
  EXPECT_EQ(codec.Read((folder_ / "NONE.PEO").c_str()), C3MECodec::kCannotOpen);
  EXPECT_EQ(codec.Write((folder_ / "OUT.PEO").c_str()), C3MECodec::kNotWritten);
}

TEST_F(PeoModel, HostileCountsAndOffsetsAreRefused) {
  enum Base { kFile, kMaterials, kFaces };
  const struct {
    const char* what;
    Base base;
    size_t at;
    int width;
    uint32_t value;
    const char* log;
  } cases[] = {
      {"object count", kFile, 44, 4, 0xFFFFFFFFu, "object records beyond the file"},
      {"material count", kFile, 32, 4, 0x7FFFFFFFu, "material records beyond the file"},
      {"material array", kFile, 40, 4, 0xFFFFFFF0u, "material records beyond the file"},
      {"name offset", kMaterials, 20, 4, 0xFFFFFF00u, "material name beyond the file"},
      {"face count", kFile, 68 + 20, 4, 0x10000000u, "face records beyond the file"},
      {"face array", kFile, 68 + 32, 4, 0xFFFFFFFFu, "face records beyond the file"},
      {"position number", kFaces, 4, 2, 0xFFFF, "skips 1 faces"},
      {"normal number", kFaces, 0, 4, 0xFFFFFFFFu, "skips 1 faces"},
  };
  for (const auto& c : cases) {
    PeoLayout layout = BuildPeo({std::string("Stone")}, {QuadObject()});
    const size_t at =
        c.at + (c.base == kFaces ? layout.faceArrays[0] : 0) + (c.base == kMaterials ? layout.materialArray : 0);
    for (int i = 0; i < c.width; ++i) layout.bytes[at + i] = uint8_t(c.value >> (8 * i));
    LogCapture log(kLog3ME);
    C3MEModel model;
    const bool read = ReadBytes(layout.bytes, model);
    EXPECT_TRUE(log.Contains(c.log)) << c.what;
    const bool skipsFace = std::string(c.log) == "skips 1 faces";
    EXPECT_EQ(read, skipsFace) << c.what;
    if (read) {
      // The object keeps its other faces.
      EXPECT_EQ(model.meshes[0].vertexCount, 6u) << c.what;
      ExpectConsistent(model, c.what);
    } else {
      EXPECT_EQ(model.loadState, uint32_t(C3MEModel::kLoadFailed)) << c.what;
      EXPECT_EQ(model.meshCount, 0u) << c.what;
    }
  }
}

TEST_F(PeoModel, UnterminatedNameAndShortHeaderAreRefused) {
  PeoLayout layout = BuildPeo({std::string("Stone")}, {});
  // The last name ("extra") ends the file; make the first name point at it
  // and cut its terminator.
  layout.bytes.pop_back();
  std::memcpy(&layout.bytes[layout.materialArray + 20], &layout.bytes[layout.materialArray + 32 + 20], 4);
  {
    LogCapture log(kLog3ME);
    C3MEModel model;
    EXPECT_FALSE(ReadBytes(layout.bytes, model));
    EXPECT_TRUE(log.Contains("material name beyond the file"));
  }
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadBytes(std::vector<uint8_t>(67, 0), model));
  EXPECT_TRUE(log.Contains("shorter than its header"));
}

TEST_F(PeoModel, MeshBeyondSixteenBitIndicesIsRefused) {
  PeoObject big;
  big.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  big.normals = {{0, 0, 1}};
  big.faces.assign(21846, PeoFace{0, {0, 1, 2}, 0, {}});
  LogCapture log(kLog3ME);
  C3MEModel model;
  EXPECT_FALSE(ReadBytes(BuildPeo({}, {big}).bytes, model));
  EXPECT_TRUE(log.Contains("more than 65535 vertices in a mesh"));

  big.faces.resize(21845);
  C3MEModel fits;
  ASSERT_TRUE(ReadBytes(BuildPeo({}, {big}).bytes, fits));
  EXPECT_EQ(fits.meshes[0].vertexCount, 65535u);
}

TEST_F(PeoModel, TruncatedAndMutatedFilesNeverBreakTheReader) {
  const std::vector<uint8_t> golden =
      BuildPeo({std::string("Stone"), std::nullopt}, {QuadObject(), QuadObject()}).bytes;
  for (size_t size = 0; size < golden.size(); ++size) {
    C3MEModel model;
    if (ReadBytes(std::vector<uint8_t>(golden.begin(), golden.begin() + long(size)), model))
      ExpectConsistent(model, "truncated to " + std::to_string(size));
  }
  // A fixed-seed generator of the program's kind picks bytes to spoil.
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFFu;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = golden;
    for (int n = 0; n < 4; ++n) bytes[next() % bytes.size()] = uint8_t(next());
    C3MEModel model;
    if (ReadBytes(bytes, model)) ExpectConsistent(model, "round " + std::to_string(round));
  }
}

}  // namespace
