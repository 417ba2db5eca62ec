#pragma once
// The collisions a chassis is made of: the chassis's compound collision,
// which is only a list of its wheels' collisions, and the wheel collision,
// which carries the contacts the collision stage found for one wheel. Both
// answer no geometric query: no code of this program collides them.

#include <cstdint>

#include "physics/shapes/dgCollision.h"

// One contact of a wheel, as the collision stage fills it.
struct dgWheelContact {
  dgBody* bodyA = nullptr;
  uintptr_t bodyAWord = 0;
  dgBody* bodyB = nullptr;  // the partner when body A is the chassis
  uintptr_t bodyBWord = 0;
  dgVector point;   // world space
  dgVector normal;  // world space
  float staticRollingCoefficient = 0.0f;
  float staticSideCoefficient = 0.0f;
  float slidingRollingCoefficient = 0.0f;
  float slidingSideCoefficient = 0.0f;
  float penetration = 0.0f;
};

// A collision that answers no query: an empty box at its placement, no
// faces, no ray hit, no volume. Never cached.
class dgInertCollision : public dgCollision {
 public:
  dgInertCollision(const dgMatrix& offset, uint32_t kind) : dgCollision(0, offset, kind) {}

  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const override;
  void ForEachFace(const dgBody*, dgFaceCallback) const override {}
  float RayCast(const dgVector&, const dgVector&, dgContact&) const override { return kRayMiss; }
  float GetVolume() const override { return 0.0f; }
  void CalculateInertia(dgVector& outInertia, dgVector& outCentre) const override;
  void CalculateVolumeBelowPlane(dgVector& out, const dgMatrix&, dgPlaneCallback, void*) const override;
  uint32_t CalculateSignature() const override { return GetSignature(); }
};

// One wheel's collision: its placement on the chassis (rewritten every
// step), its suspension offset and the contacts of the current step.
class dgWheelCollision : public dgInertCollision {
 public:
  static constexpr int kMaxContacts = 8;

  dgWheelCollision() : dgInertCollision(dgGetIdentityMatrix(), kInert) {}

  uint32_t GetTypeId() const override { return dgWheelCollisionId; }
  bool IsType(uint32_t id) const override { return id == dgWheelCollisionId || dgCollision::IsType(id); }

  // The contacts to read: the count held to 0..kMaxContacts.
  int GetContactCount() const;

  float suspensionOffset = 0.0f;
  int32_t contactCount = 0;
  uint32_t contactWord = 0;  // cleared with the count every step
  dgWheelContact contacts[kMaxContacts];
};

// The chassis body's collision: the list of its wheels' collisions, each
// holding one reference. It reports the compound class id.
class dgChassisCompoundCollision : public dgInertCollision {
 public:
  // Flag bit the chassis release clears.
  static constexpr uint32_t kChassisFlag = 2u;

  dgChassisCompoundCollision() : dgInertCollision(dgGetIdentityMatrix(), kCompound) {}
  // Drops the reference of every part left.
  ~dgChassisCompoundCollision() override;

  uint32_t GetTypeId() const override { return dgCompoundCollisionId; }
  bool IsType(uint32_t id) const override { return id == dgCompoundCollisionId || dgCollision::IsType(id); }

  // Appends a part and takes one reference of it; false when no room can be had.
  bool AddPart(dgCollision* part);
  // Finds the part, drops the compound's reference and moves the last part
  // into its place; false when it is not a part. Its caller, the wheel's
  // removal, still holds the wheel's own reference, so the drop never leaves
  // a cached shape to the world's cache alone: the cache has no part in it.
  bool RemovePart(dgCollision* part);
  int GetPartCount() const { return count_; }
  dgCollision* GetPart(int index) const { return parts_[index]; }

 private:
  dgCollision** parts_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};
