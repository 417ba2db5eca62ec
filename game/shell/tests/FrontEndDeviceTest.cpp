// The front end drawn by the window manager on an offscreen context with
// glyph fonts over white sheets, so every drawn glyph is a white cell.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/tests/support/GuiCanvas.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/GlyphText.h"
#include "game/shell/GlyphCanvas.h"
#include "support/FrontEndTestSupport.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class FrontEndDevice : public shell_test::MenuWindowTest {
 protected:
  void SetUp() override {
    window_.Open("front end device test", kWidth, kHeight);
    GlyphText::NewArray(8);
    CTEXTexture* sheet = CTEXManager::GetInstance()->CreateTexture("whiteglyphs");
    std::vector<uint8_t> texels(512 * 512 * 3, 255);
    sheet->SetMipmap(false);
    ASSERT_TRUE(sheet->CreateBlank(512, 512, texels.data()));
    for (uint32_t font = 0; font < 8; ++font) GlyphFont(font)->Init(sheet);
  }
  void TearDown() override {
    frontEnd_.reset();
    GlyphText::NewArray(0);
    GetWindowManager()->SetLayerFilter(false, 0.0f);
    window_.Close();
  }
  // True when a pixel of the row between x = 200 and 600 is lit.
  static bool Lit(int y) {
    std::vector<float> rgba(400 * 4, 0.0f);
    glReadPixels(200, kHeight - 1 - y, 400, 1, GL_RGBA, GL_FLOAT, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4) {
      if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 0.5f) return true;
    }
    return false;
  }

  RendererTestWindow window_;
};

TEST_F(FrontEndDevice, TheMainMenuDrawsItsRowsOnTheFilteredLayer) {
  Build();
  frontEnd_->SetCanvas(CreateGlyphCanvas());
  GetWindowManager()->SetLayerFilter(true, 10.0f);
  GetGUIMSGService()->Post(eMSG_GUIACTIVATE, -1, frontEnd_->GetId(), 0, 0.0);
  GetGUIMSGService()->Post(eMSG_GUISHOW, -1, frontEnd_->GetId(), 0, 0.0);
  Wait(GFrontEnd::kFadeSeconds);
  ASSERT_FLOAT_EQ(frontEnd_->fadeChannel.output, 1.0f);
  while (glGetError() != GL_NO_ERROR) {
  }

  DrawWindowsOnCanvas(kWidth, kHeight);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // The title and the six items, centred on x = 400.
  for (int y : {272, 336, 368, 400, 432, 464, 496}) EXPECT_TRUE(Lit(y)) << y;
  // Above the title and between it and the items.
  for (int y : {120, 240, 304}) EXPECT_FALSE(Lit(y)) << y;

  // Off the filtered layer it is not drawn.
  frontEnd_->SetLayer(0.0f);
  DrawWindowsOnCanvas(kWidth, kHeight);
  EXPECT_FALSE(Lit(336));
}

}  // namespace
