#pragma once
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"

// One beam: a ribbon from start to end that drifts along its direction,
// grows to its length and fades out.
class BeamElement {
 public:
  BeamElement() { Reset(); }
  virtual ~BeamElement() = default;

  // Zero vectors, unit widths and colours, clamped steppers.
  void Reset();
  // Drifts, grows and fades by dt; false when the beam has died.
  bool Update(float dt);
  // Alive: life above its minimum and the end still visible.
  bool IsAlive() const;

  Vector3 start;
  Vector3 end;
  float startWidth = 1.0f;
  float endWidth = 1.0f;
  float startColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float endColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  Vector3 direction;
  ValueStepper velocity;  // drift speed in units per second
  ValueStepper life;      // 1 down to 0 at the fade rate; scales the alpha
  ValueStepper width;     // current length, growing to the full length
  float startAlpha = 1.0f;
  float endAlpha = 1.0f;
  int shape = 0;  // 0 standalone, 1 closes a ribbon, 2 continues one
};
