#pragma once
// Gradients laid over a whole picture.

#include "content/kit/Paint.h"

// From the top row's colour to the bottom row's.
void VerticalGradient(Image& image, const Colour& top, const Colour& bottom, Blend blend = Blend::kOver);
