#pragma once
// A clickable image that posts its own messages (press, release, held, focus).

#include "engine/gui/GUIObject.h"

class Icon : public GUIObject {
 public:
  Icon();
  void LoseFocus() override;
  void GainFocus() override;
  void OnPress() override;
  void OnLButtonHeld() override;
  void OnLButtonUp() override;
  void BeginDrag() override;
  void EndDrag() override;
  void DrawContents() override {}
  bool IsToggle() const { return (style & GUIStyle::kToggle) != 0; }

  // Posted as they stand (through the message system, which picks the service).
  CMSGMessage pressMessage;
  CMSGMessage releaseMessage;
  CMSGMessage heldMessage;
  CMSGMessage gainFocusMessage;
  CMSGMessage loseFocusMessage;

 protected:
  static void PostRecord(const CMSGMessage& record);
};
