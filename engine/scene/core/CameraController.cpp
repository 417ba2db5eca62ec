#include "engine/scene/core/CameraController.h"

#include <algorithm>
#include <cmath>

#include "engine/foundation/Clock.h"
#include "engine/foundation/TransformNode.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// Below this the view and the up vector count as parallel.
constexpr float kParallelLimit = 1e-4f;

float ClockTimeStep(bool useRealTime) {
  const Clock& clock = Clock::Instance();
  return useRealTime ? clock.GetRealDelta() : clock.GetGameDelta();
}

CameraController::TimeSource& CurrentTimeSource() {
  static CameraController::TimeSource source = &ClockTimeStep;
  return source;
}

void SetMotion(CameraController::Motion& motion, const Vector3& v) {
  motion.magnitude = v.Length();
  motion.direction = v;
  motion.direction.Normalise();
}

void ResetAngle(ValueStepper& angle) {
  angle.Set(ValueStepper::kWrap, -CameraController::kTwoPi, CameraController::kTwoPi, 0.0f, 0.0f);
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

}  // namespace

CameraController::TimeSource CameraController::SetTimeSource(TimeSource source) {
  TimeSource previous = CurrentTimeSource();
  CurrentTimeSource() = source != nullptr ? source : &ClockTimeStep;
  return previous;
}

CameraController::CameraController() { Reset(); }

void CameraController::Reset() {
  ResetAngle(angleX);
  ResetAngle(angleY);
  ResetAngle(angleZ);
  qX = qY = qZ = Quaternion();
  velocity.direction = Vector3();
  velocity.damping = kDefaultDamping;
  acceleration.direction = Vector3();
  acceleration.damping = kDefaultDamping;
  forward = Vector3(0.0f, 0.0f, 1.0f);
  delta = Vector3();
}

void CameraController::Update() {
  if (!enabled) return;
  previousVelocity = velocity;
  previousAcceleration = acceleration;
  const float dt = CurrentTimeSource()(useRealTime);
  Vector3 displacement;
  if (velocity.magnitude != 0.0f) {
    const float s = dt * velocity.magnitude;
    displacement += velocity.direction * s;
    velocity.magnitude -= s * velocity.damping;
  }
  if (acceleration.magnitude != 0.0f) {
    const float s = dt * acceleration.magnitude;
    displacement += acceleration.direction * s;
    acceleration.magnitude -= s * acceleration.damping;
  }
  if (displacement == Vector3() || drivenNode == nullptr) return;
  drivenNode->centre += displacement;
  delta = displacement;
  drivenNode->local.SetTranslation(drivenNode->centre);
}

void CameraController::SetVelocity(const Vector3& v) {
  if (enabled) SetMotion(velocity, v);
}

void CameraController::SetAcceleration(const Vector3& a) {
  if (enabled) SetMotion(acceleration, a);
}

void CameraController::SetVelocityDamping(float d) { velocity.damping = std::min(std::fabs(d), 1.0f); }

void CameraController::SetAccelerationDamping(float d) { acceleration.damping = std::min(std::fabs(d), 1.0f); }

void CameraController::AddMotion(const Vector3& axis, float amount) {
  SetMotion(velocity, velocity.direction * velocity.magnitude + axis * amount);
}

void CameraController::MoveAlongRow(int row, float amount) {
  if (!enabled || drivenNode == nullptr) return;
  Matrix4 rotation;
  drivenNode->rotation.ToMatrix(rotation);
  rotationMatrix = Matrix4::Invert(rotation);
  const Vector3 axis = row == 0   ? rotationMatrix.GetRow0()
                       : row == 1 ? rotationMatrix.GetRow1()
                                  : rotationMatrix.GetRow2();
  AddMotion(axis, amount);
}

void CameraController::SetRotation(float x, float y, float z) {
  if (!enabled) return;
  ValueStepper* angles[3] = {&angleX, &angleY, &angleZ};
  const float values[3] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    const float old = angles[i]->value;
    angles[i]->value = values[i];
    angles[i]->ApplyLimits();
    angles[i]->rate = old - angles[i]->value;
  }
  ApplyRotationDelta();
}

