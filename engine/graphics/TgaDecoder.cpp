#include "engine/graphics/TgaDecoder.h"

#include <cstring>

namespace {

constexpr size_t kFileHeaderBytes = 12;
constexpr size_t kImageHeaderBytes = 6;
constexpr uint8_t kUncompressedHeader[kFileHeaderBytes] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kRunLengthHeader[kFileHeaderBytes] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Stores one file pixel (BGR or BGRA) as RGB or RGBA.
void StorePixel(const uint8_t* source, uint8_t* target, uint32_t bytesPerPixel) {
  target[0] = source[2];
  target[1] = source[1];
  target[2] = source[0];
  if (bytesPerPixel == 4) target[3] = source[3];
}

DecodeResult ReadUncompressed(std::span<const uint8_t> data, DecodedImage& out, uint32_t bytesPerPixel) {
  const size_t imageBytes = out.pixels.size();
  if (data.size() < imageBytes) return DecodeResult::Failure("TGA image data is truncated");
  for (size_t at = 0; at < imageBytes; at += bytesPerPixel) {
    StorePixel(data.data() + at, out.pixels.data() + at, bytesPerPixel);
  }
  return DecodeResult::Success();
}

DecodeResult ReadRunLength(std::span<const uint8_t> data, DecodedImage& out, uint32_t bytesPerPixel) {
  const size_t pixelCount = static_cast<size_t>(out.width) * out.height;
  size_t filled = 0;
  size_t at = 0;
  while (filled < pixelCount) {
    if (at >= data.size()) return DecodeResult::Failure("TGA run-length data is truncated");
    const uint8_t packet = data[at++];
    const bool repeated = packet >= 128;
    const size_t runLength = repeated ? packet - 127u : packet + 1u;
    if (filled + runLength > pixelCount) return DecodeResult::Failure("TGA run-length packet runs past the image");
    const size_t sourceBytes = (repeated ? 1 : runLength) * bytesPerPixel;
    if (data.size() - at < sourceBytes) return DecodeResult::Failure("TGA run-length data is truncated");
    for (size_t i = 0; i < runLength; ++i) {
      const uint8_t* source = data.data() + at + (repeated ? 0 : i * bytesPerPixel);
      StorePixel(source, out.pixels.data() + (filled + i) * bytesPerPixel, bytesPerPixel);
    }
    at += sourceBytes;
    filled += runLength;
  }
  return DecodeResult::Success();
}

}  // namespace

DecodeResult DecodeTga(std::span<const uint8_t> file, DecodedImage& out) {
  out = DecodedImage{};
  if (file.size() < kFileHeaderBytes) return DecodeResult::Failure("TGA header is truncated");
  bool runLength = false;
  if (std::memcmp(file.data(), kRunLengthHeader, kFileHeaderBytes) == 0) {
    runLength = true;
  } else if (std::memcmp(file.data(), kUncompressedHeader, kFileHeaderBytes) != 0) {
    return DecodeResult::Failure("TGA type is not supported (true-colour, no colour map, no ID field)");
  }
  if (file.size() < kFileHeaderBytes + kImageHeaderBytes) return DecodeResult::Failure("TGA header is truncated");

  const uint8_t* header = file.data() + kFileHeaderBytes;
  const uint32_t width = header[0] + 256u * header[1];
  const uint32_t height = header[2] + 256u * header[3];
  const uint32_t bitsPerPixel = header[4];
  // header[5], the descriptor, is not used: rows stay in file order.
  if (width == 0 || height == 0) return DecodeResult::Failure("TGA image has no pixels");
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return DecodeResult::Failure("TGA depth is not 24 or 32 bits");
  if (width > kMaxImageSide || height > kMaxImageSide) return DecodeResult::Failure("TGA image is too large");

  const uint32_t bytesPerPixel = bitsPerPixel / 8;
  std::span<const uint8_t> data = file.subspan(kFileHeaderBytes + kImageHeaderBytes);
  const size_t pixelCount = static_cast<size_t>(width) * height;
  // A run-length packet of two bytes or more yields at most 128 pixels, so a
  // file too short for its claimed size is refused before allocating.
  const size_t mostPixels = runLength ? (data.size() / (1 + bytesPerPixel)) * 128 : data.size() / bytesPerPixel;
  if (pixelCount > mostPixels) return DecodeResult::Failure("TGA image data is truncated");

  out.width = width;
  out.height = height;
  out.components = bytesPerPixel;
  out.pixels.assign(pixelCount * bytesPerPixel, 0);
  DecodeResult result =
      runLength ? ReadRunLength(data, out, bytesPerPixel) : ReadUncompressed(data, out, bytesPerPixel);
  if (!result.ok) out = DecodedImage{};
  return result;
}
