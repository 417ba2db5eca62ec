// Loading fonts: the engine font file, BMFont descriptions and ".dat" width
// tables, and writing the engine font file.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/foundation/ResourceManager.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "platform/AtomicFile.h"
#include "platform/Path.h"

namespace {

constexpr int32_t kMipmapEngineFont = 0;
constexpr int32_t kMipmapWidthTable = 2;
constexpr int32_t kMipmapBMFont = 3;
constexpr size_t kWidthTableBytes = 256;
// The highest character id a BMFont description is read up to.
constexpr int kLastBMFontCharacter = 177;

// Splits text into lines (without "\r\n").
std::vector<std::string> SplitLines(const char* text, size_t length) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == '\n') {
      if (i == length && start == length) break;
      size_t end = i;
      if (end > start && text[end - 1] == '\r') --end;
      lines.emplace_back(text + start, end - start);
      start = i + 1;
    }
  }
  return lines;
}

bool LoadResource(const char* path, std::vector<uint8_t>& bytes) {
  return ResourceManager::Instance().LoadBytes(path, bytes);
}

}  // namespace

String FontBaseName(const char* name) {
  String base(name != nullptr ? name : "");
  const char* text = base.Chars();
  const char* slash = std::strrchr(text, '/');
  const char* backslash = std::strrchr(text, '\\');
  if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
  const char* dot = std::strrchr(slash != nullptr ? slash : text, '.');
  if (dot == nullptr) return base;
  return base.Left(int(dot - text));
}

void PrepareFontMaterial(CMATMaterial* material, int32_t mipmap) {
  if (material == nullptr) return;
  material->SetSides(material->Sides() & ~MaterialSide::BACK);
  CMATStage* first = material->GetStage(0);
  if (first == nullptr) return;
  first->flags |= StageFlag::BLEND;
  first->mipmap = mipmap;
}

bool GFXFont::Load(const char* fileName) {
  const String base = FontBaseName(fileName);
  name = base;
  String fntPath = base;
  fntPath += ".fnt";
  if (ReadText(fntPath.Chars())) {
    type = kBitmap;
    return true;
  }

  String datPath = base;
  datPath += ".dat";
  std::vector<uint8_t> table;
  if (!LoadResource(datPath.Chars(), table)) return false;
  if (table.size() < kWidthTableBytes) {
    GFXDisplay::Log("Font %s : width table holds %u bytes, not 256", datPath.Chars(), unsigned(table.size()));
    return false;
  }
  std::memcpy(widths, table.data(), kWidthTableBytes);
  material = CMATManager::GetInstance()->GetMaterial(base);
  PrepareFontMaterial(material, kMipmapWidthTable);
  // Later loads read the ".fnt"; when it cannot be written they read the
  // table again, so the font is usable either way.
  if (!WriteText(fntPath.Chars())) GFXDisplay::Log("Font %s : could not write %s", name.Chars(), fntPath.Chars());
  type = kBitmap;
  return true;
}

bool GFXFont::ReadText(const char* path) {
  std::vector<uint8_t> bytes;
  if (!LoadResource(path, bytes) || bytes.empty()) return false;
  const char* text = reinterpret_cast<const char*>(bytes.data());
  const size_t firstLineEnd = std::string(text, bytes.size()).find('\n');
  const std::string firstLine(text, firstLineEnd == std::string::npos ? bytes.size() : firstLineEnd);
  if (firstLine.find("info") != std::string::npos) return ReadBMFont(text, bytes.size());
  return ReadEngineFont(text, bytes.size());
}

bool GFXFont::ReadEngineFont(const char* text, size_t length) {
  const std::vector<std::string> lines = SplitLines(text, length);
  size_t at = 0;
  auto next = [&]() -> const char* { return at < lines.size() ? lines[at++].c_str() : ""; };

  char materialName[128] = {};
  if (std::sscanf(next(), "[IMAGE]%127s", materialName) == 1) {
    material = CMATManager::GetInstance()->GetMaterial(materialName);
    PrepareFontMaterial(material, kMipmapEngineFont);
  }
  unsigned sx = 0, sy = 0;
  if (std::sscanf(next(), "[HW]%u,%u", &sx, &sy) == 2) scale.Set(float(sx), float(sy));
  unsigned value = 0;
  if (std::sscanf(next(), "[SHADOW]%u", &value) == 1) shadow = value != 0;
  if (std::sscanf(next(), "[OUTLINE]%u", &value) == 1) outline = value != 0 ? 1 : 0;
  if (std::sscanf(next(), "[ITALICS]%u", &value) == 1) italic = value != 0 ? 1 : 0;
  for (int line = 0; line < kGlyphCount && at < lines.size(); ++line) {
    unsigned index = 0;
    // Widths are written signed (200 as "-56"); the low byte is the width.
    int width = 0;
    if (std::sscanf(next(), "[%u]%d", &index, &width) == 2 && index < unsigned(kGlyphCount)) {
      widths[index] = uint8_t(width);
    }
  }
  return true;
}

