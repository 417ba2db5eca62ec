// The developer console drawn on offscreen contexts of two sizes over a
// long log of long lines: every line stays inside the console's client area
// and the line typed at the prompt shows below it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/LogChannel.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGSystemWindow.h"

namespace {

constexpr float kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};

// A GUI rectangle in window pixels (y down), grown by a pixel on every side
// for the rounding of the scale.
struct PixelBox {
  int x0, y0, x1, y1;
  bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};
PixelBox ToPixels(const Rect& rect, int width, int height) {
  const float sx = width / 800.0f;
  const float sy = height / 600.0f;
  return {int(rect.min.x * sx) - 1, int(rect.min.y * sy) - 1, int(rect.max.x * sx) + 2, int(rect.max.y * sy) + 2};
}

// The GUI windows drawn as the HUD pass draws them: the 800 x 600 screen
// over the whole window.
void DrawGui(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 600, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GetWindowManager()->DrawWindows();
  glFinish();
}

TEST(ConsoleDevice, LinesStayInsideTheFrameAndTheTypedLineShowsAtBothSizes) {
  for (const auto& [width, height] : {std::make_pair(800, 600), std::make_pair(1024, 768)}) {
    SCOPED_TRACE(width);
    RendererTestWindow window;
    window.Open("console device test", width, height);
    GetDisplay()->SetSize(width, height);
    const int font = WhiteSheetFont("consolefont");
    GFXFont* glyphs = GFXDisplay::GetFont(font);
    std::memset(glyphs->widths, 16, sizeof glyphs->widths);
    glyphs->BuildLists();
    GetWindowManager()->SetLayerFilter(false, 200.0f);
    {
      DBGSystemWindow system;
      system.SetDefaultFrame(font);
      ConsoleWindow& console = *system.GetConsoleWindow();
      ConsoleInputBox& prompt = *system.GetPromptBox();
      // Only the text is looked at: no frame images.
      console.SetStyle(console.GetStyle() & ~GUIStyle::kFrame);
      prompt.SetStyle(prompt.GetStyle() & ~GUIStyle::kFrame);
      prompt.SetStyles(font, kGreen);
      system.Show(true);
      console.Show(true);
      Clock::Instance().SetFixedStep(0.125f);
      for (int frame = 0; frame < 12; ++frame) GetWindowManager()->UpdateWindows();
      Clock::Instance().SetFixedStep(0.0f);
      prompt.SetText("LIST");
      // Far more lines than a page holds, each wider than the screen.
      const std::string wide(120, 'W');
      for (int i = 0; i < 300; ++i) GetLogChannel(0)->Write(String(wide.c_str()), kGreen);
      // The first draw moves the bar to the newest line, the second shows it.
      DrawGui(width, height);
      DrawGui(width, height);

      std::vector<uint8_t> pixels(size_t(width) * height * 4);
      glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
      const PixelBox client = ToPixels(console.inner, width, height);
      const PixelBox promptStrip = ToPixels(prompt.outer, width, height);
      int inClient = 0;
      int inPrompt = 0;
      int outside = 0;
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const uint8_t* p = &pixels[(size_t(height - 1 - y) * width + x) * 4];
          if (!(p[1] > 200 && p[0] < 60 && p[2] < 60)) continue;
          if (client.Contains(x, y)) {
            ++inClient;
          } else if (promptStrip.Contains(x, y)) {
            ++inPrompt;
          } else {
            ++outside;
          }
        }
      }
      EXPECT_GT(inClient, width * height / 20) << "the page of lines";
      EXPECT_GT(inPrompt, 0) << "the typed line";
      EXPECT_EQ(outside, 0) << "green drawn outside the console's client area and the prompt";
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    GetLogChannel(0)->Clear();
    window.Close();
  }
  GetDisplay()->SetSize(800, 600);
}

}  // namespace
