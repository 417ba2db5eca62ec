// Textures reach the driver with their pixels intact and bind as intended.

#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/graphics/TextureManager.h"
#include "engine/graphics/TextureUploader.h"
#include "support/GlTestWindow.h"

namespace {

using TextureUploadDevice = GlContextTest;

std::vector<uint8_t> ReadBackLevel0(GLenum format, size_t bytes) {
  std::vector<uint8_t> pixels(bytes, 0xEE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(TextureUploadDevice, OddWidthRgbRowsArriveUnshifted) {
  // Three RGB pixels a row: 9 bytes, which a 4-byte unpack alignment would
  // read as 12 and shear the second row.
  const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  TextureUploader& uploader = ActiveTextureUploader();
  const uint32_t name = uploader.Create(3, 2, kGLFormatRGB, false, pixels.data());
  ASSERT_NE(name, 0u);
  EXPECT_EQ(GLuint(GlInteger(GL_TEXTURE_BINDING_2D)), name);
  EXPECT_EQ(ReadBackLevel0(GL_RGB, pixels.size()), pixels);
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST);
  uploader.Delete(name);
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureUploadDevice, MipmappedRgbaBindsWithTheAlphaTest) {
  const std::vector<uint8_t> pixels(4 * 4 * 4, 200);
  TextureUploader& uploader = ActiveTextureUploader();
  const uint32_t name = uploader.Create(4, 4, kGLFormatRGBA, true, pixels.data());
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR_MIPMAP_NEAREST);
  EXPECT_EQ(ReadBackLevel0(GL_RGBA, pixels.size()), pixels);

  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  uploader.Bind(name, true);
  EXPECT_EQ(GLuint(GlInteger(GL_TEXTURE_BINDING_2D)), name);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(GlInteger(GL_ALPHA_TEST_FUNC), GL_GREATER);
  GLfloat reference = 0;
  glGetFloatv(GL_ALPHA_TEST_REF, &reference);
  EXPECT_FLOAT_EQ(reference, 0.1f);

  glDisable(GL_ALPHA_TEST);
  uploader.Bind(name, false);
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Holds a texture with a GL name the way the game does (the manager first,
// the upload later) and ends the process with exit(), as Xlib does when the
// X server goes away: the manager's static reaper then releases the texture
// after every static built later than itself has been destroyed.
[[noreturn]] void HoldATextureAndExit() {
  std::unique_ptr<platform::GlWindow> window = platform::CreateSdlGlWindow();
  platform::GlWindowConfig config;
  config.width = 32;
  config.height = 32;
  config.hidden = true;
  if (!window->Open(config)) {
    std::fprintf(stderr, "no GL window: %s\n", window->LastErrorText().c_str());
    std::_Exit(2);
  }
  CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture(String("held"));
  if (texture == nullptr || !texture->CreateBlank(4, 4, nullptr)) std::_Exit(3);
  std::exit(0);
}

TEST(TextureExitDeathTest, AHeldTextureIsReleasedCleanlyByTheStaticDestructors) {
  // A fresh process, so the statics are built in the order the game builds them.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(HoldATextureAndExit(), testing::ExitedWithCode(0), testing::Not(testing::HasSubstr("runtime error")));
}

}  // namespace
