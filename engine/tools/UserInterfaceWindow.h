#pragma once
// "Vyre User Interface": three lines on what the GUI is doing: where the
// cursor is, which window is active (and the pointer it stored), and which
// element has the focus.

#include "engine/tools/DebugWindow.h"

class UserInterfaceWindow : public DebugWindow {
 public:
  UserInterfaceWindow();
  ~UserInterfaceWindow() override;
  // Children, then the three lines one font line apart.
  void DrawContents() override;
  // The developer frame at (300, 149), 500 x 128; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
};
