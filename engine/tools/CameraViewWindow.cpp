#include "engine/tools/CameraViewWindow.h"

#include "engine/scene/core/Camera.h"
#include "engine/tools/DBGEngineLinks.h"

namespace {

constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 500.0f;
constexpr int kFont = 0;
constexpr int kLineStep = 16;
constexpr float kWidth = 1024.0f / 3.0f;

// A direction and its length; the zero vector stays zero.
Vector3 Direction(const Vector3& v, float* length) {
  *length = v.Length();
  return *length > 0.0f ? v * (1.0f / *length) : Vector3(0.0f, 0.0f, 0.0f);
}

}  // namespace

CameraViewWindow::CameraViewWindow() { name = "Vyre Camera View"; }

CameraViewWindow::~CameraViewWindow() = default;

void CameraViewWindow::SelectCamera(int32_t index) { picked_ = index; }

Camera* CameraViewWindow::ShownCamera() const {
  const DBGEngineLinks& links = GetEngineLinks();
  if (picked_ != kNoPick) {
    if (Camera* pick = links.CameraAt(picked_)) return pick;
  }
  return links.CurrentCamera();
}

int32_t CameraViewWindow::ShownIndex() const {
  return picked_ != kNoPick && GetEngineLinks().CameraAt(picked_) != nullptr ? picked_ : 0;
}

void CameraViewWindow::DrawContents() {
  BeginContents(1, 1);
  Camera* camera = ShownCamera();
  if (camera == nullptr) return;
  PushViewport(kNearPlane, kFarPlane);
  camera->ApplyProjection();
  if (GetEngineLinks().drawScene) GetEngineLinks().drawScene();
  PopViewport();

  const Vector3 position = camera->GetPosition();
  const CSCNNode* node = camera->currentNode != nullptr ? camera->currentNode : &camera->node;
  Quaternion rotation = node->rotation;
  const Vector3 view = rotation.GetZAxis();
  float speed = 0.0f;
  const Vector3 velocity = Direction(camera->controller.GetVelocity(), &speed);
  const Vector3 delta = camera->controller.GetDelta();
  float push = 0.0f;
  const Vector3 acceleration = Direction(camera->controller.GetAcceleration(), &push);

  PrintfCell(kFont, 0, kLineStep, "Camera : [%d] %s", ShownIndex(), camera->name.Chars());
  PrintfCell(kFont, 0, 2 * kLineStep, "POS   : [%06.2f, %06.2f, %06.2f]", position.x, position.y, position.z);
  PrintfCell(kFont, 0, 3 * kLineStep, "VIEW  : [%06.2f, %06.2f, %06.2f]", view.x, view.y, view.z);
  PrintfCell(kFont, 0, 4 * kLineStep, "VEL   : [%06.2f, %06.2f, %06.2f] @ %.2f", velocity.x, velocity.y, velocity.z,
             speed);
  PrintfCell(kFont, 0, 5 * kLineStep, "DELTA : [%06.2f, %06.2f, %06.2f]", delta.x, delta.y, delta.z);
  PrintfCell(kFont, 0, 6 * kLineStep, "ACC   : [%06.2f, %06.2f, %06.2f] @ %06.2f", acceleration.x, acceleration.y,
             acceleration.z, push);
}

void CameraViewWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(800.0f - kWidth, 312.0f), Vector2(kWidth, 256.0f), kRight);
}
