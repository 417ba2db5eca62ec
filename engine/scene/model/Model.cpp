#include "engine/scene/model/Model.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/scene/core/ResourceName.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/BinaryCodec.h"
#include "engine/scene/model/MaterialLink.h"
#include "engine/scene/model/PEOCodec.h"
#include "engine/scene/model/TextCodec3MX.h"
#include "engine/scene/model/TextExportCodec.h"
#include "platform/FileTime.h"

namespace {

// Below this a stored size counts as "never set".
constexpr float kSmallestSize = 1.0f / 128.0f;

CMATMaterial* LookUpMaterial(const char* name) {
  auto lookup = ModelServices().getMaterial;
  return lookup != nullptr ? lookup(name) : nullptr;
}

}  // namespace

int64_t FileTimeOf(const char* fileName, bool reportFailure) {
  int64_t seconds = 0;
  if (platform::FileModificationTime(fileName, seconds)) return seconds;
  if (reportFailure) OutputPrintf(platform::Severity::Warning, "Problem getting information\n");
  return 0;
}

String MaterialLibraryName(const String& modelName) {
  std::string library = UpperAscii(modelName.Chars());
  const bool hasExtension = library.find(".3ME") != std::string::npos || library.find(".3MX") != std::string::npos ||
                            library.find(".TXT") != std::string::npos;
  if (hasExtension) library.resize(library.size() - 3);
  library += "MAT";
  return String(library.c_str());
}

C3MEModel::C3MEModel() : name("Unknown") {}

C3MEModel::~C3MEModel() {
  delete loadRecord;
  Clear();
}

void C3MEModel::Clear() {
  ReleaseDisplayLists();
  ClearInstances();
  ClearMeshes();
  ClearMaterials();
  triangleCount = 0;
}

void C3MEModel::SetReservePolicy(bool on, const uint32_t* hints) {
  reservePolicy = on;
  if (on && hints != nullptr)
    for (int i = 0; i < C3MEReservePolicy::kHintCount; ++i) reserveHints[i] = hints[i];
}

namespace {

C3MEReservePolicy PolicyOf(const C3MEModel& model) {
  C3MEReservePolicy policy;
  policy.on = model.reservePolicy;
  for (int i = 0; i < C3MEReservePolicy::kHintCount; ++i) policy.hints[i] = model.reserveHints[i];
  return policy;
}

}  // namespace

bool C3MEModel::ReserveMeshes(uint32_t n) {
  // Meshes and their lists reserve under this model's policy from now on.
  CurrentReservePolicy() = PolicyOf(*this);
  if (n <= meshCapacity || meshCount != 0) return true;
  const uint32_t capacity = PolicyOf(*this).CapacityFor(n, C3MEReservePolicy::kMeshes);
  ClearMeshes();
  meshes = new (std::nothrow) C3MEMesh[capacity];
  if (meshes == nullptr) return false;
  meshCapacity = capacity;
  return true;
}

bool C3MEModel::ReserveInstances(uint32_t n) {
  if (n <= instanceCapacity || instanceCount != 0) return true;
  const uint32_t capacity = PolicyOf(*this).CapacityFor(n, C3MEReservePolicy::kInstances);
  ClearInstances();
  instances = new (std::nothrow) C3MEInstance[capacity];
  if (instances == nullptr) return false;
  instanceCapacity = capacity;
  return true;
}

bool C3MEModel::ReserveMaterials(uint32_t n) {
  if (n <= materialCapacity || materialCount != 0) return true;
  const uint32_t capacity = PolicyOf(*this).CapacityFor(n, C3MEReservePolicy::kMaterials);
  ClearMaterials();
  materialNames = new (std::nothrow) String[capacity];
  materials = new (std::nothrow) CMATMaterial*[capacity]();
  if (materialNames == nullptr || materials == nullptr) {
    ClearMaterials();
    return false;
  }
  materialCapacity = capacity;
  return true;
}

void C3MEModel::ClearMeshes() {
  delete[] meshes;
  meshes = nullptr;
  meshCount = 0;
  meshCapacity = 0;
}

void C3MEModel::ClearInstances() {
  delete[] instances;
  instances = nullptr;
  instanceCount = 0;
  instanceCapacity = 0;
}

void C3MEModel::ClearMaterials() {
  delete[] materialNames;
  delete[] materials;
  materialNames = nullptr;
  materials = nullptr;
  materialCount = 0;
  materialCapacity = 0;
}

