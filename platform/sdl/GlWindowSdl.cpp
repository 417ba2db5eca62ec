// The window and GL context over SDL2.

#include <SDL2/SDL.h>

#include <string>
#include <utility>

#include "platform/GlWindow.h"
#include "platform/sdl/DisplayLossX11.h"
#include "platform/sdl/SdlInputState.h"

namespace platform {
namespace {

constexpr int kPreferredDepthBits = 24;
constexpr int kFallbackDepthBits = 16;
// SDL makes no window with a longer side (some platforms fail on larger ones).
constexpr int kLargestWindowSide = 16384;

bool LargerThanAnyWindow(const GlWindowConfig& config) {
  return config.width > kLargestWindowSide || config.height > kLargestWindowSide;
}

void RequestContextAttributes(int depthBits) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  // Share display lists only with a context that is alive and current at
  // creation; a context destroyed by an earlier display change is never
  // named as a partner.
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, SDL_GL_GetCurrentContext() ? 1 : 0);
}

int BitsPerPixel(Uint32 format) { return SDL_BYTESPERPIXEL(format) * 8; }

// Drivers that draw where nobody can see. SDL falls back to them when no
// display answers; a player would then get a program running with no window.
bool ShowsNothing(const char* driver) {
  for (const char* hidden : {"offscreen", "dummy", "evdev"}) {
    if (SDL_strcasecmp(driver, hidden) == 0) return true;
  }
  return false;
}

// True when SDL_VIDEODRIVER asks for the driver by name (tests draw offscreen).
bool AskedForByName(const char* driver) {
  const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
  return wanted != nullptr && SDL_strcasestr(wanted, driver) != nullptr;
}

// What the player needs to know when no display can be opened, with SDL's
// own reason when it gave one (a display that is there but refused the
// connection is told apart from one that is not there at all).
std::string NoDisplayText() {
  std::string text = "no display is named (DISPLAY and WAYLAND_DISPLAY are empty)";
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* name = SDL_getenv(variable);
    if (name != nullptr && name[0] != '\0') {
      text = std::string("no display answers at \"") + name + "\"";
      break;
    }
  }
  const char* reason = SDL_GetError();
  if (reason != nullptr && reason[0] != '\0') text += std::string(" (") + reason + ")";
  return text;
}

// The video subsystem (the connection to the display) is started once and
// kept while the window object lives: closing and opening the window again
// for a display change makes a new window and context on the same
// connection instead of connecting to the display anew each time.
class SdlGlWindow final : public GlWindow {
 public:
  ~SdlGlWindow() override {
    Close();
    StopVideo();
  }

  bool Open(const GlWindowConfig& config) override {
    Close();
    error_ = GlWindowError::None;
    errorText_.clear();
    SDL_ClearError();
    if (!StartVideo()) return FailWithText(GlWindowError::VideoUnavailable, NoDisplayText());
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && ShowsNothing(driver) && !AskedForByName(driver)) {
      // Not a display a player sees: let go of it, so nothing keeps it.
      StopVideo();
      return FailWithText(GlWindowError::VideoUnavailable, NoDisplayText());
    }
    WatchForDisplayLoss();
    // Neither the screen saver nor the monitor's power saving may start
    // while the program runs.
    SDL_DisableScreenSaver();

    Uint32 flags = SDL_WINDOW_OPENGL | (config.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    int depthBits = kPreferredDepthBits;
    RequestContextAttributes(depthBits);
    window_ = SDL_CreateWindow(config.title.c_str(), config.left, config.top, config.width, config.height, flags);
    if (!window_) {
      // Some visuals offer no 24-bit depth buffer at all; try 16 before giving up.
      depthBits = kFallbackDepthBits;
      RequestContextAttributes(depthBits);
      window_ = SDL_CreateWindow(config.title.c_str(), config.left, config.top, config.width, config.height, flags);
    }
    // Refused for its size, the window may still be made at another one;
    // any other refusal is the driver's.
    if (!window_) return Fail(LargerThanAnyWindow(config) ? GlWindowError::SizeRefused : GlWindowError::CreateWindow);
    WatchWindowForDestruction(window_);

    context_ = SDL_GL_CreateContext(window_);
    if (!context_ && depthBits != kFallbackDepthBits) {
      RequestContextAttributes(kFallbackDepthBits);
      context_ = SDL_GL_CreateContext(window_);
    }
    if (!context_) return Fail(GlWindowError::CreateContext);
    if (SDL_GL_MakeCurrent(window_, context_) != 0) return Fail(GlWindowError::MakeCurrent);

    SDL_GL_SetSwapInterval(1);
    SDL_ShowCursor(config.showCursor ? SDL_ENABLE : SDL_DISABLE);
    if (!config.hidden) SDL_RaiseWindow(window_);
    // A freshly raised window owns the keyboard until the system says otherwise.
    SetSdlInputFocus(true);
    return true;
  }

