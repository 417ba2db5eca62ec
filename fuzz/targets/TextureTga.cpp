// Tga textures, decoded from memory as the texture manager does.
#include <span>

#include "engine/graphics/TgaDecoder.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(TextureTga) {
  DecodedImage image;
  DecodeTga(std::span<const uint8_t>(data, size), image);
}
