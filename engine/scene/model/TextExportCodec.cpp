#include "engine/scene/model/TextExportCodec.h"

#include <cstdarg>
#include <cstdio>

#include "engine/foundation/File.h"
#include "engine/scene/model/Model.h"

namespace {

// printf-style append to a growing text.
void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  char chunk[256];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(chunk, sizeof chunk, format, args);
  va_end(args);
  if (length < 0) return;
  if (size_t(length) < sizeof chunk) {
    text.append(chunk, size_t(length));
    return;
  }
  // Only names grow this long; format again into a buffer that fits.
  std::string longer(size_t(length) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(longer.data(), longer.size(), format, args);
  va_end(args);
  text.append(longer.data(), size_t(length));
}

// Floats follow each other separated by blanks, the last one without.
void AppendFloats(std::string& text, const float* values, int count) {
  for (int i = 0; i < count; ++i) Append(text, i + 1 < count ? "%g " : "%g", double(values[i]));
}

void AppendVolume(std::string& text, const C3MEMesh& mesh) {
  if (mesh.volumeKind == C3MEMesh::kCuboid) {
    const Vector3 size = mesh.box.GetSize();
    const float values[6] = {mesh.box.centre.x, mesh.box.centre.y, mesh.box.centre.z, size.x, size.y, size.z};
    text += "[BV] CUBOID (";
    AppendFloats(text, values, 6);
    text += ")\n";
  } else if (mesh.volumeKind == C3MEMesh::kSphere) {
    const float values[4] = {mesh.sphere.centre.x, mesh.sphere.centre.y, mesh.sphere.centre.z, mesh.sphere.radius};
    text += "[BV] SPHERE (";
    AppendFloats(text, values, 4);
    text += ")\n";
  } else {
    // Cylinders and capsules have no form in this layout.
    text += "[BV] NONE\n";
  }
}

void AppendIndices(std::string& text, const char* tag, const C3MEIndexList& list) {
  text += tag;
  text += '[';
  for (uint32_t n = 0; n < list.indexCount; ++n) Append(text, n == 0 ? "%u" : ",%u", unsigned(list.indices[n]));
  text += "]\n";
}

void AppendMesh(std::string& text, const C3MEMesh& mesh, uint32_t number) {
  Append(text, "[COMPONENT][%u]%s\n", number, mesh.name.Chars());
  AppendVolume(text, mesh);
  Append(text, "[NVERTS]%u\n[NUVS]%u\n[NLODS]%u\n", mesh.vertexCount, mesh.texCoordSetCount, mesh.lodCount);
  text += "[VERTICES]\n";
  for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
    const Vector3& p = mesh.vertices[v].position;
    Append(text, "[%g,%g,%g]\n", double(p.x), double(p.y), double(p.z));
  }
  text += "[UV]\n";
  for (uint32_t set = 0; set < mesh.texCoordSetCount; ++set) {
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
      const C3METexCoord& uv = mesh.texCoords[uint64_t(set) * mesh.vertexCount + v];
      Append(text, "[%g, %g]\n", double(uv.u), double(uv.v));
    }
  }
  for (uint32_t level = 0; level < mesh.lodCount; ++level) {
    text += "[FACES]\n";
    const C3MELod& lod = mesh.lods[level];
    for (uint32_t b = 0; b < lod.listCount; ++b) {
      const C3MEIndexList& list = lod.lists[b];
      Append(text, "[%u] [MAT]%d [N][0.0,0.0,0.0] [VIDS]%u [UVIDS]%u\n", b, list.materialIndex,
             unsigned(list.indexCount), unsigned(list.indexCount));
      AppendIndices(text, "[VI]", list);
      AppendIndices(text, "[UVI]", list);
    }
  }
}

}  // namespace

int32_t CTXTCodec::Read(const char* /*fileName*/) { return kCannotOpen; }

std::string CTXTCodec::Format() const {
  const C3MEModel& model = *model_;
  std::string text = "[V4]\n";
  Append(text, "[NMATERIALS]%u\n", model.materialCount);
  Append(text, "[NINSTANCES]%u\n", model.instanceCount);
  for (uint32_t i = 0; i < model.instanceCount; ++i) {
    const C3MEInstance& instance = model.instances[i];
    const Vector3 p = instance.transforms.bind.GetPosition();
    const Quaternion r = instance.transforms.bind.GetRotation();
    Append(text, "[INSTANCE][%u]%s\n", i, instance.name.Chars());
    Append(text, "[CID][%d]\n", instance.componentId);
    // The scale is not kept by the model's files, so the export states the unit scale.
    Append(text, "[NODE] [P] [%g,%g,%g] [R] (quat %g %g %g %g) [S] [1.0,1.0,1.0]\n", double(p.x), double(p.y),
           double(p.z), double(r.x), double(r.y), double(r.z), double(r.w));
  }
  Append(text, "[NCOMPONENTS]%u\n", model.meshCount);
  for (uint32_t m = 0; m < model.meshCount; ++m) AppendMesh(text, model.meshes[m], m);
  text += "[END]\n";
  return text;
}

int32_t CTXTCodec::Write(const char* fileName) {
  const std::string text = Format();
  FileText file;
  // The file layer logs a failed open.
  if (!(file.OpenWrite(fileName) & File::kOpen)) return kNotWritten;
  const bool filled = file.WriteBlock(text.data(), 1, text.size()) == text.size();
  // A stream whose buffered text cannot be flushed fails to close.
  const bool closed = (file.Close() & File::kClosed) != 0;
  return filled && closed ? kWritten : kNotWritten;
}
