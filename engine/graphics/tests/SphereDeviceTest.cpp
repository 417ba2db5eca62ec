// The textured sphere on a real (offscreen) context: which side shows under
// back culling in either winding, and that its texture coordinates run from
// pole to pole.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/graphics/GFXDisplay.h"
#include "support/GlTestWindow.h"

namespace {

constexpr int kSide = 32;

class SphereDevice : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    glViewport(0, 0, kSide, kSide);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.1, 0.1, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // Two rows of texels: v = 0 red, v = 1 green.
    const unsigned char texels[] = {255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0};
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
  void TearDown() override {
    glDeleteTextures(1, &texture_);
    GlContextTest::TearDown();
  }

  // The centre pixel after drawing a sphere of radius 5 around the viewer
  // (or in front of it when outside), cleared to blue first.
  static void Draw(const Vector3& centre, bool inside) {
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GFXDisplay::DrawTexturedSphere(centre, 5.0f, inside);
    glFinish();
  }
  static void CentrePixel(float rgb[3]) { glReadPixels(kSide / 2, kSide / 2, 1, 1, GL_RGB, GL_FLOAT, rgb); }

  GLuint texture_ = 0;
};

TEST_F(SphereDevice, TheRequestedSideShowsUnderBackCullingInEitherWinding) {
  struct Case {
    GLenum winding;
    bool inside;
    Vector3 centre;  // the viewer looks down -z from the origin
    bool shows;
  };
  const Vector3 around(0.0f, 0.0f, 0.0f);
  const Vector3 ahead(0.0f, 0.0f, -20.0f);
  // (An inside sphere seen from outside shows its far half's inner faces,
  // so only the outside sphere seen from inside vanishes entirely.)
  const Case cases[] = {
      {GL_CW, true, around, true},    {GL_CCW, true, around, true}, {GL_CW, false, around, false},
      {GL_CCW, false, around, false}, {GL_CW, false, ahead, true},  {GL_CCW, false, ahead, true},
  };
  for (const Case& c : cases) {
    glFrontFace(c.winding);
    Draw(c.centre, c.inside);
    float rgb[3] = {};
    CentrePixel(rgb);
    const bool drawn = rgb[2] < 0.5f;
    EXPECT_EQ(drawn, c.shows) << "winding " << (c.winding == GL_CW ? "cw" : "ccw") << " inside " << c.inside
                              << " centre z " << c.centre.z;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SphereDevice, TextureCoordinatesRunFromTheLowerPoleToTheUpper) {
  glFrontFace(GL_CW);
  float rgb[3] = {};
  Draw(Vector3(), true);  // looking at the -z pole: v near 0
  CentrePixel(rgb);
  EXPECT_GT(rgb[0], 0.9f);
  EXPECT_LT(rgb[1], 0.1f);

  glRotatef(180.0f, 0.0f, 1.0f, 0.0f);  // at the +z pole: v near 1
  Draw(Vector3(), true);
  CentrePixel(rgb);
  EXPECT_LT(rgb[0], 0.1f);
  EXPECT_GT(rgb[1], 0.9f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
