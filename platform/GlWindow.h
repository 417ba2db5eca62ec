#pragma once
// The program's one window with its OpenGL context, and the display devices
// with their modes. The engine's display object drives this contract; the
// SDL back-end makes real windows, the null back-end lets tests run the
// display logic with no video driver at all.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One display mode as the engine thinks of it.
struct DisplayMode {
  int bitsPerPixel = 0;
  int width = 0;
  int height = 0;
  int refreshHz = 0;
};

// One display device (monitor) with every mode it offers, in driver order.
struct DisplayDevice {
  std::string name;
  std::string description;
  std::vector<DisplayMode> modes;
};

// What the window should look like when it is opened.
struct GlWindowConfig {
  std::string title = "Vyre";
  int left = 0;
  int top = 0;
  int width = 800;
  int height = 600;
  bool showCursor = false;
  bool hidden = false;  // tests draw into a window nobody sees
};

// Why the last Open failed, so the caller can show the right message.
enum class GlWindowError {
  None,
  VideoUnavailable,  // no display could be opened (one nobody sees does not count)
  SizeRefused,       // no window can be made at the size asked for; another size may do
  CreateWindow,
  CreateContext,
  MakeCurrent,
};

// A window with a double-buffered, compatibility-profile GL context
// (RGB 8-8-8, depth 24 falling back to 16, stencil 8, swap interval 1).
class GlWindow {
 public:
  virtual ~GlWindow() = default;

  // Opens the window and its context and makes the context current.
  virtual bool Open(const GlWindowConfig& config) = 0;
  // Destroys the context and the window; safe to call when nothing is open.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // True when an open window has a real GL context to issue calls to.
  virtual bool HasGlContext() const = 0;
  // Which step of the last Open failed, and the driver's own words for it.
  virtual GlWindowError LastError() const = 0;
  virtual std::string LastErrorText() const = 0;

  // Switches to the exclusive full-screen mode closest to width x height x
  // bits; false when the display offers no mode of that size.
  virtual bool EnterFullscreen(int width, int height, int bitsPerPixel) = 0;
  // Covers the desktop without changing the display mode; the window takes
  // the desktop's size.
  virtual bool EnterDesktopFullscreen() = 0;
  // Back to a normal window.
  virtual void LeaveFullscreen() = 0;

  // Makes this window's context current; true when it is (or already was).
  virtual bool MakeCurrent() = 0;
  // Leaves the calling thread with no current context.
  virtual void ReleaseCurrent() = 0;
  // Presents the back buffer.
  virtual void SwapBuffers() = 0;

  // Vertical refresh of the display the window is on, 0 when unknown.
  virtual int RefreshRate() const = 0;
  // Depth-buffer bits the context really got (24, or 16 after the fall-back).
  virtual int DepthBits() const = 0;
  // Moves the window's client area to screen position (x, y).
  virtual void Move(int x, int y) = 0;
  // Screen position of the client area; false when no window is open.
  virtual bool GetPosition(int* x, int* y) const = 0;
  // Size of the drawable area in pixels.
  virtual void GetDrawableSize(int* width, int* height) const = 0;
  // Shows or hides the system cursor over the window.
  virtual void ShowCursor(bool show) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  // Every display device with its modes (colour depth is bytes per pixel x 8).
  virtual std::vector<DisplayDevice> EnumerateDisplays() = 0;
};

// The SDL2 window; needs a video driver (SDL_VIDEODRIVER=offscreen in tests).
std::unique_ptr<GlWindow> CreateSdlGlWindow();

// Address of a GL entry point of the current context, or null.
void* GetGlProcAddress(const char* name);
// True when the current context offers the named extension.
bool IsGlExtensionSupported(const char* name);

}  // namespace platform
