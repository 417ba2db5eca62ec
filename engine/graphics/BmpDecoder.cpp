#include "engine/graphics/BmpDecoder.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kPlainInfoBytes = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// A 32-bit file with channel masks stores its bytes as an uncompressed
// 32-bit file does when the masks are the standard ones (blue in the first
// byte, alpha in the last or unused). The masks follow a 40-byte header, or
// stand inside a longer one.
DecodeResult CheckStandardMasks(std::span<const uint8_t> file, uint32_t infoBytes, uint16_t bitsPerPixel) {
  if (bitsPerPixel != 32) return DecodeResult::Failure("BMP channel masks are read only at 32 bits");
  const size_t masksAt = kFileHeaderBytes + kPlainInfoBytes;
  if (file.size() < masksAt + 12) return DecodeResult::Failure("BMP channel masks are truncated");
  const uint8_t* masks = file.data() + masksAt;
  if (ReadU32(masks) != 0x00FF0000u || ReadU32(masks + 4) != 0x0000FF00u || ReadU32(masks + 8) != 0x000000FFu) {
    return DecodeResult::Failure("BMP channel masks are not supported");
  }
  if (infoBytes >= kPlainInfoBytes + 16) {
    const uint32_t alpha = ReadU32(masks + 12);
    if (alpha != 0xFF000000u && alpha != 0) return DecodeResult::Failure("BMP channel masks are not supported");
  }
  return DecodeResult::Success();
}

}  // namespace

DecodeResult DecodeBmp(std::span<const uint8_t> file, DecodedImage& out) {
  out = DecodedImage{};
  if (file.size() < kFileHeaderBytes + 4) return DecodeResult::Failure("BMP header is truncated");
  if (file[0] != 'B' || file[1] != 'M') return DecodeResult::Failure("Unknown DIB file format.");
  const uint32_t pixelOffset = ReadU32(file.data() + 10);
  const uint8_t* info = file.data() + kFileHeaderBytes;
  const uint32_t infoBytes = ReadU32(info);
  if (infoBytes < kPlainInfoBytes || infoBytes > file.size() - kFileHeaderBytes) {
    return DecodeResult::Failure("Unknown DIB file format.");
  }
  const int32_t width = static_cast<int32_t>(ReadU32(info + 4));
  const int32_t signedHeight = static_cast<int32_t>(ReadU32(info + 8));
  const uint16_t planes = ReadU16(info + 12);
  const uint16_t bitsPerPixel = ReadU16(info + 14);
  const uint32_t compression = ReadU32(info + 16);
  uint32_t paletteColours = ReadU32(info + 32);

  if (planes != 1 || (compression != kCompressionNone && compression != kCompressionBitfields)) {
    return DecodeResult::Failure("BMP compression is not supported");
  }
  if (compression == kCompressionBitfields) {
    const DecodeResult masks = CheckStandardMasks(file, infoBytes, bitsPerPixel);
    if (!masks.ok) return masks;
  }
  if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
    return DecodeResult::Failure("BMP depth is not 8, 24 or 32 bits");
  }
  // INT32_MIN cannot be negated; it is far beyond the size limit anyway.
  if (width <= 0 || signedHeight == 0 || signedHeight == INT32_MIN)
    return DecodeResult::Failure("BMP image has no pixels");
  const bool topDown = signedHeight < 0;
  const uint32_t height = static_cast<uint32_t>(topDown ? -signedHeight : signedHeight);
  if (static_cast<uint32_t>(width) > kMaxImageSide || height > kMaxImageSide) {
    return DecodeResult::Failure("BMP image is too large");
  }

  const uint8_t* palette = info + infoBytes;
  if (bitsPerPixel == 8) {
    if (paletteColours == 0) paletteColours = 256;
    if (paletteColours > 256) return DecodeResult::Failure("BMP palette is too large");
    const size_t paletteEnd = kFileHeaderBytes + infoBytes + static_cast<size_t>(paletteColours) * 4;
    if (paletteEnd > file.size()) return DecodeResult::Failure("BMP palette is truncated");
  }

  const size_t sourceRowBytes = ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
  const size_t dataBytes = sourceRowBytes * height;
  if (pixelOffset > file.size() || file.size() - pixelOffset < dataBytes) {
    return DecodeResult::Failure("BMP image data is truncated");
  }

  out.width = static_cast<uint32_t>(width);
  out.height = height;
  out.components = 3;
  out.pixels.assign(static_cast<size_t>(out.width) * height * 3, 0);
  const size_t bytesPerSource = bitsPerPixel / 8;
  for (uint32_t row = 0; row < height; ++row) {
    const uint32_t targetRow = topDown ? height - 1 - row : row;
    const uint8_t* source = file.data() + pixelOffset + row * sourceRowBytes;
    uint8_t* target = out.pixels.data() + static_cast<size_t>(targetRow) * out.width * 3;
    for (uint32_t x = 0; x < out.width; ++x, source += bytesPerSource, target += 3) {
      const uint8_t* bgr = source;
      if (bitsPerPixel == 8) {
        // An index past the palette reads as black rather than past the table.
        static constexpr uint8_t kBlack[4] = {0, 0, 0, 0};
        bgr = *source < paletteColours ? palette + *source * 4u : kBlack;
      }
      target[0] = bgr[2];
      target[1] = bgr[1];
      target[2] = bgr[0];
    }
  }
  return DecodeResult::Success();
}
