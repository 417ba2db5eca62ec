#pragma once
// Text and glyph masks painted with a vertical gradient, an outline, a soft
// glow behind and a light bevel: the look of every title and glyph.

#include "content/kit/TextPainter.h"

struct TextStyle {
  Colour top{1.0f, 1.0f, 1.0f, 1.0f};
  Colour bottom{1.0f, 1.0f, 1.0f, 1.0f};
  Colour outline{0.0f, 0.0f, 0.0f, 0.0f};
  float outlineWidth = 0.0f;
  Colour glow{0.0f, 0.0f, 0.0f, 0.0f};
  int glowRadius = 0;
  float bevel = 0.0f;  // strength of the light from the top left
};

// The margin a mask needs round its ink for the style's outline and glow.
int StyleMargin(const TextStyle& style);

// Paints a mask with its top-left corner at (left, top); the gradient runs
// over the ink's own height.
void DrawStyledMask(Image& image, const Mask& mask, int left, int top, const TextStyle& style);

// Paints a line of text centred on x with its baseline at y.
void DrawText(Image& image, const TextPainter& painter, const std::string& text, float centreX, float baselineY,
              int sizeX, int sizeY, const TextStyle& style);
