// Body integration: velocities from force and torque, the spin limit, the
// rotation step, prediction and the world-space inverse inertia.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "physics/body/dgBody.h"
#include "support/TestHull.h"

namespace {

constexpr float kStep = 1.0f / 60.0f;

void SetUpBody(dgBody& body, const dgMatrix& matrix) {
  body.matrix = matrix;
  body.rotation = dgQuaternion::FromMatrix(matrix);
  body.invMass = 0.5f;
  body.invInertia = dgVector(1.0f, 2.0f, 4.0f, 0.0f);
  body.localCentreOfMass = dgVector(0.1f, 0.2f, 0.3f, 1.0f);
  body.globalCentreOfMass = matrix.TransformVector(body.localCentreOfMass);
}

}  // namespace

TEST(BodyIntegration, ForceMovesTheCentreOfMassAndThePosit) {
  dgBody body;
  SetUpBody(body, dgGetIdentityMatrix());
  body.accel = dgVector(4, 0, -2, 0);  // a force
  body.IntegrateVelocity(kStep);
  EXPECT_NEAR(body.veloc.x, 2.0f * kStep, 1e-7f);
  EXPECT_NEAR(body.veloc.z, -1.0f * kStep, 1e-7f);
  EXPECT_NEAR(body.globalCentreOfMass.x, 0.1f + 2.0f * kStep * kStep, 1e-7f);
  // Not spinning: the rotation rows stay, the posit follows the centre of mass.
  EXPECT_EQ(body.matrix.front, dgVector(1, 0, 0, 0));
  EXPECT_NEAR(body.matrix.posit.x, body.globalCentreOfMass.x - 0.1f, 1e-7f);
  EXPECT_EQ(body.matrix.posit.w, 1.0f);

  // A zero inverse mass leaves the velocity alone, whatever the force.
  dgBody anchored;
  SetUpBody(anchored, dgGetIdentityMatrix());
  anchored.invMass = 0.0f;
  anchored.veloc = dgVector(1, 2, 3, 0);
  anchored.accel = dgVector(1e6f, -1e6f, 5, 0);
  anchored.IntegrateVelocity(kStep);
  EXPECT_EQ(anchored.veloc, dgVector(1, 2, 3, 0));
}

TEST(BodyIntegration, SpinIsShrunkToFortyFiveDegreesPerStep) {
  dgBody body;
  SetUpBody(body, dgGetIdentityMatrix());
  body.omega = dgVector(0, 100, 0, 0);
  body.IntegrateVelocity(kStep);
  // 100 * 0.8^k with the smallest k that brings omega * dt to 45 degrees or less.
  float expected = 100.0f;
  while (expected * kStep > dgBody::kMaxRotationPerStep) expected *= 0.8f;
  EXPECT_NEAR(body.omega.y, expected, 1e-4f);
  EXPECT_LE(body.omega.y * kStep, dgBody::kMaxRotationPerStep);
  EXPECT_GT(body.omega.y * kStep / 0.8f, dgBody::kMaxRotationPerStep);

  // A spin that is not finite cannot be shrunk: the step ends, the body stops turning.
  for (const float bad : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    dgBody wild;
    SetUpBody(wild, dgGetIdentityMatrix());
    wild.omega = dgVector(bad, 0, 0, 0);
    wild.IntegrateVelocity(kStep);
    EXPECT_EQ(wild.omega, dgVector(0, 0, 0, 0));
    EXPECT_TRUE(std::isfinite(wild.matrix.front.x));
    dgVector veloc;
    dgVector omega;
    wild.omega = dgVector(0, -bad, 0, 0);
    wild.PredictVelocities(kStep, veloc, omega);
    EXPECT_EQ(omega, dgVector(0, 0, 0, 0));
  }
}

