#include "engine/runtime/fsm/FSMRegistry.h"

#include <algorithm>

#include "engine/runtime/fsm/Base.h"

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
  if (object) objects_.push_back(object);
}

void CFSMRegistry::UpdateAll() {
  ++walks_;
  // Indexing, not iterators: objects created by a step append (and may
  // reallocate); destroyed ones leave a null entry until the walk ends.
  for (size_t i = 0; i < objects_.size(); ++i) {
    Base* object = objects_[i];
    if (object && object->stepping) object->Update();
  }
  if (--walks_ == 0 && hasGaps_) Compact();
}

Base* CFSMRegistry::Find(int32_t objectId) const {
  if (objectId < 0) return nullptr;
  for (Base* object : objects_) {
    if (object && object->objectId == objectId) return object;
  }
  return nullptr;
}

template <class Match>
void CFSMRegistry::RemoveWhere(Match match) {
  for (Base*& object : objects_) {
    if (object && match(object)) {
      object = nullptr;
      hasGaps_ = true;
    }
  }
  if (walks_ == 0 && hasGaps_) Compact();
}

void CFSMRegistry::Remove(int32_t objectId) {
  if (objectId < 0) return;
  RemoveWhere([objectId](const Base* object) { return object->objectId == objectId; });
}

void CFSMRegistry::RemoveObject(const Base* object) {
  RemoveWhere([object](const Base* entry) { return entry == object; });
}

void CFSMRegistry::Compact() {
  objects_.erase(std::remove(objects_.begin(), objects_.end(), nullptr), objects_.end());
  hasGaps_ = false;
}
