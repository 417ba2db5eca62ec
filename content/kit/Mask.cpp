#include "content/kit/Mask.h"

#include <algorithm>
#include <cmath>

InkBounds FindInk(const Mask& mask) {
  InkBounds ink{mask.width, mask.height, 0, 0};
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      if (mask.At(x, y) <= 0.0f) continue;
      ink.x0 = std::min(ink.x0, x);
      ink.y0 = std::min(ink.y0, y);
      ink.x1 = std::max(ink.x1, x + 1);
      ink.y1 = std::max(ink.y1, y + 1);
    }
  }
  if (ink.x1 == 0) return {};
  return ink;
}

Mask Dilate(const Mask& mask, float radius) {
  // The disc of offsets within reach; pixels at its rim count in part, for a
  // smooth edge.
  struct Offset {
    int dx, dy;
    float weight;
  };
  std::vector<Offset> disc;
  const int reach = int(std::ceil(radius));
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const float weight = std::clamp(radius + 0.5f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
      if (weight > 0.0f) disc.push_back({dx, dy, weight});
    }
  }
  Mask grown(mask.width, mask.height);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      float best = 0.0f;
      for (const Offset& o : disc) best = std::max(best, mask.At(x + o.dx, y + o.dy) * o.weight);
      grown.Ref(x, y) = best;
    }
  }
  return grown;
}

namespace {

Mask BoxBlur(const Mask& mask, int radius, bool horizontal) {
  Mask out(mask.width, mask.height);
  const float scale = 1.0f / float(2 * radius + 1);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      float sum = 0.0f;
      for (int d = -radius; d <= radius; ++d) sum += horizontal ? mask.At(x + d, y) : mask.At(x, y + d);
      out.Ref(x, y) = sum * scale;
    }
  }
  return out;
}

}  // namespace

Mask Blur(const Mask& mask, int radius) {
  Mask out = mask;
  for (int pass = 0; pass < 2; ++pass) out = BoxBlur(BoxBlur(out, radius, true), radius, false);
  return out;
}

void DrawMask(Image& image, const Mask& mask, int left, int top, const MaskColour& colour, Blend blend) {
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      const float coverage = mask.At(x, y);
      if (coverage > 0.0f) BlendPixel(image, left + x, top + y, colour(x, y), coverage, blend);
    }
  }
}
