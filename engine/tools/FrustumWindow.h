#pragma once
// "Vyre Frustum": a frame kept for the planes of a view frustum. Nothing in
// the engine hands it one, so it shows only its children.

#include "engine/tools/DebugWindow.h"

class FrustumWindow : public DebugWindow {
 public:
  FrustumWindow();
  ~FrustumWindow() override;
  void DrawContents() override;
  // The developer frame at (500, 149), 300 x 164, sliding in from the right.
  void SetDefaultFrame(int32_t fontIndex) override;
};
