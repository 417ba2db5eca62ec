#include "engine/foundation/Rect.h"

#include <cmath>
#include <utility>

void Rect::SetPositionSize(const Vector2& position, const Vector2& size) {
  min = position;
  max = position + size;
  centre.Set(min.x + std::fabs(max.x - min.x) / 2.0f, min.y + std::fabs(max.y - min.y) / 2.0f);
}

void Rect::SetCentreSize(const Vector2& inCentre, float width, float height) {
  centre = inCentre;
  min.Set(inCentre.x - width / 2.0f, inCentre.y - height / 2.0f);
  max.Set(inCentre.x + width / 2.0f, inCentre.y + height / 2.0f);
}

void Rect::SetCentreExtent(const Vector2& inCentre, float width, float height) {
  centre = inCentre;
  min.Set(-width / 2.0f, -height / 2.0f);
  max.Set(width / 2.0f, height / 2.0f);
}

Vector2 Rect::GetSize() const { return {Width(), Height()}; }

float Rect::Width() const { return std::fabs(max.x - min.x); }

float Rect::Height() const { return std::fabs(max.y - min.y); }

bool Rect::Contains(const Vector2& point) const {
  return min.x <= point.x && point.x <= max.x && min.y <= point.y && point.y <= max.y;
}

bool Rect::Overlaps(const Rect& other) const {
  // Interval test on both axes: a corner test alone misses a rectangle
  // that lies wholly inside this one, or two that cross like a plus sign.
  return min.x <= other.max.x && other.min.x <= max.x && min.y <= other.max.y && other.min.y <= max.y;
}

void Rect::ScaleAboutCentre(float factor) {
  min = centre + (min - centre) * factor;
  max = centre + (max - centre) * factor;
}

void Rect::SwapX() { std::swap(min.x, max.x); }

void Rect::SwapY() { std::swap(min.y, max.y); }

void Rect::Rotate(float degrees, const Vector2& pivot) {
  min.Rotate(degrees, pivot);
  max.Rotate(degrees, pivot);
}
