#pragma once
// The engine's own TGA reader: uncompressed (type 2) and run-length (type 10)
// true-colour images of 24 or 32 bits, with no identification field, no
// colour map and a zero origin. Rows are kept in file order (bottom row
// first, which is OpenGL's order); pixels come out as RGB or RGBA.

#include <cstdint>
#include <span>

#include "engine/graphics/DecodedImage.h"

// Decodes a whole TGA file held in memory.
DecodeResult DecodeTga(std::span<const uint8_t> file, DecodedImage& out);
