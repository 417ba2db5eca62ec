#include "physics/dynamics/dgChassisConstraint.h"

#include "physics/body/dgBody.h"
#include "physics/dynamics/dgChassisCollisions.h"
#include "physics/dynamics/dgChassisSolver.h"
#include "physics/math/dgQuaternion.h"

namespace {

// Reaction given to the touched bodies: the first scale, its shrink factor,
// and the limit per squared acceleration along up.
constexpr float kReactionScale = 0.1f;
constexpr float kReactionShrink = 0.9f;
constexpr float kReactionLimitFactor = 2000.0f;
// A chassis at rest without wheel contact is pulled down by its weight when
// every motion term is below this fraction of its squared mass.
constexpr float kRestFraction = 0.01f;

dgChassisCompoundCollision* CompoundOf(const dgBody* chassis) {
  if (!chassis || !chassis->collision || !chassis->collision->IsType(dgCompoundCollisionId)) return nullptr;
  return static_cast<dgChassisCompoundCollision*>(chassis->collision);
}

dgWheelCollision* WheelCollisionOf(const dgChassisWheel& wheel) {
  if (!wheel.collision || !wheel.collision->IsType(dgWheelCollisionId)) return nullptr;
  return static_cast<dgWheelCollision*>(wheel.collision);
}

// The chassis state a step must hand back untouched.
struct SavedMotion {
  dgMatrix matrix;
  dgVector veloc;
  dgVector omega;
  dgVector centreOfMass;
  dgQuaternion rotation;
};

void ResetWheelsForStep(dgRefList<dgChassisWheel>& wheels, float accelerationAlongUp) {
  for (auto* node = wheels.GetFirst(); node; node = node->GetNext()) {
    dgChassisWheel& wheel = node->GetInfo();
    wheel.load = accelerationAlongUp * wheel.mass;
    wheel.driveTorque = 0.0f;
    wheel.sideSoftness = 0.0f;
    wheel.sideSlideSpeed = 0.5f;
    wheel.rollingSoftness = 0.0f;
    wheel.rollingSlideSpeed = 0.5f;
    wheel.brakeTarget = 0.0f;
    wheel.brakeLimit = 0.0f;
  }
}

// Passes the solver's reaction to the bodies the wheels touched, all scaled
// alike: the scale only shrinks, so a heavy reaction on one body also
// tempers those after it.
void PushTouchedBodies(const dgChassisSolver& solver, float limit) {
  float scale = kReactionScale;
  for (int b = solver.GetFirstContactBody(); b < solver.GetBodyCount(); ++b) {
    dgBody* body = solver.GetBody(b);
    const dgVector& force = solver.GetForceAccumulator(b);
    const float accel2 = force.LengthSquared() * body->invMass * body->invMass;
    // Ends even for a limit of 0: the scale reaches 0 within about a thousand passes.
    while (accel2 * scale * scale > limit) scale *= kReactionShrink;
    body->accel += force.Scale(scale);
    body->alpha += solver.GetTorqueAccumulator(b).Scale(scale);
  }
}

}  // namespace

void dgChassisConstraint::RemoveWheel(dgRefList<dgChassisWheel>::dgListNode* node) {
  if (!node) return;
  dgCollision* collision = node->GetInfo().collision;
  if (dgChassisCompoundCollision* compound = CompoundOf(body0); compound && collision) {
    compound->RemovePart(collision);
  }
  wheels.Remove(node);
  if (collision) collision->Release();
}

dgMatrix dgChassisConstraint::CalcWheelMatrix(const dgChassisWheel& wheel) {
  const dgMatrix spin(dgQuaternion(wheel.pin, wheel.spinAngle), dgVector(0.0f, 0.0f, 0.0f, 1.0f));
  return wheel.alignmentMatrix.Multiply(spin).Multiply(wheel.localMatrix);
}

int dgChassisConstraint::JacobianDerivative(dgJacobianRows& rows) {
  dgBody* chassis = body0;
  const float dt = rows.timeStep;
  if (!chassis || !(dt > 0.0f)) return 0;

  const SavedMotion saved{chassis->matrix, chassis->veloc, chassis->omega, chassis->globalCentreOfMass,
                          chassis->rotation};
  const dgVector upGlobal = chassis->matrix.RotateVector(up);
  const float g = upGlobal.DotProduct(chassis->accel.Scale(chassis->invMass));

  ResetWheelsForStep(wheels, g);
  stepDescriptor = dgStepDescriptor{0, dt, 1.0f / dt};
  if (updateCallback) updateCallback(this);
  const float reactionLimit = kReactionLimitFactor * g * g;

  {
    dgChassisSolver solver;
    solver.Step(*this, dt);
    chassis->IntegrateVelocity(dt);
    PushTouchedBodies(solver, reactionLimit);
  }

  bool noWheelTouches = true;
  for (auto* node = wheels.GetFirst(); node; node = node->GetNext()) {
    dgChassisWheel& wheel = node->GetInfo();
    noWheelTouches = noWheelTouches && wheel.noContact;
    dgWheelCollision* collision = WheelCollisionOf(wheel);
    if (!collision) continue;
    dgMatrix placement = CalcWheelMatrix(wheel);
    const dgVector lift = up.Scale(collision->suspensionOffset);
    placement.posit.x += lift.x;
    placement.posit.y += lift.y;
    placement.posit.z += lift.z;
    collision->SetOffsetMatrix(placement);
  }

  // The force and torque that give the motion the step found.
  const float invDt = stepDescriptor.invTimeStep;
  const dgVector dv = (chassis->veloc - saved.veloc).Scale(chassis->mass * invDt);
  chassis->accel.x = dv.x;
  chassis->accel.y = dv.y;
  chassis->accel.z = dv.z;
  const dgVector dw = saved.matrix.UnrotateVector((chassis->omega - saved.omega).Scale(invDt));
  chassis->alpha = saved.matrix.RotateVector(
      dgVector(dw.x * chassis->inertia.x, dw.y * chassis->inertia.y, dw.z * chassis->inertia.z, 1.0f));

  chassis->veloc = saved.veloc;
  chassis->omega = saved.omega;
  chassis->globalCentreOfMass = saved.centreOfMass;
  chassis->rotation = saved.rotation;
  chassis->matrix = saved.matrix;

  for (auto* node = wheels.GetFirst(); node; node = node->GetNext()) {
    if (dgWheelCollision* collision = WheelCollisionOf(node->GetInfo())) {
      collision->contactCount = 0;
      collision->contactWord = 0;
    }
  }

  if (noWheelTouches) {
    const float rest = chassis->mass * chassis->mass * kRestFraction;
    if (chassis->accel.LengthSquared() < rest && chassis->alpha.LengthSquared() < rest &&
        chassis->veloc.LengthSquared() < rest && chassis->omega.LengthSquared() < rest) {
      chassis->accel = upGlobal.Scale(-chassis->mass);
      chassis->accel.w = 1.0f;
    }
  }
  return 0;
}
