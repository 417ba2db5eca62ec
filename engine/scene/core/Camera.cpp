#include "engine/scene/core/Camera.h"

#include <cmath>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kMinimumNear = 1.0f;
constexpr float kDefaultFar = 1500.0f;
constexpr float kDefaultFieldOfView = 45.0f;
constexpr float kRollStepDegrees = 0.5f;
// The isometric view: its half extents, depth and turn.
constexpr double kIsoHalfWidth = 12.5, kIsoHalfHeight = 9.125, kIsoDepth = 200.0;
constexpr double kIsoPitchDegrees = 35.264, kIsoYawDegrees = -45.0, kIsoOffset = 100.0;
const int32_t kFallbackViewport[4] = {0, 0, 800, 600};

void Identity(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void FrustumMatrix(double m[16], double l, double r, double b, double t, double n, double f) {
  for (int i = 0; i < 16; ++i) m[i] = 0.0;
  m[0] = 2.0 * n / (r - l);
  m[5] = 2.0 * n / (t - b);
  m[8] = (r + l) / (r - l);
  m[9] = (t + b) / (t - b);
  m[10] = -(f + n) / (f - n);
  m[11] = -1.0;
  m[14] = -2.0 * f * n / (f - n);
}

void OrthoMatrix(double m[16], double l, double r, double b, double t, double n, double f) {
  Identity(m);
  m[0] = 2.0 / (r - l);
  m[5] = 2.0 / (t - b);
  m[10] = -2.0 / (f - n);
  m[12] = -(r + l) / (r - l);
  m[13] = -(t + b) / (t - b);
  m[14] = -(f + n) / (f - n);
}

// out = a * b (column-major, as glMultMatrix appends b to a).
void Multiply(const double a[16], const double b[16], double out[16]) {
  double result[16];
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      result[column * 4 + row] = sum;
    }
  for (int i = 0; i < 16; ++i) out[i] = result[i];
}

void RotationAbout(double m[16], double degrees, int axis) {
  Identity(m);
  const double radians = degrees * 3.14159265358979323846 / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  const int i = (axis + 1) % 3, j = (axis + 2) % 3;
  m[i * 4 + i] = c;
  m[j * 4 + j] = c;
  m[i * 4 + j] = s;
  m[j * 4 + i] = -s;
}

// The node's transform in the world: its local matrix under its parents'.
Matrix4 WorldMatrix(const CSCNNode& node) {
  Matrix4 world = node.local;
  for (const CSCNNode* parent = node.parent; parent != nullptr; parent = parent->parent) world.Multiply(parent->local);
  return world;
}

}  // namespace

CameraDisplayHooks& Camera::DisplayHooks() {
  static CameraDisplayHooks hooks;
  return hooks;
}

Camera::Camera() {
  name = "Camera";
  controller.drivenNode = &node;
  node.radius = kNodeRadius;
  SetEnabled(true);
  Identity(modelView);
  Identity(projection);
}

Camera::~Camera() = default;

void Camera::SetOrtho(float left, float right, float bottom, float top, float nearValue, float farValue) {
  ortho[kOrthoLeft] = left;
  ortho[kOrthoRight] = right;
  ortho[kOrthoTop] = top;
  ortho[kOrthoBottom] = bottom;
  ortho[kOrthoNear] = nearValue;
  ortho[kOrthoFar] = farValue;
}

void Camera::SetControlMode(uint8_t mode) {
  controlMode = mode;
  // A look-at camera writes its whole matrix; the node must not rebuild it.
  node.locked = mode == kLookAt ? 1 : 0;
}

void Camera::ApplyProjection() {
  if (nearPlane < kMinimumNear) nearPlane = kMinimumNear;
  if (farPlane <= nearPlane || farPlane > kDefaultFar) farPlane = kDefaultFar;
  if (fieldOfView <= 0.0f) fieldOfView = kDefaultFieldOfView;

  const CameraDisplayHooks& hooks = DisplayHooks();
  int32_t current[4] = {kFallbackViewport[0], kFallbackViewport[1], kFallbackViewport[2], kFallbackViewport[3]};
  if (hooks.getViewport != nullptr) hooks.getViewport(current);
  // The aspect comes from the viewport captured last time; the first frame uses the current one.
  if (!viewportCaptured_)
    for (int i = 0; i < 4; ++i) viewport[i] = current[i];
  const float aspect = viewport[2] > 0 ? float(viewport[3]) / float(viewport[2]) : 1.0f;

  const float left = ortho[kOrthoLeft], right = ortho[kOrthoRight], top = ortho[kOrthoTop],
              bottom = ortho[kOrthoBottom], nearBox = ortho[kOrthoNear], farBox = ortho[kOrthoFar];
  switch (projectionMode) {
    case kPerspective: {
      const float t = nearPlane * std::tan(fieldOfView * 0.5f * kDegreesToRadians);
      const float r = t * aspect;
      if (hooks.setProjection != nullptr) hooks.setProjection(0, -t, t, -r, r, nearPlane, farPlane);
      FrustumMatrix(projection, -t, t, -r, r, nearPlane, farPlane);
      break;
    }
    case kIsometric:
      // The two fixed views turn the node by degrees, converted here.
      controller.SetRotation(35.284f * kDegreesToRadians, 45.0f * kDegreesToRadians, 0.0f);
      [[fallthrough]];
    case kOrthographic:
    case kOrthographic45:
      if (projectionMode == kOrthographic45) controller.SetRotation(45.0f * kDegreesToRadians, 0.0f, 0.0f);
      if (hooks.setProjection != nullptr)
        hooks.setProjection(projectionMode, left, right, bottom, top, nearBox, farBox);
      OrthoMatrix(projection, left, right, bottom, top, nearBox, farBox);
      break;
    default:
      break;
  }

  const Matrix4 world = WorldMatrix(*currentNode);
  const Matrix4 view = Matrix4::Invert(world);
  if (projectionMode == kIsometric) {
    const double s = orthoScale;
    OrthoMatrix(projection, -kIsoHalfWidth * s, kIsoHalfWidth * s, -kIsoHalfHeight * s, kIsoHalfHeight * s,
                -kIsoDepth * s, kIsoDepth * s);
    double pitch[16], yaw[16], shift[16];
    RotationAbout(pitch, kIsoPitchDegrees, 0);
    RotationAbout(yaw, kIsoYawDegrees, 1);
    Identity(shift);
    shift[12] = kIsoOffset - target.x;
    shift[13] = kIsoOffset - target.y;
    shift[14] = kIsoOffset - target.z;
    Multiply(pitch, yaw, modelView);
    Multiply(modelView, shift, modelView);
    if (hooks.loadMatrices != nullptr) hooks.loadMatrices(projection, modelView);
  } else {
    for (int i = 0; i < 16; ++i) modelView[i] = view.m[i];
    if (hooks.loadMatrices != nullptr) hooks.loadMatrices(projection, modelView);
  }

  for (int i = 0; i < 4; ++i) viewport[i] = current[i];
  viewportCaptured_ = true;
  if (hooks.setViewVectors != nullptr)
    hooks.setViewVectors(view.GetRow2(), view.GetRow0(), view.GetRow1(), currentNode->centre);
  UpdateFrustum();
}

