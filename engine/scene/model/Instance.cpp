#include "engine/scene/model/Instance.h"

#include <new>

C3MEInstance::C3MEInstance() : name("Initial") {}

C3MEInstance::~C3MEInstance() { ClearChildren(); }

void C3MEInstance::Assign(const C3MEInstance& other) {
  if (&other == this) return;
  name = other.name;
  componentId = other.componentId;
  mesh = other.mesh;
  transforms.CopyFrom(other.transforms);
  parent = other.parent;
  tag = other.tag;
  world = other.world;
  if (!ReserveChildren(other.childCount)) return;
  for (uint32_t k = 0; k < other.childCount; ++k)
    if (other.childIds[k] >= 0) AddChild(other.childIds[k]);
}

bool C3MEInstance::ReserveChildren(uint32_t n) {
  ClearChildren();
  if (n == 0) return true;
  childIds = new (std::nothrow) int32_t[n];
  children = new (std::nothrow) C3MEInstance*[n]();
  if (childIds == nullptr || children == nullptr) {
    ClearChildren();
    return false;
  }
  for (uint32_t k = 0; k < n; ++k) childIds[k] = -1;
  childCount = n;
  return true;
}

void C3MEInstance::ClearChildren() {
  delete[] childIds;
  delete[] children;
  childIds = nullptr;
  children = nullptr;
  childCount = 0;
}

void C3MEInstance::AddChild(int32_t id) {
  if (id < 0) return;
  for (uint32_t k = 0; k < childCount; ++k) {
    if (childIds[k] == -1) {
      childIds[k] = id;
      return;
    }
  }
}

void C3MEInstance::RemoveChild(int32_t id) {
  if (id < 0) return;
  for (uint32_t k = 0; k < childCount; ++k) {
    if (childIds[k] == id) {
      childIds[k] = -1;
      children[k] = nullptr;
    }
  }
  // Used slots move to the front, keeping their order.
  uint32_t write = 0;
  for (uint32_t read = 0; read < childCount; ++read) {
    if (childIds[read] == -1) continue;
    childIds[write] = childIds[read];
    children[write] = children[read];
    ++write;
  }
  for (; write < childCount; ++write) {
    childIds[write] = -1;
    children[write] = nullptr;
  }
}

uint32_t C3MEInstance::CountChildren() const {
  uint32_t used = 0;
  for (uint32_t k = 0; k < childCount; ++k)
    if (childIds[k] >= 0) ++used;
  return used;
}
