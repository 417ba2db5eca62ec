#include "engine/graphics/DecodedImage.h"

#include <algorithm>

void FlipImageRows(uint32_t bitsPerPixel, uint32_t width, uint32_t height, uint8_t* pixels) {
  if (pixels == nullptr || height < 2) return;
  const size_t rowBytes = static_cast<size_t>(width) * (bitsPerPixel / 8);
  for (uint32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(pixels + top * rowBytes, pixels + (top + 1) * rowBytes, pixels + bottom * rowBytes);
  }
}
