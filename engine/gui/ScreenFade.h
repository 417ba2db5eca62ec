#pragma once
// A full-screen colour fade over the whole HUD.

#include <cstdint>

#include "engine/foundation/AnimChannel.h"

class ScreenFade {
 public:
  ScreenFade();
  // Fades from one RGBA colour to another over the duration (seconds).
  void Start(const float from[4], const float to[4], float durationSeconds);
  // Advances the fade (when active) and recomputes the current colour.
  void Update(float dtSeconds);
  // Covers the HUD in the current colour (when active).
  void Draw();
  // Progress in percent.
  float GetPercent() const;
  // Stores the hold byte and starts the progress over.
  void Hold(uint8_t value);
  const float* GetColour() const { return current; }

  uint8_t active = 0;
  uint8_t hold = 0;
  float fromColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float toColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  AnimChannel channel;
  float current[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// The display's fade: the HUD pass advances and draws it every frame, the
// game starts it for its screen transitions.
ScreenFade* GetScreenFade();
