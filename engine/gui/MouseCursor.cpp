#include "engine/gui/MouseCursor.h"

#include <GL/gl.h>

#include <memory>

#include "engine/graphics/GFXDisplay.h"

namespace {
std::unique_ptr<MouseCursor>& CursorSlot() {
  static std::unique_ptr<MouseCursor> cursor;
  return cursor;
}
}  // namespace

MouseCursor* GetMouseCursor() {
  std::unique_ptr<MouseCursor>& slot = CursorSlot();
  if (!slot) slot = std::make_unique<MouseCursor>();
  return slot.get();
}

Vector2 GUICursorPosition() {
  MouseCursor* cursor = CursorSlot().get();
  return cursor != nullptr ? cursor->position : Vector2();
}

MouseCursor::MouseCursor() {
  name = "MouseCursor";
  state |= GUIState::kShown;
}

void MouseCursor::SetPosition(int xPixels, int yPixels) {
  const Vector2 next{xPixels * scaleX, yPixels * scaleY};
  motion = Vector2::Subtract(next, position);
  previous = position;
  position = next;
  Clamp();
}

void MouseCursor::Clamp() {
  const Vector2 size = outer.GetSize();
  if (position.x < -size.x) position.x = -size.x;
  if (position.x > 800.0f) position.x = 800.0f;
  if (position.y < -size.y) position.y = -size.y;
  if (position.y > 600.0f) position.y = 600.0f;
}

bool MouseCursor::SetScale(int widthPixels, int heightPixels) {
  // A zero size would make every later position infinite.
  if (widthPixels <= 0 || heightPixels <= 0) return false;
  scaleX = 800.0f / static_cast<float>(widthPixels);
  scaleY = 600.0f / static_cast<float>(heightPixels);
  return true;
}

void MouseCursor::MoveX(int deltaPixels) {
  motion.x = deltaPixels * scaleX;
  position.x += motion.x;
  position.y += motion.y;
  Clamp();
}

void MouseCursor::RememberPress(int button) {
  if (button == 1) leftPress = position;
  if (button == 2) rightPress = position;
}

void MouseCursor::DrawCursor() {
  if (!visible) return;
  glPushMatrix();
  ++GFXDisplay::ModelviewNesting();
  GUIObject::MoveTo(position);
  Draw();
  --GFXDisplay::ModelviewNesting();
  glPopMatrix();
}
