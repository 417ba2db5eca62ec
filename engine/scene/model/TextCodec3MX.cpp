#include "engine/scene/model/TextCodec3MX.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/Model.h"

// The lines of a text file: blank lines are skipped (the format's patterns
// match any run of white space), leading blanks and a trailing "\r" dropped.
// The text is kept once, each line ended in place, to stay small on files
// made of little more than line ends.
class C3MXLines {
 public:
  explicit C3MXLines(const std::vector<uint8_t>& bytes) : text_(bytes.begin(), bytes.end()) {
    text_.push_back('\0');
    size_t start = 0;
    const size_t size = text_.size() - 1;
    while (start < size) {
      size_t end = start;
      while (end < size && text_[end] != '\n') ++end;
      text_[end] = '\0';
      // A NUL inside a line ends its text, as the line reader does.
      size_t last = std::strlen(&text_[start]) + start;
      while (last > start && (text_[last - 1] == '\r' || text_[last - 1] == ' ' || text_[last - 1] == '\t'))
        text_[--last] = '\0';
      starts_.push_back(uint32_t(start));
      start = end + 1;
    }
  }

  // The very first line of the file, blank or not (the version tag lives there).
  std::string TakeHeader() {
    if (starts_.empty()) return std::string();
    next_ = 1;
    return std::string(&text_[starts_[0]]);
  }
  // The next non-blank line without its leading blanks; null at the end.
  const char* Peek() {
    while (next_ < starts_.size()) {
      const char* line = &text_[starts_[next_]];
      while (*line == ' ' || *line == '\t') ++line;
      if (*line != '\0') return line;
      ++next_;
    }
    return nullptr;
  }
  void Skip() { ++next_; }
  // Non-blank lines may still follow; an upper bound on the records left.
  size_t Remaining() const { return starts_.size() - next_; }

 private:
  std::string text_;
  std::vector<uint32_t> starts_;
  size_t next_ = 0;
};

namespace {

constexpr float kQuarterTurn = 1.5707964f;
// No model has more materials, instances or meshes than a 16-bit index could
// tell apart; the cap bounds what a hostile count allocates.
constexpr int32_t kMaxRecords = 65535;
constexpr uint32_t kMaxMeshVertices = 65535;
constexpr uint32_t kEditableVertices = 32768;

struct Corner3 {
  int64_t v[3] = {0, 0, 0};
};

// Corner numbers count from 1. One outside 1..INT32_MAX lies outside every
// table; it becomes -1 (out of range) before the subtraction could overflow.
int64_t ZeroBasedCorner(long long number) { return number >= 1 && number <= INT32_MAX ? number - 1 : -1; }

struct ScratchFace {
  int32_t material = 0;
  Vector3 normal;
  int32_t uvCorners = 0;
  bool hasUVs = false;
  Corner3 vertex, uv, colour;
};

struct ScratchVertex {
  Vector3 position;
  Vector3 normal;
  uint8_t colour[4] = {255, 255, 255, 255};
};

// A scan of one line: the line is used up only when it matched at least its
// first field, the way a formatted read leaves unmatched text for the next scan.
class Scanner {
 public:
  Scanner(C3MXLines& lines, const char* fileName) : lines_(lines), fileName_(fileName) {}

  bool ok() const { return ok_; }

