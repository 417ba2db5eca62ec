#include "content/game/GemModels.h"

#include <cmath>
#include <filesystem>

#include "content/game/GameDataNames.h"
#include "content/kit/Model3MX.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kGemRadius = 0.5f;

// A ring of corners round the z axis.
std::vector<int> Ring(ModelMesh& mesh, int count, float radius, float z, float turn) {
  std::vector<int> corners;
  for (int i = 0; i < count; ++i) {
    const float angle = turn + 2.0f * kPi * float(i) / float(count);
    corners.push_back(mesh.AddCorner({radius * std::cos(angle), radius * std::sin(angle), z}));
  }
  return corners;
}

}  // namespace

ModelMesh Tetrahedron() {
  ModelMesh mesh;
  // One face lies flat at the back, the point faces the camera.
  const int apex = mesh.AddCorner({0.0f, 0.0f, 1.0f});
  const std::vector<int> base = Ring(mesh, 3, std::sqrt(8.0f) / 3.0f, -1.0f / 3.0f, kPi / 2.0f);
  for (int i = 0; i < 3; ++i) mesh.AddFacet(apex, base[size_t(i)], base[size_t((i + 1) % 3)]);
  mesh.AddPolygon(base);
  mesh.FitRadius(kGemRadius);
  return mesh;
}

ModelMesh ChamferedCube() {
  ModelMesh mesh;
  // Each corner of the cube is cut to a small triangle, each edge to a
  // bevel: corner (axis, signs) lies at `face` along that axis and `bevel`
  // along the other two.
  constexpr float face = 1.0f, bevel = 0.72f;
  auto corner = [&](int axis, int sx, int sy, int sz) {
    const float s[3] = {float(sx), float(sy), float(sz)};
    float p[3];
    for (int i = 0; i < 3; ++i) p[i] = s[i] * (i == axis ? face : bevel);
    return mesh.AddCorner({p[0], p[1], p[2]});
  };
  for (int axis = 0; axis < 3; ++axis) {
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    for (int side : {-1, 1}) {
      // The face square: the four corners on this axis.
      std::vector<int> square;
      for (const auto& [su, sv] : {std::pair{1, 1}, std::pair{-1, 1}, std::pair{-1, -1}, std::pair{1, -1}}) {
        int s[3];
        s[axis] = side;
        s[u] = su;
        s[v] = sv;
        square.push_back(corner(axis, s[0], s[1], s[2]));
      }
      mesh.AddPolygon(square);
      // The bevel between this face and the next axis' face on each side.
      for (int other : {-1, 1}) {
        int a[3], b[3];
        a[axis] = b[axis] = side;
        a[u] = b[u] = other;
        a[v] = 1;
        b[v] = -1;
        const int p0 = corner(axis, a[0], a[1], a[2]), p1 = corner(axis, b[0], b[1], b[2]);
        const int q0 = corner(u, a[0], a[1], a[2]), q1 = corner(u, b[0], b[1], b[2]);
        mesh.AddFacet(p0, p1, q1);
        mesh.AddFacet(p0, q1, q0);
      }
    }
  }
  // The eight corner triangles.
  for (int sx : {-1, 1}) {
    for (int sy : {-1, 1}) {
      for (int sz : {-1, 1}) mesh.AddFacet(corner(0, sx, sy, sz), corner(1, sx, sy, sz), corner(2, sx, sy, sz));
    }
  }
  mesh.FitRadius(kGemRadius);
  return mesh;
}

ModelMesh Orb() {
  ModelMesh mesh;
  constexpr int kBands = 10, kSegments = 16;
  const int top = mesh.AddCorner({0.0f, 0.0f, 1.0f});
  std::vector<std::vector<int>> rings;
  for (int band = 1; band < kBands; ++band) {
    const float polar = kPi * float(band) / float(kBands);
    rings.push_back(Ring(mesh, kSegments, std::sin(polar), std::cos(polar), 0.0f));
  }
  const int bottom = mesh.AddCorner({0.0f, 0.0f, -1.0f});
  for (int s = 0; s < kSegments; ++s) {
    const size_t a = size_t(s), b = size_t((s + 1) % kSegments);
    mesh.AddFacet(top, rings.front()[a], rings.front()[b]);
    for (size_t r = 0; r + 1 < rings.size(); ++r) {
      mesh.AddFacet(rings[r][a], rings[r + 1][a], rings[r + 1][b]);
      mesh.AddFacet(rings[r][a], rings[r + 1][b], rings[r][b]);
    }
    mesh.AddFacet(bottom, rings.back()[b], rings.back()[a]);
  }
  mesh.FitRadius(kGemRadius);
  return mesh;
}

ModelMesh OctagonalStone() {
  ModelMesh mesh;
  // A table facing the camera, a crown sloping to the girdle, and a
  // pavilion narrowing to a point at the back.
  const float turn = kPi / 8.0f;
  const std::vector<int> table = Ring(mesh, 8, 0.58f, 0.42f, turn);
  const std::vector<int> girdleTop = Ring(mesh, 8, 1.0f, 0.12f, turn);
  const std::vector<int> girdleBottom = Ring(mesh, 8, 1.0f, -0.02f, turn);
  const int culet = mesh.AddCorner({0.0f, 0.0f, -0.75f});
  mesh.AddPolygon(table);
  for (size_t i = 0; i < 8; ++i) {
    const size_t j = (i + 1) % 8;
    mesh.AddPolygon({table[i], girdleTop[i], girdleTop[j], table[j]});
    mesh.AddPolygon({girdleTop[i], girdleBottom[i], girdleBottom[j], girdleTop[j]});
    mesh.AddFacet(girdleBottom[i], culet, girdleBottom[j]);
  }
  mesh.FitRadius(kGemRadius);
  return mesh;
}

ModelMesh FivePointedStar() {
  ModelMesh mesh;
  // Ten rim corners alternating point and notch, each facet running from the
  // rim to the ridge corner at the front or the back.
  std::vector<int> rim;
  for (int i = 0; i < 10; ++i) {
    const float angle = kPi / 2.0f + kPi * float(i) / 5.0f;
    const float radius = i % 2 == 0 ? 1.0f : 0.42f;
    rim.push_back(mesh.AddCorner({radius * std::cos(angle), radius * std::sin(angle), 0.0f}));
  }
  const int front = mesh.AddCorner({0.0f, 0.0f, 0.36f});
  const int back = mesh.AddCorner({0.0f, 0.0f, -0.36f});
  for (size_t i = 0; i < 10; ++i) {
    const size_t j = (i + 1) % 10;
    mesh.AddFacet(front, rim[i], rim[j]);
    mesh.AddFacet(back, rim[j], rim[i]);
  }
  mesh.FitRadius(kGemRadius);
  return mesh;
}

void WriteGemModels(DataFolder& folder) {
  const struct {
    ModelMesh mesh;
    ModelShading shading;
  } models[] = {
      {Tetrahedron(), ModelShading::kFlat},    {ChamferedCube(), ModelShading::kFlat},   {Orb(), ModelShading::kSmooth},
      {OctagonalStone(), ModelShading::kFlat}, {FivePointedStar(), ModelShading::kFlat},
  };
  for (size_t i = 0; i < gamedata::kGemModels.size(); ++i) {
    const std::string path = gamedata::kGemModels[i];
    const std::string name = std::filesystem::path(path).stem();
    // The crystal painted white: a neutral look until the game picks one.
    folder.Text(path, Model3MXText(models[i].mesh, name, gamedata::kCrystalMaterials[7], models[i].shading));
  }
}
