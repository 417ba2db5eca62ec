// The help window drawn on an offscreen context after it has slid in from
// the top: its key list sits on the 16-unit text grid of its client area.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/foundation/Clock.h"
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
#include "engine/gui/tests/support/GuiCanvas.h"
#include "engine/tools/HelpWindow.h"
#include "platform/GlWindow.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class HelpWindowDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open("help window device test", kWidth, kHeight);
    Clock::Instance().SetFixedStep(0.125f);
  }
  void TearDown() override {
    Clock::Instance().SetFixedStep(0.0f);
    window_.Close();
  }

  // A font whose every glyph is a white 16 x 16 block.
  static int BlockFont() {
    const int index = WhiteSheetFont("helpfont");
    GFXFont* font = GFXDisplay::GetFont(index);
    std::memset(font->widths, 16, sizeof(font->widths));
    font->BuildLists();
    return index;
  }

  static void Frame() { DrawWindowsOnCanvas(kWidth, kHeight); }

  static bool IsWhite(int x, int y) {
    float rgba[4] = {-1, -1, -1, -1};
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    return rgba[0] > 0.9f && rgba[1] > 0.9f && rgba[2] > 0.9f;
  }

  RendererTestWindow window_;
};

TEST_F(HelpWindowDevice, SlidesDownFromTheTopAndPrintsTheKeyListOnItsGrid) {
  HelpWindow help;
  help.SetDefaultFrame(BlockFont());
  // Only the printed text is looked at: no frame image, no clipping.
  help.SetStyle(help.GetStyle() & ~(GUIStyle::kFrame | GUIStyle::kClip));
  help.Activate(true);
  // Developer layers are drawn once the filter lets them through, as the developer key does.
  GetWindowManager()->SetLayerFilter(false, 200.0f);
  EXPECT_FLOAT_EQ(help.GetLayer(), 100.0f);
  EXPECT_EQ(help.name, "Vyre Help");

  help.Show(true);
  for (int i = 0; i < 4 && help.GetPendingState() != nullptr; ++i) help.Update();
  help.Update();
  EXPECT_LT(help.outer.min.y, -300.0f);  // a quarter of the way down from -568
  for (int i = 0; i < 3; ++i) help.Update();
  EXPECT_FLOAT_EQ(help.outer.min.x, 32.0f);
  EXPECT_FLOAT_EQ(help.outer.min.y, 0.0f);
  EXPECT_FLOAT_EQ(help.inner.min.y, 16.0f);

  Frame();
  // Client area starts at (48, 16); a cell is 16 units; sample cell centres.
  auto cell = [](int column, int line) { return std::make_pair(48 + column * 16 + 8, 16 + line * 16 + 8); };
  struct Probe {
    int column, line;
    bool white;
    const char* what;
  } probes[] = {
      {1, 1, true, "left heading"},
      {1, 2, false, "empty line 2"},
      {1, 7, true, "[F11] line"},
      {1, 13, true, "[SPACE] line"},
      {1, 14, false, "below the left column"},
      {0, 7, false, "left of the left column"},
      {25, 1, true, "right heading"},
      {25, 2, false, "empty line 2 of the right column"},
      {25, 10, true, "[MOUSE] line"},
  };
  for (const Probe& p : probes) {
    const auto [x, y] = cell(p.column, p.line);
    EXPECT_EQ(IsWhite(x, y), p.white) << p.what << " at " << x << "," << y;
  }
}

}  // namespace
