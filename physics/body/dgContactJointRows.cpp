// The rows of a contact joint: per contact a push-only normal row and up to
// two friction rows whose limits scale with the normal row's force.

#include <algorithm>
#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/body/dgConstraint.h"
#include "physics/body/dgJointRowsDetail.h"

namespace {

constexpr float kContactStiffness = 1.0f;
// Penetration is corrected at most this deep, at this many units per unit depth.
constexpr float kMaxCorrectedPenetration = 0.5f;
constexpr float kCorrectionRate = 10.0f;
// Below this approach speed a contact rests instead of bouncing.
constexpr float kMinBounceSpeed = 0.001f;
// A tangent moving at least this fast slides on its kinetic coefficient.
constexpr float kSlideSpeed = 0.3f;

}  // namespace

int dgContactJoint::JacobianDerivative(dgJacobianRows& rows) {
  const float invTimeStep = dgJointInverseTimeStep(rows.timeStep);
  int count = 0;
  for (auto* node = contacts.GetFirst(); node; node = node->GetNext()) {
    dgContactEntry& entry = node->GetInfo();
    const bool friction[2] = {(entry.flags & kFriction0) != 0, (entry.flags & kFriction1) != 0};
    const int needed = 1 + friction[0] + friction[1];
    // The row block is fixed: contacts past its end are left out whole.
    if (count + needed > dgJacobianRows::kMaxRows) break;

    dgPointParam param;
    CalcPointParam(param, kContactStiffness, entry.point, entry.point);

    // The normal points from body 1 to body 0: a positive force pushes them apart.
    const dgVector normal(entry.normal.x, entry.normal.y, entry.normal.z, 0.0f);
    const int normalRow = count;
    AddLinearRow(normalRow, rows, normal, param, &entry.normalForce);
    const float approachSpeed = normal.DotProduct(param.veloc1 - param.veloc0);
    const float correction =
        std::min(entry.penetration, kMaxCorrectedPenetration) * entry.correctionFactor * kCorrectionRate;
    const float speedChange =
        (approachSpeed > kMinBounceSpeed ? (1.0f + entry.restitution) * approachSpeed : approachSpeed) + correction;
    dgJacobianRows::Row& row = rows.rows[normalRow];
    row.acceleration = speedChange * invTimeStep - normal.DotProduct(param.centripetal0 - param.centripetal1);
    row.stiffness = kContactStiffness;
    row.lowLimit = 0.0f;
    row.highLimit = 1e15f;
    row.rowKind = dgJacobianRows::kOneSidedRow;
    ++count;

    const dgVector* tangents[2] = {&entry.tangent0, &entry.tangent1};
    const uint32_t slidingBits[2] = {kSliding0, kSliding1};
    for (int k = 0; k < 2; ++k) {
      if (!friction[k]) continue;
      const dgVector tangent(tangents[k]->x, tangents[k]->y, tangents[k]->z, 0.0f);
      AddLinearRow(count, rows, tangent, param, &entry.tangentForce[k]);
      dgJacobianRows::Row& frictionRow = rows.rows[count];
      // Stop the sliding within the step, with a force the normal force bounds.
      frictionRow.acceleration = dgLinearRowAcceleration(param, tangent, 0.0f, rows.timeStep);
      frictionRow.stiffness = kContactStiffness;
      const float slideSpeed = std::fabs(tangent.DotProduct(param.veloc0 - param.veloc1));
      const bool sliding = (entry.flags & slidingBits[k]) || slideSpeed >= kSlideSpeed;
      const float coefficient = sliding ? entry.kineticFriction[k] : entry.staticFriction[k];
      frictionRow.lowLimit = -coefficient;
      frictionRow.highLimit = coefficient;
      frictionRow.rowKind = normalRow;
      ++count;
    }
  }
  return count;
}
