#pragma once
// The root of the developer tools: the "Vyre System" window. The application
// creates it when asked to, steps it with a GUI update every frame, hands it
// the frame timing after each swap and toggles it with a developer key.

#include "engine/foundation/String.h"
#include "engine/gui/Window.h"
#include "tools/DebugWindow.h"
#include "tools/PerformanceWindow.h"

#include <cstdint>

// A line typed into the developer console, split into its command word and
// its argument; whoever acts on it sets the handled flag.
struct DBGConsoleLine {
  String command;
  String argument;
  uint8_t handled = 0;
};

class DBGSystemWindow : public DebugWindow {
 public:
  DBGSystemWindow();
  ~DBGSystemWindow() override;
  // Sets the window up over the whole screen with the given frame (font)
  // and creates its performance window.
  void SetDefaultFrame(int32_t frame) override;
  // Null until the set-up has run.
  PerformanceWindow* GetPerformanceWindow() const { return performance_; }
  bool IsShown() const { return HasState(GUIState::kShown); }
  DBGConsoleLine consoleLine;

 private:
  PerformanceWindow* performance_ = nullptr;
};
