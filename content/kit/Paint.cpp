#include "content/kit/Paint.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t ToByte(float value) { return uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

void BlendPixel(Image& image, int x, int y, const Colour& colour, float coverage, Blend blend) {
  if (x < 0 || y < 0 || x >= int(image.width) || y >= int(image.height)) return;
  const float weight = std::clamp(coverage, 0.0f, 1.0f) * std::clamp(colour.a, 0.0f, 1.0f);
  if (weight <= 0.0f) return;
  uint8_t* pixel = image.At(uint32_t(x), uint32_t(y));
  const float source[3] = {colour.r, colour.g, colour.b};
  if (blend == Blend::kAdd) {
    for (int c = 0; c < 3; ++c) pixel[c] = ToByte(pixel[c] / 255.0f + source[c] * weight);
    pixel[3] = ToByte(pixel[3] / 255.0f + weight);
    return;
  }
  // Source over destination, with straight (not premultiplied) alpha.
  const float below = pixel[3] / 255.0f;
  const float alpha = weight + below * (1.0f - weight);
  for (int c = 0; c < 3; ++c) {
    const float mixed = (source[c] * weight + pixel[c] / 255.0f * below * (1.0f - weight)) / alpha;
    pixel[c] = ToByte(mixed);
  }
  pixel[3] = ToByte(alpha);
}

void PaintArea(Image& image, int x0, int y0, int x1, int y1, const PaintFunction& paint, Blend blend) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, int(image.width));
  y1 = std::min(y1, int(image.height));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      Colour colour;
      const float coverage = paint(float(x) + 0.5f, float(y) + 0.5f, colour);
      if (coverage > 0.0f) BlendPixel(image, x, y, colour, coverage, blend);
    }
  }
}

void FillImage(Image& image, const Colour& colour) {
  const uint8_t rgba[4] = {ToByte(colour.r), ToByte(colour.g), ToByte(colour.b), ToByte(colour.a)};
  image.Fill(0, 0, int(image.width), int(image.height), rgba);
}
