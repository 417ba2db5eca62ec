#pragma once
// "Vyre Help": prints the developer keyboard commands in two columns, the
// engine's keys on the left and the engine camera's on the right. It only
// prints; the keys are acted on by the application's hot keys and camera.

#include "engine/tools/DebugWindow.h"

class HelpWindow : public DebugWindow {
 public:
  // One printed line: text-cell column and line, and the text.
  struct Line {
    int column;
    int line;
    const char* text;
  };
  static constexpr int kTextCellUnits = 16;

  HelpWindow();
  ~HelpWindow() override;
  // Children, then every line of the key list in the window colour.
  void DrawContents() override;
  // The developer frame at (32, 0), 768 x 568, sliding in from the top.
  void SetDefaultFrame(int32_t fontIndex) override;

  // The lines in the order they are printed; count through lineCount.
  static const Line* Lines(int* lineCount);
};
