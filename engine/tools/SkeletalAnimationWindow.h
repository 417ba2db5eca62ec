#pragma once
// "Vyre Skeletal Animation": a frame kept for the state of a key-frame
// animation and an animation sequence. Nothing in the engine hands it
// either, so it says so.

#include "engine/tools/DebugWindow.h"

class SkeletalAnimationWindow : public DebugWindow {
 public:
  SkeletalAnimationWindow();
  ~SkeletalAnimationWindow() override;
  // Children, then "[ANM] None" and, a line lower, "[ANMSequence] None".
  void DrawContents() override;
  // The developer frame at (32, 0), 768 x 168; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
};
