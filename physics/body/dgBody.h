#pragma once
// A rigid body of the world: its placement and velocities, mass properties,
// the collision it carries, and the links that the broad phase, the active
// set and the joints keep in it. Bodies live in the world's body pool; the
// collide services also build short-lived ones on the stack.

#include <cstdint>

#include "physics/math/dgMatrix.h"
#include "physics/math/dgQuaternion.h"
#include "physics/math/dgVector.h"

class dgBody;
class dgBroadPhaseNode;
class dgCollision;
class dgConstraint;
class dgWorld;
struct dgBroadPhaseAxisEntry;
struct dgJointLink;

// Called when the world destroys a body.
using dgBodyDestructionCallback = void (*)(dgBody* body);
// Called when a body enters (state 1) or leaves (state 0) the active set.
using dgBodyActivationCallback = void (*)(const dgBody* body, unsigned state);

class dgBody {
 public:
  // Flag word bits.
  static constexpr uint32_t kFlagCollidable = 0x01;    // cleared while outside the world box
  static constexpr uint32_t kFlagAutoActivate = 0x02;  // a joint's removal wakes it
  static constexpr uint32_t kFlagResting = 0x04;       // set when its sleep timer is 0
  static constexpr uint32_t kFlagActive = 0x08;        // its activation callback last said 1
  static constexpr uint32_t kFlagContinuous = 0x20;    // swept contacts

  // Largest rotation one step may make, and the slowest spin that turns the body.
  static constexpr float kDegree = 0.0174533f;
  static constexpr float kMaxRotationPerStep = 45.0f * kDegree;
  static constexpr float kMinRotationSpeed = 0.0125f * kDegree;

  dgBody() = default;
  dgBody(const dgBody&) = delete;
  dgBody& operator=(const dgBody&) = delete;

  // Advances velocities from the accumulated force (in accel) and torque (in
  // alpha), then the centre of mass, the rotation and the matrix.
  void IntegrateVelocity(float timeStep);
  // The velocities IntegrateVelocity would reach, without changing the body.
  void PredictVelocities(float timeStep, dgVector& outVeloc, dgVector& outOmega) const;
  // The inverse inertia in world space (symmetric).
  dgMatrix CalcInvInertiaMatrix() const;

  bool IsInActiveSet() const { return activeNode != nullptr; }

  dgMatrix matrix;           // the body's placement
  dgMatrix collisionMatrix;  // the collision's offset times matrix
  dgQuaternion rotation;
  dgVector veloc;
  dgVector omega;    // world space
  dgVector accel;    // the accumulated force until integrated, then force * invMass
  dgVector alpha;    // the accumulated torque until integrated, then the angular acceleration
  dgVector inertia;  // principal inertia, body space
  float mass = 0.0f;
  dgVector invInertia;  // inverse principal inertia, body space
  float invMass = 0.0f;
  float sleepTimer = 0.0f;
  dgVector localCentreOfMass{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector globalCentreOfMass{0.0f, 0.0f, 0.0f, 1.0f};
  dgVector minBox;  // world box of the collision
  dgVector maxBox;
  dgCollision* collision = nullptr;
  dgWorld* world = nullptr;
  uint32_t flags = kFlagCollidable | kFlagAutoActivate;
  void* userData = nullptr;
  dgBodyDestructionCallback destructionCallback = nullptr;
  dgBodyActivationCallback activationCallback = nullptr;

  // Broad-phase links.
  dgBroadPhaseNode* broadPhaseNode = nullptr;
  dgBroadPhaseAxisEntry* axisEntries[3] = {};
  void* movedListNode = nullptr;
  uint32_t contactWords[2] = {};

  // World links: the active-set tree node and the joint links.
  void* activeNode = nullptr;
  void* bodyNode = nullptr;
  dgJointLink* jointList = nullptr;
};

// One record per body a joint connects; the body's joint list runs through them.
struct dgJointLink {
  dgConstraint* joint = nullptr;
  dgBody* otherBody = nullptr;
  dgJointLink* next = nullptr;
  dgJointLink* prev = nullptr;
};
