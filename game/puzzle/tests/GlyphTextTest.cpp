#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "engine/graphics/Texture.h"
#include "engine/graphics/tests/support/FakeTextureUploader.h"
#include "game/puzzle/GlyphText.h"
#include "support/GameTestSupport.h"

namespace {

struct DrawnGlyph {
  float frame;
  Rect rect;
  Rect uv;
  float alpha;
};

// Records what each Render would draw; Update is the sprite's own, so the
// frame copy and the re-centring are the real ones.
class RecordingSprite : public GFXSprite {
 public:
  explicit RecordingSprite(std::vector<DrawnGlyph>* out) : drawn(out) {}
  void Render() override {
    if (!visible || image == nullptr) return;
    drawn->push_back({flipbook->frame.value, rect, uv, colour[3]});
  }
  std::vector<DrawnGlyph>* drawn;
};

class GlyphDrawTest : public ::testing::Test {
 protected:
  void SetUp() override { font_.sprite = std::make_unique<RecordingSprite>(&drawn_); }
  void MakeSheet(CTEXTexture& sheet) { ASSERT_TRUE(sheet.CreateBlank(512, 512, nullptr)); }

  FakeTextureUploader uploader_;
  std::vector<DrawnGlyph> drawn_;
  GlyphText font_;
};

TEST(GlyphMap, EveryCharacterHasItsCellAndAdvance) {
  const struct {
    unsigned char c;
    int32_t index;
    int32_t advance;
  } cases[] = {
      {'0', 0, 64},   {'9', 9, 64},   {'+', 10, 64},  {'-', 11, 64},  {'=', 12, 64}, {'?', 13, 64}, {'!', 14, 46},
      {'*', 15, 64},  {'A', 16, 64},  {'a', 16, 64},  {'I', 24, 42},  {'i', 24, 42}, {'z', 41, 64}, {':', 42, 42},
      {'/', 43, 64},  {'(', 44, 49},  {')', 45, 49},  {'.', 46, 42},  {'%', 47, 64}, {',', 48, 46}, {' ', -1, 32},
      {'\r', 15, 64}, {'\'', 15, 64}, {0xE9, 15, 64}, {0x7F, 15, 64}, {'[', 15, 64}, {'@', 15, 64},
  };
  for (const auto& c : cases) {
    const GlyphMapping glyph = GlyphText::MapChar(c.c);
    EXPECT_EQ(glyph.index, c.index) << int(c.c);
    EXPECT_EQ(glyph.advance, c.advance) << int(c.c);
  }
}

TEST(GlyphMap, MeasureSumsTheAdvancesWithoutASheet) {
  GlyphText font;
  EXPECT_FLOAT_EQ(font.Measure("10:05"), (64 + 64 + 42 + 64 + 64) / 64.0f * 32.0f);
  EXPECT_FLOAT_EQ(font.Measure("10:05", 16.0f), (64 + 64 + 42 + 64 + 64) / 64.0f * 16.0f);
  EXPECT_FLOAT_EQ(font.Measure("a I"), 32.0f + 16.0f + 21.0f);
  EXPECT_FLOAT_EQ(font.Measure(""), 0.0f);
  EXPECT_FLOAT_EQ(font.Measure(nullptr), 0.0f);
}

TEST_F(GlyphDrawTest, GlyphsAreCentredOnThePenNarrowOnesShiftedLeft) {
  CTEXTexture sheet;
  MakeSheet(sheet);
  font_.Init(&sheet);
  font_.Draw("1 I");
  ASSERT_EQ(drawn_.size(), 2u);  // the space draws nothing
  EXPECT_FLOAT_EQ(drawn_[0].frame, 1.0f);
  EXPECT_FLOAT_EQ(drawn_[1].frame, 24.0f);
  // The pen stands at 32 + 16 when the I comes; it lacks 22/64 of a width.
  EXPECT_FLOAT_EQ(drawn_[0].rect.centre.x, 0.0f);
  EXPECT_FLOAT_EQ(drawn_[1].rect.centre.x, 48.0f - 22.0f / 64.0f * 32.0f);
  for (const DrawnGlyph& glyph : drawn_) {
    EXPECT_FLOAT_EQ(glyph.rect.centre.y, 0.0f);
    // Corners relative to the centre: Render translates to the centre.
    EXPECT_FLOAT_EQ(glyph.rect.min.x, -16.0f);
    EXPECT_FLOAT_EQ(glyph.rect.max.x, 16.0f);
    EXPECT_FLOAT_EQ(glyph.rect.min.y, -16.0f);
  }
}

TEST_F(GlyphDrawTest, EveryGlyphShowsItsOwnCell) {
  CTEXTexture sheet;
  MakeSheet(sheet);
  font_.Init(&sheet);
  // One character of each cell, in cell order.
  const std::string all = "0123456789+-=?!*ABCDEFGHIJKLMNOPQRSTUVWXYZ:/().%,";
  ASSERT_EQ(all.size(), 49u);
  font_.Draw(all.c_str());
  ASSERT_EQ(drawn_.size(), 49u);
  std::set<std::pair<float, float>> corners;
  for (const DrawnGlyph& glyph : drawn_) {
    // 68-texel pitch on 512 texels: 7 glyphs a row, from the top.
    const int index = static_cast<int>(glyph.frame);
    EXPECT_EQ(index, &glyph - drawn_.data());
    const int column = index % 7;
    const int row = index / 7;
    EXPECT_NEAR(glyph.uv.min.x * 512.0f, 68.0f * column + 1.0f, 1e-3f) << index;
    EXPECT_NEAR(glyph.uv.max.x * 512.0f, 68.0f * column + 69.0f, 1e-3f) << index;
    EXPECT_NEAR((1.0f - glyph.uv.min.y) * 512.0f, 68.0f * row + 1.0f, 1e-3f) << index;
    corners.insert({glyph.uv.min.x, glyph.uv.min.y});
  }
  EXPECT_EQ(corners.size(), 49u);
}

TEST_F(GlyphDrawTest, SizeAndAlphaHoldForOneCall) {
  CTEXTexture sheet;
  MakeSheet(sheet);
  font_.Init(&sheet);
  font_.Draw("00", {16.0f, 0.25f});
  font_.Draw("0");
  ASSERT_EQ(drawn_.size(), 3u);
  EXPECT_FLOAT_EQ(drawn_[1].rect.centre.x, 16.0f);
  EXPECT_FLOAT_EQ(drawn_[1].rect.max.x, 8.0f);
  EXPECT_FLOAT_EQ(drawn_[1].alpha, 0.25f);
  EXPECT_FLOAT_EQ(drawn_[2].rect.max.x, 16.0f);
  EXPECT_FLOAT_EQ(drawn_[2].alpha, 1.0f);
  EXPECT_FLOAT_EQ(font_.glyphSize.x, 32.0f);
}

// DrawnBox tells without a sheet what DrawAt then covers: the cells of the
// drawn glyphs where they land, narrow glyphs shifted left, spaces left out.
TEST_F(GlyphDrawTest, TheDrawnBoxIsWhatDrawAtCovers) {
  CTEXTexture sheet;
  MakeSheet(sheet);
  const struct {
    const char* text;
    std::optional<float> size;
  } cases[] = {
      {"Game Over", std::nullopt}, {"I", std::nullopt}, {" I! ", 16.0f}, {"Out of time!", 14.5f}, {"(1.5)", 64.0f},
  };
  for (const auto& c : cases) {
    const Rect predicted = font_.DrawnBox(c.text, 100.0f, 250.0f, c.size);
    drawn_.clear();
    font_.Init(&sheet);
    font_.DrawAt(c.text, 100.0f, 250.0f, {c.size, std::nullopt});
    ASSERT_FALSE(drawn_.empty()) << c.text;
    Rect covered{{1e9f, 1e9f}, {-1e9f, -1e9f}, {}};
    for (const DrawnGlyph& glyph : drawn_) {
      covered.min.x = std::min(covered.min.x, glyph.rect.centre.x + glyph.rect.min.x);
      covered.min.y = std::min(covered.min.y, glyph.rect.centre.y + glyph.rect.min.y);
      covered.max.x = std::max(covered.max.x, glyph.rect.centre.x + glyph.rect.max.x);
      covered.max.y = std::max(covered.max.y, glyph.rect.centre.y + glyph.rect.max.y);
    }
    EXPECT_NEAR(predicted.min.x, covered.min.x, 1e-3f) << c.text;
    EXPECT_NEAR(predicted.max.x, covered.max.x, 1e-3f) << c.text;
    EXPECT_NEAR(predicted.min.y, covered.min.y, 1e-3f) << c.text;
    EXPECT_NEAR(predicted.max.y, covered.max.y, 1e-3f) << c.text;
  }
  // Nothing drawn covers only the point.
  for (const char* nothing : {"", "   "}) {
    const Rect box = font_.DrawnBox(nothing, 100.0f, 250.0f);
    EXPECT_EQ(box.min.x, 100.0f);
    EXPECT_EQ(box.max.x, 100.0f);
    EXPECT_EQ(box.max.y, 250.0f);
  }
}

TEST_F(GlyphDrawTest, NothingIsDrawnBeforeInit) {
  font_.Draw("123");
  EXPECT_TRUE(drawn_.empty());
}

TEST_F(GlyphDrawTest, ASheetQueuedAtInitIsLaidOutOnceItHasASize) {
  CTEXTexture sheet;  // queued: no size yet
  font_.Init(&sheet);
  MakeSheet(sheet);
  font_.Draw("1");
  ASSERT_EQ(drawn_.size(), 1u);
  EXPECT_NEAR(drawn_[0].uv.min.x * 512.0f, 69.0f, 1e-3f);
  EXPECT_NEAR(drawn_[0].uv.max.x * 512.0f, 137.0f, 1e-3f);
}

TEST(GlyphFonts, TheGameMakesEightAndAnIndexPastThemTakesTheLast) {
  puzzle_test::GameFixture fixture;
  puzzle_test::FakeServices services;
  GlyphText::NewArray(0);
  ASSERT_EQ(GlyphFont(0), nullptr);
  Game game(services);
  ASSERT_EQ(GlyphFontCount(), 8u);
  EXPECT_NE(GlyphFont(0), GlyphFont(7));
  EXPECT_EQ(GlyphFont(8), GlyphFont(7));
  EXPECT_EQ(GlyphFont(0xFFFFFFFFu), GlyphFont(7));
  EXPECT_EQ(GlyphFont(3)->texture, nullptr);
  EXPECT_FLOAT_EQ(GlyphFont(3)->glyphSize.x, 32.0f);
}

}  // namespace
