#include "content/kit/Image.h"

#include <algorithm>

void Image::Fill(int x, int y, int w, int h, const uint8_t rgba[4]) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min<int>(x + w, int(width)), y1 = std::min<int>(y + h, int(height));
  for (int row = y0; row < y1; ++row) {
    for (int column = x0; column < x1; ++column) std::copy(rgba, rgba + 4, At(column, row));
  }
}