const String& C3MEModel::GetMaterialName(uint32_t n) const {
  static const String notAvailable("N/A");
  return n < materialCount ? materialNames[n] : notAvailable;
}

int32_t C3MEModel::FindMaterial(String& materialName) const {
  materialName.ToLower();
  for (uint32_t i = 0; i < materialCount; ++i)
    if (materialNames[i] == materialName) return int32_t(i);
  return -1;
}

void C3MEModel::SetMaterial(uint32_t n, const char* materialName) {
  if (n >= materialCapacity) return;
  materialNames[n] = materialName;
  materials[n] = LookUpMaterial(materialName);
}

void C3MEModel::RemoveMaterial(uint32_t n) {
  if (n >= materialCount) return;
  // Close the gap so that later slots keep their names and pointers.
  for (uint32_t i = n; i + 1 < materialCount; ++i) {
    materialNames[i] = materialNames[i + 1];
    materials[i] = materials[i + 1];
  }
  --materialCount;
  materialNames[materialCount] = "";
  materials[materialCount] = nullptr;
  CMATMaterial* fallback = LookUpMaterial("Default");
  for (uint32_t m = 0; m < meshCount; ++m) {
    for (uint32_t level = 0; level < meshes[m].lodCount; ++level) {
      C3MELod& lod = meshes[m].lods[level];
      for (uint32_t k = 0; k < lod.listCount; ++k) {
        C3MEIndexList& list = lod.lists[k];
        if (list.materialIndex == int32_t(n)) {
          list.materialIndex = -1;
          list.material = fallback;
        } else if (list.materialIndex > int32_t(n)) {
          --list.materialIndex;
        }
      }
    }
  }
}

void C3MEModel::ResolveMaterials() {
  for (uint32_t m = 0; m < meshCount; ++m) {
    for (uint32_t level = 0; level < meshes[m].lodCount; ++level) {
      C3MELod& lod = meshes[m].lods[level];
      for (uint32_t k = 0; k < lod.listCount; ++k) {
        C3MEIndexList& list = lod.lists[k];
        if (list.materialIndex >= 0 && uint32_t(list.materialIndex) < materialCount)
          list.material = materials[list.materialIndex];
      }
    }
  }
}

void C3MEModel::ResolveComponents() {
  for (uint32_t i = 0; i < instanceCount; ++i) {
    C3MEInstance& instance = instances[i];
    const bool valid = instance.componentId >= 0 && uint32_t(instance.componentId) < meshCount;
    instance.mesh = valid ? &meshes[instance.componentId] : nullptr;
  }
}

void C3MEModel::ResolveChildren() {
  for (uint32_t i = 0; i < instanceCount; ++i) {
    C3MEInstance& instance = instances[i];
    for (uint32_t k = 0; k < instance.childCount; ++k) {
      const int32_t id = instance.childIds[k];
      // Free slots hold -1; ids from an edited or hostile model may lie outside.
      if (id < 0 || uint32_t(id) >= instanceCount) {
        instance.children[k] = nullptr;
        continue;
      }
      C3MEInstance* child = &instances[id];
      instance.children[k] = child;
      child->parent = &instance;
    }
  }
}

namespace {

// Removes instance n by moving the last one over it.
void DropInstance(C3MEModel& model, uint32_t n) {
  const uint32_t last = model.instanceCount - 1;
  if (n != last) model.instances[n].Assign(model.instances[last]);
  --model.instanceCount;
}

}  // namespace

void C3MEModel::RemoveInstance(uint32_t n) {
  if (n >= instanceCount) return;
  const int32_t removedComponent = instances[n].componentId;
  DropInstance(*this, n);
  if (removedComponent < 0 || uint32_t(removedComponent) >= meshCount) return;
  for (uint32_t i = 0; i < instanceCount; ++i)
    if (instances[i].componentId == removedComponent) return;
  RemoveMesh(uint32_t(removedComponent));
}

void C3MEModel::RemoveMesh(uint32_t n) {
  if (n >= meshCount) return;
  const uint32_t last = meshCount - 1;
  if (n != last) meshes[n].Assign(meshes[last]);
  meshes[last].Clear();
  --meshCount;
  // Instances of the removed mesh go; those of the moved mesh follow it.
  for (uint32_t i = 0; i < instanceCount;) {
    if (instances[i].componentId == int32_t(n)) {
      DropInstance(*this, i);
      i = 0;
      continue;
    }
    ++i;
  }
  for (uint32_t i = 0; i < instanceCount; ++i)
    if (instances[i].componentId == int32_t(last)) instances[i].componentId = int32_t(n);
  ResolveComponents();
}

