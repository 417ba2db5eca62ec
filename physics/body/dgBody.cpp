#include "physics/body/dgBody.h"

#include <cmath>

namespace {

// Enough shrink steps to bring any finite speed within the limit (0.8^1000 ~ 1e-97).
constexpr int kMaxShrinkSteps = 1000;
// The body-space spin is raised by this much before it turns the body.
constexpr float kSpinGain = 1.05f;

bool IsFinite(const dgVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Shrinks omega by 0.8 until one step turns by at most the limit. A spin
// that is not finite cannot be shrunk: it stops instead.
dgVector LimitSpin(dgVector omega, float timeStep) {
  if (!IsFinite(omega)) return dgVector(0.0f, 0.0f, 0.0f, omega.w);
  const float limit2 = dgBody::kMaxRotationPerStep * dgBody::kMaxRotationPerStep;
  for (int i = 0; i < kMaxShrinkSteps && omega.LengthSquared() * timeStep * timeStep > limit2; ++i) {
    omega = omega.Scale(0.8f);
  }
  return omega;
}

dgVector ScaleComponents(const dgVector& v, const dgVector& s) { return {v.x * s.x, v.y * s.y, v.z * s.z, v.w}; }

}  // namespace

void dgBody::IntegrateVelocity(float timeStep) {
  accel = accel.Scale(invMass);
  veloc += accel.Scale(timeStep);
  globalCentreOfMass += veloc.Scale(timeStep);

  alpha = matrix.RotateVector(ScaleComponents(matrix.UnrotateVector(alpha), invInertia));
  omega += alpha.Scale(timeStep);
  omega = LimitSpin(omega, timeStep);

  const dgVector spin = matrix.UnrotateVector(omega).Scale(kSpinGain);
  const float speed = std::sqrt(spin.LengthSquared());
  if (speed > kMinRotationSpeed) {
    const dgVector axis = spin.Scale(1.0f / speed);
    rotation = rotation.Multiply(dgQuaternion(axis, speed * timeStep)).Normalized();
    matrix = dgMatrix(rotation, matrix.posit);
  }
  matrix.posit = globalCentreOfMass - matrix.RotateVector(localCentreOfMass);
  matrix.posit.w = 1.0f;
}

void dgBody::PredictVelocities(float timeStep, dgVector& outVeloc, dgVector& outOmega) const {
  outVeloc = veloc + accel.Scale(invMass * timeStep);
  const dgVector angularAccel = matrix.RotateVector(ScaleComponents(matrix.UnrotateVector(alpha), invInertia));
  outOmega = LimitSpin(omega + angularAccel.Scale(timeStep), timeStep);
}

dgMatrix dgBody::CalcInvInertiaMatrix() const {
  // R^T D R with R the rotation rows: symmetric by construction.
  dgMatrix out;
  for (int i = 0; i < 3; ++i) {
    dgVector row(0.0f, 0.0f, 0.0f, 0.0f);
    for (int k = 0; k < 3; ++k) row += matrix[k].Scale(matrix[k][i] * invInertia[k]);
    row.w = 0.0f;
    out[i] = row;
  }
  out.posit = dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  return out;
}
