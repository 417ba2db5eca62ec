#pragma once
// RGBA PNG files, and writing a file whole (its folders made first).

#include "content/Image.h"

#include <string>
#include <vector>

// The PNG bytes of an image; empty when libpng refused.
std::vector<uint8_t> EncodePng(const Image& image);
bool WritePng(const std::string& path, const Image& image);
// Makes the file's folders and writes the bytes; false (reported on stderr) on failure.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
