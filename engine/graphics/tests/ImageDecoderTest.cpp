#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <span>

#include "engine/graphics/BmpDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/graphics/TgaDecoder.h"
#include "support/ImageFiles.h"

namespace {

// A small seeded generator for garbage inputs (tests only).
struct TestLcg {
  uint32_t state;
  uint8_t Next() {
    state = state * 1664525u + 1013904223u;
    return uint8_t(state >> 24);
  }
};

PngSpec Png(uint32_t width, uint32_t height, int colourType, int bitDepth, Bytes rows, Bytes palette = {},
            Bytes transparency = {}) {
  PngSpec spec;
  spec.width = width;
  spec.height = height;
  spec.colourType = colourType;
  spec.bitDepth = bitDepth;
  spec.rows = std::move(rows);
  spec.palette = std::move(palette);
  spec.transparency = std::move(transparency);
  return spec;
}

using Decoder = DecodeResult (*)(std::span<const uint8_t>, DecodedImage&);
DecodeResult DecodePngPlain(std::span<const uint8_t> file, DecodedImage& out) { return DecodePng(file, out); }

// Every proper prefix of a valid file must be refused cleanly.
void ExpectEveryPrefixRefused(Decoder decode, const Bytes& file) {
  for (size_t length = 0; length < file.size(); ++length) {
    DecodedImage image;
    DecodeResult result = decode(std::span(file.data(), length), image);
    EXPECT_FALSE(result.ok) << "prefix of " << length << " bytes was accepted";
    EXPECT_TRUE(image.pixels.empty());
  }
}

void ExpectGarbageRefused(Decoder decode, const Bytes& validHeader) {
  TestLcg lcg{12345};
  for (int round = 0; round < 300; ++round) {
    Bytes file = validHeader;
    const size_t extra = lcg.Next() % 64;
    for (size_t i = 0; i < extra; ++i) file.push_back(lcg.Next());
    // Damage a few bytes of the header too.
    for (int hit = 0; hit < 3 && !file.empty(); ++hit) file[lcg.Next() % file.size()] = lcg.Next();
    DecodedImage image;
    DecodeResult result = decode(file, image);
    if (result.ok) {
      EXPECT_EQ(image.pixels.size(), size_t(image.width) * image.height * image.components);
    }
  }
}

// --- TGA -------------------------------------------------------------------

TEST(TgaDecoder, ReadsRawAndRunLengthAt24And32Bits) {
  struct Case {
    const char* name;
    uint8_t type;
    uint8_t bits;
    Bytes data;
  };
  // A 3 x 1 image: B,G,R(,A) in the file; RGB(A) expected out.
  const Case cases[] = {
      {"raw 24", 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"rle 24", 10, 24, {0x00, 1, 2, 3, 0x81, 4, 5, 6}},
      {"raw 32", 2, 32, {1, 2, 3, 10, 4, 5, 6, 20, 4, 5, 6, 20}},
      {"rle 32", 10, 32, {0x00, 1, 2, 3, 10, 0x81, 4, 5, 6, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    DecodeResult result = DecodeTga(MakeTga(c.type, 3, 1, c.bits, c.data), image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 1u);
    if (c.bits == 24) {
      EXPECT_EQ(image.components, 3u);
      const Bytes expected = c.type == 2 ? Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7} : Bytes{3, 2, 1, 6, 5, 4, 6, 5, 4};
      EXPECT_EQ(image.pixels, expected);
    } else {
      EXPECT_EQ(image.components, 4u);
      EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 10, 6, 5, 4, 20, 6, 5, 4, 20}));
    }
  }
}

TEST(TgaDecoder, KeepsRowsInFileOrder) {
  // Two rows of one pixel: bottom row first in the file, and it stays first.
  DecodedImage image;
  ASSERT_TRUE(DecodeTga(MakeTga(2, 1, 2, 24, {0, 0, 255, 0, 255, 0}), image).ok);
  EXPECT_EQ(image.pixels, (Bytes{255, 0, 0, 0, 255, 0}));
}

TEST(TgaDecoder, RefusesUnsupportedAndBrokenFiles) {
  const Bytes pixel24 = {1, 2, 3};
  Bytes idField = MakeTga(2, 1, 1, 24, pixel24);
  idField[0] = 1;
  Bytes colourMap = MakeTga(2, 1, 1, 24, pixel24);
  colourMap[1] = 1;
  Bytes origin = MakeTga(2, 1, 1, 24, pixel24);
  origin[8] = 4;
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"16-bit", MakeTga(2, 1, 1, 16, {1, 2})},
      {"type 3 grey", MakeTga(3, 1, 1, 8, {1})},
      {"identification field", idField},
      {"colour map", colourMap},
      {"non-zero origin", origin},
      {"zero width", MakeTga(2, 0, 1, 24, pixel24)},
      {"too wide", MakeTga(2, 20000, 1, 24, Bytes(60000, 0))},
      {"raw data short", MakeTga(2, 2, 1, 24, pixel24)},
      {"rle packet past the last pixel", MakeTga(10, 2, 1, 24, {0x82, 1, 2, 3})},
      {"rle raw packet past the last pixel", MakeTga(10, 1, 1, 24, {0x01, 1, 2, 3, 4, 5, 6})},
      {"rle data short", MakeTga(10, 4, 1, 24, {0x83, 1, 2})},
      {"rle huge claim, little data", MakeTga(10, 16384, 16384, 32, {0xFF, 1, 2, 3, 4})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    DecodeResult result = DecodeTga(c.file, image);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(image.pixels.empty());
  }
}

