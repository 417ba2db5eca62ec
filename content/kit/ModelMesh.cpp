#include "content/kit/ModelMesh.h"

#include <algorithm>

int ModelMesh::AddCorner(const Vec3& position) {
  positions.push_back(position);
  normals.push_back(position.Normalised());
  return int(positions.size()) - 1;
}

void ModelMesh::AddFacet(int a, int b, int c) {
  const Vec3 &pa = positions[size_t(a)], &pb = positions[size_t(b)], &pc = positions[size_t(c)];
  Vec3 normal = (pb - pa).Cross(pc - pa);
  if (normal.Dot(pa) < 0.0f) {
    std::swap(b, c);
    normal = normal * -1.0f;
  }
  triangles.push_back({a, b, c});
  // A basis in the facet's plane.
  normal = normal.Normalised();
  const Vec3 helper = std::fabs(normal.z) < 0.9f ? Vec3{0.0f, 0.0f, 1.0f} : Vec3{1.0f, 0.0f, 0.0f};
  const Vec3 across = helper.Cross(normal).Normalised(), up = normal.Cross(across);
  std::array<TexturePoint, 3> points;
  const int corners[3] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    const Vec3& p = positions[size_t(corners[i])];
    points[size_t(i)] = {0.5f + p.Dot(across), 0.5f + p.Dot(up)};
  }
  uvs.push_back(points);
}

void ModelMesh::AddPolygon(const std::vector<int>& corners) {
  for (size_t i = 1; i + 1 < corners.size(); ++i) AddFacet(corners[0], corners[i], corners[i + 1]);
}

float ModelMesh::Radius() const {
  float radius = 0.0f;
  for (const Vec3& p : positions) radius = std::max(radius, p.Length());
  return radius;
}

void ModelMesh::FitRadius(float radius) {
  const float scale = radius / Radius();
  for (Vec3& p : positions) p = p * scale;
  for (auto& corners : uvs) {
    for (TexturePoint& t : corners) t = {0.5f + (t.u - 0.5f) * scale, 0.5f + (t.v - 0.5f) * scale};
  }
}
