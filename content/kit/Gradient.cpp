#include "content/kit/Gradient.h"

#include <cmath>

void VerticalGradient(Image& image, const Colour& top, const Colour& bottom, Blend blend) {
  const float height = float(image.height);
  PaintArea(
      image, 0, 0, int(image.width), int(image.height),
      [&](float, float y, Colour& out) {
        out = Mix(top, bottom, y / height);
        return 1.0f;
      },
      blend);
}

void RadialGradient(Image& image, float cx, float cy, float radius, const Colour& centre, const Colour& edge,
                    Blend blend) {
  PaintArea(
      image, 0, 0, int(image.width), int(image.height),
      [&](float x, float y, Colour& out) {
        out = Mix(centre, edge, std::hypot(x - cx, y - cy) / radius);
        return 1.0f;
      },
      blend);
}