TEST(TgaDecoder, SurvivesTruncationAndGarbage) {
  ExpectEveryPrefixRefused(DecodeTga, MakeTga(2, 2, 2, 32, Bytes(16, 7)));
  ExpectEveryPrefixRefused(DecodeTga,
                           MakeTga(10, 4, 2, 24, {0x83, 1, 2, 3, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x80, 1, 1, 1}));
  ExpectGarbageRefused(DecodeTga, MakeTga(10, 8, 8, 32, {}));
  ExpectGarbageRefused(DecodeTga, MakeTga(2, 4, 4, 24, {}));
}

// --- PNG -------------------------------------------------------------------

TEST(PngDecoder, ExpandsEveryLayoutToEightBitRgbOrRgba) {
  struct Case {
    const char* name;
    PngSpec spec;
    uint32_t components;
    Bytes expected;
  };
  const Case cases[] = {
      {"grey", Png(2, 1, PNG_COLOR_TYPE_GRAY, 8, {10, 200}), 3, {10, 10, 10, 200, 200, 200}},
      {"grey 1-bit", Png(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0x80}), 3, {255, 255, 255, 0, 0, 0}},
      {"grey alpha", Png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {50, 60}), 4, {50, 50, 50, 60}},
      {"palette", Png(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {9, 8, 7, 1, 2, 3}), 3, {1, 2, 3, 9, 8, 7}},
      {"palette with transparency",
       Png(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {9, 8, 7, 1, 2, 3}, {255, 40}),
       4,
       {1, 2, 3, 40, 9, 8, 7, 255}},
      {"rgb", Png(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3}), 3, {1, 2, 3}},
      {"rgba", Png(1, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4}), 4, {1, 2, 3, 4}},
      {"16-bit rgb normalised",
       Png(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x7F}),
       3,
       {255, 128, 0}},
      {"16-bit grey", Png(1, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x80}), 3, {128, 128, 128}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    DecodeResult result = DecodePng(MakePng(c.spec), image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image.width, c.spec.width);
    EXPECT_EQ(image.height, c.spec.height);
    EXPECT_EQ(image.components, c.components);
    EXPECT_EQ(image.pixels, c.expected);
  }
}

TEST(PngDecoder, KeepsTopRowFirstAndReadsInterlacedImages) {
  PngSpec spec = Png(3, 2, PNG_COLOR_TYPE_RGB, 8, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6});
  spec.interlaced = true;
  DecodedImage image;
  ASSERT_TRUE(DecodePng(MakePng(spec), image).ok);
  EXPECT_EQ(image.pixels, spec.rows);
}

TEST(PngDecoder, RefusesBrokenAndOversizedFiles) {
  const Bytes valid = MakePng(Png(4, 4, PNG_COLOR_TYPE_RGBA, 8, Bytes(64, 9)));
  ExpectEveryPrefixRefused(DecodePngPlain, valid);
  ExpectGarbageRefused(DecodePngPlain, Bytes(valid.begin(), valid.begin() + 33));

  // An IHDR claiming the largest allowed image over a few bytes of data is a
  // bomb or a lie: refused before any pixel buffer is made.
  Bytes bomb = MakePng(Png(16384, 1, PNG_COLOR_TYPE_RGBA, 8, Bytes(16384 * 4, 0)));
  bomb[20] = 0;
  bomb[21] = 0;
  bomb[22] = 0x40;
  bomb[23] = 0;  // height 16384
  const uint32_t crc = uint32_t(crc32(0, bomb.data() + 12, 17));
  for (int i = 0; i < 4; ++i) bomb[29 + i] = uint8_t(crc >> (24 - 8 * i));
  DecodedImage image;
  DecodeResult refused = DecodePng(bomb, image);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, "PNG image is larger than its data can hold");
  EXPECT_TRUE(image.pixels.empty());

  const Bytes tooWide = MakePng(Png(16385, 1, PNG_COLOR_TYPE_GRAY, 8, Bytes(16385, 0)));
  DecodeResult wide = DecodePng(tooWide, image);
  EXPECT_FALSE(wide.ok);
  EXPECT_NE(wide.error.find("PNG"), std::string::npos);
}

