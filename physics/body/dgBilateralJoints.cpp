// The row builders of the six bilateral joints. Each starts from the joint
// frames in world space: the pin is matrix0's front row; anchor A is the
// frames' origins, anchor B the origins moved along each frame's front row.

#include <algorithm>
#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgConstraint.h"
#include "physics/body/dgJointRowsDetail.h"

namespace {

// How far along a frame row the second and third anchors lie: far enough
// that a small turn shows as a clear linear error.
constexpr float kAnchorDistance = 16.0f;
// A twist beyond its limit by more than this is pushed back a little harder.
constexpr float kTwistOvershoot = 0.001f;
constexpr float kTwistGain = 1.1f;
constexpr float kMinCosine = -0.9999f;
constexpr float kCrossEpsilon = 1e-8f;
constexpr float kUpVectorMinSine = 1e-6f;

dgVector Along(const dgMatrix& frame, const dgVector& row) {
  dgVector point = frame.posit + row.Scale(kAnchorDistance);
  point.w = 1.0f;
  return point;
}

dgVector Normalized(const dgVector& v) {
  const float length2 = v.LengthSquared();
  return length2 > 0.0f ? v.Scale(dgRsqrt(length2)) : v;
}

}  // namespace

// An optional linear row along the pin at anchor A, reaching the callback's acceleration.
static void AddSlideRow(const dgConstraint& joint, int index, dgJacobianRows& rows, const dgVector& pin,
                        const dgPointParam& anchor, float acceleration, float* forceOut) {
  joint.AddLinearRow(index, rows, pin, anchor, forceOut);
  rows.rows[index].acceleration = acceleration + dgLinearRowAcceleration(anchor, pin, 0.0f, rows.timeStep);
}

int dgBallAndSocketJoint::JacobianDerivative(dgJacobianRows& rows) {
  // The joint callback may move the limits before any row is written.
  if (userCallback) userCallback(this);
  dgMatrix matrix0;
  dgMatrix matrix1;
  const dgVector angles = CalculateGlobalMatrices(matrix0, matrix1);
  eulerAngles = angles.Scale(-1.0f);
  jointValue = eulerAngles.x;

  dgPointParam anchor;
  CalcPointParam(anchor, stiffnessCode, matrix0.posit, matrix1.posit);
  AddLinearRow(0, rows, matrix0.front, anchor, &rowForce[0]);
  AddLinearRow(1, rows, matrix0.up, anchor, &rowForce[1]);
  AddLinearRow(2, rows, matrix0.right, anchor, &rowForce[2]);
  int count = 3;

  const float twist = angles.x;  // body 1's turn about the pin
  if ((options & kTwistLimitOn) && std::fabs(twist) > twistLimit) {
    float excess = std::fabs(twist) - twistLimit;
    if (excess > kTwistOvershoot) excess *= kTwistGain;
    // A push-only row at the tips of the up rows, facing so that its push
    // turns the bodies back inside the limit.
    const dgVector dir = matrix0.right.Scale(twist > 0.0f ? 1.0f : -1.0f);
    dgPointParam tips;
    CalcPointParam(tips, stiffnessCode, Along(matrix0, matrix0.up), Along(matrix1, matrix1.up));
    AddLinearRow(count, rows, dir, tips, &rowForce[count]);
    dgJacobianRows::Row& row = rows.rows[count];
    row.acceleration = dgLinearRowAcceleration(tips, dir, excess * kAnchorDistance, rows.timeStep);
    row.lowLimit = 0.0f;
    row.rowKind = dgJacobianRows::kOneSidedRow;
    ++count;
  }

  const dgVector pin0 = matrix0.front;
  const dgVector pin1 = matrix1.front;
  const float cosine = std::min(std::max(pin0.DotProduct(pin1), kMinCosine), 1.0f);
  const float cone = std::acos(cosine);
  if ((options & kConeLimitOn) && cone > coneLimit) {
    // Turning body 0 about pin0 x pin1 brings the pins together.
    const dgVector cross = pin0.CrossProduct(pin1);
    const dgVector axis = cross.Scale(1.0f / std::sqrt(cross.LengthSquared() + kCrossEpsilon));
    const float invTimeStep = dgJointInverseTimeStep(rows.timeStep);
    const int pushRow = count;
    AddAngularRow(pushRow, rows, axis, stiffnessCode, (cone - coneLimit) * dgJointRowGain(rows.timeStep) * invTimeStep,
                  &rowForce[pushRow]);
    rows.rows[pushRow].lowLimit = 0.0f;
    rows.rows[pushRow].rowKind = dgJacobianRows::kOneSidedRow;
    // Sliding round the rim is held by a row tied to the push.
    const int rimRow = count + 1;
    AddAngularRow(rimRow, rows, Normalized(axis.CrossProduct(pin0)), stiffnessCode, 0.0f, &rowForce[rimRow]);
    rows.rows[rimRow].lowLimit = -1.0f;
    rows.rows[rimRow].highLimit = 1.0f;
    rows.rows[rimRow].rowKind = pushRow;
    count += 2;
  }
  return count;
}

