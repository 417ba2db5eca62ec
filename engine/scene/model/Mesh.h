#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/String.h"
#include "engine/foundation/Vector3.h"
#include "engine/scene/model/IndexList.h"

class File;

// One interleaved vertex as the renderer hands it to the vertex arrays
// (stride 28): colour bytes, normal, position.
struct C3MEVertex {
  uint8_t red = 255, green = 255, blue = 255, alpha = 255;
  Vector3 normal{0.0f, 0.0f, 1.0f};
  Vector3 position{};
};
static_assert(sizeof(C3MEVertex) == 28, "vertex stride must stay 28 bytes");
static_assert(offsetof(C3MEVertex, normal) == 4, "normal follows the colour bytes");
static_assert(offsetof(C3MEVertex, position) == 16, "position follows the normal");

// One texture-coordinate pair (stride 8).
struct C3METexCoord {
  float u = 0.0f, v = 0.0f;
};
static_assert(sizeof(C3METexCoord) == 8, "texture coordinates are two packed floats");

// One level of detail: the index lists drawn for it.
struct C3MELod {
  uint32_t listCount = 0;
  C3MEIndexList* lists = nullptr;
  uint32_t listCapacity = 0;
};

// The geometry of one part of a model: vertices, texture-coordinate sets,
// levels of index lists and the mesh's own bounds.
class C3MEMesh {
 public:
  enum VolumeKind : uint32_t { kNone = 0, kSphere = 1, kCylinder = 2, kCapsule = 3, kCuboid = 4 };
  // A set serves one material stage, so no mesh needs more sets than a
  // material has stages. Readers refuse more: sets of a mesh without
  // vertices take no bytes, so the file size alone does not bound them.
  static constexpr uint32_t kMaxTexCoordSets = 255;

  C3MEMesh();
  C3MEMesh(const C3MEMesh&) = delete;
  C3MEMesh& operator=(const C3MEMesh&) = delete;
  virtual ~C3MEMesh();

  // Makes this mesh a copy of another (geometry, lists, bounds, name).
  bool Assign(const C3MEMesh& other);
  // Frees vertices, texture coordinates and levels.
  void Clear();

  // Makes room for n vertices (both arrays) with default values; only while
  // no vertex is counted and n exceeds the capacity. False when the heap refused.
  bool ReserveVertices(uint32_t n);
  // Frees both vertex arrays and both texture-coordinate arrays.
  void ClearVertices();
  // Makes room for n texture-coordinate sets of vertex-capacity pairs each.
  bool ReserveTexCoordSets(uint32_t n);
  // Frees both texture-coordinate arrays.
  void ClearTexCoordSets();
  // Replaces all levels by n empty ones.
  bool SetLodCount(uint32_t n);
  // Destroys every level.
  void ClearLods();
  // Makes room for n index lists in one level.
  bool ReserveLists(uint32_t level, uint32_t n);
  // Destroys the index lists of one level.
  void ClearLod(uint32_t level);
  // Copies the level's last list over list n and drops the last one.
  void RemoveList(uint32_t level, uint32_t n);
  // Recomputes sphere and box from the vertex positions (origin included).
  void ComputeBounds();

  // Writes a self-contained mesh record: name, counts, every vertex (colour,
  // normal, position), the texture coordinates and each level's index lists.
  bool Write(File& file) const;
  // Replaces the mesh by a record from the file and recomputes its bounds.
  // A short record or a count the file cannot hold is logged and refused,
  // leaving the mesh empty.
  bool Read(File& file);

  // Texture coordinate of vertex v in set s (set-major layout).
  C3METexCoord& TexCoord(uint32_t set, uint32_t vertex) { return texCoords[set * vertexCount + vertex]; }

  String name;
  int32_t id = -1;
  uint32_t vertexCount = 0;
  uint32_t texCoordSetCount = 0;
  C3MEVertex* vertices = nullptr;
  C3METexCoord* texCoords = nullptr;
  C3MEVertex* sourceVertices = nullptr;
  C3METexCoord* sourceTexCoords = nullptr;
  uint32_t lodCount = 0;
  C3MELod* lods = nullptr;
  BoundingSphere sphere;
  BoundingBox box;
  Vector3 cylinderA;
  Vector3 cylinderB;
  float cylinderRadius = 0.0f;
  Vector3 secondBoxA;
  Vector3 secondBoxB;
  uint32_t volumeKind = kSphere;
  uint32_t vertexCapacity = 0;
  uint32_t texCoordSetCapacity = 0;
  // Display list compiled by the renderer for the whole mesh; negative when none.
  int32_t displayList = -1;
};
