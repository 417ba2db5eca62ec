#include "engine/scene/model/BinaryCodec.h"

#include <string>
#include <vector>

#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/ByteReader.h"
#include "engine/scene/model/Model.h"

namespace {

// The smallest record of each kind, so that no count can promise more
// records than the bytes left could hold.
constexpr uint64_t kMinMaterialBytes = 1;                     // empty name
constexpr uint64_t kMinInstanceBytes = 1 + 4 + 12 + 16 + 12;  // name, id, position, rotation, spare
constexpr uint64_t kMinMeshBytes = 1 + 4 + 4 + 4;             // name, vertex, set and level counts
constexpr uint64_t kVertexBytes = 28;
constexpr uint64_t kTexCoordBytes = 8;
constexpr uint64_t kMinLevelBytes = 4;
constexpr uint64_t kMinListBytes = 12;

bool Refuse(const char* fileName, const char* reason) {
  Log3ME("C3MEBinaryCodec::Read - ERROR : %s : %s", fileName, reason);
  return false;
}

// No model has more materials, instances, meshes, levels or lists than a
// 16-bit index could tell apart; the cap bounds what a hostile count allocates.
constexpr int32_t kMaxRecords = 65535;

bool CountFits(ByteReader& reader, int32_t count, uint64_t minBytes) {
  return !reader.Failed() && count >= 0 && reader.Holds(uint64_t(count), minBytes);
}

bool RecordCountFits(ByteReader& reader, int32_t count, uint64_t minBytes) {
  return count <= kMaxRecords && CountFits(reader, count, minBytes);
}

bool ReadMesh(ByteReader& reader, C3MEMesh& mesh, const char* fileName) {
  mesh.name = reader.ReadString().c_str();
  const int32_t vertexCount = reader.ReadI32();
  if (!CountFits(reader, vertexCount, kVertexBytes)) return Refuse(fileName, "bad vertex count");
  if (uint32_t(vertexCount) > C3MEBinaryCodec::kMaxVertices)
    return Refuse(fileName, "more than 65535 vertices in a mesh");
  if (uint32_t(vertexCount) > C3MEBinaryCodec::kEditableVertices)
    Log3ME("C3MEBinaryCodec::Read - WARNING : %s : mesh '%s' has %d vertices; editing its index lists is lossy",
           fileName, mesh.name.Chars(), vertexCount);
  if (!mesh.ReserveVertices(uint32_t(vertexCount))) return Refuse(fileName, "out of memory");
  mesh.vertexCount = uint32_t(vertexCount);
  for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
    C3MEVertex& vertex = mesh.vertices[v];
    vertex.position.x = reader.ReadF32();
    vertex.position.y = reader.ReadF32();
    vertex.position.z = reader.ReadF32();
    vertex.normal.x = reader.ReadF32();
    vertex.normal.y = reader.ReadF32();
    vertex.normal.z = reader.ReadF32();
    vertex.red = reader.ReadU8();
    vertex.green = reader.ReadU8();
    vertex.blue = reader.ReadU8();
    vertex.alpha = reader.ReadU8();
  }

  const int32_t setCount = reader.ReadI32();
  if (reader.Failed() || setCount < 0 || uint32_t(setCount) > C3MEMesh::kMaxTexCoordSets ||
      !reader.Holds(uint64_t(setCount) * mesh.vertexCount, kTexCoordBytes))
    return Refuse(fileName, "bad texture-coordinate set count");
  if (uint32_t(setCount) > mesh.texCoordSetCapacity && !mesh.ReserveTexCoordSets(uint32_t(setCount)))
    return Refuse(fileName, "out of memory");
  mesh.texCoordSetCount = uint32_t(setCount);
  const uint64_t pairs = uint64_t(setCount) * mesh.vertexCount;
  for (uint64_t i = 0; i < pairs; ++i) {
    mesh.texCoords[i].u = reader.ReadF32();
    mesh.texCoords[i].v = reader.ReadF32();
  }

