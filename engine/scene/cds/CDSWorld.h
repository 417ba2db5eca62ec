#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Frustum.h"
#include "engine/scene/cds/CDSNode.h"
#include "engine/scene/cds/CDSObject.h"
#include "engine/scene/cds/CDSShape.h"

class dgWorld;

// The single collision world: a fixed number of object slots, the physics
// world the objects' shapes belong to and the containment tree that files
// them. A frame that wants answers runs Update, then Cull and FindContacts,
// then its queries. Nothing changes while the clock is paused.
class CCDSWorld {
 public:
  // The cell Init uses unless given one: the application's containment box.
  static constexpr float kDefaultCellHalfSize = 1000.0f;
  // More slots than this are refused rather than allocated.
  static constexpr uint32_t kMaxCapacity = 1u << 20;

  // Built on first use (no slots, an empty root cell), destroyed at exit.
  static CCDSWorld& Instance();
  // The world while it exists; null before first use and once destroyed
  // (objects that outlive it at exit must not reach it).
  static CCDSWorld* Existing();
  static CCDSShape DefaultCell();

  // Deletes the objects, then the tree, then the physics world.
  virtual ~CCDSWorld();
  CCDSWorld(const CCDSWorld&) = delete;
  CCDSWorld& operator=(const CCDSWorld&) = delete;

  // Empties the world, then makes capacity empty slots, a physics world and
  // a root over cell. False (the world left empty) for an empty or
  // non-finite cell, a capacity above the limit, a missing physics world,
  // or when called from a contact pass.
  bool Init(uint32_t capacity, const CCDSShape& cell = DefaultCell());

  // The lowest free slot with a new object in it; -1 when all are used.
  int32_t AddObject();
  // The object in a slot; null for an empty slot or an index out of range.
  CCDSObject* GetObject(int32_t index) const;
  // Empties the slot, drops the object from the tree at once and deletes
  // it. During a contact pass the object is tested no more and deleted
  // when the pass ends.
  void RemoveObject(int32_t index);

  // A new object with its shape; -1 when no slot was free or the library
  // refused the shape (the refused object keeps its slot).
  int32_t CreateMeshObject();
  int32_t CreateSphereObject(const BoundingSphere& sphere);
  int32_t CreateBoxObject(const CCDSShape& box);
  int32_t CreateCylinderObject(const Cylinder& cylinder);
  int32_t CreateCapsuleObject(const Capsule& capsule);

  // Refiles every active object that has a shape, in slot order.
  void Update();
  // Stamps visibility classes on the tree and the objects' nodes.
  void Cull(const Frustum& frustum);
  // Tests the pairs filed together; each contact is posted to both owners.
  void FindContacts();
  // Debug drawing: node boxes while CCDSNode::sDrawBounds is set, then the shapes.
  void Render();

  CCDSNode* GetRoot() { return root_.get(); }
  uint32_t GetCapacity() const { return static_cast<uint32_t>(slots_.size()); }
  uint32_t GetCount() const { return count_; }
  dgWorld* GetPhysicsWorld() const { return physicsWorld_; }

 private:
  CCDSWorld();
  // What the destructor does, leaving a world without slots.
  void Empty();
  int32_t Created(int32_t index, bool made);

  uint32_t count_ = 0;
  std::vector<CCDSObject*> slots_;
  std::unique_ptr<CCDSNode> root_;
  dgWorld* physicsWorld_ = nullptr;
  bool inContactPass_ = false;
  // Objects removed during the running contact pass.
  std::vector<CCDSObject*> removedInPass_;
};
