#include "engine/effects/BeamElement.h"

void BeamElement::Reset() {
  start = end = direction = Vector3();
  startWidth = endWidth = 1.0f;
  for (int i = 0; i < 4; ++i) startColour[i] = endColour[i] = 1.0f;
  startAlpha = endAlpha = 1.0f;
  velocity.Set(ValueStepper::kClamp, 0.0f, 0.0f, 0.0f, 0.0f);
  life.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, 0.0f);
  width.Set(ValueStepper::kClamp, 0.0f, 0.0f, 0.0f, 0.0f);
  shape = 0;
}

bool BeamElement::Update(float dt) {
  velocity.StepAtRate(dt);
  life.StepAtRate(dt);
  const float oldLength = width.value;
  width.StepAtRate(dt);
  start += direction * (velocity.value * dt);
  end += direction * (velocity.value * dt + (width.value - oldLength));
  startColour[3] = startAlpha * life.value;
  endColour[3] = endAlpha * life.value;
  return IsAlive();
}

bool BeamElement::IsAlive() const { return life.value != life.minimum && endColour[3] > 0.0f; }
