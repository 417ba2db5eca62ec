// Reading a text layout of the export's kind back into a model: material
// names, instances, meshes with bounding volumes of every kind, vertex
// positions, texture coordinates and empty levels of detail.

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/ResourceName.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/TextExportCodec.h"
#include "engine/scene/model/TextScanner.h"

namespace {

// The shortest text each record can be; a count that promises more records
// than the rest of the file could hold is refused before anything is reserved.
constexpr uint64_t kMinMaterialBytes = sizeof("[MATERIAL]a") - 1;
constexpr uint64_t kMinInstanceBytes = sizeof("[INSTANCE][0]a[CID][0][NODE][P][0,0,0][R](quat0 0 0 0)[S][0,0,0]") - 1;
constexpr uint64_t kMinMeshBytes = sizeof("[COMPONENT][0]a[BV]a[NVERTS]0[NUVS]0[VERTICES][UV]") - 1;
constexpr uint64_t kMinPositionBytes = sizeof("[0,0,0]") - 1;
// The export's two-value lines are shorter than this layout's three-value ones.
constexpr uint64_t kMinTexCoordBytes = sizeof("[0,0]") - 1;
constexpr uint64_t kMinLevelBytes = sizeof("[FACES]") - 1;

// No model has more materials, instances, meshes or levels than a 16-bit
// index could tell apart; the cap bounds what a hostile count costs.
constexpr int32_t kMaxRecords = 65535;
// A 16-bit index addresses at most this many vertices; index-list editing
// treats indices from 32768 on as free slots.
constexpr int32_t kMaxMeshVertices = 65535;
constexpr int32_t kEditableVertices = 32768;

template <size_t... I>
int ScanInto(TextScanner& scan, const char* format, float* values, std::index_sequence<I...>) {
  return scan.Scan(format, &values[I]...);
}

// Scans floats into their targets. From the first value that is not a finite
// number on, the values count as not read: a NaN placement or bound would
// poison every matrix built from it.
template <size_t N>
void ScanFinite(TextScanner& scan, const char* format, float* const (&targets)[N]) {
  float values[N] = {};
  const int stored = ScanInto(scan, format, values, std::make_index_sequence<N>());
  for (int i = 0; i < stored && std::isfinite(values[i]); ++i) *targets[i] = values[i];
}

class ExportReader {
 public:
  ExportReader(C3MEModel& model, TextScanner& scan, const char* fileName)
      : model_(model), scan_(scan), fileName_(fileName) {}

  bool Read();

 private:
  bool Refuse(const char* reason) {
    Log3ME("CTXTCodec::ReadBody - ERROR : %s : %s", fileName_, reason);
    return false;
  }
  // A count is refused when negative, above the limit, or when that many
  // records of the given least size could not fit in the rest of the file.
  bool CountFits(int32_t count, uint64_t recordBytes, int32_t limit, const char* reason) {
    if (count < 0 || count > limit || uint64_t(count) * recordBytes > scan_.Remaining()) return Refuse(reason);
    return true;
  }
  // Scans one of the model's record counts and checks it.
  bool ReadRecordCount(const char* format, uint64_t recordBytes, const char* reason, int32_t& count) {
    count = 0;
    scan_.Scan(format, &count);
    return CountFits(count, recordBytes, kMaxRecords, reason);
  }
  // Reserving makes room only in an empty array, so a model that already
  // held records can run out of slots; it is refused rather than overrun.
  bool HasRoom(uint32_t count, uint32_t capacity) {
    return count < capacity || Refuse("the model has no room for the records");
  }
  // Scans a format that ends in a word; the part of an over-long word that
  // was not stored is dropped. True when the word was read.
  template <typename... Args>
  bool ScanWord(const char* format, std::string& word, Args*... before) {
    if (scan_.Scan(format, before..., &word) != int(sizeof...(Args)) + 1) return false;
    scan_.SkipRestOfWord();
    return true;
  }

  bool ReadMaterials();
  bool ReadInstances();
  bool ReadMeshes();
  bool ReadMesh(C3MEMesh& mesh);
  void ReadVolume(C3MEMesh& mesh);
  int32_t ReadLevelCount();

