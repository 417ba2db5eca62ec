#pragma once
// A chassis body carried on sprung, spinning wheels. It lives in its own
// pool of the world; its step solves its wheels' rows by itself and leaves
// only force and torque in the chassis, so it writes no rows of its own.

#include "physics/body/dgConstraint.h"

class dgCollision;
class dgChassisConstraint;

// Called once per step with the constraint (the update callback) or when it is released.
using dgChassisCallback = void (*)(dgChassisConstraint* chassis);

// The time step of one solver step.
struct dgStepDescriptor {
  uint32_t unused = 0;
  float timeStep = 0.0f;
  float invTimeStep = 0.0f;
};

// One wheel: a small body of its own joined to the chassis along up.
struct dgChassisWheel {
  dgMatrix localMatrix;      // the wheel's frame in chassis space; posit = suspension hard point
  dgMatrix alignmentMatrix;  // left factor of the wheel collision's placement
  dgVector pin;              // the axle in the wheel's frame
  dgVector receivedForce;    // what the chassis rows put on the wheel in the last solve
  float mass = 0.0f;
  float damping = 0.0f;
  float spring = 0.0f;
  dgCollision* collision = nullptr;
  float invMass = 0.0f;
  float invInertia = 0.0f;
  float load = 0.0f;
  float driveTorque = 0.0f;
  float sideSoftness = 0.0f;
  float sideSlideSpeed = 0.5f;
  float rollingSoftness = 0.0f;
  float rollingSlideSpeed = 0.5f;
  float brakeTarget = 0.0f;
  float brakeLimit = 0.0f;
  float suspensionPosition = 0.0f;
  float spinAngle = 0.0f;
  float suspensionVelocity = 0.0f;
  float spinRate = 0.0f;
  int32_t bodyIndex = 0;
  uint8_t noContact = 0;
  uint8_t rollingSliding = 0;
  uint8_t sideSliding = 0;
};

class dgChassisConstraint : public dgConstraint {
 public:
  dgChassisConstraint() = default;
  ~dgChassisConstraint() override { wheels.RemoveAll(); }

  // Stores the destroy callback.
  void SetUserCallback(dgConstraintCallback callback) override { destroyCallback = callback; }
  Kind GetKind() const override { return kChassis; }
  // The chassis step for rows.timeStep: solves the wheels' rows, moves
  // their suspension and spin, pushes the touched bodies and leaves in the
  // chassis only the force and torque of the motion found. Writes no rows
  // of the world's solver (returns 0); a step that is not positive changes nothing.
  int JacobianDerivative(dgJacobianRows& rows) override;
  // The wheel collision's placement on the chassis: alignment · spin · local.
  static dgMatrix CalcWheelMatrix(const dgChassisWheel& wheel);
  // Removes one wheel: its collision leaves the chassis's compound
  // collision, then the wheel's own reference of it is dropped; null is ignored.
  void RemoveWheel(dgRefList<dgChassisWheel>::dgListNode* node);

  dgVector up{0.0f, 1.0f, 0.0f, 0.0f};  // chassis space
  dgRefList<dgChassisWheel> wheels;
  dgStepDescriptor stepDescriptor;  // of the last step, for the update callback
  dgChassisCallback updateCallback = nullptr;
  dgConstraintCallback destroyCallback = nullptr;
};