  // Scans the next line with a pattern; false (and the read failed) at the end of the file.
  template <typename... Args>
  int Scan(const char* pattern, Args... args) {
    const char* line = Line();
    if (line == nullptr) return 0;
    const int matched = std::sscanf(line, pattern, args...);
    if (matched >= 1) lines_.Skip();
    return matched > 0 ? matched : 0;
  }
  // Consumes a line that must start with the literal text.
  bool Literal(const char* text) {
    const char* line = Line();
    if (line == nullptr || std::strncmp(line, text, std::strlen(text)) != 0) return false;
    lines_.Skip();
    return true;
  }
  // Consumes a line of the form prefix + rest and returns the rest, cut to maxLength.
  // With oneWord only the first word of the rest is kept.
  bool Named(const char* prefix, bool skipIndex, bool oneWord, size_t maxLength, std::string& name) {
    const char* line = Line();
    if (line == nullptr || std::strncmp(line, prefix, std::strlen(prefix)) != 0) return false;
    const char* p = line + std::strlen(prefix);
    if (skipIndex) {
      // "[%d]": an index read and not used.
      int index = 0, used = 0;
      if (std::sscanf(p, "[%d]%n", &index, &used) < 1 || used == 0) return false;
      p += used;
    }
    lines_.Skip();
    if (oneWord) {
      while (*p == ' ' || *p == '\t') ++p;
      const char* end = p;
      while (*end != '\0' && *end != ' ' && *end != '\t') ++end;
      name.assign(p, size_t(end - p));
    } else {
      name.assign(p);
    }
    if (name.size() > maxLength) name.resize(maxLength);
    return true;
  }
  // A count that must fit in the lines left (each record takes linesEach
  // lines) and stay below limit.
  bool Count(const char* pattern, int32_t& count, size_t linesEach, const char* what, int32_t limit = INT32_MAX) {
    count = 0;
    Scan(pattern, &count);
    if (!ok_) return false;
    if (count < 0 || count > limit || uint64_t(count) * linesEach > lines_.Remaining()) return Fail(what);
    return true;
  }
  // True when the lines left could hold that many records.
  bool Fits(uint64_t lines) const { return lines <= lines_.Remaining(); }
  bool Fail(const char* reason) {
    if (ok_) Log3ME("C3MXCodec::Read - ERROR : %s : %s", fileName_, reason);
    ok_ = false;
    return false;
  }

 private:
  const char* Line() {
    if (!ok_) return nullptr;
    const char* line = lines_.Peek();
    if (line == nullptr) Fail("file ends early");
    return line;
  }

