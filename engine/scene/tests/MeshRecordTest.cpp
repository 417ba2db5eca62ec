#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/foundation/File.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/MeshRecordBytes.h"
#include "support/SceneTestSupport.h"

namespace {

using meshrecord::PutU16;
using meshrecord::PutU32;

// A private folder for one test's record file, removed afterwards.
class RecordFile {
 public:
  RecordFile() {
    char pattern[] = "/tmp/mesh-record-XXXXXX";
    dir_ = mkdtemp(pattern) != nullptr ? pattern : "";
    path_ = dir_ + "/mesh.bin";
  }
  ~RecordFile() {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  const char* path() const { return path_.c_str(); }
  void WriteBytes(const std::string& bytes) const {
    std::ofstream(path_, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }

 private:
  std::string dir_;
  std::string path_;
};

void FillList(C3MEIndexList& list, int32_t kind, int32_t material, std::initializer_list<uint16_t> values) {
  list.primitiveKind = kind;
  list.materialIndex = material;
  ASSERT_TRUE(list.Reserve(uint32_t(values.size()) + 1));
  for (uint16_t v : values) list.indices[list.PostIncrementCount()] = v;
}

void ExpectSameList(const C3MEIndexList& a, const C3MEIndexList& b) {
  EXPECT_EQ(a.primitiveKind, b.primitiveKind);
  EXPECT_EQ(a.materialIndex, b.materialIndex);
  ASSERT_EQ(a.indexCount, b.indexCount);
  for (uint32_t i = 0; i < a.indexCount; ++i) EXPECT_EQ(a.indices[i], b.indices[i]) << "index " << i;
}

TEST(MeshRecord, RoundTripKeepsGeometryListsAndFilePosition) {
  C3MEMesh mesh;
  mesh.name = "Crate";
  ASSERT_TRUE(mesh.ReserveVertices(3));
  ASSERT_TRUE(mesh.ReserveTexCoordSets(1));
  mesh.vertexCount = 3;
  mesh.texCoordSetCount = 1;
  for (uint32_t v = 0; v < 3; ++v) {
    mesh.vertices[v].red = uint8_t(10 + v);
    mesh.vertices[v].green = uint8_t(20 + v);
    mesh.vertices[v].blue = uint8_t(30 + v);
    mesh.vertices[v].alpha = uint8_t(40 + v);
    mesh.vertices[v].normal = Vector3(0, float(v), 1);
    mesh.vertices[v].position = Vector3(float(v) - 1.5f, 2.0f * float(v), -3.25f);
    mesh.TexCoord(0, v) = {0.5f * float(v), 1.0f - 0.25f * float(v)};
  }
  ASSERT_TRUE(mesh.SetLodCount(2));
  ASSERT_TRUE(mesh.ReserveLists(0, 2));
  mesh.lods[0].listCount = 2;
  FillList(mesh.lods[0].lists[0], C3MEIndexList::kTriangleStrip, 3, {0, 1, 2, 0xFFFF});
  FillList(mesh.lods[0].lists[1], C3MEIndexList::kTriangleFan, -1, {});

  C3MEIndexList trailer;
  FillList(trailer, C3MEIndexList::kTriangleList, 7, {2, 1, 0});

  RecordFile record;
  {
    File out;
    ASSERT_TRUE(out.OpenWrite(record.path()) & File::kOpen);
    EXPECT_TRUE(mesh.Write(out));
    EXPECT_TRUE(trailer.Write(out));
    out.Close();
  }
  File in;
  ASSERT_TRUE(in.OpenRead(record.path()) & File::kOpen);
  C3MEMesh copy;
  C3MEIndexList trailerCopy;
  ASSERT_TRUE(copy.Read(in));
  ASSERT_TRUE(trailerCopy.Read(in));
  EXPECT_EQ(in.Tell(), in.GetSize());

  EXPECT_STREQ(copy.name.Chars(), "Crate");
  ASSERT_EQ(copy.vertexCount, 3u);
  ASSERT_EQ(copy.texCoordSetCount, 1u);
  for (uint32_t v = 0; v < 3; ++v) {
    const C3MEVertex& a = mesh.vertices[v];
    const C3MEVertex& b = copy.vertices[v];
    EXPECT_EQ((std::array{a.red, a.green, a.blue, a.alpha}), (std::array{b.red, b.green, b.blue, b.alpha}));
    EXPECT_EQ(a.normal, b.normal);
    EXPECT_EQ(a.position, b.position);
    EXPECT_EQ(mesh.TexCoord(0, v).u, copy.TexCoord(0, v).u);
    EXPECT_EQ(mesh.TexCoord(0, v).v, copy.TexCoord(0, v).v);
  }
  ASSERT_EQ(copy.lodCount, 2u);
  ASSERT_EQ(copy.lods[0].listCount, 2u);
  EXPECT_EQ(copy.lods[1].listCount, 0u);
  ExpectSameList(mesh.lods[0].lists[0], copy.lods[0].lists[0]);
  ExpectSameList(mesh.lods[0].lists[1], copy.lods[0].lists[1]);
  ExpectSameList(trailer, trailerCopy);
  // Bounds are rebuilt from the vertices read.
  EXPECT_EQ(copy.volumeKind, uint32_t(C3MEMesh::kCuboid));
  EXPECT_EQ(copy.box.max.y, 4.0f);
}

TEST(MeshRecord, IndexCountIsStoredInThirtyTwoBits) {
  C3MEIndexList list;
  FillList(list, C3MEIndexList::kTriangleList, 0, {1, 2, 3});
  RecordFile record;
  File out;
  ASSERT_TRUE(out.OpenWrite(record.path()) & File::kOpen);
  ASSERT_TRUE(list.Write(out));
  out.Close();
  std::ifstream bytes(record.path(), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(bytes)), std::istreambuf_iterator<char>());
  // kind, material, count (32 bits each), then three 16-bit indices.
  EXPECT_EQ(text.size(), 12u + 6u);
  EXPECT_EQ(text.substr(8, 4), std::string("\x03\x00\x00\x00", 4));
}

// A mesh header: name, vertex count, set count (vertices follow).
std::string MeshHeader(const std::string& name, uint32_t vertices, uint32_t sets) {
  std::string out;
  PutU32(out, uint32_t(name.size()));
  out += name;
  PutU32(out, vertices);
  PutU32(out, sets);
  return out;
}

std::string ListHeader(uint32_t count) {
  std::string out;
  PutU32(out, 0);
  PutU32(out, 1);
  PutU32(out, count);
  return out;
}

TEST(MeshRecord, TruncatedOrHostileRecordsAreRefused) {
  const std::string empty = MeshHeader("M", 0, 0);
  auto levels = [&](uint32_t count) {
    std::string out = empty;
    PutU32(out, count);
    return out;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* line;
  } cases[] = {
      {"empty file", "", "name length 0 does not fit"},
      {"name longer than the file", std::string("\xFF\xFF\xFF\xFF", 4) + "abc", "name length 4294967295"},
      {"vertex count past the end", MeshHeader("M", 1000000, 0), "1000000 vertices in 0 texture sets"},
      {"texture sets overflow 32 bits", MeshHeader("M", 0x10000, 0x10000) + std::string(28 * 0x10000, '\0'),
       "65536 vertices in 65536 texture sets"},
      {"texture sets without vertices", MeshHeader("M", 0, 0xFFFFFFFF) + std::string(8, '\0'),
       "4294967295 texture sets are more than a mesh can use"},
      {"missing level count", empty, "level count 0 does not fit"},
      {"level count past the end", levels(0x40000000), "level count 1073741824"},
      {"list count past the end", levels(1) + std::string("\xFF\xFF\xFF\x0F", 4), "list count 268435455 of level 0"},
      {"list header past the end", levels(1) + std::string("\x01\x00\x00\x00", 4) + std::string(2, '\0'),
       "list count 1 of level 0 does not fit the 2 bytes left"},
      {"index count past the end",
       levels(1) + std::string("\x01\x00\x00\x00", 4) + ListHeader(3) + std::string("\x01\x00", 2),
       "index count 3 does not fit the 2 bytes left"},
      {"index count wider than 16 bits",
       levels(1) + std::string("\x01\x00\x00\x00", 4) + ListHeader(0x10000) + std::string(0x20000, '\0'),
       "index count 65536 does not fit"},
  };
  for (const Case& c : cases) {
    RecordFile record;
    record.WriteBytes(c.bytes);
    File in;
    ASSERT_TRUE(in.OpenRead(record.path()) & File::kOpen) << c.what;
    LogCapture log(kLog3ME);
    C3MEMesh mesh;
    EXPECT_FALSE(mesh.Read(in)) << c.what;
    EXPECT_TRUE(log.Contains(c.line)) << c.what << ": " << (log.Lines().empty() ? "" : log.Lines().back());
    EXPECT_EQ(mesh.vertexCount, 0u) << c.what;
    EXPECT_EQ(mesh.lodCount, 0u) << c.what;
    EXPECT_EQ(mesh.vertices, nullptr) << c.what;
  }
}

TEST(MeshRecord, RefusedListIsLeftEmpty) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* line;
  } cases[] = {
      {"truncated header", ListHeader(4).substr(0, 10), "Index list record: truncated header"},
      {"index count past the end", ListHeader(4) + std::string("\x01\x00", 2),
       "index count 4 does not fit the 2 bytes left"},
  };
  for (const Case& c : cases) {
    RecordFile record;
    record.WriteBytes(c.bytes);
    File in;
    ASSERT_TRUE(in.OpenRead(record.path()) & File::kOpen) << c.what;
    C3MEIndexList list;
    FillList(list, C3MEIndexList::kTriangleStrip, 9, {5, 6});
    LogCapture log(kLog3ME);
    EXPECT_FALSE(list.Read(in)) << c.what;
    EXPECT_TRUE(log.Contains(c.line)) << c.what;
    EXPECT_EQ(list.indexCount, 0) << c.what;
    EXPECT_EQ(list.indices, nullptr) << c.what;
  }
}

}  // namespace
