#include "engine/scene/model/PEOCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/Model.h"

namespace {

// Header fields.
constexpr size_t kMaterialCountAt = 32;
constexpr size_t kMaterialArrayAt = 40;
constexpr size_t kObjectCountAt = 44;
// Object record fields.
constexpr size_t kFaceCountAt = 20;
constexpr size_t kPositionArrayAt = 24;
constexpr size_t kNormalArrayAt = 28;
constexpr size_t kFaceArrayAt = 32;
constexpr size_t kPlacementAt = 48;
// Material record field.
constexpr size_t kNameOffsetAt = 20;

// 16-bit indices address at most this many vertices: 21845 faces a mesh.
constexpr uint64_t kMaxMeshVertices = 65535;
constexpr uint64_t kEditableVertices = 32768;

const char* const kUnnamedMaterial = "TEXDefault";

bool Refuse(const char* fileName, const char* reason) {
  Log3ME("CPEOCodec::Read - ERROR : %s : %s", fileName, reason);
  return false;
}

// Little-endian fields of the whole file; callers check the range first.
class PackedFile {
 public:
  explicit PackedFile(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  uint64_t Size() const { return bytes_.size(); }
  // True when count records of recordBytes each start at offset and end inside the file.
  bool Holds(uint64_t offset, uint64_t count, uint64_t recordBytes) const {
    return offset <= Size() && count <= (Size() - offset) / recordBytes;
  }
  uint32_t U32(uint64_t at) const {
    const uint8_t* b = &bytes_[size_t(at)];
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  }
  uint16_t U16(uint64_t at) const { return uint16_t(bytes_[size_t(at)] | (bytes_[size_t(at) + 1] << 8)); }
  float F32(uint64_t at) const {
    const uint32_t bits = U32(at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
  }
  Vector3 Point(uint64_t at) const { return {F32(at), F32(at + 4), F32(at + 8)}; }
  // The zero-terminated text at offset; false when it does not end inside the file.
  bool Text(uint64_t at, std::string& text) const {
    if (at >= Size()) return false;
    const void* end = std::memchr(&bytes_[size_t(at)], 0, size_t(Size() - at));
    if (end == nullptr) return false;
    text.assign(reinterpret_cast<const char*>(&bytes_[size_t(at)]));
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
};

struct Face {
  uint32_t normal = 0;
  uint16_t corner[3] = {};
  uint16_t material = 0;
  C3METexCoord uv[3];
};

bool ReadMaterials(const PackedFile& file, C3MEModel& model, const char* fileName) {
  const uint32_t count = file.U32(kMaterialCountAt);
  const uint32_t arrayAt = file.U32(kMaterialArrayAt);
  if (count == 0) return true;
  if (!file.Holds(arrayAt, count, CPEOCodec::kMaterialBytes))
    return Refuse(fileName, "material records beyond the file");
  if (!model.ReserveMaterials(count)) return Refuse(fileName, "out of memory");
  std::string name;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t nameAt = file.U32(arrayAt + uint64_t(i) * CPEOCodec::kMaterialBytes + kNameOffsetAt);
    if (nameAt == 0) {
      name = kUnnamedMaterial;
    } else if (!file.Text(nameAt, name)) {
      return Refuse(fileName, "material name beyond the file");
    }
    // Names are kept as they stand, letter case included.
    model.SetMaterial(model.materialCount++, name.c_str());
  }
  return true;
}

// The rotation of a placement matrix, its scale divided out; identity when
// the matrix has a degenerate axis.
Quaternion RotationOf(const Matrix4& placement) {
  Matrix4 rotation;
  for (int axis = 0; axis < 3; ++axis) {
    const float* column = &placement.m[axis * 4];
    const float length = std::sqrt(column[0] * column[0] + column[1] * column[1] + column[2] * column[2]);
    if (!(length > 0.0f) || !std::isfinite(length)) return Quaternion();
    for (int row = 0; row < 3; ++row) rotation.m[axis * 4 + row] = column[row] / length;
  }
  Quaternion q;
  q.FromMatrix(rotation);
  // FromMatrix reads the block transposed relative to the matrices that
  // rotations build, so its result turns the other way.
  q.Invert();
  q.Normalise();
  return q;
}

bool ReadObject(const PackedFile& file, uint64_t recordAt, C3MEModel& model, const char* fileName) {
  const uint32_t faceCount = file.U32(recordAt + kFaceCountAt);
  const uint64_t positionsAt = file.U32(recordAt + kPositionArrayAt);
  const uint64_t normalsAt = file.U32(recordAt + kNormalArrayAt);
  const uint64_t facesAt = file.U32(recordAt + kFaceArrayAt);
  if (!file.Holds(facesAt, faceCount, CPEOCodec::kFaceBytes)) return Refuse(fileName, "face records beyond the file");

  // The arrays carry no counts: a number is good when its entry lies inside the file.
  std::vector<Face> faces;
  faces.reserve(faceCount);
  uint32_t skipped = 0;
  for (uint32_t f = 0; f < faceCount; ++f) {
    const uint64_t at = facesAt + uint64_t(f) * CPEOCodec::kFaceBytes;
    Face face;
    face.normal = file.U32(at);
    bool inside = file.Holds(normalsAt, uint64_t(face.normal) + 1, CPEOCodec::kPointBytes);
    for (int k = 0; k < 3; ++k) {
      face.corner[k] = file.U16(at + 4 + 2 * k);
      inside = inside && file.Holds(positionsAt, uint64_t(face.corner[k]) + 1, CPEOCodec::kPointBytes);
      face.uv[k].u = file.F32(at + 12 + 8 * k);
      face.uv[k].v = file.F32(at + 16 + 8 * k);
    }
    face.material = file.U16(at + 10);
    if (!inside) {
      ++skipped;
      continue;
    }
    faces.push_back(face);
  }
  // One list per material in ascending order, file order kept within one.
  std::stable_sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) { return a.material < b.material; });