void CameraController::SetRotationDelta(int x, int y, int z) {
  if (!enabled) return;
  angleX.rate = -float(x) / 2.0f * kDegreesToRadians;
  angleY.rate = -float(y) / 2.0f * kDegreesToRadians;
  angleZ.rate = -float(z) / 20.0f * kDegreesToRadians;
  ApplyRotationDelta();
}

void CameraController::StepRotation(float step) {
  if (!enabled) return;
  angleX.Step(step);
  angleY.Step(step);
  angleZ.Step(step);
  UpdateOrientation();
}

void CameraController::BuildOrientation(float x, float y, float z) {
  if (!enabled || drivenNode == nullptr) return;
  qX.SetAxisAngle(Vector3(1.0f, 0.0f, 0.0f), x);
  qY.SetAxisAngle(Vector3(0.0f, 1.0f, 0.0f), y);
  qZ.SetAxisAngle(Vector3(0.0f, 0.0f, 1.0f), z);
  Quaternion rotation = qY;
  rotation.Multiply(qX);
  rotation.Multiply(qZ);
  drivenNode->rotation = rotation;
}

void CameraController::UpdateOrientation() { BuildOrientation(angleX.value, angleY.value, angleZ.value); }

void CameraController::ApplyRotationDelta() { BuildOrientation(angleX.rate, angleY.rate, angleZ.rate); }

void CameraController::LookAt(const Vector3& target) {
  if (!enabled || drivenNode == nullptr) return;
  const Vector3 eye = drivenNode->centre;
  Vector3 direction = target - eye;
  if (direction.Length() == 0.0f) return;
  direction.Normalise();
  forward = direction;
  // The up of the current view, unless the new view runs (nearly) along it:
  // a camera looking straight down then keeps -Z at the top of the screen.
  Vector3 up = Matrix4::Invert(drivenNode->local).GetRow1();
  const Vector3 fallbacks[] = {up, Vector3(0.0f, 1.0f, 0.0f), Vector3(0.0f, 0.0f, -1.0f), Vector3(1.0f, 0.0f, 0.0f)};
  for (const Vector3& candidate : fallbacks) {
    Vector3 unit = candidate;
    unit.Normalise();
    if (Cross(direction, unit).Length() > kParallelLimit) {
      up = unit;
      break;
    }
  }
  Matrix4 placement;
  placement.LookAt(eye, target, up);
  drivenNode->local = placement;
  drivenNode->rotation.FromMatrix(Matrix4::Invert(placement));
}

void CameraController::Face(const Vector3& direction) {
  if (!enabled || drivenNode == nullptr || direction == Vector3()) return;
  const float yaw = std::atan2(direction.x, direction.z);
  const float pitch = std::atan2(direction.y, std::sqrt(direction.x * direction.x + direction.z * direction.z));
  Quaternion turn;
  turn.SetAxisAngle(Vector3(0.0f, 1.0f, 0.0f), yaw);
  Quaternion tilt;
  tilt.SetAxisAngle(Vector3(1.0f, 0.0f, 0.0f), -pitch);
  turn.Multiply(tilt);
  drivenNode->rotation = turn;
}

void CameraController::FaceVelocity() { Face(velocity.direction); }

void CameraController::FaceAcceleration() { Face(acceleration.direction); }

void CameraController::AlignZ(const Vector3& direction) {
  if (!enabled || drivenNode == nullptr) return;
  Vector3 d = direction;
  if (d.Length() == 0.0f) return;
  d.Normalise();
  const Vector3 zAxis(0.0f, 0.0f, 1.0f);
  const float c = std::clamp(Vector3::Dot(zAxis, d), -1.0f, 1.0f);
  Vector3 axis = Cross(zAxis, d);
  // Opposite directions: any axis across Z turns half way round.
  if (axis.Length() < kParallelLimit) axis = Vector3(1.0f, 0.0f, 0.0f);
  axis.Normalise();
  const float s = std::sqrt((1.0f - c) / 2.0f);
  drivenNode->rotation = Quaternion(axis.x * s, axis.y * s, axis.z * s, std::sqrt((1.0f + c) / 2.0f));
}
