#pragma once
// RGBA PNG files, and writing a file whole (its folders made first).

#include <string>
#include <vector>

#include "content/kit/Image.h"

// The PNG bytes of an image; empty when libpng refused. Without alpha the
// file holds RGB only (opaque pictures, and glows painted on black, which
// then bind without the alpha test).
std::vector<uint8_t> EncodePng(const Image& image, bool withAlpha = true);
bool WritePng(const std::string& path, const Image& image, bool withAlpha = true);
// Makes the file's folders and writes the bytes; false (reported on stderr) on failure.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
