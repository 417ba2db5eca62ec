#include "engine/scene/model/Mesh.h"

#include <algorithm>
#include <new>

#include "engine/scene/core/CountedArray.h"
#include "engine/scene/model/ReservePolicy.h"

C3MEMesh::C3MEMesh() : name("Unknown") {}

C3MEMesh::~C3MEMesh() { Clear(); }

void C3MEMesh::Clear() {
  ClearVertices();
  ClearLods();
}

bool C3MEMesh::ReserveVertices(uint32_t n) {
  if (n <= vertexCapacity || vertexCount != 0) return true;
  const uint32_t newCapacity = CurrentReservePolicy().CapacityFor(n, C3MEReservePolicy::kVertices);
  ClearVertices();
  vertices = new (std::nothrow) C3MEVertex[newCapacity];
  sourceVertices = new (std::nothrow) C3MEVertex[newCapacity];
  if (vertices == nullptr || sourceVertices == nullptr) {
    ClearVertices();
    return false;
  }
  vertexCapacity = newCapacity;
  return true;
}

void C3MEMesh::ClearVertices() {
  delete[] vertices;
  delete[] sourceVertices;
  vertices = nullptr;
  sourceVertices = nullptr;
  vertexCount = 0;
  vertexCapacity = 0;
  ClearTexCoordSets();
}

bool C3MEMesh::ReserveTexCoordSets(uint32_t n) {
  if (n <= texCoordSetCapacity || texCoordSetCount != 0) return true;
  ClearTexCoordSets();
  const uint64_t pairs = uint64_t(vertexCapacity) * n;
  if (pairs > 0) {
    texCoords = new (std::nothrow) C3METexCoord[pairs];
    sourceTexCoords = new (std::nothrow) C3METexCoord[pairs];
    if (texCoords == nullptr || sourceTexCoords == nullptr) {
      ClearTexCoordSets();
      return false;
    }
  }
  texCoordSetCapacity = n;
  return true;
}

void C3MEMesh::ClearTexCoordSets() {
  delete[] texCoords;
  delete[] sourceTexCoords;
  texCoords = nullptr;
  sourceTexCoords = nullptr;
  texCoordSetCount = 0;
  texCoordSetCapacity = 0;
}

bool C3MEMesh::SetLodCount(uint32_t n) {
  ClearLods();
  return AllocateCountedArray(lods, lodCount, n);
}

void C3MEMesh::ClearLods() {
  for (uint32_t level = 0; level < lodCount; ++level) ClearLod(level);
  delete[] lods;
  lods = nullptr;
  lodCount = 0;
}

bool C3MEMesh::ReserveLists(uint32_t level, uint32_t n) {
  if (level >= lodCount) return false;
  C3MELod& lod = lods[level];
  if (n <= lod.listCapacity || lod.listCount != 0) return true;
  const uint32_t newCapacity = CurrentReservePolicy().CapacityFor(n, C3MEReservePolicy::kListsPerLevel);
  ClearLod(level);
  lod.lists = new (std::nothrow) C3MEIndexList[newCapacity];
  if (lod.lists == nullptr) return false;
  lod.listCapacity = newCapacity;
  return true;
}

void C3MEMesh::ClearLod(uint32_t level) {
  if (level >= lodCount) return;
  C3MELod& lod = lods[level];
  delete[] lod.lists;
  lod.lists = nullptr;
  lod.listCount = 0;
  lod.listCapacity = 0;
}

void C3MEMesh::RemoveList(uint32_t level, uint32_t n) {
  if (level >= lodCount) return;
  C3MELod& lod = lods[level];
  if (lod.listCount == 0 || n >= lod.listCount) return;
  lod.lists[n].Assign(lod.lists[lod.listCount - 1]);
  --lod.listCount;
}

void C3MEMesh::ComputeBounds() {
  Vector3 minimum, maximum, sum;
  for (uint32_t i = 0; i < vertexCount; ++i) {
    const Vector3& p = vertices[i].position;
    minimum.x = std::min(minimum.x, p.x);
    minimum.y = std::min(minimum.y, p.y);
    minimum.z = std::min(minimum.z, p.z);
    maximum.x = std::max(maximum.x, p.x);
    maximum.y = std::max(maximum.y, p.y);
    maximum.z = std::max(maximum.z, p.z);
    sum.x += p.x;
    sum.y += p.y;
    sum.z += p.z;
  }
  Vector3 centre;
  if (vertexCount > 0) {
    const float n = float(vertexCount);
    centre = Vector3(sum.x / n, sum.y / n, sum.z / n);
  }
  const Vector3 size(maximum.x - minimum.x, maximum.y - minimum.y, maximum.z - minimum.z);
  sphere.centre = centre;
  sphere.radius = size.Length();
  // The box spans the extremes (origin included) so that it holds every
  // vertex; centring it on the mean could leave vertices outside.
  box.SetMinMax(minimum, maximum);
  volumeKind = kCuboid;
}

bool C3MEMesh::Assign(const C3MEMesh& other) {
  if (&other == this) return true;
  // Reuse the arrays only when they hold the source; otherwise start afresh.
  const bool reuse =
      CurrentReservePolicy().on && vertexCapacity >= other.vertexCount && texCoordSetCapacity >= other.texCoordSetCount;
  if (reuse) {
    vertexCount = 0;
    texCoordSetCount = 0;
    ClearLods();
  } else {
    Clear();
    if (!ReserveVertices(other.vertexCount) || !ReserveTexCoordSets(other.texCoordSetCount)) return false;
  }
  if (!SetLodCount(other.lodCount)) return false;
  name = other.name;
  id = other.id;
  sphere.centre = other.sphere.centre;
  sphere.radius = other.sphere.radius;
  box = other.box;
  volumeKind = other.volumeKind;
  cylinderA = other.cylinderA;
  cylinderB = other.cylinderB;
  cylinderRadius = other.cylinderRadius;
  secondBoxA = other.secondBoxA;
  secondBoxB = other.secondBoxB;
  vertexCount = other.vertexCount;
  for (uint32_t i = 0; i < vertexCount; ++i) vertices[i] = sourceVertices[i] = other.vertices[i];
  texCoordSetCount = other.texCoordSetCount;
  const uint64_t pairs = uint64_t(texCoordSetCount) * vertexCount;
  for (uint64_t i = 0; i < pairs; ++i) texCoords[i] = sourceTexCoords[i] = other.texCoords[i];
  for (uint32_t level = 0; level < lodCount; ++level) {
    const C3MELod& from = other.lods[level];
    if (!ReserveLists(level, from.listCount)) return false;
    for (uint32_t k = 0; k < from.listCount; ++k) {
      if (!lods[level].lists[k].Assign(from.lists[k])) return false;
      ++lods[level].listCount;
    }
  }
  return true;
}
