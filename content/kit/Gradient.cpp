#include "content/kit/Gradient.h"

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
