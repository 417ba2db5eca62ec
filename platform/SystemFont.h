#pragma once
// System fonts for the bitmap-font path of the text renderer: the installed
// font that best matches a face name, rasterised into 1-bit glyph bitmaps
// ready for glBitmap.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What the caller asks for; width 0 lets the face keep its proportions.
struct SystemFontRequest {
  std::string face;
  int pixelHeight = 16;
  int pixelWidth = 0;
  int weight = 400;  // 100 (thin) to 900 (black); 700 is bold
  bool italic = false;
};

// One character as glBitmap takes it.
struct SystemGlyph {
  int width = 0;
  int height = 0;
  float originX = 0.0f;  // pen to the bitmap's left edge, negated
  float originY = 0.0f;  // baseline to the bitmap's bottom row, negated
  float advance = 0.0f;  // pen motion after the glyph
  // One bit per pixel, most significant first, rows bottom to top, each row
  // padded to whole bytes (unpack alignment 1).
  std::vector<uint8_t> rows;
};

// Rasterises characters first to first + count - 1; false when no installed
// font can be opened.
bool RasteriseSystemFont(const SystemFontRequest& request, int first, int count, std::vector<SystemGlyph>& out);

}  // namespace platform
