#include "content/kit/FontGrid.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>

bool RenderFontGrid(const std::string& fontPath, uint32_t cell, FontGrid* grid) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face = nullptr;
  if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "cannot read the font %s\n", fontPath.c_str());
    FT_Done_FreeType(library);
    return false;
  }
  // Leave a little room above and below so accents stay inside the cell.
  FT_Set_Pixel_Sizes(face, 0, cell * 3 / 4);
  const int ascender = int(face->size->metrics.ascender >> 6);
  const int descender = int(-face->size->metrics.descender >> 6);
  const int baseline = (int(cell) - (ascender + descender)) / 2 + ascender;

  for (uint32_t code = 0; code < 256; ++code) {
    // Control codes have no picture and no width.
    if (code < 32 || (code >= 127 && code < 160)) continue;
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    const int advance = std::min<int>(int(glyph->advance.x >> 6), int(cell));
    grid->widths[code] = uint8_t(advance);
    const int cellX = int(code % 16) * int(cell);
    const int cellY = int(code / 16) * int(cell);
    // The glyph's advance box is centred in the cell.
    const int penX = cellX + (int(cell) - advance) / 2;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int x = penX + glyph->bitmap_left + int(column);
        const int y = cellY + baseline - glyph->bitmap_top + int(row);
        if (x < cellX || x >= cellX + int(cell) || y < cellY || y >= cellY + int(cell)) continue;
        uint8_t* pixel = grid->image.At(uint32_t(x), uint32_t(y));
        pixel[0] = pixel[1] = pixel[2] = 255;
        pixel[3] = std::max(pixel[3], bitmap.buffer[row * bitmap.pitch + column]);
      }
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

std::string FontText(const std::string& imageName, uint32_t scale, const std::array<uint8_t, 256>& widths) {
  std::string text = "[IMAGE]" + imageName + "\n";
  text += "[HW]" + std::to_string(scale) + "," + std::to_string(scale) + "\n";
  text += "[SHADOW]0\n[OUTLINE]0\n[ITALICS]0\n";
  for (int code = 0; code < 256; ++code) {
    // Widths travel as signed bytes; readers take the low byte back.
    text += "[" + std::to_string(code) + "]" + std::to_string(int(int8_t(widths[code]))) + "\n";
  }
  return text;
}
