#include "physics/dynamics/dgChassisSolver.h"

#include <cmath>

#include "physics/dynamics/dgChassisCollisions.h"
#include "physics/dynamics/dgChassisConstraint.h"

namespace {

constexpr float kUnbounded = 1e15f;
// The brake row exists only for a limit above this.
constexpr float kMinBrakeLimit = 1e-10f;
// Penetration a contact row pushes out per step, at most.
constexpr float kMaxPenetration = 0.1f;
// Friction rows need an axle this far from parallel to the contact normal (|n × axle|²).
constexpr float kMinFrictionLever = 0.0001f;
constexpr float kRollingFrictionScale = 4.0f;
constexpr float kSideFrictionScale = 3.0f;
// Regularisation added to every row's diagonal.
constexpr float kDiagonalDamping = 0.001f;
constexpr float kTwoPi = 6.28318f;

static_assert(dgChassisSolver::kMaxWheels * 6 <= dgChassisSolver::kMaxRows,
              "every wheel's chassis rows fit the row block");

dgVector Direction(const dgVector& v) { return {v.x, v.y, v.z, 0.0f}; }

float Dot(const dgJacobianPair& a, const dgJacobianPair& b) {
  return a.linear0.DotProduct(b.linear0) + a.angular0.DotProduct(b.angular0) + a.linear1.DotProduct(b.linear1) +
         a.angular1.DotProduct(b.angular1);
}

}  // namespace

void dgChassisSolver::Step(dgChassisConstraint& chassis, float dt) {
  dgBody& body = *chassis.body0;
  chassis_ = &body;
  upLocal_ = chassis.up;
  up_ = body.matrix.RotateVector(chassis.up);
  omega_ = Direction(body.omega);
  veloc_ = Direction(body.veloc);

  force_[kStaticIndex] = force_[kChassisIndex] = dgVector();
  torque_[kStaticIndex] = torque_[kChassisIndex] = dgVector();
  bodyCount_ = kFirstWheelIndex;
  bodies_[kStaticIndex] = &static_;
  bodies_[kChassisIndex] = &body;
  rowCount_ = 0;

  const int wheelCount = chassis.wheels.GetCount();
  const int stepped = wheelCount < kMaxWheels ? wheelCount : kMaxWheels;
  const float nw = stepped ? static_cast<float>(stepped) : 1.0f;
  const float sigma = std::pow(2.0f, 1.0f / nw) - 1.0f;

  for (auto* node = chassis.wheels.GetFirst(); node; node = node->GetNext()) {
    dgChassisWheel& wheel = node->GetInfo();
    if (bodyCount_ >= kWheelSlots) {
      // No slot left: this wheel sits out the step as one without contact.
      wheel.bodyIndex = -1;
      wheel.noContact = 1;
      wheel.rollingSliding = wheel.sideSliding = 0;
      continue;
    }
    const int w = bodyCount_;
    wheels_[w] = &wheel;
    wheel.bodyIndex = w;
    AddChassisRows(w, dt, sigma);
    ++bodyCount_;
  }

  firstContactBody_ = bodyCount_;
  const float invDt = 1.0f / dt;
  for (int w = kFirstWheelIndex; w < firstContactBody_; ++w) AddContactRows(w, invDt);

  BuildSystem();
  solver_.bodyCount = bodyCount_;
  solver_.Solve(rowCount_, 0);
  ApplyForces();
  IntegrateWheels(dt);
}