uint32_t C3MEModel::CountVertices() const {
  uint32_t total = 0;
  for (uint32_t m = 0; m < meshCount; ++m) total += meshes[m].vertexCount;
  return total;
}

void C3MEModel::ComputeBounds() {
  Vector3 sphereCentre, sphereSum, boxCentre, boxSum, halfExtent;
  float radius = 0.0f;
  uint32_t sphereSamples = 0, boxSamples = 0;
  for (uint32_t i = 0; i < instanceCount; ++i) {
    C3MEInstance& instance = instances[i];
    if (instance.mesh == nullptr) continue;
    C3MEMesh& mesh = *instance.mesh;
    mesh.ComputeBounds();
    const Vector3 t = instance.transforms.bind.local.GetTranslation();

    const float d = Vector3::Distance(sphereCentre, t);
    if (!(d <= radius && d + mesh.sphere.radius <= radius)) {
      sphereSum += t;
      ++sphereSamples;
      sphereCentre = sphereSum * (1.0f / float(sphereSamples));
      radius = d + mesh.sphere.radius;
    }

    const Vector3 meshSize = mesh.box.GetSize();
    const float a[3] = {std::fabs(t.x - boxCentre.x), std::fabs(t.y - boxCentre.y), std::fabs(t.z - boxCentre.z)};
    const float e[3] = {meshSize.x * 0.5f, meshSize.y * 0.5f, meshSize.z * 0.5f};
    float* half[3] = {&halfExtent.x, &halfExtent.y, &halfExtent.z};
    bool changed = false;
    for (int axis = 0; axis < 3; ++axis) {
      if (a[axis] > *half[axis] || a[axis] + e[axis] > *half[axis]) {
        *half[axis] = a[axis] + e[axis];
        changed = true;
      }
    }
    if (changed) {
      boxSum += t;
      ++boxSamples;
      boxCentre = boxSum * (1.0f / float(boxSamples));
    }
  }
  sphere.centre = sphereCentre;
  sphere.radius = radius;
  box.SetCentreSizeVector(boxCentre, halfExtent * 2.0f);
}

void C3MEModel::SetSize(float newSize) {
  if (newSize == size) return;
  size = newSize;
  ComputeBounds();
  if (sphere.radius == 0.0f) return;
  const float factor = newSize / sphere.radius;
  for (uint32_t i = 0; i < instanceCount; ++i) {
    TransformNode& bind = instances[i].transforms.bind;
    bind.centre *= factor;
    bind.RebuildMatrix();
  }
  for (uint32_t m = 0; m < meshCount; ++m)
    for (uint32_t v = 0; v < meshes[m].vertexCount; ++v) meshes[m].vertices[v].position *= factor;
  ComputeBounds();
  // Matrices and compiled geometry no longer match the rescaled model.
  prepared = false;
  ReleaseDisplayLists();
}

void C3MEModel::SaveSourceData() {
  for (uint32_t m = 0; m < meshCount; ++m) {
    C3MEMesh& mesh = meshes[m];
    const uint64_t pairs = uint64_t(mesh.texCoordSetCount) * mesh.vertexCount;
    for (uint64_t i = 0; i < pairs; ++i) mesh.sourceTexCoords[i] = mesh.texCoords[i];
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) mesh.sourceVertices[v] = mesh.vertices[v];
  }
}

namespace {

// World matrix of one instance and, recursively, of its children. The
// visited marks stop a cyclic child graph.
void PrepareInstance(C3MEInstance& instance, const Matrix4* parentWorld, std::vector<bool>& visited,
                     const C3MEInstance* first) {
  const size_t index = size_t(&instance - first);
  if (visited[index]) return;
  visited[index] = true;
  instance.world = instance.transforms.pose.local;
  if (parentWorld != nullptr) instance.world.Multiply(*parentWorld);
  for (uint32_t k = 0; k < instance.childCount; ++k)
    if (instance.children[k] != nullptr) PrepareInstance(*instance.children[k], &instance.world, visited, first);
}

}  // namespace

