// Textures loaded by the manager reach GL and draw with their pixels.

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "support/GlTestWindow.h"
#include "support/ImageFiles.h"
#include "support/ScratchRunFolder.h"

namespace {

using TextureDevice = GlContextTest;

// Draws the bound texture over the whole viewport and reads the centre pixel.
std::vector<uint8_t> DrawAndReadCentre() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  std::vector<uint8_t> pixel(4, 0);
  glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

TEST_F(TextureDevice, LoadedTexturesUploadBindAndDraw) {
  ScratchRunFolder folder;
  ASSERT_TRUE(folder.Write("TEXDefault.TGA", MakeTga(2, 2, 2, 32, Bytes(16, 255))));
  // A 3 x 3 RGB PNG of one grey: rows of 9 bytes, not a multiple of 4.
  ASSERT_TRUE(
      folder.Write("Textures/Tile.png", MakePng({3, 3, PNG_COLOR_TYPE_RGB, 8, Bytes(27, 0x80), {}, {}, false})));
  ASSERT_TRUE(
      folder.Write("Textures/Clear.png", MakePng({1, 1, PNG_COLOR_TYPE_RGBA, 8, {255, 0, 0, 10}, {}, {}, false})));

  CTEXManager manager;
  CTEXTexture* tile = manager.GetTextureByFileName("tile");
  CTEXTexture* clear = manager.GetTextureByFileName("clear.png");
  manager.LoadQueued(false);
  ASSERT_EQ(tile->Status(), kTextureLoaded) << tile->Message().Chars();
  ASSERT_EQ(clear->Status(), kTextureLoaded);
  EXPECT_TRUE(glIsTexture(tile->GLName()));

  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::TEXTURED);
  tile->Bind();
  EXPECT_EQ(GLuint(GlInteger(GL_TEXTURE_BINDING_2D)), tile->GLName());
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  const std::vector<uint8_t> drawn = DrawAndReadCentre();
  EXPECT_NEAR(drawn[0], 0x80, 2);
  EXPECT_NEAR(drawn[2], 0x80, 2);

  // An RGBA texture binds with the alpha test; its texel (alpha 10/255)
  // fails the test at 0.1, so nothing is drawn; the next apply ends it.
  clear->Bind();
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(DrawAndReadCentre()[0], 0);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::TEXTURED);
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(DrawAndReadCentre()[0], 255);

  // A display change: everything is unloaded and reloaded on the next step.
  const GLuint oldName = tile->GLName();
  manager.UnloadAll();
  EXPECT_FALSE(glIsTexture(oldName));
  manager.LoadQueued(false);
  EXPECT_EQ(tile->Status(), kTextureLoaded);
  EXPECT_TRUE(glIsTexture(tile->GLName()));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