bool GFXFont::ReadBMFont(const char* text, size_t length) {
  delete info;
  info = new GFXFontInfo();
  if (info == nullptr) return true;
  const std::vector<std::string> lines = SplitLines(text, length);
  size_t at = 0;
  for (; at < lines.size(); ++at) {
    const char* line = lines[at].c_str();
    int lineHeight = 0, base = 0, scaleW = 0, scaleH = 0, pages = 0, packed = 0;
    if (std::sscanf(line, "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=%d packed=%d", &lineHeight, &base,
                    &scaleW, &scaleH, &pages, &packed) >= 4) {
      info->lineHeight = uint16_t(lineHeight);
      info->textureWidth = uint16_t(scaleW);
      info->textureHeight = uint16_t(scaleH);
      continue;
    }
    int page = 0;
    char file[256] = {};
    if (std::sscanf(line, "page id=%d file=%255[^\n]", &page, file) == 2) {
      std::string fileName(file);
      for (char& c : fileName) {
        if (c == '"') c = ' ';
      }
      const size_t first = fileName.find_first_not_of(" \t");
      const size_t last = fileName.find_last_not_of(" \t");
      fileName = first == std::string::npos ? std::string() : fileName.substr(first, last - first + 1);
      material = CMATManager::GetInstance()->GetMaterial(fileName.c_str());
      PrepareFontMaterial(material, kMipmapBMFont);
      ++at;
      break;
    }
  }
  scale.Set(float(info->textureWidth), float(info->textureHeight));
  shadow = false;

  bool firstSeen = false;
  int taken = 0;
  int lastId = -1;
  for (; at < lines.size() && taken < kGlyphCount && lastId != kLastBMFontCharacter; ++at, ++taken) {
    int id = 0, x = 0, y = 0, w = 0, h = 0, xOffset = 0, yOffset = 0, xAdvance = 0, page = 0, channel = 0;
    if (std::sscanf(
            lines[at].c_str(),
            "char id=%d\tx=%d\ty=%d\twidth=%d\theight=%d\txoffset=%d\tyoffset=%d\txadvance=%d\tpage=%d\tchnl=%d", &id,
            &x, &y, &w, &h, &xOffset, &yOffset, &xAdvance, &page, &channel) != 10) {
      continue;
    }
    lastId = id;
    if (id < 0 || id >= kGlyphCount) continue;
    if (!firstSeen) {
      info->firstCharacter = uint16_t(id);
      firstSeen = true;
    }
    GFXFontInfo::Glyph& glyph = info->glyphs[id];
    glyph.present = 1;
    glyph.x = uint16_t(x);
    glyph.y = uint16_t(y);
    glyph.width = uint16_t(w);
    glyph.height = uint16_t(h);
    glyph.xOffset = int16_t(xOffset);
    glyph.yOffset = int16_t(yOffset);
    glyph.xAdvance = uint16_t(xAdvance);
    glyph.page = uint16_t(page);
    if (id == kGlyphCount - 1) break;
  }
  return true;
}

bool GFXFont::WriteText(const char* path) const {
  std::string text;
  char line[160];
  std::snprintf(line, sizeof line, "[IMAGE]%s\n", name.Chars());
  text += line;
  std::snprintf(line, sizeof line, "[HW]%d,%d\n", int(scale.x), int(scale.y));
  text += line;
  text += shadow ? "[SHADOW]1\n" : "[SHADOW]0\n";
  text += outline != 0 ? "[OUTLINE]1\n" : "[OUTLINE]0\n";
  text += italic != 0 ? "[ITALICS]1\n" : "[ITALICS]0\n";
  for (int code = 0; code < kGlyphCount; ++code) {
    std::snprintf(line, sizeof line, "[%d]%d\n", code, int(int8_t(widths[code])));
    text += line;
  }
  return platform::ReplaceFileAtomically(platform::ResolvePath(path), text);
}
