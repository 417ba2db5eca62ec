#include <gtest/gtest.h>

#include <cmath>

#include "engine/foundation/TransformNode.h"
#include "engine/scene/core/CameraController.h"

namespace {

float gStep = 0.1f;
bool gLastAskedForRealTime = false;

float FixedStep(bool useRealTime) {
  gLastAskedForRealTime = useRealTime;
  return gStep;
}

class Controller : public ::testing::Test {
 protected:
  void SetUp() override {
    gStep = 0.1f;
    previous_ = CameraController::SetTimeSource(&FixedStep);
    controller_.drivenNode = &node_;
    controller_.enabled = true;
  }
  void TearDown() override { CameraController::SetTimeSource(previous_); }

  TransformNode node_;
  CameraController controller_;
  CameraController::TimeSource previous_ = nullptr;
};

void ExpectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST_F(Controller, VelocityIntegratesWithDamping) {
  controller_.SetVelocity(Vector3(0, 0, 3));
  EXPECT_EQ(controller_.velocity.magnitude, 3.0f);
  EXPECT_EQ(controller_.velocity.direction, Vector3(0, 0, 1));
  controller_.Update();
  ExpectNear(node_.centre, Vector3(0, 0, 0.3f));
  ExpectNear(node_.local.GetTranslation(), Vector3(0, 0, 0.3f));
  ExpectNear(controller_.GetDelta(), Vector3(0, 0, 0.3f));
  EXPECT_NEAR(controller_.velocity.magnitude, 2.715f, 1e-5f);
  EXPECT_EQ(controller_.previousVelocity.magnitude, 3.0f);
  EXPECT_FALSE(gLastAskedForRealTime);
}

TEST_F(Controller, AccelerationAddsToTheStep) {
  controller_.SetAcceleration(Vector3(2, 0, 0));
  controller_.SetAccelerationDamping(-3.0f);  // |d| capped at 1
  EXPECT_EQ(controller_.acceleration.damping, 1.0f);
  controller_.useRealTime = true;
  controller_.Update();
  ExpectNear(node_.centre, Vector3(0.2f, 0, 0));
  EXPECT_NEAR(controller_.acceleration.magnitude, 1.8f, 1e-5f);
  EXPECT_TRUE(gLastAskedForRealTime);
}

TEST_F(Controller, NoTimeNoMotion) {
  gStep = 0.0f;  // a paused clock gives a zero game step
  controller_.SetVelocity(Vector3(1, 1, 1));
  controller_.Update();
  EXPECT_EQ(node_.centre, Vector3());
}

TEST_F(Controller, DisabledControllerIgnoresMotionAndRotation) {
  controller_.enabled = false;
  controller_.SetVelocity(Vector3(0, 0, 3));
  controller_.SetRotation(1.0f, 0.0f, 0.0f);
  controller_.Update();
  EXPECT_EQ(controller_.velocity.magnitude, 0.0f);
  EXPECT_EQ(controller_.angleX.value, 0.0f);
  EXPECT_EQ(node_.centre, Vector3());
  controller_.AddMotion(Vector3(1, 0, 0), 2.0f);  // acts regardless
  EXPECT_EQ(controller_.velocity.magnitude, 2.0f);
}

TEST_F(Controller, AnglesWrapAndSettingTheSameRotationGivesIdentity) {
  controller_.SetRotation(7.0f, 0.5f, 0.0f);
  EXPECT_EQ(controller_.angleX.value, -CameraController::kTwoPi);  // past +2pi: the other end
  controller_.SetRotation(controller_.angleX.value, 0.5f, 0.0f);
  EXPECT_EQ(controller_.angleY.rate, 0.0f);
  EXPECT_NEAR(node_.rotation.w, 1.0f, 1e-6f);
}

TEST_F(Controller, OrientationIsYawThenPitchThenRoll) {
  controller_.angleX.value = 0.3f;
  controller_.angleY.value = 1.1f;
  controller_.angleZ.value = -0.4f;
  controller_.UpdateOrientation();
  Quaternion expected;
  expected.SetAxisAngle(Vector3(0, 1, 0), 1.1f);
  Quaternion x, z;
  x.SetAxisAngle(Vector3(1, 0, 0), 0.3f);
  z.SetAxisAngle(Vector3(0, 0, 1), -0.4f);
  expected.Multiply(x);
  expected.Multiply(z);
  EXPECT_NEAR(node_.rotation.x, expected.x, 1e-6f);
  EXPECT_NEAR(node_.rotation.y, expected.y, 1e-6f);
  EXPECT_NEAR(node_.rotation.z, expected.z, 1e-6f);
  EXPECT_NEAR(node_.rotation.w, expected.w, 1e-6f);
}

// The world direction the node's local -Z (the view direction) points along.
Vector3 ViewDirection(const TransformNode& node) {
  Matrix4 rotation;
  node.rotation.ToMatrix(rotation);
  return Vector3(-rotation.m[8], -rotation.m[9], -rotation.m[10]);
}

TEST_F(Controller, LookAtTurnsTheViewEvenStraightDown) {
  node_.centre = Vector3(0, 10, 0);
  node_.RebuildMatrix();
  controller_.LookAt(Vector3(0, 0, 0));
  ExpectNear(controller_.forward, Vector3(0, -1, 0));
  ExpectNear(ViewDirection(node_), Vector3(0, -1, 0));
  EXPECT_FALSE(std::isnan(node_.rotation.w));

  node_.centre = Vector3(0, 0, 0);
  node_.rotation = Quaternion();
  node_.RebuildMatrix();
  controller_.LookAt(Vector3(5, 0, 0));
  ExpectNear(ViewDirection(node_), Vector3(1, 0, 0));
}

TEST_F(Controller, MoveAlongRowsFollowsTheNodesAxes) {
  node_.rotation.SetAxisAngle(Vector3(0, 1, 0), 1.5707964f);  // a quarter turn about Y
  controller_.MoveAlongRow2(2.0f);
  Matrix4 rotation;
  node_.rotation.ToMatrix(rotation);
  const Vector3 zAxis(rotation.m[8], rotation.m[9], rotation.m[10]);
  ExpectNear(controller_.GetVelocity(), zAxis * 2.0f);
}

TEST_F(Controller, AlignZAndFaceVelocity) {
  controller_.AlignZ(Vector3(0, 0, -4));
  Matrix4 rotation;
  node_.rotation.ToMatrix(rotation);
  ExpectNear(Vector3(rotation.m[8], rotation.m[9], rotation.m[10]), Vector3(0, 0, -1));

  controller_.SetVelocity(Vector3(1, 1, 0));
  controller_.FaceVelocity();
  node_.rotation.ToMatrix(rotation);
  const float s = std::sqrt(0.5f);
  ExpectNear(Vector3(rotation.m[8], rotation.m[9], rotation.m[10]), Vector3(s, s, 0));
}

}  // namespace

#include "engine/foundation/Clock.h"

namespace {

TEST(ControllerClock, APausedClockStopsGameTimeMotion) {
  TransformNode node;
  CameraController controller;
  controller.drivenNode = &node;
  controller.enabled = true;
  controller.SetVelocity(Vector3(0, 0, 3));
  Clock& clock = Clock::Instance();
  const bool wasPaused = clock.IsPaused();
  clock.SetPaused(true);
  controller.Update();
  clock.SetPaused(wasPaused);
  EXPECT_EQ(node.centre, Vector3());
  EXPECT_EQ(controller.velocity.magnitude, 3.0f);
}

}  // namespace
