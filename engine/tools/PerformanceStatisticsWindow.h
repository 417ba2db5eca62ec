#pragma once
// "Vyre Performance Statistics": line plots of the render statistics of the
// last frames, one line for the frame rate and one per counter, each scaled
// by that field's peak and labelled with its newest value.

#include "engine/tools/DebugWindow.h"

class GFXStats;

class PerformanceStatisticsWindow : public DebugWindow {
 public:
  PerformanceStatisticsWindow();
  ~PerformanceStatisticsWindow() override;
  // Children, then the plots of the program's render statistics.
  void DrawContents() override;
  // The developer frame at (32, 200), 768 x 368, sliding in from the bottom.
  void SetDefaultFrame(int32_t fontIndex) override;

  // The axes and one plot per field of a statistics ring, in the client area.
  void Plot(const GFXStats& stats) const;
};
