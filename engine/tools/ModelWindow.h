#pragma once
// "Vyre Model": one model of the model manager, turning in the client area,
// with its name.

#include "engine/tools/SpinningViewer.h"

class C3MEModel;

class ModelWindow : public SpinningViewer {
 public:
  ModelWindow();
  ~ModelWindow() override;
  // Children, then the selected model turning, or "No valid Model found".
  void DrawContents() override;
  // The developer frame at (500, 0), 300 x 300; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Selects a list position: -1 wraps to the last model, past the count to
  // the first; the count itself selects no model.
  void SelectModel(int32_t index);
  // The model at the stored position, or null.
  C3MEModel* SelectedModel() const;

  // The view's uniform scale: the larger client side over the radius
  // (1 when the radius is 0 or less) over 25.
  static float ViewScale(const Vector2& clientSize, float radius);
};
