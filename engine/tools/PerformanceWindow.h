#pragma once
// "Vyre Performance": frame number, frame rate (coloured by how healthy it
// is), game time and game step. The application hands it the timing of
// each frame after the buffers are swapped.

#include <cstdint>

#include "engine/tools/DebugWindow.h"

class PerformanceWindow : public DebugWindow {
 public:
  // Below this the frame rate prints red, from it yellow.
  static constexpr float kSlowFps = 30.0f;
  // From this the frame rate prints green.
  static constexpr float kSmoothFps = 60.0f;

  PerformanceWindow();
  ~PerformanceWindow() override;
  // Children, then four lines one font line apart.
  void DrawContents() override;
  // The developer frame at (600, 472), 200 x 96, sliding in from the right.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Stores the clock's frame number and frames per second of the last swap.
  void SetTiming(uint32_t frameNumber, float framesPerSecond);
  uint32_t GetFrameNumber() const { return frameNumber_; }
  float GetFramesPerSecond() const { return framesPerSecond_; }

  // The colour the frame rate prints in (RGBA): red, yellow or green.
  static const float* FpsColour(float framesPerSecond);

 private:
  uint32_t frameNumber_ = 0;
  float framesPerSecond_ = 0.0f;
};
