#include "engine/gui/ScreenFade.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/RenderState.h"

namespace {
constexpr GFXRenderFlags kFadeState = 0x184;
}

ScreenFade::ScreenFade() { channel.Set(AnimChannel::kLinear, false, 0.0f, 0.0f, 0.0f); }

void ScreenFade::Start(const float from[4], const float to[4], float durationSeconds) {
  for (int i = 0; i < 4; ++i) {
    fromColour[i] = from[i];
    toColour[i] = to[i];
  }
  channel.Set(AnimChannel::kLinear, false, 0.0f, 1.0f, durationSeconds);
  channel.Reset();
}

void ScreenFade::Update(float dtSeconds) {
  if (!active) return;
  float progress = channel.Update(dtSeconds);
  // A fade never started (or of no length) must not paint a NaN colour.
  if (!std::isfinite(progress)) progress = 1.0f;
  for (int i = 0; i < 4; ++i) current[i] = fromColour[i] + (toColour[i] - fromColour[i]) * progress;
}

void ScreenFade::Draw() {
  if (!active) return;
  GFXDisplay::SetRenderState(kFadeState);
  glColor4fv(current);
  GFXDisplay::DrawRect(Vector2(0.0f, 0.0f), Vector2(800.0f, 600.0f));
}

float ScreenFade::GetPercent() const { return channel.output * 100.0f; }

void ScreenFade::Hold(uint8_t value) {
  hold = value;
  channel.Reset();
}

ScreenFade* GetScreenFade() {
  static ScreenFade fade;
  return &fade;
}
