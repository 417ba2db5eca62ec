#pragma once
// Soft shapes: each edge fades over a feather width, so shapes come out
// smooth at any size without supersampling.

#include <vector>

#include "content/kit/Paint.h"

struct Point {
  float x = 0.0f, y = 0.0f;
};

// Coverage of a point at signed distance d outside an edge (negative inside).
float EdgeCoverage(float distance, float feather);
// Distance from a point to the segment a-b.
float SegmentDistance(Point p, Point a, Point b);

void SoftDisc(Image& image, Point centre, float radius, float feather, const Colour& colour,
              Blend blend = Blend::kOver);
// A round glow: full at the centre, fading smoothly to nothing at the radius.
void Glow(Image& image, Point centre, float radius, const Colour& colour, Blend blend = Blend::kAdd);
// A line with round ends.
void SoftLine(Image& image, Point a, Point b, float width, float feather, const Colour& colour,
              Blend blend = Blend::kOver);
void SoftRing(Image& image, Point centre, float radius, float width, float feather, const Colour& colour,
              Blend blend = Blend::kOver);
// Any simple polygon (even-odd rule).
void SoftPolygon(Image& image, const std::vector<Point>& corners, float feather, const Colour& colour,
                 Blend blend = Blend::kOver);
// The corners of a star of the given number of points, the first pointing up.
std::vector<Point> StarCorners(Point centre, float outer, float inner, int points, float turn = 0.0f);
