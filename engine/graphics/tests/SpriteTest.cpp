#include <gtest/gtest.h>

#include <vector>

#include "engine/graphics/GFXFlipbook.h"
#include "engine/graphics/GFXSprite.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/tests/support/FakeTextureUploader.h"

namespace {

struct GridCase {
  uint32_t columns;
  uint32_t rows;
  float frame;
  float left, upper, right, lower;
};

class FlipbookGridTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(FlipbookGridTest, FrameSelectsItsCell) {
  const GridCase& c = GetParam();
  GFXFlipbook book;
  book.SetGrid(nullptr, c.columns, c.rows);
  book.SetStepper(ValueStepper::kClamp, 0.0f, static_cast<float>(c.columns * c.rows), c.frame, 0.0f);
  book.active = true;
  book.Update(0.0f);
  EXPECT_NEAR(book.frameRect.min.x, c.left, 1e-5f);
  EXPECT_NEAR(book.frameRect.min.y, c.upper, 1e-5f);
  EXPECT_NEAR(book.frameRect.max.x, c.right, 1e-5f);
  EXPECT_NEAR(book.frameRect.max.y, c.lower, 1e-5f);
}

// The last frame of a row must stay on that row: 7 and 15 columns give a
// float reciprocal just under a whole number.
INSTANTIATE_TEST_SUITE_P(Grids, FlipbookGridTest,
                         ::testing::Values(GridCase{4, 4, 5.0f, 0.25f, 0.75f, 0.5f, 0.5f},
                                           GridCase{4, 4, 0.0f, 0.0f, 1.0f, 0.25f, 0.75f},
                                           GridCase{7, 2, 6.0f, 6.0f / 7.0f, 1.0f, 1.0f, 0.5f},
                                           GridCase{7, 2, 7.0f, 0.0f, 0.5f, 1.0f / 7.0f, 0.0f},
                                           GridCase{15, 1, 14.0f, 14.0f / 15.0f, 1.0f, 1.0f, 0.0f}));

TEST(FlipbookTest, FrameSizeWithGapAndUnloadedTexture) {
  FakeTextureUploader uploader;
  CTEXTexture texture;
  std::vector<uint8_t> pixels(256 * 128 * 4, 0);
  ASSERT_TRUE(texture.CreateBlank(256, 128, pixels.data()));
  GFXFlipbook book;
  book.SetFrameSize(&texture, 2.0f, 2.0f, 60.0f, 60.0f);
  EXPECT_FLOAT_EQ(book.gap.x, 2.0f / 256.0f);
  EXPECT_FLOAT_EQ(book.cell.y, 60.0f / 128.0f);
  book.active = true;
  book.SetStepper(ValueStepper::kClamp, 0.0f, 8.0f, 5.0f, 0.0f);
  book.Update(0.0f);  // 64-texel steps: 4 per row, frame 5 at column 1, row 1
  EXPECT_FLOAT_EQ(book.frameRect.min.x, 64.0f / 256.0f + 1.0f / 256.0f);
  EXPECT_FLOAT_EQ(book.frameRect.min.y, 1.0f - (64.0f / 128.0f + 1.0f / 128.0f));

  CTEXTexture unloaded;
  GFXFlipbook empty;
  empty.SetFrameSize(&unloaded, 2.0f, 2.0f, 64.0f, 64.0f);
  empty.active = true;
  empty.Update(1.0f);
  EXPECT_EQ(empty.cell.x, 0.0f);
  EXPECT_EQ(empty.frameRect.min, Vector2(0.0f, 1.0f));
  EXPECT_EQ(empty.frameRect.max, Vector2(1.0f, 0.0f));
}

TEST(FlipbookTest, StepsAtItsRateAndListModeShowsTextures) {
  CTEXTexture a, b, c;
  CTEXTexture* list[] = {&a, &b, &c};
  GFXFlipbook book;
  book.SetTextures(list, 3);
  book.SetStepper(ValueStepper::kWrap, 0.0f, 2.9f, 0.0f, 4.0f);
  book.Update(0.5f);  // inactive: keeps its frame
  EXPECT_EQ(book.frame.value, 0.0f);
  book.active = true;
  book.Update(0.25f);
  EXPECT_FLOAT_EQ(book.frame.value, 1.0f);
  EXPECT_FLOAT_EQ(book.frame.rate, 4.0f);
  EXPECT_EQ(book.currentTexture, &b);
  book.Clear();
  EXPECT_EQ(book.mode, GFXFlipbook::kOff);
  EXPECT_EQ(book.textures, nullptr);
}

TEST(SpriteTest, UpdateRecentresAndMirroringReversesSpin) {
  GFXSprite plain, mirrored;
  for (GFXSprite* s : {&plain, &mirrored}) {
    s->rect.min = Vector2(10.0f, 20.0f);
    s->rect.max = Vector2(30.0f, 60.0f);
    s->rect.centre = Vector2(100.0f, 50.0f);
    s->animated = s->spinning = true;
    s->rotation.Set(0, 0.0f, 0.0f, 0.0f, 90.0f);
  }
  mirrored.mirrorX = true;
  plain.Update(0.5f);
  mirrored.Update(0.5f);
  EXPECT_FLOAT_EQ(plain.rotation.value, 45.0f);
  EXPECT_FLOAT_EQ(mirrored.rotation.value, -45.0f);
  EXPECT_FLOAT_EQ(plain.rotation.rate, 90.0f);
  EXPECT_EQ(plain.rect.min, Vector2(-10.0f, -20.0f));
  EXPECT_EQ(plain.rect.max, Vector2(10.0f, 20.0f));
  EXPECT_EQ(plain.rect.centre, Vector2(100.0f, 50.0f));
}

TEST(SpriteTest, AlphaFollowsFadeOnlyWithFadeAlpha) {
  GFXSprite s;
  s.colour[3] = 0.7f;
  s.animated = s.fading = true;
  s.fade.Set(AnimChannel::kLinear, false, 1.0f, 0.0f, 1.0f);
  s.Update(0.5f);
  EXPECT_FLOAT_EQ(s.DrawnAlpha(), 0.7f);
  s.fadeAlpha = true;
  EXPECT_FLOAT_EQ(s.DrawnAlpha(), 0.5f);
}

TEST(SpriteTest, FlipbookAndSizeToTexture) {
  FakeTextureUploader uploader;
  CTEXTexture texture;
  std::vector<uint8_t> pixels(128 * 64 * 4, 0);
  ASSERT_TRUE(texture.CreateBlank(128, 64, pixels.data()));
  GFXFlipbook book;
  book.SetGrid(&texture, 4, 2);
  GFXSprite s;
  s.SetFlipbook(&book);
  EXPECT_TRUE(book.active);
  EXPECT_EQ(s.image, &texture);
  s.SizeToTexture();
  EXPECT_FLOAT_EQ(s.rect.Width(), 32.0f);
  EXPECT_FLOAT_EQ(s.rect.Height(), 32.0f);
  s.PointAt(Vector2(0.0f, 5.0f));
  EXPECT_FLOAT_EQ(s.rotation.value, 90.0f);
  EXPECT_TRUE(s.pointing);
}

}  // namespace
