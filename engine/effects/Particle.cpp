#include "engine/effects/Particle.h"

#include "engine/foundation/Maths.h"
#include "platform/Random.h"

void Particle::Reset() {
  position = previousPosition = direction = velocity = Vector3();
  speed = 0.0f;
  colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
  baseAlpha = 1.0f;
  life.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, 0.0f);
  size.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, 0.0f);
  rotation.Set(ValueStepper::kClamp, 0.0f, 0.0f, 0.0f, 0.0f);
  fade.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, 0.0f);
  flicker = burst = false;
  burstCount = 0;
}

void Particle::Burst() {
  burst = true;
  burstCount = platform::NextRandom() % 3;
  life.value = life.minimum;
}

bool Particle::FlickerBursts(bool chance) {
  if (!flicker || !chance) return false;
  Burst();
  return true;
}

bool Particle::Update(float dt) {
  if (life.maximum > 0.0f) {
    const float rate = life.rate;
    life.Step(-dt);
    life.rate = rate;
  }
  size.StepAtRate(dt);
  rotation.StepAtRate(dt);
  fade.StepAtRate(dt);
  colour[3] = fade.value * baseAlpha;
  previousPosition = position;
  if (speed > 0.0f) {
    position += velocity;
  } else {
    velocity = Vector3();
  }
  const int chanceIn1000 = TruncateToInt(dt * 100.0f);
  if (flicker && FlickerBursts(platform::NextRandom() % 1000 < chanceIn1000)) return false;
  return life.maximum == 0.0f || (life.value > 0.0f && colour[3] > 0.0f);
}

bool Particle::UpdateByRates(float dt) {
  life.StepAtRate(dt);
  size.StepAtRate(dt);
  rotation.StepAtRate(dt);
  fade.StepAtRate(dt);
  colour[3] = fade.value;
  previousPosition = position;
  position += velocity;
  if (flicker && FlickerBursts(platform::NextRandom() % 1000 > 900)) return false;
  return life.value != life.minimum && colour[3] > 0.0f;
}
