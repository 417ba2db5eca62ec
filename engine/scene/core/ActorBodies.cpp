// An actor's collision bodies: built from its model's meshes or bounding
// volumes, each placed by a scene node under the actor's own node.

#include <algorithm>

#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/Actor.h"
#include "engine/scene/model/Model.h"

namespace {

bool IsCollisionInstance(const C3MEInstance& instance) { return instance.name.Find("_CDS") >= 0; }

bool UsableIndex(uint16_t index, uint32_t vertexCount) {
  return index < C3MEIndexList::kFirstInvalid && index < vertexCount;
}

// Adds the triangles one index list draws, by its primitive kind; triangles
// touching a free slot or a vertex the mesh lacks are left out.
void AddListTriangles(CCDSObject& body, const C3MEMesh& mesh, const C3MEIndexList& list) {
  const uint32_t count = list.indexCount;
  if (count < 3 || list.indices == nullptr || mesh.vertices == nullptr) return;
  auto add = [&](uint32_t i0, uint32_t i1, uint32_t i2) {
    const uint16_t a = list.indices[i0];
    const uint16_t b = list.indices[i1];
    const uint16_t c = list.indices[i2];
    if (!UsableIndex(a, mesh.vertexCount) || !UsableIndex(b, mesh.vertexCount) || !UsableIndex(c, mesh.vertexCount))
      return;
    body.AddTriangle(mesh.vertices[a].position, mesh.vertices[b].position, mesh.vertices[c].position, 0);
  };
  switch (list.primitiveKind) {
    case C3MEIndexList::kTriangleStrip:
      // Every other strip triangle is wound the other way round.
      for (uint32_t i = 0; i + 2 < count; ++i) {
        if (i % 2 == 0)
          add(i, i + 1, i + 2);
        else
          add(i + 1, i, i + 2);
      }
      break;
    case C3MEIndexList::kTriangleFan:
      for (uint32_t i = 1; i + 1 < count; ++i) add(0, i, i + 1);
      break;
    default:
      for (uint32_t i = 0; i + 2 < count; i += 3) add(i, i + 1, i + 2);
      break;
  }
}

// The drawn set: the lists of level 0.
void AddMeshTriangles(CCDSObject& body, const C3MEMesh& mesh) {
  if (mesh.lodCount == 0 || mesh.lods == nullptr) return;
  const C3MELod& level = mesh.lods[0];
  for (uint32_t n = 0; n < level.listCount && level.lists != nullptr; ++n) AddListTriangles(body, mesh, level.lists[n]);
}

int32_t CreateVolumeBody(CCDSWorld& world, const C3MEMesh& mesh) {
  switch (mesh.volumeKind) {
    case C3MEMesh::kSphere:
      return world.CreateSphereObject(mesh.sphere);
    case C3MEMesh::kCylinder: {
      Cylinder cylinder;
      cylinder.A = mesh.cylinderA;
      cylinder.B = mesh.cylinderB;
      cylinder.radius = mesh.cylinderRadius;
      return world.CreateCylinderObject(cylinder);
    }
    case C3MEMesh::kCapsule: {
      Capsule capsule;
      capsule.A = mesh.cylinderA;
      capsule.B = mesh.cylinderB;
      capsule.radius = mesh.cylinderRadius;
      return world.CreateCapsuleObject(capsule);
    }
    case C3MEMesh::kCuboid: {
      const Vector3& p = mesh.box.min;
      const Vector3& q = mesh.box.max;
      // Whatever order the corners come in, the body takes the extent.
      const CCDSShape box(Vector3(std::min(p.x, q.x), std::min(p.y, q.y), std::min(p.z, q.z)),
                          Vector3(std::max(p.x, q.x), std::max(p.y, q.y), std::max(p.z, q.z)));
      return world.CreateBoxObject(box);
    }
    default:
      return -1;
  }
}

bool IsChildOf(const CSCNNode& parent, const CSCNNode* candidate) {
  // Compared by address only: a node the pool deleted at exit has left
  // its parent already and must not be read.
  for (uint32_t i = 0; i < parent.GetChildCount(); ++i)
    if (parent.GetChild(i) == candidate) return true;
  return false;
}

}  // namespace

