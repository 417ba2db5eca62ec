#pragma once
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"

class TransformNode;

// Moves and turns one transform node with damped motion and three wrapped
// rotation angles, integrated with the clock's frame time.
class CameraController {
 public:
  // A direction (unit or zero), a magnitude and how fast it decays.
  struct Motion {
    Vector3 direction;
    float magnitude = 0.0f;
    float damping = kDefaultDamping;
  };
  static constexpr float kDefaultDamping = 0.95f;
  static constexpr float kTwoPi = 6.2831855f;

  // The time step the controller integrates with (seconds); tests inject their own.
  using TimeSource = float (*)(bool useRealTime);
  // Replaces the time source; null restores the clock. Returns the previous one.
  static TimeSource SetTimeSource(TimeSource source);

  CameraController();
  virtual ~CameraController() = default;

  // Angles to 0 (with their limits), quaternions to identity, directions to
  // zero with the default damping, forward to +Z, delta to zero.
  void Reset();
  // Stores the offset vector; a disabled controller keeps the one it has.
  void SetOffset(const Vector3& value) {
    if (enabled) offset = value;
  }
  // One integration step of velocity and acceleration into the node's position.
  void Update();
  // Speed and direction from a vector (zero stops).
  void SetVelocity(const Vector3& v);
  // Magnitude and direction of the acceleration from a vector.
  void SetAcceleration(const Vector3& a);
  // Dampings become min(|d|, 1).
  void SetVelocityDamping(float d);
  void SetAccelerationDamping(float d);
  // Adds axis * amount to the velocity.
  void AddMotion(const Vector3& axis, float amount);
  // Adds motion along row 0, 1 or 2 of the node's view rotation.
  void MoveAlongRow0(float amount) { MoveAlongRow(0, amount); }
  void MoveAlongRow1(float amount) { MoveAlongRow(1, amount); }
  void MoveAlongRow2(float amount) { MoveAlongRow(2, amount); }
  // Sets the three angles (radians, wrapped) and turns the node by the change.
  void SetRotation(float x, float y, float z);
  // Turns the node by mouse-style deltas (degrees: -x/2, -y/2, -z/20).
  void SetRotationDelta(int x, int y, int z);
  // Steps the three angles by one amount and rebuilds the orientation.
  void StepRotation(float step);
  // Node rotation := qY * qX * qZ of the three angles.
  void UpdateOrientation();
  // Node rotation := qY * qX * qZ of the three angle rates.
  void ApplyRotationDelta();
  // Turns the node toward a point; a view parallel to the up vector picks another up.
  void LookAt(const Vector3& target);
  // Turns the node's +Z along the velocity or acceleration direction.
  void FaceVelocity();
  void FaceAcceleration();
  // Turns the node so that its Z axis points along the direction.
  void AlignZ(const Vector3& direction);

  Vector3 GetVelocity() const { return velocity.direction * velocity.magnitude; }
  Vector3 GetAcceleration() const { return acceleration.direction * acceleration.magnitude; }
  Vector3 GetDelta() const { return delta; }

  bool enabled = false;
  TransformNode* drivenNode = nullptr;
  Matrix4 rotationMatrix;
  Quaternion qX, qY, qZ;
  Motion previousVelocity;
  Motion previousAcceleration;
  Motion velocity;
  Motion acceleration;
  bool useRealTime = false;
  Vector3 forward{0.0f, 0.0f, 1.0f};
  ValueStepper angleX, angleY, angleZ;
  Vector3 delta;
  Vector3 offset;

 private:
  void MoveAlongRow(int row, float amount);
  void Face(const Vector3& direction);
  void BuildOrientation(float x, float y, float z);
};
