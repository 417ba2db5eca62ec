#pragma once
// "Vyre Finite State Machines": a table of the first registered state
// machines with their object id, name and current state.

#include "engine/tools/DebugWindow.h"

class FsmWindow : public DebugWindow {
 public:
  // Rows of the table below its header.
  static constexpr int kMaxRows = 7;

  FsmWindow();
  ~FsmWindow() override;
  // Children, then the header and one row per registered object.
  void DrawContents() override;
  // The developer frame at (32, 0), 300 x 568, sliding in from the left.
  void SetDefaultFrame(int32_t fontIndex) override;
};
