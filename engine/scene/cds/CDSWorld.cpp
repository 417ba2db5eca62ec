#include "engine/scene/cds/CDSWorld.h"

#include <cmath>

#include "engine/foundation/Clock.h"
#include "engine/scene/cds/CDSMesh.h"
#include "physics/world/Physics.h"

namespace {

CCDSWorld* gExisting = nullptr;

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool IsUsableCell(const CCDSShape& cell) {
  const Vector3& lo = cell.Min();
  const Vector3& hi = cell.Max();
  return IsFinite(lo) && IsFinite(hi) && lo.x < hi.x && lo.y < hi.y && lo.z < hi.z;
}

bool ClockPaused() { return Clock::Instance().IsPaused(); }

}  // namespace

// The engine's ray operations reach collision meshes through this hook, so it
// is in place as soon as anything can hold a mesh.
CCDSWorld::CCDSWorld() : root_(new CCDSNode(CCDSShape())) {
  CCDSMesh::RegisterRayTest();
  gExisting = this;
}

CCDSWorld::~CCDSWorld() {
  Empty();
  gExisting = nullptr;
}

CCDSWorld& CCDSWorld::Instance() {
  static CCDSWorld world;
  return world;
}

CCDSWorld* CCDSWorld::Existing() { return gExisting; }

CCDSShape CCDSWorld::DefaultCell() {
  const float h = kDefaultCellHalfSize;
  return CCDSShape(Vector3(-h, -h, -h), Vector3(h, h, h));
}

void CCDSWorld::Empty() {
  // Objects first: they give their collisions back to the physics world.
  for (CCDSObject*& object : slots_) {
    delete object;
    object = nullptr;
  }
  slots_.clear();
  count_ = 0;
  root_.reset(new CCDSNode(CCDSShape()));
  if (physicsWorld_ != nullptr) PhysicsDestroy(physicsWorld_);
  physicsWorld_ = nullptr;
}

bool CCDSWorld::Init(uint32_t capacity, const CCDSShape& cell) {
  if (inContactPass_) return false;
  Empty();
  if (capacity > kMaxCapacity || !IsUsableCell(cell)) return false;
  physicsWorld_ = PhysicsCreate(nullptr, nullptr);
  if (physicsWorld_ == nullptr) return false;
  slots_.assign(capacity, nullptr);
  root_.reset(new CCDSNode(cell));
  return true;
}

int32_t CCDSWorld::AddObject() {
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i] != nullptr) continue;
    slots_[i] = new CCDSObject(static_cast<int32_t>(i));
    ++count_;
    return static_cast<int32_t>(i);
  }
  return -1;
}

CCDSObject* CCDSWorld::GetObject(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= slots_.size()) return nullptr;
  return slots_[static_cast<size_t>(index)];
}

void CCDSWorld::RemoveObject(int32_t index) {
  CCDSObject* object = GetObject(index);
  if (object == nullptr) return;
  slots_[static_cast<size_t>(index)] = nullptr;
  --count_;
  if (inContactPass_) {
    // The pass may still hold it in a pair: it is skipped from now on.
    object->removed = true;
    removedInPass_.push_back(object);
    return;
  }
  // Queries, contact passes and the debug drawing read the leaves.
  root_->Forget(object);
  delete object;
}

int32_t CCDSWorld::Created(int32_t index, bool made) { return made ? index : -1; }

int32_t CCDSWorld::CreateMeshObject() {
  const int32_t index = AddObject();
  return index < 0 ? -1 : Created(index, GetObject(index)->BeginMesh(physicsWorld_));
}

int32_t CCDSWorld::CreateSphereObject(const BoundingSphere& sphere) {
  const int32_t index = AddObject();
  return index < 0 ? -1 : Created(index, GetObject(index)->SetSphere(physicsWorld_, sphere));
}

int32_t CCDSWorld::CreateBoxObject(const CCDSShape& box) {
  const int32_t index = AddObject();
  return index < 0 ? -1 : Created(index, GetObject(index)->SetBox(physicsWorld_, box));
}

int32_t CCDSWorld::CreateCylinderObject(const Cylinder& cylinder) {
  const int32_t index = AddObject();
  return index < 0 ? -1 : Created(index, GetObject(index)->SetCylinder(physicsWorld_, cylinder));
}

int32_t CCDSWorld::CreateCapsuleObject(const Capsule& capsule) {
  const int32_t index = AddObject();
  return index < 0 ? -1 : Created(index, GetObject(index)->SetCapsule(physicsWorld_, capsule));
}

void CCDSWorld::Update() {
  if (ClockPaused() || inContactPass_) return;
  root_->Reset();
  for (CCDSObject* object : slots_) {
    // An object without a shape has no box to file.
    if (object == nullptr || !object->active || !object->HasCollision()) continue;
    object->UpdateBounds();
    root_->Insert(object);
  }
}

void CCDSWorld::Cull(const Frustum& frustum) {
  if (ClockPaused()) return;
  root_->Cull(frustum);
}

void CCDSWorld::FindContacts() {
  if (ClockPaused() || inContactPass_) return;
  inContactPass_ = true;
  root_->FindContacts();
  inContactPass_ = false;
  for (CCDSObject* object : removedInPass_) {
    root_->Forget(object);
    delete object;
  }
  removedInPass_.clear();
}

void CCDSWorld::Render() { root_->Render(); }
