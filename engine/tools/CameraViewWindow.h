#pragma once
// "Vyre Camera View": the scene seen through a camera, with the camera's
// name, place, view direction and motion. It shows the camera the camera
// register picked while that camera is still in the application's list,
// else the camera the application draws with.

#include <cstdint>

#include "engine/tools/DebugWindow.h"

class Camera;

class CameraViewWindow : public DebugWindow {
 public:
  static constexpr int32_t kNoPick = -1;

  CameraViewWindow();
  ~CameraViewWindow() override;
  // Children, then the scene through the shown camera and its six lines;
  // nothing more without a camera.
  void DrawContents() override;
  // The developer frame at the right edge, a third of 1024 wide and 256
  // high at y 312, sliding in from the right.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Shows the camera at that position of the application's list.
  void SelectCamera(int32_t index);
  // The picked camera while the list still has it, else the current one
  // (null when the application gave neither).
  Camera* ShownCamera() const;
  // The list position printed for the shown camera: the pick while it is
  // shown, else 0.
  int32_t ShownIndex() const;

 private:
  int32_t picked_ = kNoPick;
};
