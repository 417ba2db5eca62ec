#pragma once

// Drawing of the shell's pages in the HUD's 800 x 600 space. Every function
// needs a current GL context; callers check first.

#include <cstdint>

#include "engine/graphics/RenderState.h"

class CTEXTexture;

namespace shell_draw {

// Pictures: textured, blended, double-sided (the HUD's y runs down, which
// turns quads away from the camera), no depth test (the HUD has no depth).
inline constexpr GFXRenderFlags kPictureState =
    RenderFlag::SOLID | RenderFlag::TEXTURED | RenderFlag::DBLSIDED | RenderFlag::BLENDING;
// Lines: untextured wire.
inline constexpr GFXRenderFlags kLineState = RenderFlag::WIREFRAME;

// A texture in white between two corners.
void Picture(const CTEXTexture* texture, float x0, float y0, float x1, float y1);
// A texture by name (the texture manager's, loaded or queued) over the whole screen.
void FullScreenPicture(const char* textureName);
// A horizontal line in a colour.
void Line(float x0, float x1, float y, const float rgba[4]);

}  // namespace shell_draw
