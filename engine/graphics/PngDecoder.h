#pragma once
// PNG textures over libpng: palette, grey and 16-bit images are expanded to
// 8-bit RGB or RGBA (transparency chunks become alpha); rows come out top row
// first, as the file stores them.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/graphics/DecodedImage.h"

// Decodes a whole PNG file held in memory. A viewing gamma above 0 applies a
// gamma correction from the file's gamma (or 1/2.2) to that display gamma.
DecodeResult DecodePng(std::span<const uint8_t> file, DecodedImage& out, double viewingGamma = 0.0);

// The gamma of the display the player asked for through VIEWING_GAMMA, or 0.
double ViewingGammaFromEnvironment();
