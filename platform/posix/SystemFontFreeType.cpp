// System fonts through fontconfig (finding the file) and FreeType
// (rasterising monochrome glyphs).

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/SystemFont.h"

namespace platform {
namespace {

int FontconfigWeight(int weight) {
  if (weight >= 800) return FC_WEIGHT_BLACK;
  if (weight >= 700) return FC_WEIGHT_BOLD;
  if (weight >= 600) return FC_WEIGHT_DEMIBOLD;
  if (weight >= 500) return FC_WEIGHT_MEDIUM;
  if (weight > 0 && weight <= 300) return FC_WEIGHT_LIGHT;
  return FC_WEIGHT_REGULAR;
}

// The file (and face index) of the best match for the request.
bool FindFontFile(const SystemFontRequest& request, std::string& file, int& index) {
  if (FcInit() == FcFalse) return false;
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  if (!request.face.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, FontconfigWeight(request.weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
  if (found) {
    file = reinterpret_cast<const char*>(path);
    index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
  }
  FcPatternDestroy(match);
  return found;
}

void CopyGlyph(const FT_GlyphSlot slot, SystemGlyph& glyph) {
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.width = int(bitmap.width);
  glyph.height = int(bitmap.rows);
  glyph.originX = float(-slot->bitmap_left);
  glyph.originY = float(int(bitmap.rows) - slot->bitmap_top);
  glyph.advance = float(slot->advance.x) / 64.0f;
  const int rowBytes = (glyph.width + 7) / 8;
  glyph.rows.assign(size_t(rowBytes) * size_t(glyph.height), 0);
  for (int row = 0; row < glyph.height; ++row) {
    // FreeType's rows run top to bottom; glBitmap's bottom to top.
    const unsigned char* source = bitmap.buffer + row * bitmap.pitch;
    uint8_t* target = glyph.rows.data() + size_t(glyph.height - 1 - row) * size_t(rowBytes);
    for (int b = 0; b < rowBytes; ++b) target[b] = source[b];
  }
}

}  // namespace

bool RasteriseSystemFont(const SystemFontRequest& request, int first, int count, std::vector<SystemGlyph>& out) {
  out.clear();
  std::string file;
  int index = 0;
  if (count <= 0 || !FindFontFile(request, file, index)) return false;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
    FT_Done_FreeType(library);
    return false;
  }
  const int height = request.pixelHeight > 0 ? request.pixelHeight : 16;
  FT_Set_Pixel_Sizes(face, FT_UInt(request.pixelWidth > 0 ? request.pixelWidth : 0), FT_UInt(height));
  out.resize(size_t(count));
  for (int i = 0; i < count; ++i) {
    if (FT_Load_Char(face, FT_ULong(first + i), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
    if (face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO && face->glyph->bitmap.buffer != nullptr) continue;
    CopyGlyph(face->glyph, out[size_t(i)]);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

}  // namespace platform
