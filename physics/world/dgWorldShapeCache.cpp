// The world's cache of shared primitives: equal parameter blocks (sizes
// quantised to 1/1024, the offset matrix bit for bit) share one shape.

#include <cmath>

#include "physics/shapes/dgCollisionBox.h"
#include "physics/shapes/dgCollisionCapsule.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/world/dgWorld.h"

dgCollision* dgWorld::FindCached(uint32_t signature) {
  ShapeCache::dgTreeNode* node = mShapeCache.Find(signature);
  if (!node) return nullptr;
  dgCollision* shape = node->GetInfo();
  shape->AddRef();
  return shape;
}

dgCollision* dgWorld::AddToCache(dgCollision* shape) {
  if (!shape) return nullptr;
  if (!mShapeCache.Insert(shape, shape->GetSignature())) {
    delete shape;
    return nullptr;
  }
  shape->AddRef();
  return shape;
}

template <class Shape, class... Args>
dgCollision* dgWorld::FindOrCache(uint32_t signature, const Args&... args) {
  if (dgCollision* shape = FindCached(signature)) return shape;
  return AddToCache(new Shape(signature, args...));
}

dgCollision* dgWorld::CreateBox(float dx, float dy, float dz, const dgMatrix& offset) {
  dx = std::fabs(dx);
  dy = std::fabs(dy);
  dz = std::fabs(dz);
  const uint32_t signature = dgCollisionBox::MakeBoxSignature(dx, dy, dz, offset);
  return FindOrCache<dgCollisionBox>(signature, dx, dy, dz, offset);
}

dgCollision* dgWorld::CreateSphere(float radius, const dgMatrix& offset) {
  radius = std::fabs(radius);
  const uint32_t signature = dgCollisionSphere::MakeSphereSignature(radius, offset);
  return FindOrCache<dgCollisionSphere>(signature, radius, offset);
}

dgCollision* dgWorld::CreateEllipse(float rx, float ry, float rz, const dgMatrix& offset) {
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  rz = std::fabs(rz);
  const uint32_t signature = dgCollisionEllipse::MakeEllipseSignature(rx, ry, rz, offset);
  return FindOrCache<dgCollisionEllipse>(signature, rx, ry, rz, offset);
}

dgCollision* dgWorld::CreateCapsule(float radius, float height, const dgMatrix& offset) {
  radius = std::fabs(radius);
  height = std::fabs(height);
  const uint32_t signature = dgCollisionCapsule::MakeCapsuleSignature(radius, height, offset);
  return FindOrCache<dgCollisionCapsule>(signature, radius, height, offset);
}

dgCollision* dgWorld::CreateCylinder(float radius, float height, const dgMatrix& offset) {
  radius = std::fabs(radius);
  height = std::fabs(height);
  const uint32_t signature = dgCollisionCylinder::MakeCylinderSignature(radius, height, offset);
  return FindOrCache<dgCollisionCylinder>(signature, radius, height, offset);
}

void dgWorld::ReleaseCollision(dgCollision* collision) {
  if (!collision) return;
  if (collision->Release()) return;  // never cached: gone at 0
  if (collision->GetRefCount() != 1) return;
  // Only the cache's reference is left.
  ShapeCache::dgTreeNode* node = mShapeCache.Find(collision->GetSignature());
  if (!node || node->GetInfo() != collision) return;
  mShapeCache.Remove(node);
  collision->Release();
}
