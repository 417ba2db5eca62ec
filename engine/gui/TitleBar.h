#pragma once
// The strip across the top of a window: caption, close / minimise /
// maximise buttons, drag to move and double-click to maximise. Every action
// is a GUI message posted to the window it belongs to.

#include "engine/gui/TextBox.h"

class TitleBar : public TextBox {
 public:
  TitleBar();
  // While dragged: posts REPOSITION (outer min + cursor motion) to the window.
  void OnMouseMove(const Vector2& point) override;
  // Posts RESTORE when the window is maximised, else MAXIMISE.
  void OnLButtonDouble() override;
  void EnableInput() override;
  void DisableInput() override;
  void Layout(const Rect& outer, const Rect& inner) override;
  void OnCreate() override;
  void Draw() override;
  void OnMessage(CMSGMessage* message) override;
  bool HasButtons() const { return (style & GUIStyle::kTitleButtons) != 0; }

  Icon closeButton;
  Icon minimiseButton;
  Icon maximiseButton;
  int32_t frameStyles[4] = {-1, -1, -1, -1};
};
