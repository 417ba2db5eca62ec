#pragma once
// The renderer's texture binding: a texture is bound only when its GL name
// differs from the one bound last.

#include <cstdint>

class CTEXTexture;

namespace GFXDisplay {

// Binds a texture unless its GL name is the one bound last. A null texture
// stands for the fallback texture (the default material's first stage);
// when there is none, nothing is bound.
void BindTexture(const CTEXTexture* texture);

// Where the picture of a null texture comes from.
void SetFallbackTextureSource(const CTEXTexture* (*source)());

// Forgets the name bound last (after the context was rebuilt, or when GL
// bindings were changed behind the renderer's back).
void ForgetBoundTexture();

// The GL name bound last (0 when none).
uint32_t LastBoundTexture();

}  // namespace GFXDisplay
