#pragma once
// Our own BMP reader for textures: uncompressed 8-bit (palette), 24-bit and
// 32-bit images, and 32-bit images with the standard channel masks (what most
// tools write for a picture with alpha). Pixels always come out as RGB (alpha bytes are dropped), rows
// bottom first as OpenGL expects; a top-down file is turned over to match.

#include <cstdint>
#include <span>

#include "engine/graphics/DecodedImage.h"

// Decodes a whole BMP file held in memory.
DecodeResult DecodeBmp(std::span<const uint8_t> file, DecodedImage& out);
