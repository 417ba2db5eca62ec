#include "engine/tools/ResizeGrip.h"

#include "engine/gui/MouseCursor.h"

ResizeGrip::ResizeGrip() = default;

ResizeGrip::~ResizeGrip() = default;

void ResizeGrip::OnMouseMove(const Vector2& point) {
  Icon::OnMouseMove(point);
  if (!HasState(GUIState::kPressed)) return;
  const Vector2 movement = GetMouseCursor()->motion;
  MoveTo(Vector2(outer.min.x + movement.x, outer.min.y + movement.y));
  // Delay 0: the parent reads the movement before the post returns.
  PostGUI(eMSG_GUIADJUSTSIZE, parentId, reinterpret_cast<intptr_t>(&movement));
}