void Camera::UpdateFrustum() {
  const float k = std::tan(fieldOfView * 0.5f * kDegreesToRadians);
  const float a = viewport[2] > 0 ? float(viewport[3]) / float(viewport[2]) : 1.0f;
  const float tn = nearPlane * k, rn = tn * a, tf = farPlane * k, rf = tf * a;
  const Vector3 local[8] = {{tn, rn, -nearPlane}, {tn, -rn, -nearPlane}, {-tn, -rn, -nearPlane}, {-tn, rn, -nearPlane},
                            {tf, rf, -farPlane},  {tf, -rf, -farPlane},  {-tf, -rf, -farPlane},  {-tf, rf, -farPlane}};
  const Matrix4 world = WorldMatrix(*currentNode);
  for (int i = 0; i < 8; ++i) corners[i] = world.TransformPoint(local[i]);
  const Vector3* c = corners;
  frustum.planes[Frustum::kFar].Set(c[7], c[4], c[5]);
  frustum.planes[Frustum::kNear].Set(c[1], c[0], c[3]);
  frustum.planes[Frustum::kLeft].Set(c[3], c[7], c[6]);
  frustum.planes[Frustum::kTop].Set(c[3], c[0], c[4]);
  // Taken in the order that keeps its normal inward like the other five.
  frustum.planes[Frustum::kRight].Set(c[5], c[4], c[0]);
  frustum.planes[Frustum::kBottom].Set(c[1], c[2], c[6]);
}

bool Camera::Project(const Vector3& point, Vector3& out) const {
  const double in[4] = {point.x, point.y, point.z, 1.0};
  double eye[4], clip[4];
  for (int row = 0; row < 4; ++row) {
    eye[row] = 0.0;
    for (int k = 0; k < 4; ++k) eye[row] += modelView[k * 4 + row] * in[k];
  }
  for (int row = 0; row < 4; ++row) {
    clip[row] = 0.0;
    for (int k = 0; k < 4; ++k) clip[row] += projection[k * 4 + row] * eye[k];
  }
  if (clip[3] == 0.0) return false;
  const double x = clip[0] / clip[3], y = clip[1] / clip[3], z = clip[2] / clip[3];
  const double windowX = viewport[0] + viewport[2] * (x + 1.0) / 2.0;
  const double windowY = viewport[1] + viewport[3] * (y + 1.0) / 2.0;
  const double depth = (z + 1.0) / 2.0;
  out = Vector3(float(windowX), float(viewport[3] - windowY), 0.0f);
  return out.x >= 0.0f && out.x <= float(viewport[2]) && out.y >= 0.0f && out.y <= float(viewport[3]) && depth <= 1.0;
}

void Camera::Rotate(int vertical, int horizontal, int wheel) {
  if (vertical == 0 && horizontal == 0 && wheel == 0) return;
  const float roll = wheel > 0 ? kRollStepDegrees : wheel < 0 ? -kRollStepDegrees : 0.0f;
  if (!controller.enabled) return;
  controller.angleX.Step(-float(vertical) / 2.0f * kDegreesToRadians);
  controller.angleY.Step(-float(horizontal) / 2.0f * kDegreesToRadians);
  controller.angleZ.Step(roll * kDegreesToRadians);
  controller.UpdateOrientation();
}

void Camera::DebugDraw() {
  Actor::DebugDraw();
  const ActorDrawHooks& hooks = DrawHooks();
  if (hooks.drawFrustum != nullptr) hooks.drawFrustum(corners);
}

bool Camera::SceneUpdate() {
  if (controlMode == kIntegrate || controlMode == kIntegrateToo)
    controller.Update();
  else if (controlMode == kLookAt)
    controller.LookAt(target);
  return true;
}
