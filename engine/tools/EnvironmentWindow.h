#pragma once
// "Vyre Environment": a transparent screen-sized overlay that marks where
// the scene's cameras (but the one in use) and enabled lights are, with an
// icon over each one's screen position.

#include <array>
#include <memory>

#include "engine/foundation/Vector3.h"
#include "engine/gui/Icon.h"
#include "engine/tools/DebugWindow.h"

class CMATMaterial;

class EnvironmentWindow : public DebugWindow {
 public:
  static constexpr int kIconCount = 50;
  static constexpr float kIconSize = 32.0f;
  static constexpr float kLayer = 80.0f;

  EnvironmentWindow();
  ~EnvironmentWindow() override;
  // The whole screen with no frame, below the other developer windows;
  // loads the icon images and makes the icon pool.
  void SetDefaultFrame(int32_t fontIndex) override;
  // The window's layout, then the icons over the cameras and lights.
  void Layout(const Rect& outer, const Rect& inner) override;
  // Shown, the icons are placed afresh.
  void Show(bool show) override;
  // An update places the icons afresh.
  void OnUpdate() override;
  // The placed icons.
  void DrawContents() override;

  // Where an icon for a world point goes: centred on its projection,
  // kept on the screen.
  static Vector2 ScreenPosition(const Vector3& point);
  Icon* GetIcon(int index) const { return index >= 0 && index < kIconCount ? icons_[index].get() : nullptr; }

 private:
  // Puts the next free icon at the point; false when the pool is used up.
  bool PlaceIcon(int* used, CMATMaterial* image, const char* iconName, const Vector3& point);

  CMATMaterial* camera_ = nullptr;     // not owned
  CMATMaterial* sceneNode_ = nullptr;  // not owned
  CMATMaterial* particles_ = nullptr;  // not owned
  CMATMaterial* light_ = nullptr;      // not owned
  CMATMaterial* sound_ = nullptr;      // not owned
  std::array<std::unique_ptr<Icon>, kIconCount> icons_;
};
