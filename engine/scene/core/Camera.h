#pragma once
#include <cstdint>

#include "engine/foundation/Frustum.h"
#include "engine/foundation/Vector3.h"
#include "engine/scene/core/Actor.h"
#include "engine/scene/core/CameraController.h"

// The calls through which a camera hands its projection and view to the GL
// layer (tests record them). Unset hooks are skipped; the camera computes
// every matrix itself, so it works without a GL context.
struct CameraDisplayHooks {
  // The current viewport (x, y, width, height) in pixels.
  void (*getViewport)(int32_t viewport[4]) = nullptr;
  // Loads the projection: a frustum for mode 0, an orthographic box for 1 to 3.
  void (*setProjection)(int32_t mode, float left, float right, float bottom, float top, float nearPlane,
                        float farPlane) = nullptr;
  // Replaces both GL matrices (the isometric view builds its own projection).
  void (*loadMatrices)(const double projection[16], const double modelView[16]) = nullptr;
  // Hands the view axes to the renderer: view row 2, row 0, row 1 and the position.
  void (*setViewVectors)(const Vector3& back, const Vector3& right, const Vector3& up,
                         const Vector3& position) = nullptr;
};

// The view: projection, view matrix and frustum of one scene camera, moved
// and turned by its controller.
class Camera : public Actor {
 public:
  enum ProjectionMode : int32_t { kPerspective = 0, kOrthographic = 1, kIsometric = 2, kOrthographic45 = 3 };
  enum ControlMode : uint8_t { kIntegrate = 1, kLookAt = 2, kIntegrateToo = 3 };
  enum OrthoIndex { kOrthoLeft = 0, kOrthoRight = 1, kOrthoTop = 2, kOrthoBottom = 3, kOrthoNear = 4, kOrthoFar = 5 };
  // The bounding radius of a camera's node.
  static constexpr float kNodeRadius = 10.0f;

  // Named "Camera", enabled, its controller driving its own node (disabled).
  Camera();
  ~Camera() override;

  // Sanitises the planes and field of view, loads projection and view,
  // captures the matrices and rebuilds the frustum.
  void ApplyProjection();
  // Mouse-style turning: vertical and horizontal deltas, wheel rolls.
  void Rotate(int vertical, int horizontal, int wheel);
  // Add motion along the view's up, right and back axes.
  void MoveUp(float amount) { controller.MoveAlongRow1(amount); }
  void MoveRight(float amount) { controller.MoveAlongRow0(amount); }
  void MoveForward(float amount) { controller.MoveAlongRow2(amount); }
  // Stores the box of the orthographic modes.
  void SetOrtho(float left, float right, float bottom, float top, float nearPlane, float farPlane);
  // Stores the control mode; look-at mode locks the node's matrix.
  void SetControlMode(uint8_t mode);
  // Window position of a world point (y down from the viewport's top);
  // false when it is off screen or beyond the far plane.
  bool Project(const Vector3& point, Vector3& out) const;
  // Eight corners and six planes of the view frustum from the node's matrix.
  void UpdateFrustum();
  // The marker, then the frustum.
  void DebugDraw() override;

  bool PreRender() override { return false; }
  bool Render() override { return false; }
  bool PostRender() override { return false; }
  bool PreUpdate() override { return false; }
  // The control step: integrate (modes 1, 3) or look at the target (mode 2).
  bool SceneUpdate() override;
  bool PostUpdate() override { return false; }

  // The calls that reach the GL layer.
  static CameraDisplayHooks& DisplayHooks();

  uint8_t controlMode = kIntegrate;
  double modelView[16] = {};
  double projection[16] = {};
  int32_t viewport[4] = {};
  Vector3 corners[8];
  int32_t projectionMode = kPerspective;
  Frustum frustum;
  float ortho[6] = {};
  float fieldOfView = 90.0f;
  float nearPlane = 1.0f;
  float farPlane = 1000.0f;
  Vector3 up{0.0f, 1.0f, 0.0f};
  float orthoScale = 1.0f;
  CameraController controller;
  // Read by the application's free-camera control.
  uint8_t freeFly = 0;

 private:
  bool viewportCaptured_ = false;
};
