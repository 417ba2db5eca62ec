#pragma once
// "Vyre User Input": the game controller's name, stick and buttons, while
// the application's input manager has a controller.

#include "engine/tools/DebugWindow.h"

class UserInputWindow : public DebugWindow {
 public:
  UserInputWindow();
  ~UserInputWindow() override;
  // Children, then (only with a controller) its lines in font 0.
  void DrawContents() override;
  // The developer frame at (650, 149), 150 x 164; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
};