void C3MEModel::PrepareMatrices() {
  if (prepared) return;
  for (uint32_t i = 0; i < instanceCount; ++i) {
    instances[i].transforms.ResetPose();
    instances[i].transforms.pose.RebuildMatrix();
  }
  std::vector<bool> visited(instanceCount, false);
  for (uint32_t i = 0; i < instanceCount; ++i)
    if (instances[i].parent == nullptr) PrepareInstance(instances[i], nullptr, visited, instances);
  // Instances caught in a cycle have no root: place them on their own.
  for (uint32_t i = 0; i < instanceCount; ++i)
    if (!visited[i]) PrepareInstance(instances[i], nullptr, visited, instances);
  prepared = true;
}

void C3MEModel::ReleaseDisplayLists() {
  auto release = ModelServices().deleteDisplayList;
  for (uint32_t m = 0; m < meshCount; ++m) {
    C3MEMesh& mesh = meshes[m];
    if (mesh.displayList >= 0 && release != nullptr) release(mesh.displayList);
    mesh.displayList = -1;
    for (uint32_t level = 0; level < mesh.lodCount; ++level) {
      C3MELod& lod = mesh.lods[level];
      for (uint32_t k = 0; k < lod.listCount; ++k) {
        if (lod.lists[k].displayList >= 0 && release != nullptr) release(lod.lists[k].displayList);
        lod.lists[k].displayList = -1;
      }
    }
  }
  compiled = false;
}

bool C3MEModel::Read(String fileName) {
  if (loadRecord == nullptr) {
    loadRecord = new (std::nothrow) C3MELoadRecord;
    if (loadRecord != nullptr) loadRecord->fileName = fileName;
  }
  name = fileName;
  const std::string upper = UpperAscii(fileName.Chars());
  const std::string extension = NameExtension(upper);

  int32_t result = 0;
  if (upper.empty()) {
    Log3ME("C3MEModel::Read - ERROR : No filename!");
  } else {
    Clear();
    prepared = false;
    readComplete = false;
    auto readLibrary = ModelServices().readLibrary;
    if (readLibrary != nullptr) readLibrary(MaterialLibraryName(name).Chars());
    if (extension == "3ME") {
      C3MEBinaryCodec codec(this);
      result = codec.Read(upper.c_str());
    } else if (extension == "3MX") {
      C3MXCodec codec(this);
      result = codec.Read(upper.c_str());
    } else if (extension == "TXT") {
      CTXTCodec codec(this);
      result = codec.Read(upper.c_str());
    } else if (extension == "PEO") {
      CPEOCodec codec(this);
      result = codec.Read(upper.c_str());
    }
  }

  if (result != C3MECodec::kRead) {
    // A failed body may have left half-built arrays behind.
    if (!upper.empty()) Clear();
    if (loadRecord != nullptr) loadRecord->result = C3MELoadRecord::kFailed;
    loadState = kLoadFailed;
    return false;
  }

  if (loadRecord != nullptr) {
    loadRecord->result = C3MELoadRecord::kRead;
    // Remember the file that actually loaded, so a reload finds it again,
    // and when it last changed, so a reload skips it while it stays the same.
    loadRecord->fileName = fileName;
    loadRecord->fileTime = FileTimeOf(fileName.Chars(), false);
  }
  loadState = kLoaded;
  // Bind matrices follow the stored positions and rotations, so that bounds
  // and drawing see the instances where the file put them.
  for (uint32_t i = 0; i < instanceCount; ++i) instances[i].transforms.bind.RebuildMatrix();
  ResolveMaterials();
  ResolveComponents();
  ResolveChildren();
  ComputeBounds();
  triangleCount = 0;
  for (uint32_t m = 0; m < meshCount; ++m)
    for (uint32_t level = 0; level < meshes[m].lodCount; ++level)
      for (uint32_t k = 0; k < meshes[m].lods[level].listCount; ++k)
        triangleCount += meshes[m].lods[level].lists[k].TriangleCount();
  readComplete = true;
  SaveSourceData();
  // A model read again comes back at the size it was given before.
  if (size > kSmallestSize) {
    const float wanted = size;
    size = 0.0f;
    SetSize(wanted);
  }
  return true;
}

bool C3MEModel::Write(const char* fileName) {
  C3MEBinaryCodec codec(this);
  return codec.Write(fileName) == C3MECodec::kWritten;
}
