// Glyph text drawn on an offscreen context from a sheet the test writes as a
// PNG file and loads through the texture manager.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/tests/support/ImageFiles.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/tests/support/GuiCanvas.h"
#include "game/puzzle/GlyphText.h"
#include "support/GlyphSheet.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class GlyphTextDevice : public ::testing::Test {
 protected:
  void SetUp() override { window_.Open("glyph text device test", kWidth, kHeight); }
  void TearDown() override { window_.Close(); }

  RendererTestWindow window_;
};

TEST_F(GlyphTextDevice, ATextDrawsUprightAndInOrderFromASheetQueuedAtInit) {
  const std::string path = "glyphsheet_device.png";
  ASSERT_TRUE(WriteBytes(path, MakePng(puzzle_test::GlyphSheetPng())));
  CTEXManager* textures = CTEXManager::GetInstance();
  CTEXTexture* sheet = textures->GetTextureByFileName(path.c_str());
  GlyphText font;
  // As the loading screen does: the sheet is still queued at Init.
  font.Init(sheet);
  textures->LoadQueued(false);
  ASSERT_EQ(sheet->Width(), 512u);

  BeginCanvas(kWidth, kHeight);
  font.DrawAt("SCORE 0123", 100.0f, 300.0f);
  glFinish();
  // 32-unit glyphs centred on the pen; the space moves it by half a glyph.
  const char* text = "SCORE0123";
  const float centres[] = {100, 132, 164, 196, 228, 276, 308, 340, 372};
  for (int i = 0; i < 9; ++i) {
    const int glyph = GlyphText::MapChar(static_cast<unsigned char>(text[i])).index;
    const int x = static_cast<int>(centres[i]);
    const puzzle_test::SheetPixel top = puzzle_test::ReadSheetPixel(x, 292, kHeight);
    const puzzle_test::SheetPixel bottom = puzzle_test::ReadSheetPixel(x, 308, kHeight);
    EXPECT_EQ(top.glyph, glyph) << text[i];
    EXPECT_TRUE(top.upperHalf) << text[i];
    EXPECT_EQ(bottom.glyph, glyph) << text[i];
    EXPECT_FALSE(bottom.upperHalf) << text[i];
  }
  // Between glyph cells and beside the text the screen stays black.
  EXPECT_EQ(puzzle_test::ReadSheetPixel(60, 300, kHeight).glyph, -1);
  EXPECT_EQ(puzzle_test::ReadSheetPixel(250, 300, kHeight).glyph, -1);
  std::remove(path.c_str());
}

}  // namespace
