#pragma once
// The base of the viewers that show one entry of a resource manager turning
// in a 3D view of their client area: the selected list position and the
// spin angle.

#include <cstdint>

#include "engine/foundation/ValueStepper.h"
#include "engine/tools/DebugWindow.h"

class SpinningViewer : public DebugWindow {
 public:
  static constexpr float kNearPlane = 0.1f;
  static constexpr float kFarPlane = 500.0f;

  SpinningViewer();
  ~SpinningViewer() override;

  // The stored list position (it may lie outside the list, which shows nothing).
  int32_t GetSelectedIndex() const { return selectedIndex_; }
  // True when the stored position names an entry of a list of count.
  bool HasEntry(uint32_t count) const { return selectedIndex_ >= 0 && static_cast<uint32_t>(selectedIndex_) < count; }

  // Degrees, 0 to 360, wrapping; stepped while the view draws.
  ValueStepper spin;

 protected:
  // Stores the index: below 0 it becomes count - 1, above highest it becomes 0.
  void StoreSelection(int32_t index, uint32_t count, int32_t highest);
  // The developer frame (300 x 300, no slide) at a place, the spin at 0.
  void SetViewerFrame(int32_t fontIndex, const Vector2& position);
  // Steps the spin twice by the amount and turns the view about Y by the
  // second angle and about Z by the first.
  void SpinView(float amount);
  // The line shown in place of a missing entry, at (1, 1) in font 0.
  void PrintMissing(const char* text) const;

 private:
  int32_t selectedIndex_ = 0;
};
