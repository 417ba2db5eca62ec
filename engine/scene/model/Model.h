#pragma once
#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/String.h"
#include "engine/scene/model/Instance.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/ReservePolicy.h"

class CMATMaterial;

// What became of the first and the later reads of a model.
struct C3MELoadRecord {
  enum Result : int32_t { kNotTried = 0, kRead = 1, kFailed = 3 };
  int32_t result = kNotTried;
  int32_t unused = -1;
  // The file the model was last read from (the one that loaded).
  String fileName;
  // Modification time of that file when it was read; 0 when unknown.
  int64_t fileTime = 0;
};

// A named set of meshes, the instances that place them and a material table.
class C3MEModel {
 public:
  enum LoadState : uint32_t { kNotRead = 0, kLoaded = 1, kLoadFailed = 2 };

  C3MEModel();
  C3MEModel(const C3MEModel&) = delete;
  C3MEModel& operator=(const C3MEModel&) = delete;
  virtual ~C3MEModel();

  // Destroys meshes, instances and materials; bounds, size and name stay.
  void Clear();
  // Reads the model from a file (".3ME", ".3MX", ".PEO"); true on success.
  bool Read(String fileName);
  // Writes the model as a binary ".3ME" file; true on success.
  bool Write(const char* fileName);

  // Stores the reserve switch and, when on and given, the seven hints.
  void SetReservePolicy(bool on, const uint32_t* hints);
  // Allocate arrays of n entries (only while the array is empty and too small).
  bool ReserveMeshes(uint32_t n);
  bool ReserveInstances(uint32_t n);
  bool ReserveMaterials(uint32_t n);
  // Destroy one array; its count and capacity become 0.
  void ClearMeshes();
  void ClearInstances();
  void ClearMaterials();

  uint32_t GetMeshCount() const { return meshCount; }
  uint32_t GetInstanceCount() const { return instanceCount; }
  uint32_t GetMaterialCount() const { return materialCount; }
  // Mesh, instance or material n; null when out of range.
  C3MEMesh* GetMesh(uint32_t n) const { return n < meshCount ? &meshes[n] : nullptr; }
  C3MEInstance* GetInstance(uint32_t n) const { return n < instanceCount ? &instances[n] : nullptr; }
  CMATMaterial* GetMaterial(uint32_t n) const { return n < materialCount ? materials[n] : nullptr; }
  // Material name n, or the shared "N/A" when out of range.
  const String& GetMaterialName(uint32_t n) const;
  const BoundingSphere& GetSphere() const { return sphere; }
  const BoundingBox& GetBox() const { return box; }

  // Lower-cases the name in place and returns the first slot holding it, else -1.
  int32_t FindMaterial(String& materialName) const;
  // Stores the name in slot n and the material of that name.
  void SetMaterial(uint32_t n, const char* materialName);
  // Drops material n; lists that used it fall back to "Default".
  void RemoveMaterial(uint32_t n);

  // Index-to-pointer resolution, run after every successful read.
  void ResolveMaterials();
  void ResolveComponents();
  void ResolveChildren();

  // Editing: removes an instance (and its mesh when nothing else draws it).
  void RemoveInstance(uint32_t n);
  // Editing: removes a mesh and every instance that drew it.
  void RemoveMesh(uint32_t n);

  // Vertices of all meshes.
  uint32_t CountVertices() const;
  // Sphere and box of the whole model from its instances' meshes.
  void ComputeBounds();
  // Rescales positions so that the bounding sphere's radius becomes size.
  void SetSize(float newSize);
  // Copies working vertices and texture coordinates into the source arrays.
  void SaveSourceData();
  // Computes every instance's model-space matrix (pose from bind, parents
  // applied) and sets the prepared flag; does nothing once prepared.
  void PrepareMatrices();
  // Marks the instance matrices as prepared.
  void SetPrepared() { prepared = true; }
  // Frees the display lists compiled for this model and clears the compiled flag.
  void ReleaseDisplayLists();

  C3MELoadRecord* loadRecord = nullptr;
  uint32_t reserveHints[C3MEReservePolicy::kHintCount] = {};
  bool Marked = false;
  bool reservePolicy = false;
  uint32_t meshCapacity = 0;
  uint32_t instanceCapacity = 0;
  uint32_t materialCapacity = 0;
  String name;
  // The name the model manager registered the model under.
  String registeredName;
  uint32_t loadState = kNotRead;
  uint32_t meshCount = 0;
  C3MEMesh* meshes = nullptr;
  uint32_t instanceCount = 0;
  C3MEInstance* instances = nullptr;
  uint32_t materialCount = 0;
  String* materialNames = nullptr;
  CMATMaterial** materials = nullptr;
  BoundingSphere sphere;
  BoundingBox box;
  // Set once the instance matrices are prepared.
  bool prepared = false;
  // Set by the renderer once it has compiled the meshes into display lists.
  bool compiled = false;
  bool readComplete = false;
  float size = 0.0f;
  uint32_t triangleCount = 0;
};

// The modification time of a file in seconds; 0 when it cannot be read (an
// archive entry), with a note on the standard output when asked.
int64_t FileTimeOf(const char* fileName, bool reportFailure);

// The material library read with a model: the name upper-cased, its last
// three characters replaced by "MAT" when it holds ".3ME", ".3MX" or ".TXT",
// else "MAT" appended.
String MaterialLibraryName(const String& modelName);
