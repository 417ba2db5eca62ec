// A real window and compatibility-profile context on Mesa's offscreen driver.

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/GlWindow.h"
#include "platform/tests/support/UnservedDisplay.h"

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

TEST(GlWindowDevice, ReopensAfterCloseOnTheSameDisplayConnectionWithAWorkingContext) {
  auto window = CreateSdlGlWindow();
  ASSERT_TRUE(window->Open(SmallHiddenWindow()));
  window->Close();
  // Connecting to the display anew for every display change would let a
  // refused connection end the program; the connection outlives the window.
  EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  // A display change rebuilds the window: the new context must not lean on
  // the deleted one.
  ASSERT_TRUE(window->Open(SmallHiddenWindow())) << window->LastErrorText();
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  window.reset();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "the window object lets go of the display when it ends";
}

// A side longer than any window may have is the size's fault, told apart
// from the driver's failures: the caller may try another size, and that
// size opens.
TEST(GlWindowDevice, AWindowLargerThanAnyIsRefusedForItsSize) {
  auto window = CreateSdlGlWindow();
  for (const auto& [width, height] : {std::pair{20000, 48}, std::pair{64, 20000}}) {
    GlWindowConfig config = SmallHiddenWindow();
    config.width = width;
    config.height = height;
    EXPECT_FALSE(window->Open(config));
    EXPECT_EQ(window->LastError(), GlWindowError::SizeRefused) << width << " x " << height;
    EXPECT_FALSE(window->LastErrorText().empty());
  }
  ASSERT_TRUE(window->Open(SmallHiddenWindow())) << window->LastErrorText();
  EXPECT_EQ(window->LastError(), GlWindowError::None);
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

// Opens a window where no display answers; reports what Open said and ends.
[[noreturn]] void OpenWithNoDisplay(const char* videoDriver) {
  alarm(30);  // a fall-back that hangs fails the test instead of stalling it
  PointVideoAtUnservedDisplay(videoDriver);
  auto window = CreateSdlGlWindow();
  const bool opened = window->Open(SmallHiddenWindow());
  const bool unavailable = window->LastError() == GlWindowError::VideoUnavailable;
  std::fprintf(stderr, "opened %d unavailable %d: %s\n", opened, unavailable, window->LastErrorText().c_str());
  std::fflush(stderr);
  std::_Exit(0);
}

// Without a display SDL falls back to a driver that draws where nobody sees;
// that is no window for a player, so Open refuses and names the display. Only
// a driver asked for by name (as the tests ask for offscreen) draws unseen.
TEST(GlWindowDeathTest, NoReachableDisplayIsRefusedAndNamed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string refused = "opened 0 unavailable 1: no display answers at \"" + std::string(kUnservedDisplay) + "\"";
  EXPECT_EXIT(OpenWithNoDisplay(nullptr), testing::ExitedWithCode(0), testing::HasSubstr(refused));
  EXPECT_EXIT(OpenWithNoDisplay("x11"), testing::ExitedWithCode(0), testing::HasSubstr(refused));
  EXPECT_EXIT(OpenWithNoDisplay("offscreen"), testing::ExitedWithCode(0), testing::HasSubstr("opened 1 unavailable 0"));
}

}  // namespace
}  // namespace platform
