// What every row builder shares: the joint frames in world space,
// their relative Euler angles, and the writers of linear and angular rows.

#include <algorithm>
#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgConstraint.h"
#include "physics/body/dgJointRowsDetail.h"

namespace {

// asin's argument stays just inside ±1; beyond the pole threshold the
// x and z angles can no longer be told apart, so z is taken as 0.
constexpr float kEulerClamp = 0.999999f;
constexpr float kEulerPole = 0.99995f;
// Position errors beyond this are treated as this: a body thrown far away
// comes back at a bounded rate instead of with an infinite force.
constexpr float kMaxPositionError = 10000.0f;

dgVector RelativeTo(const dgBody* body, const dgVector& point) {
  if (!body) return {};
  dgVector r = point - body->globalCentreOfMass;
  r.w = 0.0f;
  return r;
}

dgVector PointVelocity(const dgBody* body, const dgVector& r) {
  if (!body) return {};
  return body->veloc + body->omega.CrossProduct(r);
}

dgVector Centripetal(const dgBody* body, const dgVector& r) {
  if (!body) return {};
  return body->omega.CrossProduct(body->omega.CrossProduct(r));
}

}  // namespace

float dgJointRowGain(float timeStep) { return timeStep * 1500.0f + 100.0f; }

float dgJointInverseTimeStep(float timeStep) { return timeStep > 0.0f ? 1.0f / timeStep : 0.0f; }

float dgLinearRowAcceleration(const dgPointParam& param, const dgVector& dir, float error, float timeStep) {
  // The row's softness (its stiffness code) keeps the gain from overshooting.
  error = std::clamp(error, -kMaxPositionError, kMaxPositionError);
  const float relativeSpeed = dir.DotProduct(param.veloc1 - param.veloc0);
  const float centripetal = dir.DotProduct(param.centripetal0 - param.centripetal1);
  return (relativeSpeed + error * dgJointRowGain(timeStep)) * dgJointInverseTimeStep(timeStep) - centripetal;
}

dgVector dgMatrixToEulerAngles(const dgMatrix& matrix) {
  const float m02 = std::clamp(matrix.front.z, -kEulerClamp, kEulerClamp);
  const float y = std::asin(-m02);
  float x;
  float z = 0.0f;
  if (std::fabs(matrix.front.z) < kEulerPole) {
    x = std::atan2(matrix.up.z, matrix.right.z);
    z = std::atan2(matrix.front.y, matrix.front.x);
  } else if (matrix.front.z >= kEulerPole) {
    x = -std::atan2(matrix.up.x, matrix.up.y);
  } else {
    x = std::atan2(matrix.up.x, matrix.up.y);
  }
  return {x, y, z, 0.0f};
}

dgVector dgBilateralConstraint::CalculateGlobalMatrices(dgMatrix& outMatrix0, dgMatrix& outMatrix1) const {
  outMatrix0 = body0 ? localMatrix0.Multiply(body0->matrix) : localMatrix0;
  outMatrix1 = body1 ? localMatrix1.Multiply(body1->matrix) : localMatrix1;
  return dgMatrixToEulerAngles(outMatrix1.Multiply(outMatrix0.Inverse()));
}

void dgConstraint::CalcPointParam(dgPointParam& param, float stiffnessCode, const dgVector& point0,
                                  const dgVector& point1) const {
  param.posit0 = point0;
  param.posit1 = point1;
  param.r0 = RelativeTo(body0, point0);
  param.r1 = RelativeTo(body1, point1);
  param.veloc0 = PointVelocity(body0, param.r0);
  param.veloc1 = PointVelocity(body1, param.r1);
  param.centripetal0 = Centripetal(body0, param.r0);
  param.centripetal1 = Centripetal(body1, param.r1);
  param.stiffnessCode = stiffnessCode;
}

void dgConstraint::AddLinearRow(int index, dgJacobianRows& rows, const dgVector& direction, const dgPointParam& param,
                                float* forceOut) const {
  dgJacobianRows::Row& row = rows.rows[index];
  const dgVector dir(direction.x, direction.y, direction.z, 0.0f);
  row.linear0 = dir;
  row.angular0 = param.r0.CrossProduct(dir);
  if (body1) {
    row.linear1 = dir.Scale(-1.0f);
    row.angular1 = dir.CrossProduct(param.r1);
  } else {
    row.linear1 = row.angular1 = dgVector();
  }
  row.acceleration = dgLinearRowAcceleration(param, dir, dir.DotProduct(param.posit1 - param.posit0), rows.timeStep);
  row.stiffness = param.stiffnessCode;
  row.forceOut = forceOut;
  row.lowLimit = -1e15f;
  row.highLimit = 1e15f;
  row.rowKind = dgJacobianRows::kFreeRow;
}

void dgConstraint::AddAngularRow(int index, dgJacobianRows& rows, const dgVector& direction, float stiffnessCode,
                                 float acceleration, float* forceOut) const {
  dgJacobianRows::Row& row = rows.rows[index];
  const dgVector dir(direction.x, direction.y, direction.z, 0.0f);
  row.linear0 = dgVector();
  row.angular0 = dir;
  row.linear1 = dgVector();
  row.angular1 = body1 ? dir.Scale(-1.0f) : dgVector();
  const dgVector omega0 = body0 ? body0->omega : dgVector();
  const dgVector omega1 = body1 ? body1->omega : dgVector();
  // The relative spin about the direction is stopped within the step, on
  // top of what the caller asks for.
  row.acceleration = acceleration + dir.DotProduct(omega1 - omega0) * dgJointInverseTimeStep(rows.timeStep);
  row.stiffness = stiffnessCode;
  row.forceOut = forceOut;
  row.lowLimit = -1e15f;
  row.highLimit = 1e15f;
  row.rowKind = dgJacobianRows::kFreeRow;
}

bool dgBilateralConstraint::AskForLimitRow(const dgJacobianRows& rows, int axis, float value,
                                           dgJointLimitRequest& outRequest) {
  if (!limitCallback) return false;
  outRequest = dgJointLimitRequest();
  outRequest.timeStep = rows.timeStep;
  outRequest.jointValue = value;
  outRequest.axis = axis;
  return limitCallback(this, &outRequest);
}

void dgBilateralConstraint::ApplyLimits(dgJacobianRows& rows, int index, const dgJointLimitRequest& request) {
  const dgJointLimitRequest untouched;
  if (request.lowLimit == untouched.lowLimit && request.highLimit == untouched.highLimit) return;
  dgJacobianRows::Row& row = rows.rows[index];
  row.lowLimit = request.lowLimit;
  row.highLimit = request.highLimit;
  row.rowKind = dgJacobianRows::kBoundedRow;
}