TEST(BodyIntegration, SlowSpinKeepsTheRotation) {
  dgBody body;
  SetUpBody(body, dgGetIdentityMatrix());
  // 1.05 times this is just at the limit of 0.0125 degrees per unit time.
  body.omega = dgVector(0, 0, 0.0125f * dgBody::kDegree / 1.05f * 0.999f, 0);
  body.veloc = dgVector(1, 0, 0, 0);
  const dgQuaternion before = body.rotation;
  body.IntegrateVelocity(kStep);
  EXPECT_EQ(body.rotation, before);
  EXPECT_EQ(body.matrix.front, dgVector(1, 0, 0, 0));
  EXPECT_EQ(body.matrix.up, dgVector(0, 1, 0, 0));
  EXPECT_NEAR(body.matrix.posit.x, kStep, 1e-7f);
}

TEST(BodyIntegration, SpinTurnsTheBodyAboutItsAxis) {
  dgBody body;
  SetUpBody(body, dgGetIdentityMatrix());
  body.localCentreOfMass = dgVector(0, 0, 0, 1);
  body.globalCentreOfMass = dgVector(0, 0, 0, 1);
  body.omega = dgVector(0, 0, 2.0f, 0);
  body.IntegrateVelocity(kStep);
  const float angle = 2.0f * 1.05f * kStep;  // the body-space spin is raised by 1.05
  EXPECT_NEAR(body.matrix.front.x, std::cos(angle), 1e-5f);
  EXPECT_NEAR(std::fabs(body.matrix.front.y), std::sin(angle), 1e-5f);
  EXPECT_NEAR(body.matrix.right.z, 1.0f, 1e-6f);
  EXPECT_NEAR(body.rotation.DotProduct(body.rotation), 1.0f, 1e-6f);
}

TEST(BodyIntegration, TorqueAndPredictionAgree) {
  std::mt19937 random(8);
  for (int i = 0; i < 50; ++i) {
    dgBody body;
    SetUpBody(body, RandomRotation(random, dgVector(1, 2, 3, 1)));
    body.accel = RandomUnitVector(random).Scale(3.0f);
    body.alpha = RandomUnitVector(random).Scale(2.0f);  // a torque
    body.veloc = RandomUnitVector(random);
    body.omega = RandomUnitVector(random);
    dgVector predictedVeloc;
    dgVector predictedOmega;
    const dgVector torque = body.alpha;
    body.PredictVelocities(kStep, predictedVeloc, predictedOmega);
    EXPECT_EQ(body.alpha, torque);  // prediction changes nothing

    // The angular acceleration is the world inverse inertia applied to the torque.
    const dgMatrix invInertia = body.CalcInvInertiaMatrix();
    const dgVector expectedAlpha = invInertia.RotateVector(torque);
    body.IntegrateVelocity(kStep);
    EXPECT_NEAR((body.alpha - expectedAlpha).LengthSquared(), 0.0f, 1e-8f);
    EXPECT_NEAR((body.veloc - predictedVeloc).LengthSquared(), 0.0f, 1e-10f);
    EXPECT_NEAR((body.omega - predictedOmega).LengthSquared(), 0.0f, 1e-10f);
  }
}

TEST(BodyIntegration, WorldInverseInertiaIsSymmetric) {
  std::mt19937 random(17);
  for (int i = 0; i < 50; ++i) {
    dgBody body;
    SetUpBody(body, RandomRotation(random, dgVector(0, 0, 0, 1)));
    const dgMatrix m = body.CalcInvInertiaMatrix();
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(m[r][c], m[c][r], 1e-5f);
    }
    // Applied to a vector it is rotate(D * unrotate(v)).
    const dgVector v = RandomUnitVector(random);
    const dgVector local = body.matrix.UnrotateVector(v);
    const dgVector expected = body.matrix.RotateVector(
        dgVector(local.x * body.invInertia.x, local.y * body.invInertia.y, local.z * body.invInertia.z, 0));
    EXPECT_NEAR((m.RotateVector(v) - expected).LengthSquared(), 0.0f, 1e-9f);
    EXPECT_EQ(m.posit, dgVector(0, 0, 0, 1));
  }
}
