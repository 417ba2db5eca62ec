#pragma once
// What the developer windows need of the application, which sits above this
// library: its cameras, the scene drawing and the input manager. The
// application fills the record before the System window is set up; tests
// fill it with fakes. An empty entry makes a window print its "none" form.

#include <cstdint>
#include <functional>

class Camera;
class CUIOManager;

struct DBGEngineLinks {
  // The camera at a position of the application's list, null past its end.
  std::function<Camera*(int32_t position)> cameraAt;
  // The camera the application draws with, or null.
  std::function<Camera*()> currentCamera;
  // Draws the installed scene with the projection already applied.
  std::function<void()> drawScene;
  CUIOManager* input = nullptr;

  Camera* CameraAt(int32_t position) const { return cameraAt ? cameraAt(position) : nullptr; }
  Camera* CurrentCamera() const { return currentCamera ? currentCamera() : nullptr; }
};

// The one record, empty until the application fills it.
DBGEngineLinks& GetEngineLinks();