dgPointParam dgBilateralConstraint::HoldOnPinLine(dgJacobianRows& rows, const dgMatrix& matrix0,
                                                  const dgMatrix& matrix1, int firstRow) {
  dgPointParam joint;
  CalcPointParam(joint, stiffnessCode, matrix0.posit, matrix1.posit);
  AddLinearRow(firstRow, rows, matrix0.up, joint, &rowForce[firstRow]);
  AddLinearRow(firstRow + 1, rows, matrix0.right, joint, &rowForce[firstRow + 1]);
  dgPointParam tips;
  CalcPointParam(tips, stiffnessCode, Along(matrix0, matrix0.front), Along(matrix1, matrix1.front));
  AddLinearRow(firstRow + 2, rows, matrix0.up, tips, &rowForce[firstRow + 2]);
  AddLinearRow(firstRow + 3, rows, matrix0.right, tips, &rowForce[firstRow + 3]);
  return joint;
}

int dgHingeJoint::JacobianDerivative(dgJacobianRows& rows) {
  dgMatrix matrix0;
  dgMatrix matrix1;
  jointValue = -CalculateGlobalMatrices(matrix0, matrix1).x;

  // Along the pin too: the joint points stay together.
  const dgPointParam anchorA = HoldOnPinLine(rows, matrix0, matrix1, 1);
  AddLinearRow(0, rows, matrix0.front, anchorA, &rowForce[0]);
  int count = 5;

  AddRequestedRow(rows, count, 0, jointValue, [&](int row, float acceleration) {
    AddAngularRow(row, rows, matrix0.front, stiffnessCode, acceleration, &rowForce[row]);
  });
  return count;
}

int dgSliderJoint::JacobianDerivative(dgJacobianRows& rows) {
  dgMatrix matrix0;
  dgMatrix matrix1;
  CalculateGlobalMatrices(matrix0, matrix1);
  jointValue = (matrix0.posit - matrix1.posit).DotProduct(matrix0.front);

  const dgPointParam anchorA = HoldOnPinLine(rows, matrix0, matrix1, 0);
  // The tips of the up rows keep the bodies from turning about the pin.
  dgPointParam anchorC;
  CalcPointParam(anchorC, stiffnessCode, Along(matrix0, matrix0.up), Along(matrix1, matrix1.up));
  AddLinearRow(4, rows, matrix0.right, anchorC, &rowForce[4]);
  int count = 5;

  AddRequestedRow(rows, count, 0, jointValue, [&](int row, float acceleration) {
    AddSlideRow(*this, row, rows, matrix0.front, anchorA, acceleration, &rowForce[row]);
  });
  return count;
}

