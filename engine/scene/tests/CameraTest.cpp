#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/runtime/fsm/FSMRegistry.h"
#include "engine/scene/core/Camera.h"
#include "support/TestActor.h"

namespace {

struct ProjectionCall {
  int32_t mode;
  float left, right, bottom, top, nearPlane, farPlane;
};

std::vector<ProjectionCall>& Projections() {
  static std::vector<ProjectionCall> calls;
  return calls;
}

Vector3 gBack, gRight, gUp, gPosition;

void Viewport800x600(int32_t viewport[4]) {
  viewport[0] = 0;
  viewport[1] = 0;
  viewport[2] = 800;
  viewport[3] = 600;
}

void RecordProjection(int32_t mode, float l, float r, float b, float t, float n, float f) {
  Projections().push_back({mode, l, r, b, t, n, f});
}

void RecordViewVectors(const Vector3& back, const Vector3& right, const Vector3& up, const Vector3& position) {
  gBack = back;
  gRight = right;
  gUp = up;
  gPosition = position;
}

class Cameras : public ::testing::Test {
 protected:
  void SetUp() override {
    Projections().clear();
    CameraDisplayHooks hooks;
    hooks.getViewport = &Viewport800x600;
    hooks.setProjection = &RecordProjection;
    hooks.setViewVectors = &RecordViewVectors;
    previous_ = Camera::DisplayHooks();
    Camera::DisplayHooks() = hooks;
  }
  void TearDown() override { Camera::DisplayHooks() = previous_; }
  CameraDisplayHooks previous_;
};

TEST_F(Cameras, DefaultsAndConstruction) {
  Camera camera;
  EXPECT_TRUE(camera.name == "Camera");
  EXPECT_EQ(camera.fieldOfView, 90.0f);
  EXPECT_EQ(camera.nearPlane, 1.0f);
  EXPECT_EQ(camera.farPlane, 1000.0f);
  EXPECT_TRUE(camera.active);
  EXPECT_TRUE(camera.node.enabled);
  EXPECT_EQ(camera.node.radius, 10.0f);
  EXPECT_FALSE(camera.controller.enabled);
  EXPECT_EQ(camera.controller.drivenNode, &camera.node);
  EXPECT_EQ(camera.node.attachmentCount, 1u);
}

TEST_F(Cameras, ProjectionSanitisesItsValues) {
  struct Case {
    float fov, nearPlane, farPlane;
    float wantFov, wantNear, wantFar;
  } cases[] = {{0.0f, 1.0f, 1000.0f, 45.0f, 1.0f, 1000.0f},
               {-10.0f, 1.0f, 1000.0f, 45.0f, 1.0f, 1000.0f},
               {90.0f, 0.5f, 1000.0f, 90.0f, 1.0f, 1000.0f},
               {90.0f, 1.0f, 2000.0f, 90.0f, 1.0f, 1500.0f},
               {90.0f, 4.0f, 4.0f, 90.0f, 4.0f, 1500.0f}};
  for (const Case& c : cases) {
    Camera camera;
    camera.fieldOfView = c.fov;
    camera.nearPlane = c.nearPlane;
    camera.farPlane = c.farPlane;
    Projections().clear();
    camera.ApplyProjection();
    EXPECT_EQ(camera.fieldOfView, c.wantFov);
    ASSERT_EQ(Projections().size(), 1u);
    const ProjectionCall& call = Projections()[0];
    EXPECT_EQ(call.nearPlane, c.wantNear);
    EXPECT_EQ(call.farPlane, c.wantFar);
    // The field of view is horizontal; the vertical extent follows the viewport.
    const float t = c.wantNear * std::tan(c.wantFov * 0.5f * 0.017453292f);
    EXPECT_FLOAT_EQ(call.right, t);
    EXPECT_FLOAT_EQ(call.left, -t);
    EXPECT_FLOAT_EQ(call.top, t * 0.75f);
    EXPECT_FLOAT_EQ(call.bottom, -t * 0.75f);
  }
}

TEST_F(Cameras, ViewVectorsAreTheViewMatrixRows) {
  Camera camera;
  camera.node.centre = Vector3(1, 2, 3);
  camera.node.rotation.SetAxisAngle(Vector3(0, 1, 0), 1.5707964f);
  camera.node.RebuildMatrix();
  camera.ApplyProjection();
  // A quarter turn about Y: the camera's +Z (toward the viewer) is world +X.
  EXPECT_NEAR(gBack.x, 1.0f, 1e-5f);
  EXPECT_NEAR(gUp.y, 1.0f, 1e-5f);
  EXPECT_NEAR(gRight.z, -1.0f, 1e-5f);
  EXPECT_EQ(gPosition, Vector3(1, 2, 3));
}

TEST_F(Cameras, ProjectFindsScreenPositions) {
  Camera camera;
  camera.ApplyProjection();
  Vector3 out;
  EXPECT_TRUE(camera.Project(Vector3(0, 0, -10), out));
  EXPECT_NEAR(out.x, 400.0f, 1e-3f);
  EXPECT_NEAR(out.y, 300.0f, 1e-3f);
  EXPECT_EQ(out.z, 0.0f);
  // Up in the world is up on the screen (y grows downwards).
  EXPECT_TRUE(camera.Project(Vector3(0, 2, -10), out));
  EXPECT_LT(out.y, 300.0f);
  EXPECT_FALSE(camera.Project(Vector3(0, 0, -2000), out));  // beyond the far plane
  EXPECT_FALSE(camera.Project(Vector3(50, 0, -10), out));   // off to the side
}

TEST_F(Cameras, FrustumEnclosesTheView) {
  Camera camera;
  camera.node.centre = Vector3(0, 0, 5);
  camera.node.RebuildMatrix();
  camera.ApplyProjection();
  EXPECT_NEAR(camera.corners[0].x, 1.0f, 1e-5f);  // near * tan(45 degrees)
  EXPECT_NEAR(camera.corners[0].y, 0.75f, 1e-5f);
  EXPECT_NEAR(camera.corners[0].z, 4.0f, 1e-5f);  // one unit in front of z = 5
  EXPECT_NEAR(camera.corners[6].z, -995.0f, 1e-3f);
  // Every plane faces inward, so the frustum's own tests can cull with it.
  for (const Plane& plane : camera.frustum.planes) EXPECT_GT(plane.Distance(Vector3(0, 0, -20)), 0.0f);
  EXPECT_EQ(camera.frustum.ClassifySphere(Vector3(0, 0, -20), 1.0f), Frustum::kSphereInside);
  EXPECT_EQ(camera.frustum.ClassifySphere(Vector3(0, 0, 20), 1.0f), Frustum::kSphereCentreOutside);
  EXPECT_EQ(camera.frustum.ClassifySphere(Vector3(500, 0, -20), 1.0f), Frustum::kSphereCentreOutside);
}

TEST_F(Cameras, RotateStepsTheControllerAngles) {
  Camera camera;
  camera.controller.enabled = true;
  camera.Rotate(0, 0, 0);
  EXPECT_EQ(camera.controller.angleX.value, 0.0f);
  camera.Rotate(4, 0, 0);
  EXPECT_NEAR(camera.controller.angleX.value, -2.0f * 0.017453292f, 1e-7f);
  camera.Rotate(0, -6, 1);
  EXPECT_NEAR(camera.controller.angleY.value, 3.0f * 0.017453292f, 1e-7f);
  EXPECT_NEAR(camera.controller.angleZ.value, 0.5f * 0.017453292f, 1e-7f);
  camera.controller.enabled = false;
  camera.Rotate(10, 10, 10);
  EXPECT_NEAR(camera.controller.angleX.value, -2.0f * 0.017453292f, 1e-7f);
}

TEST_F(Cameras, SceneUpdateRunsTheControlMode) {
  Camera camera;
  camera.controller.enabled = true;
  camera.SetControlMode(Camera::kLookAt);
  EXPECT_TRUE(camera.node.locked);
  camera.node.centre = Vector3(0, 10, 0);
  camera.node.RebuildMatrix();
  camera.SetTarget(Vector3(0, 0, 0));
  camera.node.enabled = true;
  camera.node.Update();
  // The view runs straight down: the camera's back axis is +Y.
  EXPECT_NEAR(camera.node.local.m[9], 1.0f, 1e-5f);
}

using Prop = TestActor;

int gModelDraws = 0;
void CountDraw(C3MEModel*, uint32_t) { ++gModelDraws; }

TEST(Actors, InactiveActorsDrawNothing) {
  ActorDrawHooks previous = Actor::DrawHooks();
  Actor::DrawHooks().drawModel = &CountDraw;
  gModelDraws = 0;
  Prop prop;
  prop.model = reinterpret_cast<C3MEModel*>(&prop);  // never dereferenced by the hook
  prop.flags = Actor::kDrawModel;
  prop.SetActiveFlag(false);
  EXPECT_FALSE(prop.Render());
  EXPECT_EQ(gModelDraws, 0);
  prop.SetActiveFlag(true);
  EXPECT_TRUE(prop.SceneObject().Render());
  EXPECT_EQ(gModelDraws, 1);
  Actor::DrawHooks() = previous;
}

TEST(Actors, RootPositionAndNodes) {
  Prop grandparent, parent, child;
  child.parent = &parent;
  parent.parent = &grandparent;
  EXPECT_EQ(child.GetRoot(), &grandparent);
  EXPECT_EQ(grandparent.GetRoot(), &grandparent);
  child.SetPosition(Vector3(1, 2, 3));
  EXPECT_EQ(child.GetPosition(), Vector3(1, 2, 3));

  CSCNNode elsewhere;
  child.AttachToNode(&elsewhere);
  child.AttachToNode(&elsewhere);
  EXPECT_EQ(elsewhere.attachmentCount, 1u);
  EXPECT_EQ(child.GetPosition(), Vector3());
  child.AttachToNode(nullptr);
  EXPECT_EQ(elsewhere.attachmentCount, 0u);
  EXPECT_EQ(child.GetPosition(), Vector3(1, 2, 3));
}

TEST(Actors, ListenerSourceFollowsTheCurrentNode) {
  Prop prop;
  const SFXPositionSource* source = &prop;
  prop.SetPosition(Vector3(4, -5, 6));
  EXPECT_EQ(source->GetPosition(), Vector3(4, -5, 6));
  CSCNNode elsewhere;
  elsewhere.centre = Vector3(7, 8, 9);
  prop.AttachToNode(&elsewhere);
  EXPECT_EQ(source->GetPosition(), Vector3(7, 8, 9));
  prop.AttachToNode(nullptr);
}

TEST(Actors, FadeDisablesOnTheStepThatReachesZero) {
  Prop prop;
  prop.SetEnabled(true);
  prop.fade.rate = -0.5f;
  prop.StepFade();
  EXPECT_TRUE(prop.active);
  EXPECT_TRUE(prop.node.enabled);
  prop.StepFade();
  EXPECT_FALSE(prop.active);
  EXPECT_FALSE(prop.node.enabled);
}

TEST(Actors, DestructionLeavesTheRegistryAndTheNodes) {
  CSCNNode elsewhere;
  const uint32_t before = CFSMRegistry::Get()->GetCount();
  {
    Prop prop;
    EXPECT_EQ(CFSMRegistry::Get()->GetCount(), before + 1);
    prop.AttachToNode(&elsewhere);
  }
  EXPECT_EQ(CFSMRegistry::Get()->GetCount(), before);
  EXPECT_EQ(elsewhere.attachmentCount, 0u);
}

}  // namespace
