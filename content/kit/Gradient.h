#pragma once
// Gradients laid over a whole picture.

#include "content/kit/Paint.h"

// From the top row's colour to the bottom row's.
void VerticalGradient(Image& image, const Colour& top, const Colour& bottom, Blend blend = Blend::kOver);
// From the centre's colour to the edge colour at the given radius and beyond.
void RadialGradient(Image& image, float cx, float cy, float radius, const Colour& centre, const Colour& edge,
                    Blend blend = Blend::kOver);
