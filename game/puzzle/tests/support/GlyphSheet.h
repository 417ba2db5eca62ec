#pragma once

// A glyph sheet for the drawing tests: 512 x 512 RGBA with the 49 glyphs in
// 64-texel cells at a 68-texel pitch, each cell coded so that a pixel read
// back from the screen tells which glyph it shows and which half of it.

#include "engine/graphics/tests/support/ImageFiles.h"

namespace puzzle_test {

// The sheet as a PNG description (top row first).
PngSpec GlyphSheetPng();

struct SheetPixel {
  int glyph;       // -1: no glyph (black)
  bool upperHalf;  // the upper half of the glyph's cell
};

// Decodes the screen pixel at (x, y), y down from the top of a screen of the
// given height.
SheetPixel ReadSheetPixel(int x, int y, int screenHeight);

}  // namespace puzzle_test
