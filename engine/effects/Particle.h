#pragma once
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"

// One particle of a particle system's pool. Velocity is in units per frame.
class Particle {
 public:
  Particle() { Reset(); }
  virtual ~Particle() = default;

  // Zero vectors, base alpha 1, steppers 0..1 at 1 (clamped, no rate); the
  // rotation stepper 0..0.
  void Reset();
  // Ages and moves the particle by one frame; false when it has died.
  bool Update(float dt);
  // The alternative update where every stepper runs at its own rate.
  bool UpdateByRates(float dt);
  // Ends the particle in a burst of 1 to 3 new ones.
  void Burst();

  Vector3 position;
  Vector3 previousPosition;
  Vector3 direction;
  Vector3 velocity;
  float speed = 0.0f;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float baseAlpha = 1.0f;
  ValueStepper life;
  ValueStepper size;  // its value is the particle's size
  ValueStepper rotation;
  ValueStepper fade;
  bool flicker = false;
  bool burst = false;
  int burstCount = 0;  // 0 to 2

 private:
  bool FlickerBursts(bool chance);
};
