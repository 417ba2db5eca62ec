#include "content/kit/StyledText.h"

#include <algorithm>
#include <cmath>

int StyleMargin(const TextStyle& style) { return int(std::ceil(style.outlineWidth)) + 3 * style.glowRadius + 2; }

void DrawStyledMask(Image& image, const Mask& mask, int left, int top, const TextStyle& style) {
  const InkBounds ink = FindInk(mask);
  if (ink.x1 == 0) return;
  if (style.glowRadius > 0 && style.glow.a > 0.0f) {
    Mask glow = Blur(mask, style.glowRadius);
    for (float& value : glow.values) value = std::min(1.0f, value * 2.0f);
    DrawMask(image, glow, left, top, [&](int, int) { return style.glow; });
  }
  if (style.outlineWidth > 0.0f && style.outline.a > 0.0f) {
    DrawMask(image, Dilate(mask, style.outlineWidth), left, top, [&](int, int) { return style.outline; });
  }
  const Mask soft = style.bevel > 0.0f ? Blur(mask, 1) : Mask();
  const float inkHeight = float(std::max(ink.y1 - ink.y0, 1));
  DrawMask(image, mask, left, top, [&](int x, int y) {
    Colour colour = Mix(style.top, style.bottom, (float(y - ink.y0) + 0.5f) / inkHeight);
    if (style.bevel > 0.0f) {
      // Edges facing the light brighten, edges facing away darken.
      const float slope = (soft.At(x - 1, y - 1) - soft.At(x + 1, y + 1)) * style.bevel;
      colour = slope > 0.0f ? Mix(colour, Colour{1.0f, 1.0f, 1.0f, colour.a}, slope)
                            : Mix(colour, Colour{0.0f, 0.0f, 0.0f, colour.a}, -slope * 0.6f);
    }
    return colour;
  });
}

void DrawText(Image& image, const TextPainter& painter, const std::string& text, float centreX, float baselineY,
              int sizeX, int sizeY, const TextStyle& style) {
  const TextLine line = painter.Render(text, sizeX, sizeY, StyleMargin(style));
  if (line.mask.width == 0) return;
  const int left = int(std::lround(centreX - float(line.advance) / 2.0f)) - line.penStart;
  const int top = int(std::lround(baselineY)) - line.baseline;
  DrawStyledMask(image, line.mask, left, top, style);
}
