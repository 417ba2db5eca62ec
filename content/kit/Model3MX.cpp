#include "content/kit/Model3MX.h"

#include <cstdio>

namespace {

std::string Format(const char* format, double a, double b, double c) {
  char line[128];
  std::snprintf(line, sizeof line, format, a, b, c);
  return line;
}

}  // namespace

std::string Model3MXText(const ModelMesh& mesh, const std::string& name, const std::string& material,
                         ModelShading shading) {
  const bool flat = shading == ModelShading::kFlat;
  std::string text = flat ? "V6\n" : "V5\n";
  // Without a material line the reader names one "DummyMaterial", which has
  // no texture: the gem names a crystal, and the game draws each gem with
  // the crystal of its colour.
  text += "[NMATERIALS]1\n[MATERIAL][0]" + material + "\n";
  // The reader turns every instance a quarter turn about x, so the file's +z
  // faces the camera above the disc.
  text += "[NINSTANCES]1\n[INSTANCE][0]" + name + "\n[CID][0]\n";
  text += "[NODE] [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n";
  text += "[NCOMPONENTS]1\n[COMPONENT][0]" + name + "\n";
  text += "[NVERTS]" + std::to_string(mesh.positions.size()) + "\n";
  text += "[NUVS]" + std::to_string(mesh.uvs.size() * 3) + "\n";
  if (flat) text += "[NRGBA]0\n";
  text += "[NFACES]" + std::to_string(mesh.triangles.size()) + "\n[VERTICES]\n";
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    const Vec3 &p = mesh.positions[i], &n = mesh.normals[i];
    text += Format("[%.6f,%.6f,%.6f] ", p.x, p.y, p.z) + Format("[%.6f,%.6f,%.6f]\n", n.x, n.y, n.z);
  }
  text += "[UV]\n";
  for (const auto& corners : mesh.uvs) {
    for (const TexturePoint& t : corners) text += Format("[%.6f,%.6f,%.0f]\n", t.u, t.v, 0.0);
  }
  text += "[FACES]\n";
  for (size_t f = 0; f < mesh.triangles.size(); ++f) {
    const auto& [a, b, c] = mesh.triangles[f];
    text += "[" + std::to_string(f) + "] [MAT]0 [VIDS]3 [UVIDS]3\n";
    text += "[VI][" + std::to_string(a + 1) + "," + std::to_string(b + 1) + "," + std::to_string(c + 1) + "]\n";
    const size_t uv = f * 3 + 1;
    text += "[UVI][" + std::to_string(uv) + "," + std::to_string(uv + 1) + "," + std::to_string(uv + 2) + "]\n";
  }
  return text;
}
