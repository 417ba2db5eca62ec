#include "engine/tools/SpinningViewer.h"

#include "engine/graphics/GFXDisplay.h"

SpinningViewer::SpinningViewer() = default;

SpinningViewer::~SpinningViewer() = default;

void SpinningViewer::StoreSelection(int32_t index, uint32_t count, int32_t highest) {
  if (index < 0) {
    index = static_cast<int32_t>(count) - 1;
  } else if (index > highest) {
    index = 0;
  }
  selectedIndex_ = index;
}

void SpinningViewer::SetViewerFrame(int32_t fontIndex, const Vector2& position) {
  SetDeveloperFrame(fontIndex, position, Vector2(300, 300), kNoSlide);
  spin.Set(ValueStepper::kWrap, 0.0f, 360.0f, 0.0f, 1.0f);
}

void SpinningViewer::SpinView(float amount) {
  const float first = spin.Step(amount);
  const float second = spin.Step(amount);
  GFXDisplay::RotateXYZ(0.0f, second, first);
}

void SpinningViewer::PrintMissing(const char* text) const { PrintCellInFont(0, text, 1, 1); }
