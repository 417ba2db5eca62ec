// A real window and compatibility-profile context on Mesa's offscreen driver.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/GlWindow.h"

namespace platform {
namespace {

GlWindowConfig SmallHiddenWindow() {
  GlWindowConfig config;
  config.title = "device test";
  config.width = 64;
  config.height = 48;
  config.hidden = true;
  return config;
}

TEST(GlWindowDevice, OpensClearsAndReadsBackAPixel) {
  auto window = CreateSdlGlWindow();
  ASSERT_TRUE(window->Open(SmallHiddenWindow())) << window->LastErrorText();
  EXPECT_TRUE(window->IsOpen());
  EXPECT_TRUE(window->MakeCurrent());

  // Fixed-function state must exist: this is a compatibility context.
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  EXPECT_NE(std::strstr(version, "Compatibility"), nullptr) << version;
  int width = 0, height = 0;
  window->GetDrawableSize(&width, &height);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  EXPECT_TRUE(window->DepthBits() == 24 || window->DepthBits() == 16) << window->DepthBits();

  glClearColor(0.0f, 0.0f, 0.25f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_NEAR(pixel[2], 64, 1);
  EXPECT_EQ(pixel[3], 255);
  EXPECT_NE(GetGlProcAddress("glActiveTextureARB"), nullptr);
  EXPECT_TRUE(IsGlExtensionSupported("GL_ARB_multitexture"));
  EXPECT_FALSE(IsGlExtensionSupported("GL_NOT_AN_extension"));

  window->SwapBuffers();
  window->Close();
  EXPECT_FALSE(window->IsOpen());
  window->Close();  // closing twice is harmless
}

TEST(GlWindowDevice, ReopensAfterCloseWithAWorkingContext) {
  auto window = CreateSdlGlWindow();
  ASSERT_TRUE(window->Open(SmallHiddenWindow()));
  window->Close();
  // A display change rebuilds the window: the new context must not lean on
  // the deleted one.
  ASSERT_TRUE(window->Open(SmallHiddenWindow())) << window->LastErrorText();
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GlWindowDevice, ListsDisplaysAndRefusesAnUnlistedFullscreenSize) {
  auto window = CreateSdlGlWindow();
  ASSERT_TRUE(window->Open(SmallHiddenWindow()));
  std::vector<DisplayDevice> displays = window->EnumerateDisplays();
  ASSERT_FALSE(displays.empty());
  EXPECT_FALSE(displays[0].name.empty());
  // The offscreen display lists no real mode, so an exclusive switch is refused
  // while the desktop-covering fall-back works.
  EXPECT_FALSE(window->EnterFullscreen(1234, 567, 32));
  EXPECT_TRUE(window->EnterDesktopFullscreen());
  window->LeaveFullscreen();
  int x = -1, y = -1;
  EXPECT_TRUE(window->GetPosition(&x, &y));
}

}  // namespace
}  // namespace platform
