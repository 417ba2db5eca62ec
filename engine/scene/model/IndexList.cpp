#include "engine/scene/model/IndexList.h"

#include <new>

#include "engine/scene/model/ReservePolicy.h"

C3MEIndexList::~C3MEIndexList() { delete[] indices; }

void C3MEIndexList::Clear() {
  delete[] indices;
  indices = nullptr;
  indexCount = 0;
  capacity = 0;
}

bool C3MEIndexList::Reserve(uint32_t n) {
  if (n <= capacity || indexCount != 0) return true;
  const uint32_t newCapacity = CurrentReservePolicy().CapacityFor(n, C3MEReservePolicy::kIndicesPerList);
  delete[] indices;
  indices = new (std::nothrow) uint16_t[newCapacity];
  if (indices == nullptr) {
    capacity = 0;
    return false;
  }
  capacity = newCapacity;
  for (uint32_t i = 0; i < capacity; ++i) indices[i] = kFreeSlot;
  return true;
}

uint32_t C3MEIndexList::TriangleCount() const {
  if (indexCount == 0) return 0;
  switch (primitiveKind) {
    case kTriangleList:
      return indexCount / 3u;
    case kTriangleStrip:
    case kTriangleFan:
      return indexCount >= 2 ? indexCount - 2u : 0u;
    default:
      return 0;
  }
}

bool C3MEIndexList::Assign(const C3MEIndexList& other) {
  if (&other == this) return true;
  if (other.indexCount > capacity) {
    indexCount = 0;
    if (!Reserve(other.indexCount)) return false;
  }
  indexCount = other.indexCount;
  for (uint32_t i = 0; i < indexCount; ++i) indices[i] = other.indices[i];
  materialIndex = other.materialIndex;
  material = other.material;
  primitiveKind = other.primitiveKind;
  return true;
}

void C3MEIndexList::Add(uint16_t value) {
  if (value >= kFirstInvalid) return;
  for (uint32_t i = 0; i < indexCount; ++i) {
    if (indices[i] == kFreeSlot) {
      indices[i] = value;
      return;
    }
  }
}

void C3MEIndexList::Remove(uint16_t value) {
  if (value >= kFirstInvalid) return;
  for (uint32_t i = 0; i < indexCount; ++i)
    if (indices[i] == value) indices[i] = kFreeSlot;
  // Move used slots forward, keeping their order.
  uint32_t write = 0;
  for (uint32_t read = 0; read < indexCount; ++read)
    if (indices[read] != kFreeSlot) indices[write++] = indices[read];
  for (; write < indexCount; ++write) indices[write] = kFreeSlot;
}

void C3MEIndexList::RemoveAt(uint32_t n) {
  if (n >= indexCount) return;
  for (uint32_t i = n; i + 1 < indexCount; ++i) indices[i] = indices[i + 1];
  indices[indexCount - 1] = kFreeSlot;
  --indexCount;
}

uint32_t C3MEIndexList::CountValid() const {
  uint32_t valid = 0;
  for (uint32_t i = 0; i < indexCount; ++i)
    if (indices[i] < kFirstInvalid) ++valid;
  return valid;
}
