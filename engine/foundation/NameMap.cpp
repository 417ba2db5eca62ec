#include "engine/foundation/NameMap.h"

NameMap::NameMap() : name_(8u) { name_ = "Un-named"; }

NameMap::~NameMap() {
  Clear();
  delete objects_;
  objects_ = nullptr;
  name_.Release();
}

void NameMap::Clear() {
  if (objects_ == nullptr) return;
  uint32_t capacity = objects_->Count() + objects_->FreeCount();
  for (cursor_ = objects_->Head(); cursor_ != nullptr; cursor_ = cursor_->next) {
    delete static_cast<PooledObject*>(cursor_->data);
    cursor_->data = nullptr;
  }
  // Objects of removed entries stay in the free nodes of a fixed pool; they
  // are owned too and would leak with the old pool.
  for (cursor_ = objects_->FreeHead(); cursor_ != nullptr; cursor_ = cursor_->next) {
    delete static_cast<PooledObject*>(cursor_->data);
    cursor_->data = nullptr;
  }
  Rebuild(capacity);
}

void NameMap::Rebuild(uint32_t capacity) {
  delete objects_;
  objects_ = new PooledList(0);
  if (objects_ == nullptr) return;
  objects_->Grow(capacity);
  objects_->SetFixed(true);
}

void NameMap::SetName(const char* name, uint32_t capacity) {
  name_ = name;
  Rebuild(capacity);
}