void dgChassisSolver::AddChassisRows(int w, float dt, float sigma) {
  const dgBody& body = *chassis_;
  const dgChassisWheel& wheel = *wheels_[w];
  const dgVector axle = Direction(body.matrix.RotateVector(wheel.localMatrix.RotateVector(wheel.pin)));
  const dgVector roll = up_.CrossProduct(axle);
  const dgVector centre = wheel.localMatrix.posit + upLocal_.Scale(wheel.suspensionPosition);
  const dgVector centreGlobal = body.matrix.TransformVector(centre);
  const dgVector r0 = Direction(centreGlobal - body.globalCentreOfMass);

  dgPointParam param;
  param.r0 = r0;
  param.r1 = dgVector();
  param.centripetal0 = omega_.CrossProduct(omega_.CrossProduct(r0));
  param.centripetal1 = dgVector();

  wheelCentre_[w] = centreGlobal;
  wheelAxle_[w] = axle;
  centreVelocity_[w] = veloc_ + omega_.CrossProduct(r0) + up_.Scale(wheel.suspensionVelocity);
  angularVelocity_[w] = omega_ + axle.Scale(wheel.spinRate);
  externalForce_[w] = Direction(up_.Scale(wheel.load));
  externalTorque_[w] = axle.Scale(wheel.driveTorque);

  AddLinearRow(w, rowCount_++, param, roll);
  AddLinearRow(w, rowCount_++, param, axle);

  const int suspension = rowCount_++;
  AddLinearRow(w, suspension, param, up_);
  const float k = wheel.spring;
  const float d = wheel.damping;
  const float x = wheel.suspensionPosition;
  const float v = wheel.suspensionVelocity;
  solver_.c[suspension] = sigma;
  solver_.r[suspension] = (k * x + (k * dt + d) * v) / ((k * dt + d) * dt + 1.0f);

  AddAngularRow(w, rowCount_++, up_);
  AddAngularRow(w, rowCount_++, roll);
  if (wheel.brakeLimit > kMinBrakeLimit) {
    const int brake = rowCount_++;
    AddAngularRow(w, brake, axle);
    solver_.r[brake] = wheel.brakeTarget;
    solver_.bounds[brake].lower = -wheel.brakeLimit;
    solver_.bounds[brake].upper = wheel.brakeLimit;
  }
}

void dgChassisSolver::AddLinearRow(int w, int row, const dgPointParam& param, const dgVector& direction) {
  const dgVector d = Direction(direction);
  solver_.bodyIndex[row][0] = kChassisIndex;
  solver_.bodyIndex[row][1] = w;
  dgJacobianPair& J = solver_.J[row];
  J.linear0 = d;
  J.angular0 = param.r0.CrossProduct(d);
  J.linear1 = d.Scale(-1.0f);
  J.angular1 = d.CrossProduct(param.r1);
  solver_.c[row] = 0.0f;
  solver_.r[row] = d.DotProduct(param.centripetal1 - param.centripetal0);
  solver_.bounds[row] = dgRowBounds{};
}

void dgChassisSolver::AddAngularRow(int w, int row, const dgVector& direction) {
  const dgVector d = Direction(direction);
  solver_.bodyIndex[row][0] = kChassisIndex;
  solver_.bodyIndex[row][1] = w;
  dgJacobianPair& J = solver_.J[row];
  J.linear0 = dgVector();
  J.angular0 = d;
  J.linear1 = dgVector();
  J.angular1 = d.Scale(-1.0f);
  solver_.c[row] = 0.0f;
  solver_.r[row] = 0.0f;
  solver_.bounds[row] = dgRowBounds{};
}

void dgChassisSolver::WriteContactRow(int row, int first, int w, const dgVector& r0, const dgVector& rw,
                                      const dgVector& d) {
  solver_.bodyIndex[row][0] = first;
  solver_.bodyIndex[row][1] = w;
  dgJacobianPair& J = solver_.J[row];
  J.linear0 = d;
  J.angular0 = r0.CrossProduct(d);
  J.linear1 = d.Scale(-1.0f);
  J.angular1 = d.CrossProduct(rw);
}

int dgChassisSolver::FindOrAddTouchedBody(dgBody* body) {
  for (int b = firstContactBody_; b < bodyCount_; ++b) {
    if (bodies_[b] == body) return b;
  }
  if (bodyCount_ >= kMaxBodies) return -1;
  const int b = bodyCount_++;
  bodies_[b] = body;
  force_[b] = dgVector();
  torque_[b] = dgVector();
  return b;
}

