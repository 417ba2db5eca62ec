// The display on a real window and GL context (Mesa's offscreen driver).

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/display/Display.h"

namespace {

uint32_t gRenderState = 0x20;
std::vector<uint32_t> gAppliedStates;
int gGlStarts = 0;
int gGlStops = 0;

DisplayHooks RecordingHooks() {
  DisplayHooks hooks;
  hooks.startGl = [] { ++gGlStarts; };
  hooks.stopGl = [] { ++gGlStops; };
  hooks.getRenderState = [] { return gRenderState; };
  hooks.setRenderState = [](uint32_t word) {
    gAppliedStates.push_back(word);
    gRenderState = word;
    return word;
  };
  return hooks;
}

// Canvas point through the current model-view and projection to normalised
// device coordinates.
void CanvasToNdc(float x, float y, float* ndcX, float* ndcY) {
  float modelView[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  float eye[4], clip[4];
  const float in[4] = {x, y, 0.0f, 1.0f};
  for (int r = 0; r < 4; ++r) {
    eye[r] = 0.0f;
    for (int c = 0; c < 4; ++c) eye[r] += modelView[c * 4 + r] * in[c];
  }
  for (int r = 0; r < 4; ++r) {
    clip[r] = 0.0f;
    for (int c = 0; c < 4; ++c) clip[r] += projection[c * 4 + r] * eye[c];
  }
  *ndcX = clip[0] / clip[3];
  *ndcY = clip[1] / clip[3];
}

class DisplayDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    EnableTestLogChannels();
    CDisplay::SetHooks(RecordingHooks());
  }
  void TearDown() override { CDisplay::SetHooks(DisplayHooks{}); }
};

