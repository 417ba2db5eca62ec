// The render word's transitions, read back from a real GL context.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/graphics/RenderState.h"
#include "support/GlTestWindow.h"

namespace {

using namespace RenderFlag;

class RenderStateDevice : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    // Texture parameters need a bound texture.
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
  }
  GLuint texture_ = 0;
};

GLint FrontPolygonMode() {
  GLint modes[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  return modes[0];
}

TEST_F(RenderStateDevice, StartupWordFillsTexturesDepthTestsAndCullsBackFaces) {
  EXPECT_EQ(GFXDisplay::SetRenderState(STARTUP), STARTUP);
  EXPECT_EQ(GFXDisplay::GetRenderState(), 0x82cu);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(GlInteger(GL_CULL_FACE_MODE), GL_BACK);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(FrontPolygonMode(), GL_FILL);
  EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CW);
}

TEST_F(RenderStateDevice, CullingTransitionsFollowTheSideBits) {
  struct Case {
    const char* name;
    GFXRenderFlags to;
    bool culling;
    GLint cullFace;
  };
  const Case cases[] = {
      {"back to front", CULLFRONT | SOLID, true, GL_FRONT},
      // Dropping the back bit with no side bit turns culling to the front,
      // as the engine has always done.
      {"back to no side", SOLID | DEPTHTEST, true, GL_FRONT},
      {"back to double-sided", DBLSIDED | SOLID, false, GL_BACK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GFXDisplay::SetRenderState(CULLBACK | SOLID);
    GFXDisplay::SetRenderState(c.to);
    EXPECT_EQ(bool(glIsEnabled(GL_CULL_FACE)), c.culling);
    if (c.culling) {
      EXPECT_EQ(GlInteger(GL_CULL_FACE_MODE), c.cullFace);
    }
  }
}

TEST_F(RenderStateDevice, EachCapabilityTurnsOnAndOffWithItsBit) {
  struct Case {
    GFXRenderFlags flag;
    GLenum capability;
  };
  const Case cases[] = {{LIGHTING, GL_LIGHTING},        {DEPTHTEST, GL_DEPTH_TEST}, {BLENDING, GL_BLEND},
                        {STENCILTEST, GL_STENCIL_TEST}, {SCISSOR, GL_SCISSOR_TEST}, {TEXTURED, GL_TEXTURE_2D}};
  GFXDisplay::SetRenderState(SOLID);
  for (const Case& c : cases) {
    SCOPED_TRACE(GFXDisplay::RenderFlagsToText(c.flag));
    GFXDisplay::SetRenderState(SOLID | c.flag);
    EXPECT_TRUE(glIsEnabled(c.capability));
    GFXDisplay::SetRenderState(SOLID);
    EXPECT_FALSE(glIsEnabled(c.capability));
  }

  GFXDisplay::SetRenderState(SOLID | TWOSIDEDLIGHTING | FLATSHADING | CLAMP_S | CLAMP_T);
  EXPECT_EQ(GlInteger(GL_LIGHT_MODEL_TWO_SIDE), 1);
  EXPECT_EQ(GlInteger(GL_SHADE_MODEL), GL_FLAT);
  GLint wrap[2] = {0, 0};
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap[1]);
  EXPECT_EQ(wrap[0], GL_CLAMP);
  EXPECT_EQ(wrap[1], GL_CLAMP);
  GFXDisplay::SetRenderState(SOLID);
  EXPECT_EQ(GlInteger(GL_LIGHT_MODEL_TWO_SIDE), 0);
  EXPECT_EQ(GlInteger(GL_SHADE_MODEL), GL_SMOOTH);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap[1]);
  EXPECT_EQ(wrap[0], GL_REPEAT);
  EXPECT_EQ(wrap[1], GL_REPEAT);
}

TEST_F(RenderStateDevice, FillModeFollowsTheFirstMatchingBit) {
  GFXDisplay::SetRenderState(SOLID);
  GFXDisplay::SetRenderState(WIREFRAME);
  EXPECT_EQ(FrontPolygonMode(), GL_LINE);
  GFXDisplay::SetRenderState(POINTS | WIREFRAME);
  EXPECT_EQ(FrontPolygonMode(), GL_POINT);
  GFXDisplay::SetRenderState(TEXTURED);
  EXPECT_EQ(FrontPolygonMode(), GL_FILL);
}

TEST_F(RenderStateDevice, TextureGenerationStartsAndResets) {
  GFXDisplay::SetRenderState(SOLID | ENVIRONMENT_MAPPING);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
  GLint mode = 0;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_SPHERE_MAP);

  // Straight from sphere map to planar: the enabling pass runs first, so the
  // reset of the dropped sphere map leaves generation off.
  GFXDisplay::SetRenderState(SOLID | PLANAR_MAPPING);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  GFXDisplay::SetRenderState(SOLID);
  GFXDisplay::SetRenderState(SOLID | PLANAR_MAPPING);
  glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_OBJECT_LINEAR);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));

  GFXDisplay::SetRenderState(SOLID);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_OBJECT_LINEAR);
}

TEST_F(RenderStateDevice, AlphaTestNeverOutlivesAnApply) {
  GFXDisplay::SetRenderState(SOLID | ALPHATEST);
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  glEnable(GL_ALPHA_TEST);  // as a bind of an RGBA texture does
  GFXDisplay::SetRenderState(SOLID | ALPHATEST);
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(RenderStateDevice, RepeatedWordSendsNothingButWindingAndAlpha) {
  GFXDisplay::SetRenderState(STARTUP);
  // State changed behind the layer's back stays as it is: only differences
  // reach GL.
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  GFXDisplay::WindingFlag() = 1;
  GFXDisplay::SetRenderState(STARTUP);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CCW);
}

TEST_F(RenderStateDevice, TagStateSavesTheReplacedWordAndOverrideLocks) {
  GFXDisplay::SetRenderState(STARTUP);
  const GFXRenderFlags tagged = TAG_STATE | SOLID | BLENDING | SCISSOR;
  EXPECT_EQ(GFXDisplay::SetRenderState(tagged), tagged);
  EXPECT_EQ(GFXDisplay::GetSavedRenderState(), STARTUP);
  EXPECT_EQ(GFXDisplay::GetRenderState(), tagged);

  GFXDisplay::LockRenderState(true);
  const GFXRenderFlags locked = GFXDisplay::GetRenderState();
  EXPECT_EQ(GFXDisplay::SetRenderState(SOLID | LIGHTING), locked);
  EXPECT_EQ(GFXDisplay::GetRenderState(), locked);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));

  GFXDisplay::LockRenderState(false);
  GFXDisplay::SetRenderState(SOLID | LIGHTING);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