void dgChassisSolver::AddContactRows(int w, float invDt) {
  dgChassisWheel& wheel = *wheels_[w];
  wheel.noContact = 1;
  wheel.rollingSliding = 0;
  wheel.sideSliding = 0;
  if (!wheel.collision || !wheel.collision->IsType(dgWheelCollisionId)) return;
  const auto& collision = *static_cast<const dgWheelCollision*>(wheel.collision);

  const dgVector& axle = wheelAxle_[w];
  const int contactCount = collision.GetContactCount();
  for (int i = 0; i < contactCount; ++i) {
    const dgWheelContact& contact = collision.contacts[i];
    dgBody* partner = contact.bodyA == chassis_ ? contact.bodyB : contact.bodyA;
    if (!partner) continue;
    wheel.noContact = 0;

    const dgVector n = Direction(contact.normal);
    const float load = n.DotProduct(externalForce_[w] - wheel.receivedForce);
    dgVector lever;
    bool friction = false;
    if (load > 0.0f) {
      lever = n.CrossProduct(axle);
      friction = lever.LengthSquared() > kMinFrictionLever;
    }
    // A contact that no longer fits the fixed blocks is dropped whole.
    const int rowsNeeded = friction ? 3 : 1;
    if (rowCount_ + rowsNeeded > kMaxRows) continue;

    int first = kStaticIndex;
    float softness = 0.0f;
    if (partner->invMass != 0.0f) {
      first = FindOrAddTouchedBody(partner);
      if (first < 0) continue;
      softness = std::fmin(0.5f, wheel.mass * partner->invMass);
    }

    const dgVector rPartner = Direction(contact.point - partner->globalCentreOfMass);
    const dgVector vPartner = partner->veloc + partner->omega.CrossProduct(rPartner);
    const dgVector rWheel = Direction(contact.point - wheelCentre_[w]);
    const dgVector vWheel = centreVelocity_[w] + angularVelocity_[w].CrossProduct(rWheel);
    const dgVector vRel = Direction(vWheel - vPartner);

    const int normalRow = rowCount_++;
    WriteContactRow(normalRow, first, w, rPartner, rWheel, n);
    solver_.bounds[normalRow] = dgRowBounds{0.0f, kUnbounded};
    solver_.c[normalRow] = softness;
    const float penetration = std::fmin(contact.penetration, kMaxPenetration);
    solver_.r[normalRow] = (invDt * penetration * 0.5f + 1.1f * vRel.DotProduct(n)) * invDt;
    if (!friction) continue;

    const dgVector rolling = lever.Scale(dgRsqrt(lever.LengthSquared()));
    const dgVector side = rolling.CrossProduct(n);
    struct FrictionRow {
      const dgVector& direction;
      float softness;
      float slideSpeed;
      float scale;
      float staticCoefficient;
      float slidingCoefficient;
      uint8_t& slidingFlag;
    } rows[2] = {
        {rolling, wheel.rollingSoftness, wheel.rollingSlideSpeed, kRollingFrictionScale,
         contact.staticRollingCoefficient, contact.slidingRollingCoefficient, wheel.rollingSliding},
        {side, wheel.sideSoftness, wheel.sideSlideSpeed, kSideFrictionScale, contact.staticSideCoefficient,
         contact.slidingSideCoefficient, wheel.sideSliding},
    };
    for (const FrictionRow& entry : rows) {
      const int row = rowCount_++;
      WriteContactRow(row, first, w, rPartner, rWheel, entry.direction);
      const float speed = vRel.DotProduct(entry.direction);
      float mu = entry.scale * entry.staticCoefficient;
      if (std::fabs(speed) >= entry.slideSpeed) {
        mu = entry.scale * entry.slidingCoefficient;
        entry.slidingFlag = 1;
      }
      solver_.c[row] = entry.softness;
      solver_.r[row] = speed * invDt;
      solver_.bounds[row] = dgRowBounds{-load * mu, load * mu};
    }
  }
}

