#pragma once
// "Vyre Profiler": the frame the profiler's own bars are drawn over; the
// window prints nothing itself.

#include "engine/tools/DebugWindow.h"

class ProfilerWindow : public DebugWindow {
 public:
  ProfilerWindow();
  ~ProfilerWindow() override;
  void DrawContents() override;
  // The developer frame at (32, 0), 768 x 300; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
};
