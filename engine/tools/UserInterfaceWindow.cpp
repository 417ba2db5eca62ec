#include "engine/tools/UserInterfaceWindow.h"

#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/tools/DebugCanvas.h"

UserInterfaceWindow::UserInterfaceWindow() { name = "Vyre User Interface"; }

UserInterfaceWindow::~UserInterfaceWindow() = default;

void UserInterfaceWindow::DrawContents() {
  BeginContents(1, 1);
  const int lineHeight = GetDebugCanvas().FontHeight(frameStyle);
  const Vector2 cursor = GetMouseCursor()->position;
  PrintfCell(frameStyle, 0, 0, "Mouse [%.0f, %.0f]", cursor.x, cursor.y);

  GUIWindowManager* manager = GetWindowManager();
  if (const Window* active = manager->GetFocusedWindow()) {
    PrintfCell(frameStyle, 0, lineHeight, "Window : [%s] [%.0f, %.0f]", active->name.Chars(), active->localPointer.x,
               active->localPointer.y);
  } else {
    PrintCell("Window : [NONE]", 0, lineHeight);
  }
  if (const GUIObject* focus = manager->GetFocusedElement()) {
    PrintfCell(frameStyle, 0, 2 * lineHeight, "Focus : [%s]", focus->name.Chars());
  } else {
    PrintCell("Focus : [NONE]", 0, 2 * lineHeight);
  }
}

void UserInterfaceWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(300, 149), Vector2(500, 128), kNoSlide);
}