void dgChassisSolver::BuildSystem() {
  const dgBody& body = *chassis_;
  const dgMatrix invInertia = body.CalcInvInertiaMatrix();
  for (int i = 0; i < rowCount_; ++i) {
    const dgJacobianPair& J = solver_.J[i];
    dgJacobianPair& K = solver_.K[i];
    const int w = solver_.bodyIndex[i][1];
    const dgChassisWheel& wheel = *wheels_[w];
    if (solver_.bodyIndex[i][0] == kChassisIndex) {
      K.linear0 = J.linear0.Scale(body.invMass);
      K.angular0 = Direction(invInertia.RotateVector(J.angular0));
    } else {
      // The static record and the touched bodies do not move in this
      // system: they take part only through the row's diagonal term.
      K.linear0 = dgVector();
      K.angular0 = dgVector();
    }
    K.linear1 = J.linear1.Scale(wheel.invMass);
    K.angular1 = J.angular1.Scale(wheel.invInertia);

    const float diagonal = Dot(J, K);
    solver_.r[i] -= K.linear0.DotProduct(body.accel) + K.angular0.DotProduct(body.alpha) +
                    K.linear1.DotProduct(externalForce_[w]) + K.angular1.DotProduct(externalTorque_[w]);
    solver_.x[i] = 0.0f;
    solver_.mask[i] = 1.0f;
    const float c = solver_.c[i];
    const float scale = (c + kDiagonalDamping + 1.0f) * diagonal;
    // A row no body can answer (an axle along up, a wheel without inertia)
    // gets no preconditioning and stays at zero force.
    solver_.m[i] = scale != 0.0f ? 1.0f / scale : 0.0f;
    solver_.c[i] = diagonal * (c + kDiagonalDamping);
  }
}

void dgChassisSolver::ApplyForces() {
  dgBody& body = *chassis_;
  for (int w = kFirstWheelIndex; w < firstContactBody_; ++w) wheels_[w]->receivedForce = dgVector();
  for (int i = 0; i < rowCount_; ++i) {
    const float f = solver_.x[i];
    const dgJacobianPair& J = solver_.J[i];
    const int first = solver_.bodyIndex[i][0];
    const int w = solver_.bodyIndex[i][1];
    force_[first] += J.linear0.Scale(f);
    torque_[first] += J.angular0.Scale(f);
    externalForce_[w] += J.linear1.Scale(f);
    externalTorque_[w] += J.angular1.Scale(f);
    if (first == kChassisIndex) wheels_[w]->receivedForce -= J.linear1.Scale(f);
  }
  body.accel += force_[kChassisIndex];
  body.alpha += torque_[kChassisIndex];
}

void dgChassisSolver::IntegrateWheels(float dt) {
  const dgBody& body = *chassis_;
  const dgVector accel = Direction(body.accel.Scale(body.invMass));
  const dgVector alpha = Direction(body.CalcInvInertiaMatrix().RotateVector(body.alpha));
  for (int w = kFirstWheelIndex; w < firstContactBody_; ++w) {
    dgChassisWheel& wheel = *wheels_[w];
    const dgVector r =
        Direction(body.matrix.RotateVector(wheel.localMatrix.posit + upLocal_.Scale(wheel.suspensionPosition)));
    const dgVector pointAccel = accel + alpha.CrossProduct(r) + omega_.CrossProduct(omega_.CrossProduct(r));
    const dgVector wheelAccel = externalForce_[w].Scale(wheel.invMass);
    wheel.suspensionVelocity += up_.DotProduct(wheelAccel - pointAccel) * dt;
    wheel.suspensionPosition += wheel.suspensionVelocity * dt;

    // The spin takes half its change before the angle moves and half after.
    const float halfSpin = wheelAxle_[w].DotProduct(externalTorque_[w].Scale(wheel.invInertia)) * dt * 0.5f;
    wheel.spinRate += halfSpin;
    wheel.spinAngle = std::fmod(wheel.spinAngle + wheel.spinRate * dt, kTwoPi);
    wheel.spinRate += halfSpin;
  }
}
