// A framed window with a title bar and a caption drawn on an offscreen
// context, then dragged and closed through injected mouse messages.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/TitleBar.h"
#include "engine/gui/Window.h"
#include "engine/gui/tests/support/GuiCanvas.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "platform/GlWindow.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class GuiDrawDevice : public ::testing::Test {
 protected:
  void SetUp() override { window_.Open("gui device test", kWidth, kHeight); }
  void TearDown() override { window_.Close(); }

  // A one-stage material of a solid colour.
  static CMATMaterial* Solid(const char* name, uint8_t r, uint8_t g, uint8_t b) {
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture(name);
    std::vector<uint8_t> texels;
    for (int i = 0; i < 16; ++i) texels.insert(texels.end(), {r, g, b});
    texture->SetMipmap(false);
    EXPECT_TRUE(texture->CreateBlank(4, 4, texels.data()));
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(name);
    EXPECT_TRUE(material->AllocateStages(1));
    CMATStage* stage = material->GetStage(0);
    stage->flags = StageFlag::SOLID | StageFlag::MAP;
    stage->texture = texture;
    return material;
  }

  // A font of 16 x 16 cells on a white sheet.
  static int WhiteFont() {
    const int index = WhiteSheetFont("guifont");
    GFXFont* font = GFXDisplay::GetFont(index);
    font->widths['A'] = 16;
    font->BuildLists();
    return index;
  }

  static void Frame() { DrawWindowsOnCanvas(kWidth, kHeight); }

  static std::vector<float> Pixel(int x, int y) {
    std::vector<float> rgba(4, -1.0f);
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_FLOAT, rgba.data());
    return rgba;
  }

  static void ExpectColour(int x, int y, float r, float g, float b, const char* where) {
    const std::vector<float> pixel = Pixel(x, y);
    EXPECT_NEAR(pixel[0], r, 0.02f) << where;
    EXPECT_NEAR(pixel[1], g, 0.02f) << where;
    EXPECT_NEAR(pixel[2], b, 0.02f) << where;
  }

  // The application's input path: cursor position, then the message to the manager.
  static void Mouse(uint32_t id, int x, int y) {
    GetMouseCursor()->SetPosition(x, y);
    CMSGSystem::Get()->Post(id, -1, GetWindowManager()->receiverId, 0, 0.0);
  }

  RendererTestWindow window_;
};

TEST_F(GuiDrawDevice, FramedWindowWithTitleBarDrawsDragsAndCloses) {
  GetMouseCursor()->SetScale(kWidth, kHeight);
  Window window;
  window.Show(true);
  window.Activate(true);
  window.SetRect(
      [] {
        Rect r;
        r.SetPositionSize({100, 100}, {300, 200});
        return r;
      }(),
      [] {
        Rect r;
        r.SetPositionSize({120, 120}, {260, 160});
        return r;
      }());
  ASSERT_TRUE(window.SetImageMaterial(1, Solid("green", 0, 255, 0)));
  window.CreateTitleBar("A", GUIStyle::kTitleButtons);
  TitleBar* bar = window.GetTitleBar();
  ASSERT_NE(bar, nullptr);
  bar->SetImageMaterial(1, Solid("red", 255, 0, 0));
  CMATMaterial* blue = Solid("blue", 0, 0, 255);
  for (Icon* button : {&bar->closeButton, &bar->minimiseButton, &bar->maximiseButton}) {
    button->SetImageMaterial(1, blue);
    button->SetStyle(button->GetStyle() & ~GUIStyle::kBandStrip);
  }
  const float white[4] = {1, 1, 1, 1};
  bar->SetStyles(WhiteFont(), white);
  bar->alignment = 0x02;  // centred both ways
  window.LayoutFrameChildren();

  Frame();
  ExpectColour(110, 200, 0, 1, 0, "left border");
  ExpectColour(250, 200, 0, 1, 0, "client area");
  ExpectColour(130, 110, 1, 0, 0, "title bar");
  ExpectColour(390, 110, 0, 0, 1, "close button");
  ExpectColour(250, 110, 1, 1, 1, "caption glyph");
  ExpectColour(50, 50, 0, 0, 0, "background");

  // Drag by the title bar: press on it, move by (50, 40), release.
  Mouse(eMSG_UIOMOUSEMOVE, 150, 110);
  EXPECT_EQ(GetWindowManager()->GetFocusedElement(), bar);
  Mouse(eMSG_UIOLMB_DOWN, 150, 110);
  ASSERT_TRUE(bar->HasState(GUIState::kPressed));
  Mouse(eMSG_UIOMOUSEMOVE, 200, 150);
  Mouse(eMSG_UIOLMB_UP, 200, 150);
  EXPECT_FALSE(bar->HasState(GUIState::kPressed));
  EXPECT_FLOAT_EQ(window.outer.min.x, 150);
  EXPECT_FLOAT_EQ(window.outer.min.y, 140);
  Frame();
  ExpectColour(110, 200, 0, 0, 0, "old left border");
  ExpectColour(160, 250, 0, 1, 0, "moved left border");
  ExpectColour(180, 150, 1, 0, 0, "moved title bar");

  // Close: the close button sits at the bar's right end, (430..450, 140..160).
  Mouse(eMSG_UIOMOUSEMOVE, 440, 150);
  EXPECT_EQ(GetWindowManager()->GetFocusedElement(), &bar->closeButton);
  Mouse(eMSG_UIOLMB_DOWN, 440, 150);
  EXPECT_FALSE(window.HasState(GUIState::kShown));
  Frame();
  ExpectColour(160, 250, 0, 0, 0, "closed window");
}

TEST_F(GuiDrawDevice, AWindowsViewportFollowsTheDisplaySizeWhenPushed) {
  Window window;
  Rect area;
  area.SetPositionSize({100, 150}, {400, 300});
  window.SetRect(area, area);
  // The display was rebuilt larger after the window was laid out.
  GetDisplay()->SetSize(1024, 768);
  window.PushViewport(0.1f, 500.0f);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  window.PopViewport();
  GetDisplay()->SetSize(kWidth, kHeight);
  EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{128, 192, 512, 384}));
}

}  // namespace
