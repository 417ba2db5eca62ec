// The camera through which the disc is seen: five units above the focus,
// looking straight down.

#include "engine/foundation/String.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/PuzzleRenderer.h"

namespace {

constexpr float kFieldOfViewDegrees = 60.0f;
constexpr float kNearPlane = 2.0f;
constexpr float kFarPlane = 100.0f;
constexpr float kEyeHeight = 5.0f;
// Where the disc stands when no renderer says otherwise.
const Vector3 kDefaultFocus(-5.0f, 0.0f, 0.0f);

}  // namespace

void Game::SetupPuzzleCamera() {
  puzzleCamera.name = kPuzzleCameraName;
  puzzleCamera.fieldOfView = kFieldOfViewDegrees;
  puzzleCamera.nearPlane = kNearPlane;
  puzzleCamera.farPlane = kFarPlane;

  const Vector3 focus = renderer != nullptr ? renderer->GetFocus() : kDefaultFocus;
  puzzleCamera.SetPosition(focus + Vector3(0.0f, kEyeHeight, 0.0f));
  puzzleCamera.SetTarget(focus);
  // A controller starts disabled, and a disabled one ignores LookAt. It is
  // left integrating: the Panic hold moves the target, not the node.
  CameraController& controller = puzzleCamera.controller;
  controller.enabled = true;
  controller.LookAt(focus);
  // Once, so that the first frame already shows the disc.
  controller.Update();
  puzzleCamera.node.Update();
  FindNamedObject(String(kPuzzleCameraName));
}
