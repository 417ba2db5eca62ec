#include "support/ImageFiles.h"

#include <png.h>

#include <cstdio>

Bytes MakeTga(uint8_t imageType, uint16_t width, uint16_t height, uint8_t bitsPerPixel, const Bytes& data) {
  Bytes file = {0, 0, imageType, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const uint8_t image[6] = {uint8_t(width),       uint8_t(width >> 8), uint8_t(height),
                            uint8_t(height >> 8), bitsPerPixel,        0};
  file.insert(file.end(), image, image + 6);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

namespace {
void Put16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, uint16_t(v));
  Put16(b, uint16_t(v >> 16));
}
}  // namespace

Bytes MakeBmp(int32_t width, int32_t height, uint16_t bitsPerPixel, const Bytes& rows, const Bytes& palette,
              uint32_t compression) {
  const size_t rowBytes = size_t(width) * bitsPerPixel / 8;
  const size_t stride = (rowBytes + 3) / 4 * 4;
  const size_t rowCount = size_t(height < 0 ? -height : height);
  const uint32_t pixelOffset = 14 + 40 + uint32_t(palette.size());
  Bytes file = {'B', 'M'};
  Put32(file, uint32_t(pixelOffset + stride * rowCount));
  Put32(file, 0);
  Put32(file, pixelOffset);
  Put32(file, 40);
  Put32(file, uint32_t(width));
  Put32(file, uint32_t(height));
  Put16(file, 1);
  Put16(file, bitsPerPixel);
  Put32(file, compression);
  Put32(file, 0);
  Put32(file, 2835);
  Put32(file, 2835);
  Put32(file, uint32_t(palette.size() / 4));
  Put32(file, 0);
  file.insert(file.end(), palette.begin(), palette.end());
  for (size_t row = 0; row < rowCount; ++row) {
    file.insert(file.end(), rows.begin() + row * rowBytes, rows.begin() + (row + 1) * rowBytes);
    file.resize(file.size() + stride - rowBytes, 0);
  }
  return file;
}

Bytes MakeBitfieldsBmp(uint32_t infoBytes, int32_t width, int32_t height, uint16_t bitsPerPixel, const Bytes& rows,
                       const uint32_t (&masks)[4]) {
  const Bytes plain = MakeBmp(width, height, bitsPerPixel, rows, {}, 3);
  const size_t maskBytes = infoBytes == 40 ? 12 : 16;
  const size_t extra = infoBytes == 40 ? 12 : infoBytes - 40;
  Bytes file = {'B', 'M'};
  Put32(file, uint32_t(plain.size() + extra));
  Put32(file, 0);
  Put32(file, uint32_t(14 + 40 + extra));
  Put32(file, infoBytes);
  file.insert(file.end(), plain.begin() + 18, plain.begin() + 54);
  for (size_t m = 0; m < maskBytes / 4; ++m) Put32(file, masks[m]);
  file.resize(14 + 40 + extra, 0);
  file.insert(file.end(), plain.begin() + 54, plain.end());
  return file;
}

namespace {
void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}
}  // namespace

Bytes MakePng(const PngSpec& spec) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendToBytes, NoFlush);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec.palette.empty()) {
    std::vector<png_color> colours;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
      colours.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    }
    png_set_PLTE(png, info, colours.data(), int(colours.size()));
  }
  if (!spec.transparency.empty()) {
    png_set_tRNS(png, info, spec.transparency.data(), int(spec.transparency.size()), nullptr);
  }
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_bytep> rows(spec.height);
  for (uint32_t r = 0; r < spec.height; ++r) rows[r] = const_cast<png_bytep>(spec.rows.data() + r * rowBytes);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