  const uint32_t meshNumber = model.meshCount;
  C3MEMesh& mesh = model.meshes[model.meshCount++];
  if (skipped > 0)
    Log3ME("CPEOCodec::Read - WARNING : %s : object %u skips %u faces with numbers beyond the file", fileName,
           meshNumber, skipped);
  const uint64_t vertexCount = uint64_t(faces.size()) * 3;
  if (vertexCount > kMaxMeshVertices) return Refuse(fileName, "more than 65535 vertices in a mesh");
  if (vertexCount > kEditableVertices)
    Log3ME("CPEOCodec::Read - WARNING : %s : object %u has %u vertices; editing its index lists is lossy", fileName,
           meshNumber, uint32_t(vertexCount));
  if (!mesh.ReserveVertices(uint32_t(vertexCount)) || !mesh.ReserveTexCoordSets(1) || !mesh.SetLodCount(1))
    return Refuse(fileName, "out of memory");
  mesh.vertexCount = uint32_t(vertexCount);
  mesh.texCoordSetCount = 1;

  uint32_t listCount = 0;
  for (size_t i = 0; i < faces.size(); ++i)
    if (i == 0 || faces[i].material != faces[i - 1].material) ++listCount;
  if (!mesh.ReserveLists(0, listCount)) return Refuse(fileName, "out of memory");

  C3MELod& lod = mesh.lods[0];
  uint32_t next = 0;
  for (size_t first = 0; first < faces.size();) {
    size_t end = first;
    while (end < faces.size() && faces[end].material == faces[first].material) ++end;
    C3MEIndexList& list = lod.lists[lod.listCount++];
    if (!list.Reserve(uint32_t((end - first) * 3))) return Refuse(fileName, "out of memory");
    list.materialIndex = faces[first].material;
    list.primitiveKind = C3MEIndexList::kTriangleList;
    for (size_t f = first; f < end; ++f) {
      const Face& face = faces[f];
      const Vector3 normal = file.Point(normalsAt + uint64_t(face.normal) * CPEOCodec::kPointBytes);
      // The file winds its corners the other way round.
      for (int corner = 2; corner >= 0; --corner) {
        C3MEVertex& vertex = mesh.vertices[next];
        vertex.position = file.Point(positionsAt + uint64_t(face.corner[corner]) * CPEOCodec::kPointBytes);
        vertex.normal = normal;
        mesh.texCoords[next] = face.uv[corner];
        list.indices[list.PostIncrementCount()] = uint16_t(next);
        ++next;
      }
    }
    first = end;
  }

  C3MEInstance& instance = model.instances[model.instanceCount++];
  instance.componentId = int32_t(meshNumber);
  instance.name = mesh.name;
  TransformNode& bind = instance.transforms.bind;
  for (int i = 0; i < 16; ++i) bind.local.m[i] = file.F32(recordAt + kPlacementAt + 4 * uint64_t(i));
  bind.centre = bind.local.GetTranslation();
  // Instances are drawn from their position and rotation, so the placement's
  // rotation is kept there too rather than lost when the matrix is rebuilt.
  bind.rotation = RotationOf(bind.local);
  return true;
}

}  // namespace

int32_t CPEOCodec::Read(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName, bytes)) return kCannotOpen;
  return ReadFile(bytes, fileName) ? kRead : kBadFile;
}

int32_t CPEOCodec::Write(const char* /*fileName*/) { return kNotWritten; }

bool CPEOCodec::ReadFile(const std::vector<uint8_t>& bytes, const char* fileName) {
  const PackedFile file(bytes);
  if (file.Size() < kHeaderBytes) return Refuse(fileName, "shorter than its header");
  const uint32_t objectCount = file.U32(kObjectCountAt);
  if (!file.Holds(kHeaderBytes, objectCount, kObjectBytes)) return Refuse(fileName, "object records beyond the file");
  if (!ReadMaterials(file, *model_, fileName)) return false;
  if (!model_->ReserveMeshes(objectCount) || !model_->ReserveInstances(objectCount))
    return Refuse(fileName, "out of memory");
  for (uint32_t i = 0; i < objectCount; ++i)
    if (!ReadObject(file, kHeaderBytes + uint64_t(i) * kObjectBytes, *model_, fileName)) return false;
  return true;
}
