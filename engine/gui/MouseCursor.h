#pragma once
// The one mouse cursor element: its position on the 800 x 600 screen, its
// motion since the last poll, and its drawing.

#include "engine/gui/GUIObject.h"

class MouseCursor : public GUIObject {
 public:
  MouseCursor();
  void DrawContents() override {}
  // New position from window pixels; motion = new - old; then Clamp.
  void SetPosition(int xPixels, int yPixels);
  // x within [-width, 800], y within [-height, 600].
  void Clamp();
  // Pixels to GUI units for a window size; false (nothing changed) for a zero or negative size.
  bool SetScale(int widthPixels, int heightPixels);
  // Horizontal motion from a pixel delta; moves by it and the last vertical motion.
  void MoveX(int deltaPixels);
  // Remembers the cursor point as the press point of button 1 (left) or 2 (right).
  void RememberPress(int button);
  // Draws the cursor element at the cursor position (when visible).
  void DrawCursor();
  bool HasMoved() const { return motion.x != 0.0f || motion.y != 0.0f; }

  float scaleX = 1.0f;
  float scaleY = 1.0f;
  Vector2 position;
  Vector2 previous;
  Vector2 motion;
  uint8_t flags[2] = {0, 0};
  Vector2 leftPress;
  Vector2 rightPress;
  uint8_t visible = 1;
};

// The cursor, built on first use.
MouseCursor* GetMouseCursor();

// The cursor position in GUI units (the mouse cursor's, or the origin when
// the cursor was never built).
Vector2 GUICursorPosition();