  const int32_t levelCount = reader.ReadI32();
  if (!RecordCountFits(reader, levelCount, kMinLevelBytes)) return Refuse(fileName, "bad level count");
  if (!mesh.SetLodCount(uint32_t(levelCount))) return Refuse(fileName, "out of memory");
  for (uint32_t level = 0; level < mesh.lodCount; ++level) {
    const int32_t listCount = reader.ReadI32();
    if (!RecordCountFits(reader, listCount, kMinListBytes)) return Refuse(fileName, "bad index-list count");
    if (!mesh.ReserveLists(level, uint32_t(listCount))) return Refuse(fileName, "out of memory");
    C3MELod& lod = mesh.lods[level];
    for (int32_t k = 0; k < listCount; ++k) {
      C3MEIndexList& list = lod.lists[lod.listCount];
      list.materialIndex = reader.ReadI32();
      list.primitiveKind = reader.ReadI32();
      const int32_t indexCount = reader.ReadI32();
      if (!CountFits(reader, indexCount, 2)) return Refuse(fileName, "bad index count");
      if (uint32_t(indexCount) > C3MEBinaryCodec::kMaxIndices)
        return Refuse(fileName, "more than 65535 indices in a list");
      if (!list.Reserve(uint32_t(indexCount))) return Refuse(fileName, "out of memory");
      bool inRange = true;
      for (int32_t n = 0; n < indexCount; ++n) {
        const uint16_t index = reader.ReadU16();
        if (index >= mesh.vertexCount) inRange = false;
        list.indices[list.PostIncrementCount()] = index;
      }
      if (!inRange) {
        // Drawing it would read past the vertex array.
        Log3ME(
            "C3MEBinaryCodec::Read - WARNING : %s : mesh '%s' drops an index list with an index beyond its %u vertices",
            fileName, mesh.name.Chars(), mesh.vertexCount);
        list.Clear();
        list.materialIndex = -1;
        list.primitiveKind = C3MEIndexList::kTriangleList;
        continue;
      }
      ++lod.listCount;
    }
  }
  return !reader.Failed() || Refuse(fileName, "file ends early");
}

// Little-endian writer into a byte buffer.
class ByteWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) {
    U8(uint8_t(v));
    U8(uint8_t(v >> 8));
  }
  void I32(int32_t v) {
    const uint32_t u = uint32_t(v);
    for (int shift = 0; shift < 32; shift += 8) U8(uint8_t(u >> shift));
  }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    I32(int32_t(bits));
  }
  void Text(const char* text) {
    for (; *text != '\0'; ++text) U8(uint8_t(*text));
    U8(0);
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

int32_t C3MEBinaryCodec::Read(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName, bytes)) return kCannotOpen;
  ByteReader reader(bytes.data(), bytes.size());
  const std::string header = reader.ReadString();
  reader.ReadU8();
  if (header.find("3ME") == std::string::npos) {
    Refuse(fileName, "not a 3ME file");
    return kBadFile;
  }
  const int32_t version = reader.ReadI32();
  if (reader.Failed() || version != kVersion) {
    Log3ME("C3MEBinaryCodec::Read - ERROR : %s : version %d is not %d", fileName, version, kVersion);
    return kBadFile;
  }
  return ReadBody(reader, fileName) ? kRead : kBadFile;
}

