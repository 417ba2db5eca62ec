#include "content/kit/TgaWriter.h"

#include "content/kit/PngWriter.h"

std::vector<uint8_t> EncodeTga(const Image& image) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;  // uncompressed true colour
  bytes[12] = image.width & 0xFF;
  bytes[13] = (image.width >> 8) & 0xFF;
  bytes[14] = image.height & 0xFF;
  bytes[15] = (image.height >> 8) & 0xFF;
  bytes[16] = 32;
  bytes[17] = 8;  // eight alpha bits, origin at the bottom left
  bytes.reserve(18 + image.pixels.size());
  for (uint32_t row = image.height; row-- > 0;) {
    const uint8_t* pixel = &image.pixels[size_t(row) * image.width * 4];
    for (uint32_t x = 0; x < image.width; ++x, pixel += 4) {
      bytes.insert(bytes.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
    }
  }
  return bytes;
}

bool WriteTga(const std::string& path, const Image& image) { return WriteBytes(path, EncodeTga(image)); }