  C3MEModel& model_;
  TextScanner& scan_;
  const char* fileName_;
};

bool ExportReader::Read() {
  std::string version;
  ScanWord(" %s", version);
  if (!ReadMaterials() || !ReadInstances() || !ReadMeshes()) return false;
  std::string last;
  if (ScanWord(" %s", last) && last == "[END]") return true;
  return Refuse("the text does not end with [END]");
}

bool ExportReader::ReadMaterials() {
  int32_t count = 0;
  if (!ReadRecordCount(" [NMATERIALS]%d", kMinMaterialBytes, "bad material count", count)) return false;
  if (!model_.ReserveMaterials(uint32_t(count))) return Refuse("out of memory");
  for (int32_t i = 0; i < count; ++i) {
    std::string word;
    if (!ScanWord(" [MATERIAL] %s", word)) continue;
    // FindMaterial lower-cases the name it is given.
    String name(word.c_str());
    if (model_.FindMaterial(name) >= 0) continue;
    if (!HasRoom(model_.materialCount, model_.materialCapacity)) return false;
    model_.SetMaterial(model_.materialCount++, name.Chars());
  }
  return true;
}

bool ExportReader::ReadInstances() {
  int32_t count = 0;
  if (!ReadRecordCount(" [NINSTANCES]%d", kMinInstanceBytes, "bad instance count", count)) return false;
  if (!model_.ReserveInstances(uint32_t(count))) return Refuse("out of memory");
  for (int32_t i = 0; i < count; ++i) {
    if (!HasRoom(model_.instanceCount, model_.instanceCapacity)) return false;
    C3MEInstance& instance = model_.instances[model_.instanceCount++];
    int32_t index = 0;
    std::string name;
    if (ScanWord(" [INSTANCE][%d]%s", name, &index)) instance.name = name.c_str();
    scan_.Scan(" [CID][%d]", &instance.componentId);
    Vector3 position;
    Quaternion rotation;
    // The scale is read and not used: instances keep scale 1.
    Vector3 scale;
    float* const node[] = {&position.x, &position.y, &position.z, &rotation.x, &rotation.y,
                           &rotation.z, &rotation.w, &scale.x,    &scale.y,    &scale.z};
    ScanFinite(scan_, " [NODE] [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]", node);
    TransformNode& bind = instance.transforms.bind;
    bind.SetPosition(position);
    bind.SetRotation(rotation);
    bind.Update();
    instance.transforms.ResetPose();
  }
  return true;
}

bool ExportReader::ReadMeshes() {
  int32_t count = 0;
  if (!ReadRecordCount(" [NCOMPONENTS]%d", kMinMeshBytes, "bad component count", count)) return false;
  if (!model_.ReserveMeshes(uint32_t(count))) return Refuse("out of memory");
  for (int32_t i = 0; i < count; ++i) {
    if (!HasRoom(model_.meshCount, model_.meshCapacity)) return false;
    if (!ReadMesh(model_.meshes[model_.meshCount++])) return false;
  }
  return true;
}

void ExportReader::ReadVolume(C3MEMesh& mesh) {
  mesh.volumeKind = C3MEMesh::kNone;
  std::string word;
  if (!ScanWord(" [BV] %s", word)) return;
  const std::string kind = UpperAscii(word.c_str());
  if (kind == "CUBOID") {
    mesh.volumeKind = C3MEMesh::kCuboid;
    Vector3 centre, size;
    float* const values[] = {&centre.x, &centre.y, &centre.z, &size.x, &size.y, &size.z};
    ScanFinite(scan_, " (%f %f %f %f %f %f)", values);
    mesh.box.SetCentreSize(centre, size);
  } else if (kind == "SPHERE") {
    mesh.volumeKind = C3MEMesh::kSphere;
    BoundingSphere sphere;
    float* const values[] = {&sphere.centre.x, &sphere.centre.y, &sphere.centre.z, &sphere.radius};
    ScanFinite(scan_, " (%f %f %f %f)", values);
    mesh.sphere.Set(sphere.centre, sphere.radius);
  } else if (kind == "CYLINDER" || kind == "CAPSULE") {
    mesh.volumeKind = kind == "CYLINDER" ? C3MEMesh::kCylinder : C3MEMesh::kCapsule;
    Vector3 a, b;
    float radius = 0.0f;
    float* const values[] = {&a.x, &a.y, &a.z, &b.x, &b.y, &b.z, &radius};
    ScanFinite(scan_, " (%f %f %f %f %f %f %f)", values);
    mesh.cylinderA = a;
    mesh.cylinderB = b;
    mesh.cylinderRadius = radius;
  }
}

// The optional level line, "[NLODS][%d]" or the export's "[NLODS]%d"; a mesh
// without it has one level.
int32_t ExportReader::ReadLevelCount() {
  int32_t count = 1;
  if (!scan_.NextStartsWith("[NLODS]")) return count;
  scan_.Scan("[NLODS]");
  if (scan_.NextStartsWith("["))
    scan_.Scan("[%d]", &count);
  else
    scan_.Scan("%d", &count);
  return count;
}

bool ExportReader::ReadMesh(C3MEMesh& mesh) {
  // The slot may hold a mesh an edit left behind; reserving needs it empty.
  mesh.Clear();
  int32_t index = 0;
  std::string name;
  if (ScanWord(" [COMPONENT][%d]%s", name, &index)) mesh.name = name.c_str();
  ReadVolume(mesh);

  int32_t vertexCount = 0, setCount = 0;
  scan_.Scan(" [NVERTS]%d", &vertexCount);
  scan_.Scan(" [NUVS]%d", &setCount);
  const int32_t levelCount = ReadLevelCount();
  if (!CountFits(vertexCount, kMinPositionBytes, INT32_MAX, "bad vertex count")) return false;
  if (vertexCount > kMaxMeshVertices) return Refuse("more than 65535 vertices in a mesh");
  if (vertexCount > kEditableVertices)
    Log3ME("CTXTCodec::ReadBody - WARNING : %s : mesh '%s' has %d vertices; editing its index lists is lossy",
           fileName_, mesh.name.Chars(), vertexCount);
  // A set of a mesh without vertices holds no line, yet still counts as one.
  const uint64_t setBytes = uint64_t(std::max(vertexCount, 1)) * kMinTexCoordBytes;
  if (!CountFits(setCount, setBytes, int32_t(C3MEMesh::kMaxTexCoordSets), "bad texture-coordinate set count"))
    return false;
  if (!CountFits(levelCount, kMinLevelBytes, kMaxRecords, "bad level count")) return false;

  if (!mesh.ReserveVertices(uint32_t(vertexCount)) || !mesh.ReserveTexCoordSets(uint32_t(setCount)) ||
      !mesh.SetLodCount(uint32_t(levelCount)))
    return Refuse("out of memory");
  mesh.vertexCount = uint32_t(vertexCount);
  mesh.texCoordSetCount = uint32_t(setCount);

  scan_.Scan(" [VERTICES]");
  for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
    Vector3& p = mesh.vertices[v].position;
    float* const values[] = {&p.x, &p.y, &p.z};
    ScanFinite(scan_, " [%f,%f,%f]", values);
  }
  scan_.Scan(" [UV]");
  for (uint32_t set = 0; set < mesh.texCoordSetCount; ++set) {
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
      C3METexCoord& uv = mesh.TexCoord(set, v);
      float unused = 0.0f;
      float* const values[] = {&uv.u, &uv.v, &unused};
      ScanFinite(scan_, " [%f,%f,%f]", values);
    }
  }
  // Levels carry no index lists in this layout.
  for (uint32_t level = 0; level < mesh.lodCount; ++level) scan_.Scan(" [FACES]");
  return true;
}

}  // namespace

bool CTXTCodec::ReadBody(File& file) {
  const String fileName = file.GetName();
  std::vector<uint8_t> bytes;
  // ReadRemainingBytes logs why it failed.
  if (!ReadRemainingBytes(file, bytes)) return false;
  TextScanner scan(bytes);
  return ExportReader(*model_, scan, fileName.Chars()).Read();
}
