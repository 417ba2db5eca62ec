#pragma once
// How the texture and material code reaches its files: loose files straight
// from the disk, resources through the resource manager (so they may come
// from an archive), modification times and whole-file replacement.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/DecodedImage.h"

// The largest texture file read into memory.
inline constexpr uint64_t kMostTextureFileBytes = 256ull * 1024 * 1024;
// The largest text file (material library, texture list) read into memory.
inline constexpr uint64_t kMostTextFileBytes = 64ull * 1024 * 1024;

// Whether a texture file could be opened and, when it could, its bytes.
// A file that is not there (kMissing) or that is there and cannot be read
// (kRefused) leaves the reason in the read's refusal: the system's own words
// ("No such file or directory", "Is a directory") where it gave any.
enum class TextureFileRead { kMissing, kRead, kRefused };

// Reads a whole file straight from the disk (names resolved as every open
// is), without the resource manager's logging: loaders try many names.
TextureFileRead ReadTextureFileFromDisk(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal);

// Reads a whole PNG file through the resource manager (a loose file that
// fails says why as ReadTextureFileFromDisk does).
TextureFileRead ReadPngResource(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal);

// Reads a text file through the resource manager; false when it cannot be
// opened or is too large.
bool ReadResourceText(const char* path, std::string& out);
// Reads a text file from the disk with File; false when it cannot be opened.
bool ReadDiskText(const char* path, std::string& out);
// The file's modification time in seconds; false when it cannot be read.
bool FileModificationTime(const char* path, int32_t& seconds);
// Replaces a file with the text (written beside it, then renamed over it).
bool WriteTextFile(const char* path, const std::string& text);
