#pragma once
// The default grid font: 256 characters in a 16 by 16 grid of square cells,
// each glyph centred in its cell, white with coverage in alpha, and the font
// text file that names the picture and each character's width.

#include <array>
#include <string>

#include "content/kit/Image.h"

struct FontGrid {
  explicit FontGrid(uint32_t cell) : image(cell * 16, cell * 16) {}
  Image image;
  std::array<uint8_t, 256> widths{};
};

// Renders the Latin-1 characters of a TrueType face; false (reported on
// stderr) when the face cannot be read.
bool RenderFontGrid(const std::string& fontPath, uint32_t cell, FontGrid* grid);

// The engine's font text: "[IMAGE]", "[HW]", "[SHADOW]", "[OUTLINE]",
// "[ITALICS]" and one "[code]width" line per character.
std::string FontText(const std::string& imageName, uint32_t scale, const std::array<uint8_t, 256>& widths);
