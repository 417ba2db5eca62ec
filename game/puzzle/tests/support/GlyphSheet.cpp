#include "GlyphSheet.h"

#include <GL/gl.h>

#include <cmath>

namespace puzzle_test {

namespace {

constexpr uint32_t kSheetSize = 512;
constexpr uint32_t kPitch = 68;
constexpr uint32_t kGap = 2;
constexpr uint32_t kCell = 64;
constexpr int kGlyphCount = 49;
constexpr int kPerRow = 7;
// Red carries the glyph: 5 x (index + 1), so glyph 0 is not black.
constexpr int kRedStep = 5;

}  // namespace

PngSpec GlyphSheetPng() {
  PngSpec spec;
  spec.width = kSheetSize;
  spec.height = kSheetSize;
  spec.colourType = 6;  // RGBA
  spec.rows.assign(size_t(kSheetSize) * kSheetSize * 4, 0);
  for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
    const uint32_t left = (glyph % kPerRow) * kPitch + kGap;
    const uint32_t top = (glyph / kPerRow) * kPitch + kGap;
    for (uint32_t y = top; y < top + kCell; ++y) {
      for (uint32_t x = left; x < left + kCell; ++x) {
        uint8_t* texel = &spec.rows[(size_t(y) * kSheetSize + x) * 4];
        texel[0] = static_cast<uint8_t>(kRedStep * (glyph + 1));
        texel[1] = y < top + kCell / 2 ? 255 : 0;
        texel[2] = 255;
        texel[3] = 255;
      }
    }
  }
  return spec;
}

SheetPixel ReadSheetPixel(int x, int y, int screenHeight) {
  float rgba[4] = {0, 0, 0, 0};
  glReadPixels(x, screenHeight - 1 - y, 1, 1, GL_RGBA, GL_FLOAT, rgba);
  if (rgba[2] < 0.5f) return {-1, false};
  return {static_cast<int>(std::lround(rgba[0] * 255.0f / kRedStep)) - 1, rgba[1] > 0.5f};
}

}  // namespace puzzle_test
