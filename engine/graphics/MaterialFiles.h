#pragma once
// How the material library reaches its files.

#include <cstdint>
#include <string>

// The largest material library read into memory.
inline constexpr uint64_t kMostLibraryBytes = 64ull * 1024 * 1024;

// Reads a library through the resource manager (archive or disk); false
// when it cannot be opened or is too large.
bool ReadLibraryText(const char* path, std::string& out);
// Reads a text file directly from the disk; false when it cannot be opened.
bool ReadDiskText(const char* path, std::string& out);
// The file's modification time in seconds; false when it cannot be read.
bool FileModificationTime(const char* path, int32_t& seconds);
// Replaces a file with the text (written beside it, then renamed over it).
bool WriteTextFile(const char* path, const std::string& text);
