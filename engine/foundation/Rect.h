#pragma once

#include "engine/foundation/Vector2.h"

// A 2D rectangle kept as its two corners and its centre (GUI layout works in
// the 800 x 600 virtual screen with y downwards).
struct Rect {
  Vector2 min;
  Vector2 max;
  Vector2 centre;

  // min = position, max = position + size, centre halfway.
  void SetPositionSize(const Vector2& position, const Vector2& size);
  // Corners at centre -+ (width/2, height/2).
  void SetCentreSize(const Vector2& inCentre, float width, float height);
  // Corners relative to the centre: min = (-width/2, -height/2), max = (width/2, height/2).
  void SetCentreExtent(const Vector2& inCentre, float width, float height);
  // (|max.x - min.x|, |max.y - min.y|).
  Vector2 GetSize() const;
  void GetExtent(Vector2& out) const { out = GetSize(); }
  float Width() const;
  float Height() const;
  // Inclusive bounds.
  bool Contains(const Vector2& point) const;
  // True when the two rectangles share at least one point (inclusive).
  bool Overlaps(const Rect& other) const;
  // Moves min and max to centre + (corner - centre) * factor.
  void ScaleAboutCentre(float factor);
  // Exchange min.x with max.x / min.y with max.y.
  void SwapX();
  void SwapY();
  // Rotates min and max about pivot by degrees.
  void Rotate(float degrees, const Vector2& pivot);
};
