// Bmp textures, decoded from memory as the texture manager does.
#include <span>

#include "engine/graphics/BmpDecoder.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(TextureBmp) {
  DecodedImage image;
  DecodeBmp(std::span<const uint8_t>(data, size), image);
}
