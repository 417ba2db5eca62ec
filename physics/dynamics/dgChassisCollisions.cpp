#include "physics/dynamics/dgChassisCollisions.h"

#include <cstring>

#include "physics/memory/dgMemory.h"

void dgInertCollision::CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const {
  outMin = globalMatrix.posit;
  outMax = globalMatrix.posit;
}

void dgInertCollision::CalculateInertia(dgVector& outInertia, dgVector& outCentre) const {
  outInertia = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
  outCentre = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
}

void dgInertCollision::CalculateVolumeBelowPlane(dgVector& out, const dgMatrix&, dgPlaneCallback, void*) const {
  out = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
}

int dgWheelCollision::GetContactCount() const {
  // The count comes from a collision stage outside this library: a bad one
  // must not walk past the records.
  if (contactCount < 0) return 0;
  return contactCount > kMaxContacts ? kMaxContacts : contactCount;
}

dgChassisCompoundCollision::~dgChassisCompoundCollision() {
  for (int i = 0; i < count_; ++i) parts_[i]->Release();
  dgFree(parts_);
}

bool dgChassisCompoundCollision::AddPart(dgCollision* part) {
  if (!part) return false;
  if (count_ == capacity_) {
    const int capacity = capacity_ ? capacity_ * 2 : 8;
    auto* parts = static_cast<dgCollision**>(dgMalloc(sizeof(dgCollision*) * static_cast<size_t>(capacity)));
    if (!parts) return false;
    if (count_) std::memcpy(parts, parts_, sizeof(dgCollision*) * static_cast<size_t>(count_));
    dgFree(parts_);
    parts_ = parts;
    capacity_ = capacity;
  }
  part->AddRef();
  parts_[count_++] = part;
  return true;
}

bool dgChassisCompoundCollision::RemovePart(dgCollision* part) {
  for (int i = 0; i < count_; ++i) {
    if (parts_[i] != part) continue;
    parts_[i] = parts_[--count_];
    part->Release();
    return true;
  }
  return false;
}
