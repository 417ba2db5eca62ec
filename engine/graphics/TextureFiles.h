#pragma once
// How texture loaders get their bytes: loose files from the disk, and PNG
// files through the resource manager (so they may come from an archive).

#include <cstdint>
#include <vector>

#include "engine/graphics/DecodedImage.h"

// The largest texture file read into memory.
inline constexpr uint64_t kMostTextureFileBytes = 256ull * 1024 * 1024;

// Whether a texture file could be opened and, when it could, its bytes.
enum class TextureFileRead { kMissing, kRead, kRefused };

// Reads a whole file from the disk (names resolved as every open is).
TextureFileRead ReadTextureFileFromDisk(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal);

// Opens a PNG file through the resource manager and collects it up to its
// end chunk.
TextureFileRead ReadPngResource(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal);