int dgCorkscrewJoint::JacobianDerivative(dgJacobianRows& rows) {
  dgMatrix matrix0;
  dgMatrix matrix1;
  jointValue = CalculateGlobalMatrices(matrix0, matrix1).x;
  const float offset = (matrix0.posit - matrix1.posit).DotProduct(matrix0.front);

  const dgPointParam anchorA = HoldOnPinLine(rows, matrix0, matrix1, 0);
  int count = 4;

  // The slide is asked for first (axis 0, with the offset), then the turn
  // (axis 1, with the angle).
  const bool slides = AddRequestedRow(rows, count, 0, offset, [&](int row, float acceleration) {
    AddSlideRow(*this, row, rows, matrix0.front, anchorA, acceleration, &rowForce[row]);
  });
  if (!slides) return count;
  AddRequestedRow(rows, count, 1, jointValue, [&](int row, float acceleration) {
    AddAngularRow(row, rows, matrix0.front, stiffnessCode, acceleration, &rowForce[row]);
  });
  return count;
}

int dgUniversalJoint::JacobianDerivative(dgJacobianRows& rows) {
  dgMatrix matrix0;
  dgMatrix matrix1;
  CalculateGlobalMatrices(matrix0, matrix1);
  // The first pin is body 0's front row, the second body 1's up row.
  const dgVector pin0 = matrix0.front;
  const dgVector pin1 = matrix1.up;
  jointValue = std::atan2(pin1.DotProduct(matrix0.right), pin1.DotProduct(matrix0.up));
  secondJointValue = std::atan2(-pin0.DotProduct(matrix1.right), pin0.DotProduct(matrix1.front));

  dgPointParam anchorA;
  CalcPointParam(anchorA, stiffnessCode, matrix0.posit, matrix1.posit);
  AddLinearRow(0, rows, matrix0.front, anchorA, &rowForce[0]);
  AddLinearRow(1, rows, matrix0.up, anchorA, &rowForce[1]);
  AddLinearRow(2, rows, matrix0.right, anchorA, &rowForce[2]);
  // The tips of both front rows, held apart along the second pin, keep the
  // pins at right angles.
  dgPointParam anchorB;
  CalcPointParam(anchorB, stiffnessCode, Along(matrix0, matrix0.front), Along(matrix1, matrix1.front));
  AddLinearRow(3, rows, pin1, anchorB, &rowForce[3]);
  int count = 4;

  auto angularAbout = [&](const dgVector& pin) {
    return [&, pin](int row, float acceleration) {
      AddAngularRow(row, rows, pin, stiffnessCode, acceleration, &rowForce[row]);
    };
  };
  if (!AddRequestedRow(rows, count, 0, jointValue, angularAbout(pin0))) return count;
  AddRequestedRow(rows, count, 1, secondJointValue, angularAbout(pin1));
  return count;
}

int dgUpVectorJoint::JacobianDerivative(dgJacobianRows& rows) {
  dgMatrix matrix0;
  dgMatrix matrix1;
  CalculateGlobalMatrices(matrix0, matrix1);
  const dgVector pin = matrix0.front;
  const dgVector cross = pin.CrossProduct(matrix1.front);
  const float sine = std::sqrt(cross.LengthSquared());

  // Turning body 0 about pin x target brings the pin to the target; when the
  // two already line up any axis across the pin serves, with no error.
  dgVector axis = matrix0.up;
  float error = 0.0f;
  if (sine >= kUpVectorMinSine) {
    axis = cross.Scale(1.0f / sine);
    error = std::asin(std::min(sine, 1.0f));
  }
  const float acceleration = error * dgJointRowGain(rows.timeStep) * dgJointInverseTimeStep(rows.timeStep);
  AddAngularRow(0, rows, axis, stiffnessCode, acceleration, &rowForce[0]);
  AddAngularRow(1, rows, Normalized(axis.CrossProduct(pin)), stiffnessCode, 0.0f, &rowForce[1]);
  return 2;
}
