#include "engine/gui/Icon.h"

#include "engine/runtime/messages/MSGSystem.h"

Icon::Icon() { name = "Icon"; }

void Icon::PostRecord(const CMSGMessage& record) {
  // An unconfigured record (id 0) is ignored by the message system.
  if (record.id != 0) CMSGSystem::Get()->Repost(record);
}

void Icon::LoseFocus() {
  GUIObject::LoseFocus();
  PostRecord(loseFocusMessage);
}

void Icon::GainFocus() {
  GUIObject::GainFocus();
  PostRecord(gainFocusMessage);
}

void Icon::OnPress() {
  if (!IsFocusedElement()) return;
  if (IsToggle() && HasState(GUIState::kPressed)) {
    EndDrag();
  } else {
    BeginDrag();
  }
}

void Icon::OnLButtonHeld() { PostRecord(heldMessage); }

void Icon::OnLButtonUp() {
  if (!IsToggle() && HasState(GUIState::kPressed)) EndDrag();
}

void Icon::BeginDrag() {
  GUIObject::BeginDrag();
  if (HasState(GUIState::kPressed)) PostRecord(pressMessage);
}

void Icon::EndDrag() {
  state &= ~GUIState::kPressed;
  PostRecord(releaseMessage);
}
