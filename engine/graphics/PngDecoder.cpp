#include "engine/graphics/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Deflate cannot expand data by more than about 1032 to 1, so an image that
// claims more raw bytes than that from the whole file is a lie or a bomb.
constexpr uint64_t kMostDeflateRatio = 1032;
constexpr size_t kSignatureBytes = 8;

struct MemoryReader {
  std::span<const uint8_t> file;
  size_t at = 0;
};

struct ErrorContext {
  char message[256] = "";
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* context = static_cast<ErrorContext*>(png_get_error_ptr(png));
  std::snprintf(context->message, sizeof context->message, "PNG error: %s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep target, png_size_t bytes) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->file.size() - reader->at < bytes) png_error(png, "file is truncated");
  std::memcpy(target, reader->file.data() + reader->at, bytes);
  reader->at += bytes;
}

// Every object the decode touches after setjmp lives here, made before it, so
// that libpng's longjmp skips no destructor.
struct DecodeState {
  MemoryReader reader;
  ErrorContext error;
  std::vector<png_bytep> rows;
  const char* refusal = nullptr;
};

bool RunDecode(png_structp png, png_infop info, DecodeState& state, DecodedImage& out, double viewingGamma) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &state.reader, ReadFromMemory);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
  const uint64_t rawRowBytes = (static_cast<uint64_t>(width) * bitDepth * png_get_channels(png, info) + 7) / 8 + 1;
  if (rawRowBytes * height > state.reader.file.size() * kMostDeflateRatio) {
    state.refusal = "PNG image is larger than its data can hold";
    return false;
  }

  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (viewingGamma > 0.0) {
    double fileGamma = 0.0;
    if (!png_get_gAMA(png, info, &fileGamma)) fileGamma = 1.0 / 2.2;
    png_set_gamma(png, viewingGamma, fileGamma);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const uint32_t components = png_get_channels(png, info);
  if ((components != 3 && components != 4) || png_get_bit_depth(png, info) != 8 ||
      png_get_rowbytes(png, info) != static_cast<size_t>(width) * components) {
    state.refusal = "PNG layout is not supported";
    return false;
  }
  out.width = width;
  out.height = height;
  out.components = components;
  out.pixels.assign(static_cast<size_t>(width) * height * components, 0);
  state.rows.resize(height);
  for (png_uint_32 row = 0; row < height; ++row) {
    state.rows[row] = out.pixels.data() + static_cast<size_t>(row) * width * components;
  }
  png_read_image(png, state.rows.data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

DecodeResult DecodePng(std::span<const uint8_t> file, DecodedImage& out, double viewingGamma) {
  out = DecodedImage{};
  if (file.size() < kSignatureBytes || png_sig_cmp(file.data(), 0, kSignatureBytes) != 0) {
    return DecodeResult::Failure("PNG signature is missing");
  }
  DecodeState state;
  state.reader.file = file;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.error, OnPngError, OnPngWarning);
  if (png == nullptr) return DecodeResult::Failure("PNG decoder could not start");
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return DecodeResult::Failure("PNG decoder could not start");
  }
  const bool decoded = RunDecode(png, info, state, out, viewingGamma);
  png_destroy_read_struct(&png, &info, nullptr);
  if (decoded) return DecodeResult::Success();
  out = DecodedImage{};
  return DecodeResult::Failure(state.refusal != nullptr ? state.refusal : state.error.message);
}

double ViewingGammaFromEnvironment() {
  const char* text = std::getenv("VIEWING_GAMMA");
  if (text == nullptr) return 0.0;
  const double gamma = std::strtod(text, nullptr);
  return gamma > 0.0 ? gamma : 0.0;
}
