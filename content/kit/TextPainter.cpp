#include "content/kit/TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>

TextPainter::TextPainter(const std::string& fontPath) {
  if (FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
    return;
  }
  if (FT_New_Face(library_, fontPath.c_str(), 0, &face_) != 0) {
    std::fprintf(stderr, "cannot read the font %s\n", fontPath.c_str());
    face_ = nullptr;
  }
}

TextPainter::~TextPainter() {
  if (face_ != nullptr) FT_Done_Face(face_);
  if (library_ != nullptr) FT_Done_FreeType(library_);
}

TextLine TextPainter::Render(const std::string& text, int sizeX, int sizeY, int margin) const {
  TextLine line;
  if (face_ == nullptr || FT_Set_Pixel_Sizes(face_, FT_UInt(sizeX), FT_UInt(sizeY)) != 0) return line;
  const int ascender = int(face_->size->metrics.ascender >> 6);
  const int descender = int(-face_->size->metrics.descender >> 6);

  // First pass: the pen's travel, so the mask can be made to size.
  int advance = 0;
  for (unsigned char c : text) {
    if (FT_Load_Char(face_, c, FT_LOAD_DEFAULT) == 0) advance += int(face_->glyph->advance.x >> 6);
  }
  line.advance = advance;
  line.penStart = margin;
  line.baseline = margin + ascender;
  line.mask = Mask(advance + 2 * margin, ascender + descender + 2 * margin);

  int pen = margin;
  for (unsigned char c : text) {
    if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face_->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int x = pen + glyph->bitmap_left + int(column);
        const int y = line.baseline - glyph->bitmap_top + int(row);
        if (x < 0 || y < 0 || x >= line.mask.width || y >= line.mask.height) continue;
        float& value = line.mask.Ref(x, y);
        value = std::max(value, bitmap.buffer[row * unsigned(bitmap.pitch) + column] / 255.0f);
      }
    }
    pen += int(glyph->advance.x >> 6);
  }
  return line;
}
