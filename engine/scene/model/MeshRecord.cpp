// The binary mesh and index-list records: fixed little-endian widths, every
// count checked against the bytes left before anything is allocated.
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/MeshRecordBytes.h"

using meshrecord::Cursor;

namespace {

// Bytes one vertex takes in the record: four colour bytes, normal, position.
constexpr uint64_t kVertexBytes = 4 + 12 + 12;
constexpr uint64_t kTexCoordBytes = 8;
// The smallest list record: kind, material index and count.
constexpr uint64_t kListHeaderBytes = 12;
// The smallest level: its list count.
constexpr uint64_t kLevelHeaderBytes = 4;

void PutVector(std::string& out, const Vector3& v) {
  meshrecord::PutF32(out, v.x);
  meshrecord::PutF32(out, v.y);
  meshrecord::PutF32(out, v.z);
}

Vector3 TakeVector(Cursor& in) {
  const float x = in.F32();
  const float y = in.F32();
  const float z = in.F32();
  return Vector3(x, y, z);
}

void AppendList(std::string& out, const C3MEIndexList& list) {
  meshrecord::PutU32(out, uint32_t(list.primitiveKind));
  meshrecord::PutU32(out, uint32_t(list.materialIndex));
  meshrecord::PutU32(out, list.indexCount);
  for (uint32_t i = 0; i < list.indexCount; ++i) meshrecord::PutU16(out, list.indices[i]);
}

bool ReadList(C3MEIndexList& list, Cursor& in) {
  list.Clear();
  list.material = nullptr;
  const int32_t kind = int32_t(in.U32());
  const int32_t materialIndex = int32_t(in.U32());
  const uint32_t count = in.U32();
  if (in.Failed()) {
    Log3ME("Index list record: truncated header");
    return false;
  }
  // The in-memory count is 16 bits wide.
  if (count > 0xFFFF || !in.Holds(count, 2)) {
    Log3ME("Index list record: index count %u does not fit the %llu bytes left", count,
           (unsigned long long)in.Remaining());
    return false;
  }
  if (count > 0 && !list.Reserve(count)) {
    Log3ME("Index list record: no memory for %u indices", count);
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) list.indices[i] = in.U16();
  if (in.Failed()) {
    list.Clear();
    Log3ME("Index list record: truncated indices");
    return false;
  }
  list.primitiveKind = kind;
  list.materialIndex = materialIndex;
  list.indexCount = uint16_t(count);
  return true;
}

bool ReadLevels(C3MEMesh& mesh, Cursor& in) {
  const uint32_t lodCount = in.U32();
  if (in.Failed() || !in.Holds(lodCount, kLevelHeaderBytes)) {
    Log3ME("Mesh record: level count %u does not fit the %llu bytes left", lodCount,
           (unsigned long long)in.Remaining());
    return false;
  }
  if (!mesh.SetLodCount(lodCount)) {
    Log3ME("Mesh record: no memory for %u levels", lodCount);
    return false;
  }
  for (uint32_t level = 0; level < lodCount; ++level) {
    const uint32_t listCount = in.U32();
    if (in.Failed() || !in.Holds(listCount, kListHeaderBytes)) {
      Log3ME("Mesh record: list count %u of level %u does not fit the %llu bytes left", listCount, level,
             (unsigned long long)in.Remaining());
      return false;
    }
    if (listCount == 0) continue;
    if (!mesh.ReserveLists(level, listCount)) {
      Log3ME("Mesh record: no memory for %u lists", listCount);
      return false;
    }
    C3MELod& lod = mesh.lods[level];
    for (uint32_t n = 0; n < listCount; ++n) {
      if (!ReadList(lod.lists[n], in)) return false;
      lod.listCount = n + 1;
    }
  }
  return true;
}

bool ReadMesh(C3MEMesh& mesh, Cursor& in) {
  const uint32_t nameLength = in.U32();
  if (in.Failed() || !in.Holds(nameLength, 1)) {
    Log3ME("Mesh record: name length %u does not fit the %llu bytes left", nameLength,
           (unsigned long long)in.Remaining());
    return false;
  }
  std::vector<char> name(size_t(nameLength) + 1, '\0');
  in.Bytes(name.data(), nameLength);
  mesh.name.AssignCharsLimited(name.data(), nameLength);

  const uint32_t vertexCount = in.U32();
  const uint32_t setCount = in.U32();
  if (in.Failed() || !in.Holds(vertexCount, kVertexBytes) ||
      !in.Holds(uint64_t(vertexCount) * setCount, kTexCoordBytes)) {
    Log3ME("Mesh record: %u vertices in %u texture sets do not fit the %llu bytes left", vertexCount, setCount,
           (unsigned long long)in.Remaining());
    return false;
  }
  if (setCount > C3MEMesh::kMaxTexCoordSets) {
    Log3ME("Mesh record: %u texture sets are more than a mesh can use", setCount);
    return false;
  }
  if (!mesh.ReserveVertices(vertexCount) || !mesh.ReserveTexCoordSets(setCount)) {
    Log3ME("Mesh record: no memory for %u vertices", vertexCount);
    return false;
  }
  for (uint32_t v = 0; v < vertexCount; ++v) {
    C3MEVertex& vertex = mesh.vertices[v];
    vertex.red = in.U8();
    vertex.green = in.U8();
    vertex.blue = in.U8();
    vertex.alpha = in.U8();
    vertex.normal = TakeVector(in);
    vertex.position = TakeVector(in);
  }
  mesh.vertexCount = vertexCount;
  mesh.texCoordSetCount = setCount;
  for (uint32_t s = 0; s < setCount; ++s) {
    for (uint32_t v = 0; v < vertexCount; ++v) {
      C3METexCoord& pair = mesh.TexCoord(s, v);
      pair.u = in.F32();
      pair.v = in.F32();
    }
  }
  if (in.Failed()) {
    Log3ME("Mesh record: truncated vertices");
    return false;
  }
  return ReadLevels(mesh, in);
}

}  // namespace