  C3MXLines& lines_;
  const char* fileName_;
  bool ok_ = true;
};

void Lowercase(std::string& text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
}

void TrimBlanks(std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool ReadMaterials(Scanner& scan, C3MEModel& model, C3MXCodec::Version version) {
  int32_t count = 0;
  if (!scan.Count("[NMATERIALS]%d", count, 1, "bad material count", kMaxRecords)) return false;
  const bool useDummy = count == 0 && version >= C3MXCodec::kV5;
  if (!model.ReserveMaterials(useDummy ? 1u : uint32_t(count))) return scan.Fail("out of memory");
  for (int32_t i = 0; i < count; ++i) {
    std::string name;
    const bool found = version == C3MXCodec::kV3
                           ? scan.Named("[MATERIAL]", false, true, C3MXCodec::kMaxMaterialName, name)
                           : scan.Named("[MATERIAL]", true, false, C3MXCodec::kMaxMaterialName, name);
    if (!scan.ok()) return false;
    if (!found) continue;
    TrimBlanks(name);
    Lowercase(name);
    if (version == C3MXCodec::kV3) {
      String lookup(name.c_str());
      if (model.FindMaterial(lookup) >= 0) continue;
    }
    model.SetMaterial(model.materialCount++, name.c_str());
  }
  if (useDummy) model.SetMaterial(model.materialCount++, "DummyMaterial");
  return true;
}

bool ReadInstances(Scanner& scan, C3MEModel& model, C3MXCodec::Version version) {
  int32_t count = 0;
  if (!scan.Count("[NINSTANCES]%d", count, 3, "bad instance count", kMaxRecords)) return false;
  if (!model.ReserveInstances(uint32_t(count))) return scan.Fail("out of memory");
  Quaternion fix;
  fix.SetEuler(-kQuarterTurn, 0.0f, 0.0f);
  Matrix4 fixMatrix;
  fix.ToMatrix(fixMatrix);
  for (int32_t i = 0; i < count; ++i) {
    C3MEInstance& instance = model.instances[model.instanceCount++];
    std::string name;
    if (scan.Named("[INSTANCE]", true, true, C3MXCodec::kMaxPartName, name)) instance.name = name.c_str();
    scan.Scan("[CID][%d]", &instance.componentId);
    Vector3 p;
    Quaternion r;
    Vector3 s;
    scan.Scan("[NODE] [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]", &p.x, &p.y, &p.z, &r.x, &r.y, &r.z, &r.w,
              &s.x, &s.y, &s.z);
    if (!scan.ok()) return false;
    TransformNode& bind = instance.transforms.bind;
    if (version == C3MXCodec::kV3) {
      bind.centre = p;
      bind.rotation = r;
    } else {
      // The exporter of later versions works Z-up; turn a quarter about X.
      r.Multiply(fix);
      bind.rotation = r;
      bind.centre = fixMatrix.TransformPoint(p);
    }
  }
  return true;
}

// Unit normal of the plane through a, b, c (zero for a degenerate face).
Vector3 PlaneNormal(const Vector3& a, const Vector3& b, const Vector3& c) {
  const Vector3 u = a - b;
  const Vector3 w = c - b;
  Vector3 n(u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x);
  n.Normalise();
  return n;
}

bool InRange(int64_t corner, size_t count) { return corner >= 0 && uint64_t(corner) < count; }

bool BuildLists(Scanner& scan, C3MEMesh& mesh, C3MXCodec::Version version, const std::vector<ScratchVertex>& vertices,
                const std::vector<C3METexCoord>& uvs, const std::vector<ScratchVertex>& colours,
                const std::vector<ScratchFace>& faces, const char* fileName) {
  // Faces that can be emitted, ordered by material (file order kept within one).
  std::vector<uint32_t> order;
  uint32_t skipped = 0, badMapping = 0;
  for (uint32_t f = 0; f < faces.size(); ++f) {
    const ScratchFace& face = faces[f];
    if (face.material < 0) continue;
    bool valid = true;
    for (int k = 0; k < 3; ++k) valid = valid && InRange(face.vertex.v[k], vertices.size());
    if (!valid) {
      ++skipped;
      continue;
    }
    order.push_back(f);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return faces[a].material < faces[b].material; });
  if (skipped > 0)
    Log3ME("C3MXCodec::Read - WARNING : %s : mesh '%s' skips %u faces with corners out of range", fileName,
           mesh.name.Chars(), skipped);
  const uint64_t vertexCount = uint64_t(order.size()) * 3;
  if (vertexCount > kMaxMeshVertices) return scan.Fail("more than 65535 vertices in a mesh");
  if (vertexCount > kEditableVertices)
    Log3ME("C3MXCodec::Read - WARNING : %s : mesh '%s' has %u vertices; editing its index lists is lossy", fileName,
           mesh.name.Chars(), uint32_t(vertexCount));
  if (!mesh.ReserveVertices(uint32_t(vertexCount))) return scan.Fail("out of memory");
  const bool hasUVs = !uvs.empty();
  if (hasUVs) {
    if (!mesh.ReserveTexCoordSets(1)) return scan.Fail("out of memory");
    mesh.texCoordSetCount = 1;
  }
  if (!mesh.SetLodCount(1)) return scan.Fail("out of memory");

  // Cut each material's run into lists.
  std::vector<std::pair<size_t, size_t>> runs;  // [first, end) into order
  const uint32_t perList = version == C3MXCodec::kV3 ? UINT32_MAX : C3MXCodec::kFacesPerList;
  for (size_t i = 0; i < order.size();) {
    size_t end = i;
    while (end < order.size() && faces[order[end]].material == faces[order[i]].material && end - i < perList) ++end;
    runs.emplace_back(i, end);
    i = end;
  }
  if (!mesh.ReserveLists(0, uint32_t(runs.size()))) return scan.Fail("out of memory");

  C3MELod& lod = mesh.lods[0];
  for (const auto& run : runs) {
    C3MEIndexList& list = lod.lists[lod.listCount++];
    if (!list.Reserve(uint32_t((run.second - run.first) * 3))) return scan.Fail("out of memory");
    list.materialIndex = faces[order[run.first]].material;
    list.primitiveKind = C3MEIndexList::kTriangleList;
    for (size_t i = run.first; i < run.second; ++i) {
      const ScratchFace& face = faces[order[i]];
      const Vector3& a = vertices[size_t(face.vertex.v[0])].position;
      const Vector3& b = vertices[size_t(face.vertex.v[1])].position;
      const Vector3& c = vertices[size_t(face.vertex.v[2])].position;
      const Vector3 p = PlaneNormal(a, b, c);
      int corners[3] = {0, 1, 2};
      bool reversed = false;
      if (version == C3MXCodec::kV6) {
        reversed = true;
      } else {
        const Vector3 reference = version == C3MXCodec::kV5 ? vertices[size_t(face.vertex.v[0])].normal : face.normal;
        reversed = !(Vector3::Dot(p, reference) > 0.0f);
      }
      if (reversed) {
        corners[0] = 2;
        corners[2] = 0;
      }
      for (int slot = 0; slot < 3; ++slot) {
        const int corner = corners[slot];
        const ScratchVertex& source = vertices[size_t(face.vertex.v[corner])];
        const uint32_t k = mesh.vertexCount++;
        C3MEVertex& out = mesh.vertices[k];
        out.position = source.position;
        if (version == C3MXCodec::kV6)
          out.normal = -p;
        else if (version == C3MXCodec::kV5)
          out.normal = source.normal;
        else
          out.normal = face.normal;
        const ScratchVertex* tint = &source;
        if (!colours.empty()) {
          if (InRange(face.colour.v[corner], colours.size()))
            tint = &colours[size_t(face.colour.v[corner])];
          else
            ++badMapping;
        }
        out.red = tint->colour[0];
        out.green = tint->colour[1];
        out.blue = tint->colour[2];
        out.alpha = tint->colour[3];
        if (hasUVs && face.hasUVs) {
          if (InRange(face.uv.v[corner], uvs.size()))
            mesh.texCoords[k] = uvs[size_t(face.uv.v[corner])];
          else
            ++badMapping;
        }
        list.indices[list.PostIncrementCount()] = uint16_t(k);
      }
    }
  }
  if (badMapping > 0)
    Log3ME("C3MXCodec::Read - WARNING : %s : mesh '%s' has %u texture or colour corners out of range", fileName,
           mesh.name.Chars(), badMapping);
  return true;
}

bool ReadMesh(Scanner& scan, C3MEMesh& mesh, C3MXCodec::Version version, const char* fileName) {
  std::string name;
  const bool oneWord = version == C3MXCodec::kV3;
  if (scan.Named("[COMPONENT]", true, oneWord, C3MXCodec::kMaxPartName, name)) mesh.name = name.c_str();
  int32_t vertexCount = 0, uvCount = 0, colourCount = 0, faceCount = 0;
  if (!scan.Count("[NVERTS]%d", vertexCount, 1, "bad vertex count")) return false;
  if (!scan.Count("[NUVS]%d", uvCount, 1, "bad texture-coordinate count")) return false;
  if (version == C3MXCodec::kV6 && !scan.Count("[NRGBA]%d", colourCount, 1, "bad colour count")) return false;
  if (!scan.Count("[NFACES]%d", faceCount, 2, "bad face count")) return false;
  // Every vertex, coordinate and colour takes a line, every face two.
  if (!scan.Fits(uint64_t(vertexCount) + uint64_t(uvCount) + uint64_t(colourCount) + 2 * uint64_t(faceCount)))
    return scan.Fail("counts exceed the file");

  std::vector<ScratchVertex> vertices(static_cast<size_t>(vertexCount));
  scan.Literal("[VERTICES]");
  for (ScratchVertex& v : vertices) {
    if (version >= C3MXCodec::kV5) {
      scan.Scan("[%f,%f,%f] [%f,%f,%f]", &v.position.x, &v.position.y, &v.position.z, &v.normal.x, &v.normal.y,
                &v.normal.z);
      v.normal.Normalise();
    } else {
      scan.Scan("[%f,%f,%f]", &v.position.x, &v.position.y, &v.position.z);
    }
  }
  std::vector<C3METexCoord> uvs(static_cast<size_t>(uvCount));
  if (version <= C3MXCodec::kV4 || uvCount > 0) scan.Literal("[UV]");
  for (C3METexCoord& uv : uvs) {
    float dropped = 0.0f;
    scan.Scan("[%f,%f,%f]", &uv.u, &uv.v, &dropped);
  }
  std::vector<ScratchVertex> colours(static_cast<size_t>(colourCount));
  if (colourCount > 0) scan.Literal("[RGBA]");
  for (ScratchVertex& colour : colours) {
    int rgb[3] = {255, 255, 255};
    scan.Scan("(color %d %d %d)", &rgb[0], &rgb[1], &rgb[2]);
    for (int k = 0; k < 3; ++k) colour.colour[k] = uint8_t(std::clamp(rgb[k], 0, 255));
    colour.colour[3] = colour.colour[0];
  }
  std::vector<ScratchFace> faces(static_cast<size_t>(faceCount));
  scan.Literal("[FACES]");
  for (ScratchFace& face : faces) {
    int index = 0, cornerCount = 0;
    if (version <= C3MXCodec::kV4)
      scan.Scan("[%d] [MAT]%d [N][%f,%f,%f] [VIDS]%d [UVIDS]%d", &index, &face.material, &face.normal.x, &face.normal.y,
                &face.normal.z, &cornerCount, &face.uvCorners);
    else
      scan.Scan("[%d] [MAT]%d [VIDS]%d [UVIDS]%d", &index, &face.material, &cornerCount, &face.uvCorners);
    long long c[3] = {0, 0, 0};
    scan.Scan("[VI][%lld,%lld,%lld]", &c[0], &c[1], &c[2]);
    for (int k = 0; k < 3; ++k) face.vertex.v[k] = ZeroBasedCorner(c[k]);
    const bool hasUVLine = version <= C3MXCodec::kV5 || (uvCount > 0 && face.uvCorners > 0);
    if (hasUVLine) {
      long long u[3] = {0, 0, 0};
      face.hasUVs = scan.Scan("[UVI][%lld,%lld,%lld]", &u[0], &u[1], &u[2]) > 0;
      for (int k = 0; k < 3; ++k) face.uv.v[k] = ZeroBasedCorner(u[k]);
    }
    if (colourCount > 0) {
      long long k3[3] = {0, 0, 0};
      scan.Scan("[CVI][%lld,%lld,%lld]", &k3[0], &k3[1], &k3[2]);
      for (int k = 0; k < 3; ++k) face.colour.v[k] = ZeroBasedCorner(k3[k]);
    }
    if (!scan.ok()) return false;
  }
  if (!scan.ok()) return false;
  return BuildLists(scan, mesh, version, vertices, uvs, colours, faces, fileName);
}

}  // namespace