  void Close() override {
    if (context_) {
      if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
      SDL_GL_DeleteContext(context_);
      context_ = nullptr;
    }
    if (window_) {
      // From here on the window goes by our own hand: an error about it is no loss.
      WatchWindowForDestruction(nullptr);
      SDL_DestroyWindow(window_);
      window_ = nullptr;
    }
  }

  bool IsOpen() const override { return window_ && context_; }
  bool HasGlContext() const override { return IsOpen(); }
  GlWindowError LastError() const override { return error_; }
  std::string LastErrorText() const override { return errorText_; }

  bool EnterFullscreen(int width, int height, int bitsPerPixel) override {
    if (!window_) return false;
    // Like a display-settings change, refuse a size the display does not list.
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0) return false;
    SDL_DisplayMode chosen{};
    bool found = false;
    for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n && !found; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
      if (mode.w != width || mode.h != height) continue;
      if (bitsPerPixel > 0 && BitsPerPixel(mode.format) != bitsPerPixel) continue;
      chosen = mode;
      found = true;
    }
    if (!found) return false;
    if (SDL_SetWindowDisplayMode(window_, &chosen) != 0) return false;
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
  }

  bool EnterDesktopFullscreen() override {
    if (!window_) return false;
    // The window covers the screen at its current mode, so it takes that
    // mode's size: some drivers leave a desktop full-screen window at the
    // size it was made with, larger than the screen it covers.
    const int display = SDL_GetWindowDisplayIndex(window_);
    SDL_DisplayMode desktop;
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &desktop) == 0) {
      SDL_SetWindowSize(window_, desktop.w, desktop.h);
    }
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
  }

  void LeaveFullscreen() override {
    if (window_) SDL_SetWindowFullscreen(window_, 0);
  }

  bool MakeCurrent() override {
    if (!IsOpen()) return false;
    if (SDL_GL_GetCurrentContext() == context_) return true;
    return SDL_GL_MakeCurrent(window_, context_) == 0;
  }

  void ReleaseCurrent() override {
    if (videoStarted_) SDL_GL_MakeCurrent(window_, nullptr);
  }

  void SwapBuffers() override {
    if (window_) SDL_GL_SwapWindow(window_);
  }

  int RefreshRate() const override {
    if (!window_) return 0;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
  }

  int DepthBits() const override {
    if (!IsOpen()) return 0;
    int bits = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &bits);
    return bits;
  }

  void Move(int x, int y) override {
    if (window_) SDL_SetWindowPosition(window_, x, y);
  }

  bool GetPosition(int* x, int* y) const override {
    if (!window_) return false;
    SDL_GetWindowPosition(window_, x, y);
    return true;
  }

  void GetDrawableSize(int* width, int* height) const override {
    *width = 0;
    *height = 0;
    if (window_) SDL_GL_GetDrawableSize(window_, width, height);
  }

  void ShowCursor(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

  void SetTitle(const std::string& title) override {
    if (window_) SDL_SetWindowTitle(window_, title.c_str());
  }

  std::vector<DisplayDevice> EnumerateDisplays() override {
    std::vector<DisplayDevice> devices;
    // Listed before the window opens: the connection made here is the one
    // the window then uses.
    if (!StartVideo()) return devices;
    int count = SDL_GetNumVideoDisplays();
    for (int d = 0; d < count; ++d) {
      DisplayDevice device;
      const char* name = SDL_GetDisplayName(d);
      device.name = "Display " + std::to_string(d);
      device.description = name ? name : "";
      for (int m = 0, n = SDL_GetNumDisplayModes(d); m < n; ++m) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(d, m, &mode) != 0) continue;
        device.modes.push_back({BitsPerPixel(mode.format), mode.w, mode.h, mode.refresh_rate});
      }
      devices.push_back(std::move(device));
    }
    return devices;
  }

 private:
  bool StartVideo() {
    if (!videoStarted_) videoStarted_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return videoStarted_;
  }

  void StopVideo() {
    if (!videoStarted_) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
  }

  bool Fail(GlWindowError error) { return FailWithText(error, SDL_GetError()); }

  bool FailWithText(GlWindowError error, std::string text) {
    error_ = error;
    errorText_ = std::move(text);
    Close();
    return false;
  }

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  bool videoStarted_ = false;
  GlWindowError error_ = GlWindowError::None;
  std::string errorText_;
};

}  // namespace

std::unique_ptr<GlWindow> CreateSdlGlWindow() { return std::make_unique<SdlGlWindow>(); }

void* GetGlProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool IsGlExtensionSupported(const char* name) { return SDL_GL_ExtensionSupported(name) == SDL_TRUE; }

}  // namespace platform
