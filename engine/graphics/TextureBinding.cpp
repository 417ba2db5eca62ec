#include "engine/graphics/TextureBinding.h"

#include "engine/graphics/Texture.h"

namespace {

struct BindingState {
  uint32_t lastBound = 0;
  bool anyBound = false;
  const CTEXTexture* (*fallback)() = nullptr;
};

BindingState& Binding() {
  static BindingState state;
  return state;
}

}  // namespace

namespace GFXDisplay {

void BindTexture(const CTEXTexture* texture) {
  BindingState& state = Binding();
  if (texture == nullptr && state.fallback != nullptr) texture = state.fallback();
  if (texture == nullptr) return;
  if (state.anyBound && texture->GLName() == state.lastBound) return;
  texture->Bind();
  state.lastBound = texture->GLName();
  state.anyBound = true;
}

void SetFallbackTextureSource(const CTEXTexture* (*source)()) { Binding().fallback = source; }

void ForgetBoundTexture() {
  Binding().anyBound = false;
  Binding().lastBound = 0;
}

uint32_t LastBoundTexture() { return Binding().lastBound; }

}  // namespace GFXDisplay