bool C3MEBinaryCodec::ReadBody(ByteReader& reader, const char* fileName) {
  C3MEModel& model = *model_;
  model.name = reader.ReadString().c_str();

  const int32_t materialCount = reader.ReadI32();
  if (!RecordCountFits(reader, materialCount, kMinMaterialBytes)) return Refuse(fileName, "bad material count");
  if (!model.ReserveMaterials(uint32_t(materialCount))) return Refuse(fileName, "out of memory");
  // The names are looked up like the text readers do, so binary models draw
  // with their materials rather than the default one.
  for (int32_t i = 0; i < materialCount; ++i) model.SetMaterial(model.materialCount++, reader.ReadString().c_str());

  const int32_t instanceCount = reader.ReadI32();
  if (!RecordCountFits(reader, instanceCount, kMinInstanceBytes)) return Refuse(fileName, "bad instance count");
  if (!model.ReserveInstances(uint32_t(instanceCount))) return Refuse(fileName, "out of memory");
  for (int32_t i = 0; i < instanceCount; ++i) {
    C3MEInstance& instance = model.instances[model.instanceCount++];
    instance.name = reader.ReadString().c_str();
    instance.componentId = reader.ReadI32();
    TransformNode& bind = instance.transforms.bind;
    bind.centre.x = reader.ReadF32();
    bind.centre.y = reader.ReadF32();
    bind.centre.z = reader.ReadF32();
    bind.rotation.x = reader.ReadF32();
    bind.rotation.y = reader.ReadF32();
    bind.rotation.z = reader.ReadF32();
    bind.rotation.w = reader.ReadF32();
    for (int spare = 0; spare < 3; ++spare) reader.ReadF32();
  }

  const int32_t meshCount = reader.ReadI32();
  if (!RecordCountFits(reader, meshCount, kMinMeshBytes)) return Refuse(fileName, "bad mesh count");
  if (!model.ReserveMeshes(uint32_t(meshCount))) return Refuse(fileName, "out of memory");
  for (int32_t i = 0; i < meshCount; ++i)
    if (!ReadMesh(reader, model.meshes[model.meshCount++], fileName)) return false;
  return !reader.Failed() || Refuse(fileName, "file ends early");
}

int32_t C3MEBinaryCodec::Write(const char* fileName) {
  const C3MEModel& model = *model_;
  ByteWriter out;
  out.Text("3ME\n");
  out.I32(kVersion);
  out.Text(model.name.Chars());
  out.I32(int32_t(model.materialCount));
  for (uint32_t i = 0; i < model.materialCount; ++i) out.Text(model.materialNames[i].Chars());
  out.I32(int32_t(model.instanceCount));
  for (uint32_t i = 0; i < model.instanceCount; ++i) {
    const C3MEInstance& instance = model.instances[i];
    const TransformNode& bind = instance.transforms.bind;
    out.Text(instance.name.Chars());
    out.I32(instance.componentId);
    out.F32(bind.centre.x);
    out.F32(bind.centre.y);
    out.F32(bind.centre.z);
    out.F32(bind.rotation.x);
    out.F32(bind.rotation.y);
    out.F32(bind.rotation.z);
    out.F32(bind.rotation.w);
    for (int spare = 0; spare < 3; ++spare) out.F32(0.0f);
  }
  out.I32(int32_t(model.meshCount));
  for (uint32_t m = 0; m < model.meshCount; ++m) {
    const C3MEMesh& mesh = model.meshes[m];
    out.Text(mesh.name.Chars());
    out.I32(int32_t(mesh.vertexCount));
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
      const C3MEVertex& vertex = mesh.vertices[v];
      out.F32(vertex.position.x);
      out.F32(vertex.position.y);
      out.F32(vertex.position.z);
      out.F32(vertex.normal.x);
      out.F32(vertex.normal.y);
      out.F32(vertex.normal.z);
      out.U8(vertex.red);
      out.U8(vertex.green);
      out.U8(vertex.blue);
      out.U8(vertex.alpha);
    }
    out.I32(int32_t(mesh.texCoordSetCount));
    const uint64_t pairs = uint64_t(mesh.texCoordSetCount) * mesh.vertexCount;
    for (uint64_t i = 0; i < pairs; ++i) {
      out.F32(mesh.texCoords[i].u);
      out.F32(mesh.texCoords[i].v);
    }
    out.I32(int32_t(mesh.lodCount));
    for (uint32_t level = 0; level < mesh.lodCount; ++level) {
      const C3MELod& lod = mesh.lods[level];
      out.I32(int32_t(lod.listCount));
      for (uint32_t k = 0; k < lod.listCount; ++k) {
        const C3MEIndexList& list = lod.lists[k];
        const uint32_t valid = list.CountValid();
        out.I32(list.materialIndex);
        out.I32(list.primitiveKind);
        out.I32(int32_t(valid));
        for (uint32_t n = 0; n < valid; ++n) out.U16(list.indices[n]);
      }
    }
  }
  return WriteResourceBytes(fileName, out.Bytes()) ? kWritten : kNotWritten;
}
