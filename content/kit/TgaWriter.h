#pragma once
// Uncompressed 32-bit TGA files.

#include <string>
#include <vector>

#include "content/kit/Image.h"

// The file's bytes: 18-byte header, bottom row first, BGRA pixels.
std::vector<uint8_t> EncodeTga(const Image& image);
bool WriteTga(const std::string& path, const Image& image);