int32_t C3MXCodec::Write(const char*) { return kNotWritten; }

bool C3MXCodec::ReadVersion(C3MXLines& lines, Version version, const char* fileName) {
  Scanner scan(lines, fileName);
  C3MEModel& model = *model_;
  if (!ReadMaterials(scan, model, version) || !ReadInstances(scan, model, version)) return false;
  int32_t meshCount = 0;
  if (!scan.Count("[NCOMPONENTS]%d", meshCount, 6, "bad component count", kMaxRecords)) return false;
  if (!model.ReserveMeshes(uint32_t(meshCount))) return scan.Fail("out of memory");
  for (int32_t i = 0; i < meshCount; ++i)
    if (!ReadMesh(scan, model.meshes[model.meshCount++], version, fileName)) return false;
  return scan.ok();
}

int32_t C3MXCodec::Read(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName, bytes)) return kCannotOpen;
  C3MXLines lines(bytes);
  const std::string header = lines.TakeHeader();
  // The first tag found wins, in this order.
  static const struct {
    const char* tag;
    Version version;
  } kTags[] = {{"V3", kV3}, {"V4", kV4}, {"V5", kV5}, {"V6", kV6}};
  for (const auto& entry : kTags)
    if (header.find(entry.tag) != std::string::npos)
      return ReadVersion(lines, entry.version, fileName) ? kRead : kBadFile;
  Log3ME("C3MXCodec::Read - ERROR : %s : no version tag", fileName);
  return kBadFile;
}
