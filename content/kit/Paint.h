#pragma once
// Blended pixels: every picture of the game data is built from coverage
// values laid over an image, either over what is there (transparent pictures
// and opaque scenes) or added to it (glows painted on black for additive
// materials).

#include <functional>

#include "content/kit/Colour.h"
#include "content/kit/Image.h"

enum class Blend { kOver, kAdd };

// Lays a colour over one pixel with the given coverage (0..1); pixels outside
// the picture are ignored.
void BlendPixel(Image& image, int x, int y, const Colour& colour, float coverage, Blend blend = Blend::kOver);

// The colour at a point and its coverage there.
using PaintFunction = std::function<float(float x, float y, Colour& colour)>;

// Calls paint at the centre of every pixel of a rectangle (clipped to the
// picture) and blends what it returns.
void PaintArea(Image& image, int x0, int y0, int x1, int y1, const PaintFunction& paint, Blend blend = Blend::kOver);

// Fills the whole picture with one opaque colour.
void FillImage(Image& image, const Colour& colour);
