#pragma once
// "Vyre Memory": the counted allocations and releases of the three
// allocation groups (new, new[] and the C library), with their totals.

#include "engine/foundation/Memory.h"
#include "engine/tools/DebugWindow.h"

class MemoryWindow : public DebugWindow {
 public:
  MemoryWindow();
  ~MemoryWindow() override;
  // Children, then the counters as they stand now.
  void DrawContents() override;
  // The developer frame at (500, 149), 300 x 196, sliding in from the right.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Prints the nine lines of a set of counters, one font line apart.
  void PrintCounters(const MemoryCounters& counters) const;
};
