#include "physics/dynamics/dgChassisCollisions.h"

#include <cstring>

#include "physics/memory/dgMemory.h"
#include "physics/world/dgWorld.h"

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
  for (int i = 0; i < mCount; ++i) mParts[i]->Release();
  dgFree(mParts);
}

bool dgChassisCompoundCollision::AddPart(dgCollision* part) {
  if (!part) return false;
  if (mCount == mCapacity) {
    const int capacity = mCapacity ? mCapacity * 2 : 8;
    auto* parts = static_cast<dgCollision**>(dgMalloc(sizeof(dgCollision*) * static_cast<size_t>(capacity)));
    if (!parts) return false;
    if (mCount) std::memcpy(parts, mParts, sizeof(dgCollision*) * static_cast<size_t>(mCount));
    dgFree(mParts);
    mParts = parts;
    mCapacity = capacity;
  }
  part->AddRef();
  mParts[mCount++] = part;
  return true;
}

bool dgChassisCompoundCollision::RemovePart(dgWorld* world, dgCollision* part) {
  for (int i = 0; i < mCount; ++i) {
    if (mParts[i] != part) continue;
    mParts[i] = mParts[--mCount];
    if (world) world->ReleaseCollision(part);
    else part->Release();
    return true;
  }
  return false;
}
