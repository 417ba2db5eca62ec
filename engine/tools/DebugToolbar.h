#pragma once
// "Vyre Toolbar": a strip of toggle buttons, each showing and hiding one
// developer window, laid from a pen that moves one button along per button.
// A hover over a button tells the toolbar's parent its name.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gui/Icon.h"
#include "engine/tools/DebugWindow.h"

class DebugToolbar : public DebugWindow {
 public:
  DebugToolbar();
  ~DebugToolbar() override;

  // Frame, developer layer, the rectangles, and the pen: at the top-left
  // when fromStart is set, else at the far end (bottom for a vertical
  // toolbar, right for a horizontal one); slides from the bottom.
  void Setup(int32_t frame, bool isVertical, bool isFromStart, const Rect& rectangle, const Rect& client);
  // A toggle button at the pen (a screen position while the toolbar is at
  // home) that shows and hides the target; enabled only when asked. The pen
  // moves one button along.
  Icon* AddButton(const char* iconFile, const char* buttonName, int32_t targetId, bool enabled);
  // Replaces the sub-toolbars with n new ones.
  void SetSubToolbarCount(int n);
  DebugToolbar* GetSubToolbar(int index) const {
    return index >= 0 && index < static_cast<int>(subToolbars_.size()) ? subToolbars_[index].get() : nullptr;
  }
  int GetButtonCount() const { return static_cast<int>(buttons_.size()); }
  Icon* GetButton(int index) const {
    return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[index].get() : nullptr;
  }

  uint8_t vertical = 1;
  uint8_t fromStart = 0;
  Vector2 pen;
  Vector2 buttonSize{32.0f, 32.0f};

 private:
  std::vector<std::unique_ptr<Icon>> buttons_;
  std::vector<std::unique_ptr<DebugToolbar>> subToolbars_;
};
