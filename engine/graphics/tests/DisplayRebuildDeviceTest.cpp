// Rebuilding the window and its GL context (a display-mode change): every GL
// object and state is lost, so shader programs are built again at their table
// indices and the render word is sent whole to the new context.

#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/display/Display.h"
#include "platform/GlWindow.h"
#include "support/GlTestWindow.h"
#include "support/ScratchRunFolder.h"

namespace {

constexpr uint32_t kDeleted = uint32_t(-1);

class DisplayRebuildDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    GFX_GL::ResetDriverQueries();
    display_.Configure("Display rebuild test", 32, 32, 32, false);
  }
  void TearDown() override {
    display_.KillGLWindow();
    CDisplay::SetHooks(DisplayHooks{});
    GFXDisplay::ForgetBindings();
    GFXDisplay::SetDefaultMaterial(nullptr);
    CMATManager::DestroyInstance();
    CTEXManager::DestroyInstance();
  }

  CDisplay display_;
};

// The link status of a program object in the current context (0 when the
// name is no program there).
int LinkStatus(uint32_t program) {
  auto parameter =
      reinterpret_cast<PFNGLGETOBJECTPARAMETERIVARBPROC>(platform::GetGlProcAddress("glGetObjectParameterivARB"));
  GLint linked = 0;
  parameter(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
  while (glGetError() != GL_NO_ERROR) {
  }
  return linked;
}

bool Logged(const LogCapture& log, const std::string& prefix) {
  for (const std::string& line : log.Lines()) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST_F(DisplayRebuildDevice, ShadersAreBuiltAgainAtTheirIndicesInTheNewContext) {
  ScratchRunFolder run;
  const std::string vertexSource = "void main() { gl_Position = ftransform(); }\n";
  const std::string pixelSource = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";
  ASSERT_TRUE(run.WriteText("good.vs", vertexSource));
  ASSERT_TRUE(run.WriteText("good.ps", pixelSource));
  ASSERT_TRUE(run.WriteText("edited.vs", vertexSource));

  GFXDisplay::InstallHooks();  // the window's creation and kill start and stop the GL back end
  ASSERT_TRUE(display_.Recreate());
  ASSERT_EQ(GFX_GL::LoadShader("good.vs", "good.ps"), 1);
  ASSERT_EQ(GFX_GL::LoadShader("edited.vs", "good.ps"), 2);
  ASSERT_EQ(GFX_GL::LoadShader("good.vs", "good.ps"), 3);
  GFX_GL::DeleteShader(3);
  // Edited while the game runs: it no longer compiles when rebuilt.
  ASSERT_TRUE(run.WriteText("edited.vs", "void main() { this is not glsl }\n"));

  ASSERT_TRUE(display_.Recreate());
  LogCapture log(kLogGFX);
  GFX_GL::ReinstallShaders();

  EXPECT_EQ(GFX_GL::GetShaderCount(), 4);
  EXPECT_EQ(GFX_GL::GetShaderHandle(0), 0u);
  EXPECT_TRUE(log.Has("Reinstalling 2 shaders..."));
  EXPECT_TRUE(log.Has("Shader[1] installed."));
  EXPECT_NE(LinkStatus(GFX_GL::GetShaderHandle(1)), 0);
  GFX_GL::UseShader(1);
  EXPECT_EQ(GLuint(GlInteger(GL_CURRENT_PROGRAM)), GFX_GL::GetShaderHandle(1));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  GFX_GL::UseShader(0);

  EXPECT_TRUE(Logged(log, "Vertex Shader[2] : Compilation "));
  EXPECT_TRUE(Logged(log, "Shader[2] : Linking failed - "));
  EXPECT_NE(GFX_GL::GetShaderHandle(2), 0u) << "a failed rebuild keeps its index";
  EXPECT_NE(GFX_GL::GetShaderHandle(2), kDeleted);
  EXPECT_EQ(LinkStatus(GFX_GL::GetShaderHandle(2)), 0);

  EXPECT_EQ(GFX_GL::GetShaderHandle(3), kDeleted) << "a deleted entry stays deleted";
  EXPECT_FALSE(Logged(log, "Shader[3]"));
}

TEST_F(DisplayRebuildDevice, ResetSendsTheWholeWordToTheNewContext) {
  using namespace RenderFlag;
  // No GL back end on the display: only the reset stands between the old
  // word and the fresh context.
  CDisplay::SetHooks(DisplayHooks{});
  ASSERT_TRUE(display_.Recreate());
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("rebuild");
  ASSERT_NE(material, nullptr);
  GFXDisplay::SetMaterial(material);
  ASSERT_EQ(GFXDisplay::GetCurrentMaterial(), material);
  const GFXRenderFlags word = CULLBACK | DEPTHTEST | BLENDING | WIREFRAME;
  GFXDisplay::SetRenderState(word);
  ASSERT_TRUE(glIsEnabled(GL_DEPTH_TEST));

  ASSERT_TRUE(display_.Recreate());
  ASSERT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << "a new context starts with every state off";
  GFXDisplay::ResetRenderStateCache();
  EXPECT_EQ(GFXDisplay::GetCurrentMaterial(), nullptr);
  EXPECT_EQ(GFXDisplay::GetRenderState(), word) << "the word itself is kept";

  EXPECT_EQ(GFXDisplay::SetRenderState(word), word);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(GlInteger(GL_CULL_FACE_MODE), GL_BACK);
  GLint polygonModes[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, polygonModes);
  EXPECT_EQ(polygonModes[0], GL_LINE);

  // Only one apply is sent whole; the next is a difference again.
  glDisable(GL_BLEND);
  GFXDisplay::SetRenderState(word);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
