#pragma once
// The eight glyph fonts of the HUD and the menus: 512 x 512 sheets of 49
// glyphs in a 7 x 7 grid, each in a 64-pixel cell centred in a 68-pixel frame
// (glyph i at column i mod 7, row i div 7 from the top).

#include <string>
#include <vector>

#include "content/kit/DataFolder.h"
#include "content/kit/Mask.h"

namespace glyphsheet {
inline constexpr int kSheetSize = 512;
inline constexpr int kColumns = 7;
inline constexpr int kGlyphCount = 49;
inline constexpr int kFrameStep = 68;
inline constexpr int kCellSize = 64;
// Left (top) pixel of the 64-pixel cell of a column (row).
inline constexpr int CellOrigin(int index) { return kFrameStep * index + (kFrameStep - kCellSize) / 2 + 1; }
// Ink keeps this far inside its cell, so mipmap levels do not bleed.
inline constexpr int kInkMargin = 4;
}  // namespace glyphsheet

// The character drawn as glyph i, and its advance in 64ths of a cell.
char GlyphCharacter(int index);
int GlyphAdvance(int index);

// The 49 glyphs as 64 x 64 masks; none when the face cannot be read.
std::vector<Mask> RenderGlyphs(const std::string& boldFontPath);
// One sheet in the look of font index 0 to 7.
Image PaintGlyphSheet(const std::vector<Mask>& glyphs, int fontIndex);

// Writes the eight sheets.
void WriteGlyphSheets(DataFolder& folder, const std::string& boldFontPath);