bool C3MEIndexList::Write(File& file) const {
  std::string bytes;
  AppendList(bytes, *this);
  return meshrecord::Flush(file, bytes);
}

bool C3MEIndexList::Read(File& file) {
  Cursor in(file);
  return ReadList(*this, in);
}

bool C3MEMesh::Write(File& file) const {
  std::string bytes;
  const uint32_t nameLength = name.Length();
  meshrecord::PutU32(bytes, nameLength);
  bytes.append(name.Chars(), nameLength);
  meshrecord::PutU32(bytes, vertexCount);
  meshrecord::PutU32(bytes, texCoordSetCount);
  for (uint32_t v = 0; v < vertexCount; ++v) {
    const C3MEVertex& vertex = vertices[v];
    meshrecord::PutU8(bytes, vertex.red);
    meshrecord::PutU8(bytes, vertex.green);
    meshrecord::PutU8(bytes, vertex.blue);
    meshrecord::PutU8(bytes, vertex.alpha);
    PutVector(bytes, vertex.normal);
    PutVector(bytes, vertex.position);
  }
  for (uint32_t s = 0; s < texCoordSetCount; ++s) {
    for (uint32_t v = 0; v < vertexCount; ++v) {
      const C3METexCoord& pair = texCoords[s * vertexCount + v];
      meshrecord::PutF32(bytes, pair.u);
      meshrecord::PutF32(bytes, pair.v);
    }
  }
  meshrecord::PutU32(bytes, lodCount);
  for (uint32_t level = 0; level < lodCount; ++level) {
    meshrecord::PutU32(bytes, lods[level].listCount);
    for (uint32_t n = 0; n < lods[level].listCount; ++n) AppendList(bytes, lods[level].lists[n]);
  }
  return meshrecord::Flush(file, bytes);
}

bool C3MEMesh::Read(File& file) {
  Clear();
  Cursor in(file);
  if (!ReadMesh(*this, in)) {
    Clear();
    return false;
  }
  ComputeBounds();
  return true;
}