// --- BMP -------------------------------------------------------------------

TEST(BmpDecoder, ReadsEightTwentyFourAndThirtyTwoBitsAsRgb) {
  struct Case {
    const char* name;
    Bytes file;
    Bytes expected;
  };
  const Bytes palette = {0, 0, 255, 0, 255, 0, 0, 0};  // index 0 red, 1 blue
  const Case cases[] = {
      // Width 3 at 24 bits needs a padded row of 12 bytes.
      {"24-bit padded",
       MakeBmp(3, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}),
       {3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14, 19, 18, 17}},
      {"32-bit drops alpha", MakeBmp(1, 1, 32, {1, 2, 3, 99}), {3, 2, 1}},
      {"8-bit palette", MakeBmp(3, 1, 8, {0, 1, 7}, palette), {255, 0, 0, 0, 0, 255, 0, 0, 0}},
      {"top-down rows turned over", MakeBmp(1, -2, 24, {1, 1, 1, 2, 2, 2}), {2, 2, 2, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    DecodeResult result = DecodeBmp(c.file, image);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(image.components, 3u);
    EXPECT_EQ(image.pixels, c.expected);
  }
}

TEST(BmpDecoder, RefusesUnsupportedAndBrokenFiles) {
  Bytes notBmp = MakeBmp(1, 1, 24, {1, 2, 3});
  notBmp[0] = 'X';
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"wrong magic", notBmp},
      {"16-bit", MakeBmp(1, 1, 16, {1, 2})},
      {"run-length compressed", MakeBmp(1, 1, 8, {0}, {0, 0, 0, 0}, 1)},
      {"zero width", MakeBmp(0, 1, 24, {})},
      {"too tall", MakeBmp(1, 20000, 24, Bytes(60000, 0))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    EXPECT_FALSE(DecodeBmp(c.file, image).ok);
  }
  ExpectEveryPrefixRefused(DecodeBmp, MakeBmp(2, 2, 8, {0, 1, 1, 0}, {1, 2, 3, 0, 4, 5, 6, 0}));
  const Bytes header = MakeBmp(4, 4, 24, Bytes(48, 1));
  ExpectGarbageRefused(DecodeBmp, Bytes(header.begin(), header.begin() + 54));
}

TEST(BmpDecoder, ReadsThirtyTwoBitsWithStandardMasksAsUncompressed) {
  const uint32_t withAlpha[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  const uint32_t noAlpha[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  const Bytes rows = {1, 2, 3, 99, 4, 5, 6, 0};
  const Bytes expected = {3, 2, 1, 6, 5, 4};
  for (uint32_t infoBytes : {40u, 108u, 124u}) {
    for (const auto* masks : {&withAlpha, &noAlpha}) {
      SCOPED_TRACE(testing::Message() << infoBytes << "-byte header, alpha mask " << (*masks)[3]);
      DecodedImage image;
      DecodeResult result = DecodeBmp(MakeBitfieldsBmp(infoBytes, 2, 1, 32, rows, *masks), image);
      ASSERT_TRUE(result.ok) << result.error;
      EXPECT_EQ(image.pixels, expected);
    }
  }
}

TEST(BmpDecoder, RefusesOtherChannelMasksWithTheirReason) {
  struct Case {
    const char* name;
    Bytes file;
    const char* reason;
  };
  const uint32_t swapped[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  const uint32_t oddAlpha[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x000000FF};
  const uint32_t rgb565[4] = {0xF800, 0x07E0, 0x001F, 0};
  const Bytes pixel = {1, 2, 3, 4};
  const Bytes header40 = MakeBitfieldsBmp(40, 1, 1, 32, pixel, swapped);
  const Case cases[] = {
      {"red and blue swapped", header40, "BMP channel masks are not supported"},
      {"alpha in the blue byte", MakeBitfieldsBmp(124, 1, 1, 32, pixel, oddAlpha),
       "BMP channel masks are not supported"},
      {"16-bit masks", MakeBitfieldsBmp(108, 2, 1, 16, pixel, rgb565), "BMP channel masks are read only at 32 bits"},
      {"masks cut off", Bytes(header40.begin(), header40.begin() + 60), "BMP channel masks are truncated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    DecodeResult result = DecodeBmp(c.file, image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, c.reason);
  }
  const uint32_t standard[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  ExpectEveryPrefixRefused(DecodeBmp, MakeBitfieldsBmp(40, 2, 2, 32, Bytes(16, 7), standard));
}

TEST(FlipImageRows, ReversesRowOrder) {
  Bytes pixels = {1, 1, 1, 2, 2, 2, 3, 3, 3};
  FlipImageRows(24, 1, 3, pixels.data());
  EXPECT_EQ(pixels, (Bytes{3, 3, 3, 2, 2, 2, 1, 1, 1}));
}

}  // namespace
