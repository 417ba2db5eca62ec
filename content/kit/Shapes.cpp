#include "content/kit/Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kPi = 3.14159265358979f;

// A paint call over the square around a centre.
void PaintAround(Image& image, Point centre, float reach, const PaintFunction& paint, Blend blend) {
  PaintArea(image, int(std::floor(centre.x - reach)), int(std::floor(centre.y - reach)),
            int(std::ceil(centre.x + reach)) + 1, int(std::ceil(centre.y + reach)) + 1, paint, blend);
}

}  // namespace

float EdgeCoverage(float distance, float feather) {
  if (feather <= 0.0f) return distance <= 0.0f ? 1.0f : 0.0f;
  const float t = std::clamp(0.5f - distance / feather, 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

float SegmentDistance(Point p, Point a, Point b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float lengthSquared = dx * dx + dy * dy;
  float t = lengthSquared > 0.0f ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0f;
  t = std::clamp(t, 0.0f, 1.0f);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

void SoftDisc(Image& image, Point centre, float radius, float feather, const Colour& colour, Blend blend) {
  PaintAround(
      image, centre, radius + feather,
      [&](float x, float y, Colour& out) {
        out = colour;
        return EdgeCoverage(std::hypot(x - centre.x, y - centre.y) - radius, feather);
      },
      blend);
}

void Glow(Image& image, Point centre, float radius, const Colour& colour, Blend blend) {
  if (radius <= 0.0f) return;
  PaintAround(
      image, centre, radius,
      [&](float x, float y, Colour& out) {
        out = colour;
        const float t = 1.0f - std::hypot(x - centre.x, y - centre.y) / radius;
        return t > 0.0f ? t * t * t : 0.0f;
      },
      blend);
}

void SoftLine(Image& image, Point a, Point b, float width, float feather, const Colour& colour, Blend blend) {
  const float reach = width / 2.0f + feather;
  PaintArea(
      image, int(std::floor(std::min(a.x, b.x) - reach)), int(std::floor(std::min(a.y, b.y) - reach)),
      int(std::ceil(std::max(a.x, b.x) + reach)) + 1, int(std::ceil(std::max(a.y, b.y) + reach)) + 1,
      [&](float x, float y, Colour& out) {
        out = colour;
        return EdgeCoverage(SegmentDistance({x, y}, a, b) - width / 2.0f, feather);
      },
      blend);
}

void SoftRing(Image& image, Point centre, float radius, float width, float feather, const Colour& colour, Blend blend) {
  PaintAround(
      image, centre, radius + width / 2.0f + feather,
      [&](float x, float y, Colour& out) {
        out = colour;
        return EdgeCoverage(std::fabs(std::hypot(x - centre.x, y - centre.y) - radius) - width / 2.0f, feather);
      },
      blend);
}

void SoftPolygon(Image& image, const std::vector<Point>& corners, float feather, const Colour& colour, Blend blend) {
  if (corners.size() < 3) return;
  float minX = std::numeric_limits<float>::max(), minY = minX, maxX = -minX, maxY = -minX;
  for (const Point& p : corners) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  PaintArea(
      image, int(std::floor(minX - feather)), int(std::floor(minY - feather)), int(std::ceil(maxX + feather)) + 1,
      int(std::ceil(maxY + feather)) + 1,
      [&](float x, float y, Colour& out) {
        out = colour;
        bool inside = false;
        float nearest = std::numeric_limits<float>::max();
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
          const Point& a = corners[i];
          const Point& b = corners[j];
          if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
          nearest = std::min(nearest, SegmentDistance({x, y}, a, b));
        }
        return EdgeCoverage(inside ? -nearest : nearest, feather);
      },
      blend);
}

std::vector<Point> StarCorners(Point centre, float outer, float inner, int points, float turn) {
  std::vector<Point> corners;
  for (int i = 0; i < points * 2; ++i) {
    const float angle = turn + kPi * float(i) / float(points);
    const float radius = i % 2 == 0 ? outer : inner;
    corners.push_back({centre.x + radius * std::sin(angle), centre.y - radius * std::cos(angle)});
  }
  return corners;
}
