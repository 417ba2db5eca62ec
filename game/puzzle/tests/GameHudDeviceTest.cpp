// The HUD drawn by the window manager on an offscreen context, under the
// application's layer filter, with glyph fonts on a coded sheet.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/tests/support/ImageFiles.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/tests/support/GuiCanvas.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/GlyphText.h"
#include "support/GlyphSheet.h"

namespace {

using puzzle_test::ReadSheetPixel;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class GameHudDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open("hud device test", kWidth, kHeight);
    ASSERT_TRUE(WriteBytes(sheetPath_, MakePng(puzzle_test::GlyphSheetPng())));
    CTEXManager* textures = CTEXManager::GetInstance();
    CTEXTexture* sheet = textures->GetTextureByFileName(sheetPath_.c_str());
    TransparentBackground();
    textures->LoadQueued(false);
    GlyphText::NewArray(8);
    for (uint32_t i = 0; i < 8; ++i) GlyphFont(i)->Init(sheet);
    GetWindowManager()->SetLayerFilter(true, GameHud::kLayer);
  }
  void TearDown() override {
    GlyphText::NewArray(0);
    window_.Close();
    std::remove(sheetPath_.c_str());
  }

  // The data ships "HUDBackground" as a fully transparent picture.
  static void TransparentBackground() {
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture("hudbackground");
    texture->SetMipmap(false);
    std::vector<uint8_t> clear(4 * 4 * 4, 0);
    ASSERT_TRUE(texture->CreateBlank(4, 4, clear.data()));
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("HUDBackground");
    ASSERT_TRUE(material->AllocateStages(1));
    CMATStage* stage = material->GetStage(0);
    stage->flags = StageFlag::SOLID | StageFlag::MAP;
    stage->texture = texture;
  }

  // The glyph a pixel shows and which half of its cell.
  static void ExpectGlyph(int x, int y, char c, bool upper) {
    const puzzle_test::SheetPixel pixel = ReadSheetPixel(x, y, kHeight);
    EXPECT_EQ(pixel.glyph, GlyphText::MapChar(static_cast<unsigned char>(c)).index) << c << " at " << x << "," << y;
    EXPECT_EQ(pixel.upperHalf, upper) << c << " at " << x << "," << y;
  }

  RendererTestWindow window_;
  std::string sheetPath_ = "hudsheet_device.png";
};

TEST_F(GameHudDevice, CountersStandWhereTheTableSaysOverAnUntouchedFrame) {
  GameHud hud;
  hud.SetDefaultFrame(0);
  GetGUIMSGService()->Post(eMSG_GUISHOW, -1, hud.GetId(), 0, 0.0);
  ASSERT_TRUE(hud.HasState(GUIState::kShown));
  hud.timeLeft = 75.0f;
  hud.elapsed = 3725.0f;
  hud.totalStars = 12;

  DrawWindowsOnCanvas(kWidth, kHeight);

  // "Score": 16-unit label glyphs ending at 792, the first centred on 720.
  const char* score = "SCORE";
  for (int i = 0; i < 5; ++i) {
    ExpectGlyph(720 + 16 * i, 22, score[i], true);
    ExpectGlyph(720 + 16 * i, 30, score[i], false);
  }
  // "00000000" at the font's own 32 units, also ending at 792.
  ExpectGlyph(552, 43, '0', true);
  ExpectGlyph(776, 59, '0', false);
  // The countdown "01:15" at 808 - w with w = 4 x 32 + 21, y 221.
  ExpectGlyph(808 - 149 + 32, 213, '1', true);
  ExpectGlyph(776, 229, '5', false);
  // The game clock "01:02:05" at 24 units, y 397: its last glyph centred
  // on 808 - 24.
  ExpectGlyph(784, 391, '5', true);
  ExpectGlyph(784, 403, '5', false);

  // Everything else stays as it was (black): the background is clear.
  for (const auto& p : {std::pair{100, 100}, {400, 300}, {10, 590}, {700, 500}, {600, 26}}) {
    float rgba[4] = {1, 1, 1, 1};
    glReadPixels(p.first, kHeight - 1 - p.second, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    EXPECT_LT(rgba[0] + rgba[1] + rgba[2], 0.02f) << p.first << "," << p.second;
  }
}

}  // namespace
