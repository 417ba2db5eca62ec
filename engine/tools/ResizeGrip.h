#pragma once
// A drag handle: while pressed, it follows the mouse and tells its parent
// window how far, so the parent can resize itself by that much.

#include "engine/gui/Icon.h"

class ResizeGrip : public Icon {
 public:
  ResizeGrip();
  ~ResizeGrip() override;
  // The base hit test; then, while pressed, moves by this frame's mouse
  // movement and posts eMSG_GUIADJUSTSIZE with it to the parent.
  void OnMouseMove(const Vector2& point) override;
};