TEST_F(DisplayDevice, OpensClearsToTheClearColourAndCloses) {
  CDisplay display;
  display.Configure("Display test", 160, 120, 32, false);
  ASSERT_TRUE(display.Recreate());
  EXPECT_TRUE(display.HasState(CDisplay::kCreated));
  EXPECT_TRUE(display.HasContext());
  EXPECT_EQ(gGlStarts, 1);
  EXPECT_GE(CountLogLines(kLogGFX, "Enumerating display modes..."), 1);
  EXPECT_FALSE(display.GetDevices().empty());

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 160);
  EXPECT_EQ(viewport[3], 120);

  display.BeginFrame();
  EXPECT_EQ(display.GetFrameCounter(), 1u);
  EXPECT_TRUE(display.IsFrameBegun());
  unsigned char pixel[4] = {};
  glReadPixels(80, 60, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_NEAR(pixel[2], 64, 1);
  EXPECT_EQ(pixel[3], 255);

  const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
  display.SetClearColour(red);
  display.BeginFrame();  // presents the open frame first
  glReadPixels(80, 60, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  display.Present();
  EXPECT_FALSE(display.IsFrameBegun());

  display.KillGLWindow();
  EXPECT_EQ(gGlStops, 1);
  EXPECT_FALSE(display.HasContext());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no context: calls are ignored";
}

TEST_F(DisplayDevice, OverlayMapsTheCanvasCornersAndRestoresState) {
  CDisplay display;
  display.Configure("Display test", 200, 100, 32, false);
  ASSERT_TRUE(display.Recreate());
  gAppliedStates.clear();
  gRenderState = 0x20;

  display.BeginOrtho2D(nullptr);
  EXPECT_TRUE(display.HasState(CDisplay::kOverlay));
  struct Corner {
    float x, y, ndcX, ndcY;
  };
  const Corner corners[] = {{0, 0, -1, 1}, {800, 0, 1, 1}, {0, 600, -1, -1}, {800, 600, 1, -1}, {400, 300, 0, 0}};
  for (const Corner& c : corners) {
    float x, y;
    CanvasToNdc(c.x, c.y, &x, &y);
    EXPECT_NEAR(x, c.ndcX, 1e-5) << c.x << "," << c.y;
    EXPECT_NEAR(y, c.ndcY, 1e-5) << c.x << "," << c.y;
  }
  GLint depthFunction = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
  EXPECT_EQ(depthFunction, GL_ALWAYS);
  GLint scissor[4];
  glGetIntegerv(GL_SCISSOR_BOX, scissor);
  EXPECT_EQ(scissor[2], 200);
  EXPECT_EQ(scissor[3], 100);
  display.BeginOrtho2D(nullptr);  // already pushed: nothing more is pushed

  display.EndOrtho2D();
  EXPECT_FALSE(display.HasState(CDisplay::kOverlay));
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
  EXPECT_EQ(depthFunction, GL_LESS);
  EXPECT_EQ(gAppliedStates, (std::vector<uint32_t>{CDisplay::kOverlayRenderState, 0x20}));
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_EQ(projection[0], 1.0f) << "the projection is popped back to identity";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "pushes and pops balance";

  // A canvas rectangle becomes a pixel scissor box with y flipped.
  Rect box;
  box.SetPositionSize(Vector2(400, 0), Vector2(400, 300));
  display.BeginOrtho2D(&box);
  glGetIntegerv(GL_SCISSOR_BOX, scissor);
  EXPECT_EQ(scissor[0], 100);
  EXPECT_EQ(scissor[1], 50);
  EXPECT_EQ(scissor[2], 100);
  EXPECT_EQ(scissor[3], 50);
  display.EndOrtho2D();
}

TEST_F(DisplayDevice, ScriptedNoToTheFullscreenQuestionStillOpensAWindow) {
  setenv("VYRE_MESSAGEBOX", "no", 1);
  CDisplay display;
  // The offscreen display lists no real mode, so the switch is refused.
  display.Configure("Display test", 1000, 700, 32, true);
  ASSERT_TRUE(display.Recreate());
  EXPECT_TRUE(display.HasState(CDisplay::kCreated));
  EXPECT_TRUE(display.HasState(CDisplay::kFullscreen));
  display.BeginFrame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  display.KillGLWindow();
}

// However the refused full-screen switch is answered, the frame is drawn for
// the window the player gets: the viewport is its drawable area, and the
// overlay's bottom right corner is the window's bottom right pixel.
TEST_F(DisplayDevice, ARefusedFullScreenIsDrawnForTheWindowItLeaves) {
  for (const char* answer : {"no", "yes"}) {
    SCOPED_TRACE(answer);
    const bool covered = std::string(answer) == "no";
    setenv("VYRE_MESSAGEBOX", answer, 1);
    CDisplay display;
    // Larger than the offscreen screen, which lists no real mode: refused.
    display.Configure("Display test", 1280, 1024, 32, true);
    ASSERT_TRUE(display.Recreate());
    EXPECT_EQ(display.HasState(CDisplay::kFullscreen), covered);
    int width = 0;
    int height = 0;
    display.GetWindow()->GetDrawableSize(&width, &height);
    if (covered) {
      EXPECT_LT(width, 1280) << "the window covers the screen at the screen's own mode";
    }
    EXPECT_EQ(display.GetWidth(), width);
    EXPECT_EQ(display.GetHeight(), height);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);

    display.BeginFrame();
    display.BeginOrtho2D(nullptr);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRectf(790.0f, 590.0f, 800.0f, 600.0f);
    display.EndOrtho2D();
    unsigned char pixel[4] = {};
    glReadPixels(width - 2, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 255);
    display.KillGLWindow();
  }
  setenv("VYRE_MESSAGEBOX", "no", 1);
}

TEST_F(DisplayDevice, RebuildGivesAWorkingContext) {
  CDisplay display;
  display.Configure("Display test", 64, 64, 32, false);
  ASSERT_TRUE(display.Recreate());
  display.SetDepth(16);
  ASSERT_TRUE(display.HasState(CDisplay::kChangePending));
  ASSERT_TRUE(display.Recreate());
  display.BeginFrame();
  unsigned char pixel[4] = {};
  glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_NEAR(pixel[2], 64, 1) << "the stored clear colour survives the rebuild";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
