#include "content/kit/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

}  // namespace

std::vector<uint8_t> EncodePng(const Image& image, bool withAlpha) {
  std::vector<uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return bytes;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &bytes, AppendToVector, nullptr);
  png_set_IHDR(png, info, image.width, image.height, 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // libpng drops the fourth byte of every pixel itself.
  if (!withAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (uint32_t row = 0; row < image.height; ++row) {
    png_write_row(png, &image.pixels[size_t(row) * image.width * 4]);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

bool WritePng(const std::string& path, const Image& image, bool withAlpha) {
  std::vector<uint8_t> bytes = EncodePng(image, withAlpha);
  if (bytes.empty()) {
    std::fprintf(stderr, "cannot encode %s\n", path.c_str());
    return false;
  }
  return WriteBytes(path, bytes);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
