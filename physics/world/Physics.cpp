#include "physics/world/Physics.h"

#include <cmath>
#include <new>

#include "physics/body/dgContact.h"
#include "physics/memory/dgClassIds.h"
#include "physics/memory/dgMemory.h"
#include "physics/shapes/dgCollision.h"
#include "physics/soup/dgTreeCollision.h"
#include "physics/world/dgWorld.h"

namespace {

constexpr float kDefaultWorldExtent = 100.0f;
// Radii closer than this make a sphere rather than an ellipsoid.
constexpr float kSphereTolerance = 0.00001f;

static_assert(sizeof(dgMatrix) == 16 * sizeof(float), "matrices cross the interface as sixteen floats");

dgMatrix MatrixOrIdentity(const float* sixteen) {
  return sixteen ? dgMatrix::FromFloats(sixteen) : dgGetIdentityMatrix();
}

dgVector Point(const float* xyz) { return dgVector(xyz, 1.0f); }

void Write(float* out, const dgVector& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// The tree behind a tree collision, or null for any other collision.
dgTreeCollision* TreeOf(dgCollision* collision) {
  if (!collision || !collision->IsType(dgCollisionPolygonalSoupId)) return nullptr;
  return static_cast<dgCollisionPolygonalSoup*>(collision)->GetTree();
}

}  // namespace

dgWorld* PhysicsCreate(PhysicsMallocHook mallocHook, PhysicsFreeHook freeHook) {
  dgSetAllocatorHooks(mallocHook, freeHook);
  void* memory = dgMalloc(sizeof(dgWorld));
  if (!memory) return nullptr;
  dgWorld* world = new (memory) dgWorld;
  if (!world->IsComplete()) {
    PhysicsDestroy(world);
    return nullptr;
  }
  const float low[3] = {-kDefaultWorldExtent, -kDefaultWorldExtent, -kDefaultWorldExtent};
  const float high[3] = {kDefaultWorldExtent, kDefaultWorldExtent, kDefaultWorldExtent};
  PhysicsSetWorldSize(world, low, high);
  return world;
}

void PhysicsDestroy(dgWorld* world) {
  if (!world) return;
  world->~dgWorld();
  dgFree(world);
}

void PhysicsSetWorldSize(dgWorld* world, const float* minPoint, const float* maxPoint) {
  if (!world || !minPoint || !maxPoint) return;
  world->GetBroadPhase().SetWorldSize(Point(minPoint), Point(maxPoint));
}

dgCollision* PhysicsCreateBox(dgWorld* world, float dx, float dy, float dz, const float* offsetMatrix) {
  if (!world) return nullptr;
  return world->CreateBox(dx, dy, dz, MatrixOrIdentity(offsetMatrix));
}

dgCollision* PhysicsCreateSphere(dgWorld* world, float rx, float ry, float rz, const float* offsetMatrix) {
  if (!world) return nullptr;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  rz = std::fabs(rz);
  const dgMatrix offset = MatrixOrIdentity(offsetMatrix);
  if (std::fabs(rx - ry) < kSphereTolerance && std::fabs(rx - rz) < kSphereTolerance) {
    return world->CreateSphere(rx, offset);
  }
  return world->CreateEllipse(rx, ry, rz, offset);
}

dgCollision* PhysicsCreateCapsule(dgWorld* world, float radius, float height, const float* offsetMatrix) {
  if (!world) return nullptr;
  return world->CreateCapsule(radius, height, MatrixOrIdentity(offsetMatrix));
}

dgCollision* PhysicsCreateCylinder(dgWorld* world, float radius, float height, const float* offsetMatrix) {
  if (!world) return nullptr;
  return world->CreateCylinder(radius, height, MatrixOrIdentity(offsetMatrix));
}

dgCollision* PhysicsCreateTreeCollision(dgWorld* world, PhysicsTreeCollisionCallback callback) {
  if (!world) return nullptr;
  return dgCreateTreeCollision(world, callback);
}

void PhysicsTreeCollisionBeginBuild(dgCollision* tree) {
  if (dgTreeCollision* faces = TreeOf(tree)) faces->BeginBuild();
}

void PhysicsTreeCollisionAddFace(dgCollision* tree, int vertexCount, const float* vertices, int strideBytes,
                                 int attribute) {
  if (dgTreeCollision* faces = TreeOf(tree)) faces->AddFace(vertexCount, vertices, strideBytes, attribute);
}

void PhysicsTreeCollisionEndBuild(dgCollision* tree, int optimise) {
  if (dgTreeCollision* faces = TreeOf(tree)) {
    faces->EndBuild(optimise != 0, *static_cast<dgCollisionPolygonalSoup*>(tree));
  }
}

void PhysicsReleaseCollision(dgWorld* world, dgCollision* collision) {
  if (world) world->ReleaseCollision(collision);
}

int PhysicsCollisionCollide(dgWorld* world, int maxContacts, dgCollision* a, const float* matrixA, dgCollision* b,
                            const float* matrixB, float* outPoints, float* outNormals, float* outPenetrations) {
  if (!world || !matrixA || !matrixB) return 0;
  return world->Collide(a, dgMatrix::FromFloats(matrixA), b, dgMatrix::FromFloats(matrixB), outPoints, outNormals,
                        outPenetrations, maxContacts);
}

void PhysicsCollisionCalculateAABB(dgCollision* collision, const float* matrix, float* outMin, float* outMax) {
  if (!collision || !matrix) return;
  // The shape's box wants its global matrix: the offset placed by the matrix.
  const dgMatrix global = collision->GetOffsetMatrix().Multiply(dgMatrix::FromFloats(matrix));
  dgVector low;
  dgVector high;
  collision->CalcAABB(global, low, high);
  Write(outMin, low);
  Write(outMax, high);
}

float PhysicsCollisionRayCast(dgCollision* collision, const float* p0, const float* p1, float* outNormal,
                              int* outAttribute) {
  if (!collision) return dgCollision::kRayMiss;
  const dgMatrix& offset = collision->GetOffsetMatrix();
  dgContact contact{};
  const float t = collision->RayCast(offset.UntransformVector(Point(p0)), offset.UntransformVector(Point(p1)), contact);
  if (t >= 0.0f && t <= 1.0f) {
    Write(outNormal, offset.RotateVector(contact.normal));
    *outAttribute = static_cast<int>(contact.userId);
  }
  return t;
}

int PhysicsCollisionClosestPoint(dgWorld* world, const float* point, dgCollision* collision, const float* matrix,
                                 float* outContact, float* outNormal) {
  if (!world || !collision || !matrix) return 0;
  dgVector contact;
  dgVector normal;
  if (!world->ClosestPoint(Point(point), collision, dgMatrix::FromFloats(matrix), contact, normal)) return 0;
  Write(outContact, contact);
  Write(outNormal, normal);
  return 1;
}
