// Png textures, decoded from memory as the texture manager does.
#include <span>

#include "engine/graphics/PngDecoder.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(TexturePng) {
  DecodedImage image;
  DecodePng(std::span<const uint8_t>(data, size), image);
}