CSCNNode* Actor::PlaceBody(const C3MEInstance& instance) {
  CSCNNode* bodyNode = CSCNNodePool::Instance().Acquire();
  if (bodyNode == nullptr) return nullptr;
  // The instance's own pose as it stands: a parent instance's placement
  // is not applied.
  bodyNode->Copy(instance.transforms.pose);
  node.AddChild(bodyNode);
  return bodyNode;
}

void Actor::BeginBodies(uint32_t count) {
  if (bodyIds != nullptr) ReleaseBodies();
  bodyIds = new int32_t[count];
  std::fill(bodyIds, bodyIds + count, -1);
  bodyCount = count;
}

void Actor::SetUpBody(uint32_t index, int32_t slot, CSCNNode* placement) {
  CCDSObject* body = CCDSWorld::Instance().GetObject(slot);
  if (body == nullptr) return;
  bodyIds[index] = slot;
  if (placement != nullptr) placement->id = slot;
  body->node = placement;
  body->name = String("CDS:") + name;
  body->owner = objectId;
  body->collisionMask = collisionMask;
  body->collisionCategory = collisionCategory;
}

void Actor::BuildMeshBodies() {
  if (!bodiesDirty || model == nullptr || model->GetInstanceCount() == 0) return;
  CCDSWorld& world = CCDSWorld::Instance();
  BeginBodies(model->GetInstanceCount());
  for (uint32_t i = 0; i < bodyCount; ++i) {
    const C3MEInstance* instance = model->GetInstance(i);
    if (instance->mesh == nullptr || !IsCollisionInstance(*instance)) continue;
    const int32_t slot = world.CreateMeshObject();
    if (slot < 0) continue;
    CCDSObject* body = world.GetObject(slot);
    AddMeshTriangles(*body, *instance->mesh);
    body->EndMesh();
    SetUpBody(i, slot, PlaceBody(*instance));
  }
  bodiesDirty = false;
}

void Actor::BuildVolumeBodies() {
  if (!bodiesDirty || model == nullptr || model->GetInstanceCount() == 0) return;
  CCDSWorld& world = CCDSWorld::Instance();
  if ((flags & kSingleBoxBody) != 0) {
    BeginBodies(1);
    CSCNNode* at = currentNode != nullptr ? currentNode : &node;
    // A node has no box of its own: the cube around its bounding sphere.
    const float r = at->radius;
    const int32_t slot = world.CreateBoxObject(CCDSShape(Vector3(-r, -r, -r), Vector3(r, r, r)));
    if (slot >= 0) SetUpBody(0, slot, at);
    bodiesDirty = false;
    return;
  }
  BeginBodies(model->GetInstanceCount());
  for (uint32_t i = 0; i < bodyCount; ++i) {
    const C3MEInstance* instance = model->GetInstance(i);
    if (instance->mesh == nullptr) continue;
    const int32_t slot = CreateVolumeBody(world, *instance->mesh);
    if (slot < 0) continue;
    SetUpBody(i, slot, PlaceBody(*instance));
  }
  bodiesDirty = false;
}

void Actor::SetBodiesActive(bool on) {
  CCDSWorld* world = CCDSWorld::Existing();
  if (world == nullptr) return;
  for (uint32_t i = 0; i < bodyCount; ++i) {
    if (CCDSObject* body = world->GetObject(bodyIds[i])) body->active = on;
  }
}

void Actor::ReleaseBodies() {
  // At exit the world may be gone already; its destructor took the bodies.
  CCDSWorld* world = CCDSWorld::Existing();
  for (uint32_t i = 0; i < bodyCount && world != nullptr; ++i) {
    CCDSObject* body = world->GetObject(bodyIds[i]);
    // A slot emptied and reused by someone else is left alone.
    if (body == nullptr || body->owner != objectId) continue;
    CSCNNode* placement = body->node;
    if (IsChildOf(node, placement)) {
      CSCNNodePool::Instance().Release(placement);
    } else if (placement != nullptr && placement == currentNode && placement->id == bodyIds[i]) {
      placement->id = -1;
    }
    world->RemoveObject(bodyIds[i]);
  }
  delete[] bodyIds;
  bodyIds = nullptr;
  bodyCount = 0;
  bodiesDirty = true;
}
