// The application's cameras, camera controllers and free camera.
#include <utility>

#include "engine/app/GEMApplication.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/scene/core/SceneNode.h"
#include "platform/DebugOutput.h"
#include "platform/KeyCodes.h"

namespace {
const char* const kEngineCameraName = "GEM.Camera";
}

bool CGEMApplication::AddCamera(Camera* camera) {
  if (camera == nullptr) return false;
  cameras_.push_back(camera);
  CSCNNode::GetRoot().AddChild(&camera->node);
  return true;
}

Camera* CGEMApplication::FindCamera(const String& name) const {
  for (Camera* camera : cameras_) {
    if (camera->name == name) return camera;
  }
  return nullptr;
}

Camera* CGEMApplication::GetCamera(int32_t position) const {
  const uint32_t at = static_cast<uint32_t>(position);
  return at < cameras_.size() ? cameras_[at] : nullptr;
}

bool CGEMApplication::FindNamedObject(const String& name) {
  for (size_t i = 0; i < cameras_.size(); ++i) {
    if (!(cameras_[i]->name == name)) continue;
    previousCameraIndex_ = cameraIndex_;
    cameraIndex_ = static_cast<int32_t>(i);
    if (activeCamera_ != nullptr) activeCamera_->SetActive(0);
    activeCamera_ = cameras_[i];
    activeCamera_->SetActive(1);
    return true;
  }
  return false;
}

bool CGEMApplication::IsActiveCamera(const String& name) const {
  return activeCamera_ != nullptr && activeCamera_->name == name;
}

bool CGEMApplication::AddController(const String& name, ControllerCallback callback) {
  if (controllers_.size() >= kMaxControllers) return false;
  controllers_.push_back({name, std::move(callback)});
  return true;
}

bool CGEMApplication::SelectController(const String& name) {
  for (size_t i = 0; i < controllers_.size(); ++i) {
    if (controllers_[i].name == name) {
      activeController_ = static_cast<int32_t>(i);
      return true;
    }
  }
  return false;
}

void CGEMApplication::RunActiveController() {
  if (activeController_ < 0 || static_cast<size_t>(activeController_) >= controllers_.size()) return;
  if (controllers_[activeController_].callback) controllers_[activeController_].callback(0);
}

void CGEMApplication::ToggleFreeCamera(bool on) {
  if (on) {
    FindNamedObject(kEngineCameraName);
    savedController_ = activeController_;
    SelectController(kEngineCameraName);
    engineCamera_.freeFly = 1;
    // A camera's controller starts disabled and then ignores every turn and
    // move; the free camera is the engine camera's driver.
    engineCamera_.controller.enabled = true;
    return;
  }
  Camera* previous = GetCamera(previousCameraIndex_);
  if (previous == nullptr || previous == &engineCamera_) return;
  FindNamedObject(previous->name);
  if (savedController_ >= 0 && static_cast<size_t>(savedController_) < controllers_.size()) {
    activeController_ = savedController_;
  }
  engineCamera_.freeFly = 0;
}

int32_t CGEMApplication::FreeCameraControl() {
  const FreeCameraInput& in = freeCameraInput_;
  // The free camera is a developer tool flying the engine's own camera. A
  // game's camera (made active over the engine camera, with its controller
  // enabled so the game can aim it) would otherwise turn with every mouse
  // move and slide on W/S/A/D/R/F typed into a name box; without the
  // developer keys Ctrl+F1 cannot even take it back.
  const bool flying = options.developerKeys != 0 && activeCamera_ == &engineCamera_ && engineCamera_.freeFly != 0;
  if (!flying || in.developerWindowShown || !in.mousePresent) return 0;
  Camera& camera = engineCamera_;
  camera.Rotate(in.mouseMotion[0], in.mouseMotion[1], in.mouseMotion[2]);
  if (in.readKey == nullptr) return 0;
  namespace key = platform::key;
  auto held = [&](uint8_t code) { return in.readKey(in.keyboard, code) != 0; };
  auto down = [&](uint8_t code) { return in.readKey(in.keyboard, code) == 1; };
  float speed = 1.0f;
  if (held(key::LeftShift)) {
    speed = 10.0f;
  } else if (held(key::LeftAlt)) {
    speed = 0.1f;
  }
  if (held(key::W)) camera.MoveForward(-speed);
  if (held(key::S)) camera.MoveForward(speed);
  if (held(key::A)) camera.MoveRight(-speed);
  if (held(key::D)) camera.MoveRight(speed);
  if (held(key::R)) camera.MoveUp(speed);
  if (held(key::F)) camera.MoveUp(-speed);
  if (down(key::Home)) camera.node.Reset();
  if (down(key::Q)) camera.controller.SetOffset(Vector3(0.0f, 0.0f, 0.0f));
  return 0;
}

void CGEMApplication::ReacquireInput() {
  CUIOManager* input = services_.input;
  if (input == nullptr) return;
  if (CUIOMouse* mouse = input->GetMouse(); mouse != nullptr && !mouse->CheckLost()) {
    platform::DebugOutput("[UIO] Lost mouse...\n");
  }
  if (CUIOKeyboard* keyboard = input->GetKeyboard(); keyboard != nullptr && !keyboard->CheckLost()) {
    platform::DebugOutput("[UIO] Lost keyboard...\n");
  }
}
