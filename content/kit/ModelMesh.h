#pragma once
// A gem model being made: corners with normals, triangles wound
// counter-clockwise seen from outside, and texture coordinates per triangle
// corner.

#include <array>
#include <cmath>
#include <vector>

struct Vec3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(float k) const { return {x * k, y * k, z * k}; }
  float Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
  Vec3 Cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
  float Length() const { return std::sqrt(Dot(*this)); }
  Vec3 Normalised() const {
    const float length = Length();
    return length > 0.0f ? *this * (1.0f / length) : *this;
  }
};

struct TexturePoint {
  float u = 0.0f, v = 0.0f;
};

struct ModelMesh {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;                     // one per position
  std::vector<std::array<int, 3>> triangles;     // 0-based corner numbers
  std::vector<std::array<TexturePoint, 3>> uvs;  // one per triangle corner

  // Adds a corner; its normal defaults to the direction from the centre.
  int AddCorner(const Vec3& position);
  // Adds a triangle, turned if need be so that it winds counter-clockwise
  // seen from outside (the centre lies behind its plane); its texture
  // coordinates project its corners onto its own plane, so each facet shows
  // its own part of the facet texture.
  void AddFacet(int a, int b, int c);
  // A flat polygon as a fan of triangles (corners in order round it).
  void AddPolygon(const std::vector<int>& corners);
  // The largest distance of a corner from the centre.
  float Radius() const;
  // Scales the corners so the model fits a sphere of that radius.
  void FitRadius(float radius);
};
