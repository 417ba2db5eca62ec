#pragma once
// The recurring motifs of the game's screens: star fields, nebula clouds and
// cut gems, drawn onto pictures that may be painted pre-stretched (a canvas
// maps the screen units the game draws in onto the picture's pixels).

#include <cstdint>

#include "content/kit/Shapes.h"

struct Canvas {
  // A picture of the given size standing for a screen area of the given size.
  Canvas(Image& target, float screenWidth, float screenHeight)
      : image(target), sx(float(target.width) / screenWidth), sy(float(target.height) / screenHeight) {}
  Point At(float x, float y) const { return {x * sx, y * sy}; }

  Image& image;
  float sx, sy;
};

// Scattered stars of various brightness and a few with glows.
void StarField(Image& image, uint32_t seed, int count);
// Soft clouds of two colours laid over the picture, tiling sideways.
void Nebula(Image& image, uint32_t seed, const Colour& first, const Colour& second, float strength, float scale);
// A cut gem seen from above: an octagonal table ringed by lit and shaded facets.
void GemIcon(const Canvas& canvas, float x, float y, float radius, const Colour& colour);
// A four-pointed twinkle with a glow, added to the picture.
void Twinkle(const Canvas& canvas, float x, float y, float radius, const Colour& colour);
