#pragma once
// PNG textures over libpng: palette, grey and 16-bit images are expanded to
// 8-bit RGB or RGBA (transparency chunks become alpha); rows come out top row
// first, as the file stores them.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/graphics/DecodedImage.h"

// Decodes a whole PNG file held in memory. A viewing gamma above 0 applies a
// gamma correction from the file's gamma (or 1/2.2) to that display gamma.
DecodeResult DecodePng(std::span<const uint8_t> file, DecodedImage& out, double viewingGamma = 0.0);

// Reads exactly `bytes` bytes into `target`; false when the source ends first.
using ExactReader = std::function<bool(uint8_t* target, size_t bytes)>;

// Collects one PNG file from a stream: the signature and every chunk up to
// and including IEND, so that a file inside an archive is read to its end and
// no further. Refuses chunks whose length field is impossible.
DecodeResult ReadPngStream(const ExactReader& read, std::vector<uint8_t>& out);

// The gamma of the display the player asked for through VIEWING_GAMMA, or 0.
double ViewingGammaFromEnvironment();
