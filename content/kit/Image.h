#pragma once
// A picture being made: RGBA pixels, top row first.

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
  Image(uint32_t w, uint32_t h) : width(w), height(h), pixels(size_t(w) * h * 4, 0) {}
  uint8_t* At(uint32_t x, uint32_t y) { return &pixels[(size_t(y) * width + x) * 4]; }
  // Fills a rectangle (clipped to the picture) with one colour.
  void Fill(int x, int y, int w, int h, const uint8_t rgba[4]);

  uint32_t width;
  uint32_t height;
  std::vector<uint8_t> pixels;
};
