#pragma once
// Builders of small image files for decoder and loader tests.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A TGA file: the 12-byte header as given, the 6-byte image header, then the
// data bytes exactly as passed (already BGR(A), already packed when RLE).
Bytes MakeTga(uint8_t imageType, uint16_t width, uint16_t height, uint8_t bitsPerPixel, const Bytes& data);

// A BMP file with a 40-byte info header; `rows` are the stored rows without
// padding, in file order. `palette` holds BGRX quads for 8-bit images.
Bytes MakeBmp(int32_t width, int32_t height, uint16_t bitsPerPixel, const Bytes& rows, const Bytes& palette = {},
              uint32_t compression = 0);

// A BMP file with channel masks (compression 3): `infoBytes` 40 puts the red,
// green and blue masks after the header; 108 or 124 (version 4 or 5) holds
// them, and the alpha mask, inside it. `rows` as for MakeBmp.
Bytes MakeBitfieldsBmp(uint32_t infoBytes, int32_t width, int32_t height, uint16_t bitsPerPixel, const Bytes& rows,
                       const uint32_t (&masks)[4]);

struct PngSpec {
  uint32_t width = 1;
  uint32_t height = 1;
  int colourType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  Bytes rows;          // top row first, packed as the PNG format stores them
  Bytes palette;       // RGB triples for palette images
  Bytes transparency;  // tRNS entries
  bool interlaced = false;
};

// A PNG file written by libpng.
Bytes MakePng(const PngSpec& spec);

// Writes bytes to a file; true on success.
bool WriteBytes(const std::string& path, const Bytes& bytes);
