#include "engine/runtime/fsm/FSMRegistry.h"

#include "engine/runtime/fsm/Base.h"

#include <algorithm>

namespace {
CFSMRegistry* gLiveRegistry = nullptr;
}

CFSMRegistry* CFSMRegistry::Get() {
  static CFSMRegistry registry;
  return &registry;
}

CFSMRegistry* CFSMRegistry::Existing() { return gLiveRegistry; }

CFSMRegistry::CFSMRegistry() { gLiveRegistry = this; }

CFSMRegistry::~CFSMRegistry() {
  if (gLiveRegistry == this) gLiveRegistry = nullptr;
}

void CFSMRegistry::Add(Base* object) {
  if (object) objects.push_back(object);
}

void CFSMRegistry::UpdateAll() {
  ++walks;
  // Indexing, not iterators: objects created by a step append (and may
  // reallocate); destroyed ones leave a null entry until the walk ends.
  for (size_t i = 0; i < objects.size(); ++i) {
    Base* object = objects[i];
    if (object && object->stepping) object->Update();
  }
  if (--walks == 0 && hasGaps) Compact();
}

Base* CFSMRegistry::Find(int32_t objectId) const {
  if (objectId < 0) return nullptr;
  for (Base* object : objects) {
    if (object && object->objectId == objectId) return object;
  }
  return nullptr;
}

template <class Match>
void CFSMRegistry::RemoveWhere(Match match) {
  for (Base*& object : objects) {
    if (object && match(object)) {
      object = nullptr;
      hasGaps = true;
    }
  }
  if (walks == 0 && hasGaps) Compact();
}

void CFSMRegistry::Remove(int32_t objectId) {
  if (objectId < 0) return;
  RemoveWhere([objectId](const Base* object) { return object->objectId == objectId; });
}

void CFSMRegistry::RemoveObject(const Base* object) {
  RemoveWhere([object](const Base* entry) { return entry == object; });
}

void CFSMRegistry::Compact() {
  objects.erase(std::remove(objects.begin(), objects.end(), nullptr), objects.end());
  hasGaps = false;
}
