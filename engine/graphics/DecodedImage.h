#pragma once
// Pixels decoded from an image file, ready to hand to OpenGL.

#include <cstdint>
#include <string>
#include <vector>

// Bounds every decoder enforces before allocating: a texture larger than this
// on either side is refused, whatever its header claims.
constexpr uint32_t kMaxImageSide = 16384;

struct DecodedImage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t components = 0;      // 3 = RGB, 4 = RGBA
  std::vector<uint8_t> pixels;  // width * height * components bytes, rows tightly packed
};

// Outcome of one decode: ok, or the reason the file was refused.
struct DecodeResult {
  bool ok = false;
  std::string error;

  static DecodeResult Success() { return {true, {}}; }
  static DecodeResult Failure(std::string why) { return {false, std::move(why)}; }
};

// Reverses the order of the rows of a tightly packed image in place.
void FlipImageRows(uint32_t bitsPerPixel, uint32_t width, uint32_t height, uint8_t* pixels);
