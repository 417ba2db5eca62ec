#pragma once
// A coverage mask (0..1 per pixel): text and glyphs are rendered into masks,
// then outlined, bevelled and painted into pictures.

#include <vector>

#include "content/kit/Paint.h"

struct Mask {
  Mask() = default;
  Mask(int w, int h) : width(w), height(h), values(size_t(w) * size_t(h), 0.0f) {}
  float At(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : values[size_t(y) * size_t(width) + size_t(x)];
  }
  float& Ref(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }

  int width = 0;
  int height = 0;
  std::vector<float> values;
};

// The smallest rectangle holding every covered pixel (x1, y1 exclusive);
// all zero for an empty mask.
struct InkBounds {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
InkBounds FindInk(const Mask& mask);

// The mask grown by a radius in pixels (the largest coverage within reach).
Mask Dilate(const Mask& mask, float radius);
// A box blur of the given radius, applied twice.
Mask Blur(const Mask& mask, int radius);

// The colour at a mask pixel.
using MaskColour = std::function<Colour(int x, int y)>;
// Paints the mask with its top-left corner at (left, top).
void DrawMask(Image& image, const Mask& mask, int left, int top, const MaskColour& colour, Blend blend = Blend::kOver);
