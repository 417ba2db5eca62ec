// The world's cache of shared primitives: equal parameter blocks (sizes
// quantised to 1/1024, the offset matrix bit for bit) share one shape. Each
// entry keeps its block, so two blocks that hash alike never share.

#include <cmath>
#include <cstring>

#include "physics/shapes/dgCollisionBox.h"
#include "physics/shapes/dgCollisionCapsule.h"
#include "physics/shapes/dgCollisionCylinder.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/world/dgWorld.h"

static_assert(sizeof(dgShapeCacheEntry::block) == dgCollision::kSignatureWords * sizeof(uint32_t),
              "a cache entry holds a whole parameter block");

namespace {

// A new primitive, or null when it or its hull could not be allocated.
template <class Shape, class... Args>
dgCollision* MakeShape(uint32_t signature, const Args&... args) {
  Shape* shape = new Shape(signature, args...);
  if (shape && shape->GetEdgeCount() == 0) {
    delete shape;
    return nullptr;
  }
  return shape;
}

}  // namespace

template <class Shape, class... Args>
dgCollision* dgWorld::FindOrCache(uint32_t signature, const uint32_t* block, const Args&... args) {
  if (signatureHook_) signature = signatureHook_(signature);
  ShapeCache::dgTreeNode* node = shapeCache_.Find(signature);
  if (node) {
    dgShapeCacheEntry& entry = node->GetInfo();
    if (std::memcmp(entry.block, block, sizeof entry.block) == 0) {
      entry.shape->AddRef();
      return entry.shape;
    }
    // Another shape holds this signature: this one lives outside the cache
    // with the caller's reference only.
    return MakeShape<Shape>(signature, args...);
  }
  dgCollision* shape = MakeShape<Shape>(signature, args...);
  if (!shape) return nullptr;
  dgShapeCacheEntry entry;
  entry.shape = shape;
  std::memcpy(entry.block, block, sizeof entry.block);
  if (!shapeCache_.Insert(entry, signature)) {
    delete shape;
    return nullptr;
  }
  shape->AddRef();
  return shape;
}

dgCollision* dgWorld::CreateBox(float dx, float dy, float dz, const dgMatrix& offset) {
  dx = std::fabs(dx);
  dy = std::fabs(dy);
  dz = std::fabs(dz);
  uint32_t block[dgCollision::kSignatureWords];
  const uint32_t signature = dgCollisionBox::MakeBoxSignature(dx, dy, dz, offset, block);
  return FindOrCache<dgCollisionBox>(signature, block, dx, dy, dz, offset);
}

dgCollision* dgWorld::CreateSphere(float radius, const dgMatrix& offset) {
  radius = std::fabs(radius);
  uint32_t block[dgCollision::kSignatureWords];
  const uint32_t signature = dgCollisionSphere::MakeSphereSignature(radius, offset, block);
  return FindOrCache<dgCollisionSphere>(signature, block, radius, offset);
}

dgCollision* dgWorld::CreateEllipse(float rx, float ry, float rz, const dgMatrix& offset) {
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  rz = std::fabs(rz);
  uint32_t block[dgCollision::kSignatureWords];
  const uint32_t signature = dgCollisionEllipse::MakeEllipseSignature(rx, ry, rz, offset, block);
  return FindOrCache<dgCollisionEllipse>(signature, block, rx, ry, rz, offset);
}

dgCollision* dgWorld::CreateCapsule(float radius, float height, const dgMatrix& offset) {
  radius = std::fabs(radius);
  height = std::fabs(height);
  uint32_t block[dgCollision::kSignatureWords];
  const uint32_t signature = dgCollisionCapsule::MakeCapsuleSignature(radius, height, offset, block);
  return FindOrCache<dgCollisionCapsule>(signature, block, radius, height, offset);
}

dgCollision* dgWorld::CreateCylinder(float radius, float height, const dgMatrix& offset) {
  radius = std::fabs(radius);
  height = std::fabs(height);
  uint32_t block[dgCollision::kSignatureWords];
  const uint32_t signature = dgCollisionCylinder::MakeCylinderSignature(radius, height, offset, block);
  return FindOrCache<dgCollisionCylinder>(signature, block, radius, height, offset);
}

void dgWorld::ReleaseCollision(dgCollision* collision) {
  if (!collision) return;
  if (collision->Release()) return;  // never cached: gone at 0
  if (collision->GetRefCount() != 1) return;
  // Only the cache's reference is left.
  ShapeCache::dgTreeNode* node = shapeCache_.Find(collision->GetSignature());
  if (!node || node->GetInfo().shape != collision) return;
  shapeCache_.Remove(node);
  collision->Release();
}
