#pragma once
// The program's one window with its OpenGL context: size and colour depth,
// full-screen switching, the display devices and their modes, the viewport,
// the projection parameters, the clear colour, and the 2D overlay that maps
// an 800 x 600 canvas (origin top left, y down) onto the window.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Rect.h"
#include "engine/foundation/String.h"
#include "engine/foundation/Vector3.h"
#include "platform/GlWindow.h"

// What the graphics layer plugs into the display: the GL back end's start and
// stop, and the render-state word the overlay saves, replaces and restores.
struct DisplayHooks {
  void (*startGl)() = nullptr;
  void (*stopGl)() = nullptr;
  uint32_t (*getRenderState)() = nullptr;
  uint32_t (*setRenderState)(uint32_t word) = nullptr;
};

class CDisplay {
 public:
  // State bits.
  static constexpr uint32_t kCreated = 0x01;
  static constexpr uint32_t kFirstCreation = 0x02;
  static constexpr uint32_t kFullscreen = 0x04;
  static constexpr uint32_t kOverlay = 0x08;
  static constexpr uint32_t kSized = 0x10;
  static constexpr uint32_t kChangePending = 0x20;
  static constexpr uint32_t kCursor = 0x40;

  static constexpr float kDefaultFov = 45.0f;
  static constexpr float kDefaultNear = 1.0f;
  static constexpr float kMaxFar = 1500.0f;
  static constexpr int kFallbackSide = 128;
  static constexpr int kFallbackDepth = 16;
  static constexpr float kCanvasWidth = 800.0f;
  static constexpr float kCanvasHeight = 600.0f;
  static constexpr uint32_t kOverlayRenderState = 0x2104;
  static constexpr int kMaxFramesPerSecond = 60;

  // The window made when the one asked for cannot be: a plain window of
  // the default size.
  static constexpr int kDefaultWidth = 800;
  static constexpr int kDefaultHeight = 600;

  // A window the display could not make as asked, and the system's words for it.
  struct RefusedWindow {
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    std::string reason;
  };

  struct Mode {
    uint8_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t refreshRate = 0;
  };
  struct Device {
    int32_t number = 0;
    String name;
    String description;
    std::vector<Mode> modes;
  };

  // A display over the given window back-end (the SDL one when null).
  explicit CDisplay(std::unique_ptr<platform::GlWindow> window = nullptr);
  virtual ~CDisplay();
  CDisplay(const CDisplay&) = delete;
  CDisplay& operator=(const CDisplay&) = delete;

  // Opens the window and context as the stored values say. A window that
  // the display cannot make at the stored size (or in full screen at it) is
  // made as the default window instead, 800 x 600 and windowed, and the
  // refusal is kept for TakeRefusedWindow. False (after a message box) on
  // any other failure, and when the default window cannot be made either;
  // the size and mode asked for then stay as they were.
  bool CreateGLWindow();
  // True once after a creation that fell back to the default window: what
  // was asked for and refused.
  bool TakeRefusedWindow(RefusedWindow* refused);
  // Stops the GL back end and destroys the context and the window.
  void KillGLWindow();
  // Rebuilds the window: clears change pending, kills the old window unless
  // none was made yet, then creates the new one.
  bool Recreate();

  // Corrects invalid sizes, depths and projection values, sets the viewport
  // over the whole window and chooses the closest display mode.
  void Resize();
  // A new client size; a side that is not positive (a minimised window) is
  // not stored.
  void SetSize(int width, int height);
  // A size the player chose (the console, the settings): SetSize, and it
  // ends a desktop cover's hold on the size below.
  void ChooseSize(int width, int height);
  // True while a refused full-screen switch covers the desktop at its own
  // mode: the display's size is then the desktop's, not the player's, and
  // the next window gets the size it had before the switch.
  bool CoversDesktop() const { return coversDesktop_; }
  // Takes the size the open window really has (full screen refused, a window
  // larger than the screen, a resize the window manager made) when it
  // differs from the display's: viewport, overlay and aspect then follow it.
  // True when the size changed.
  bool FollowWindowSize();
  // Takes the start-up values as the settings hold them (Resize corrects them).
  void Configure(const String& title, int width, int height, int depth, bool fullscreen);
  // Takes the mode's size and depth from the current device's list.
  void SelectMode(int index);
  void SetFullscreen(bool fullscreen);
  void SetDepth(int bits);
  void SetClearColour(const float rgba[4]);
  void SetWindowPosition(int x, int y, bool move);
  bool GetWindowPosition(int* x, int* y) const;
  void SetTitle(const String& title);
  void SetCurrentDevice(int index) { currentDevice_ = index; }
  // The current device's mode at index when it matches every non-zero value
  // and the display's refresh rate; null otherwise.
  const Mode* FindMode(int index, int bitsPerPixel, int width, int height) const;
  // Chooses the current device's mode closest to the display's size and
  // depth, never larger or deeper (selected mode -1 when none fits).
  void FindClosestMode();
  String GetDeviceName(int index) const;
  int GetModeCount() const;

  // Presents a frame still open, then clears colour, depth and stencil.
  void BeginFrame();
  // Finishes and presents the frame; never more than 60 frames a second.
  void Present();
  // Pushes the 800 x 600 overlay projection with a scissor box (the whole
  // window when rect is null; rect in canvas units).
  void BeginOrtho2D(const Rect* rect);
  void EndOrtho2D();
  // Viewport over the whole window, or over a canvas rectangle.
  void ApplyViewport();
  void ApplyViewportRect(const Rect& rect);
  // View-space direction (z = -1) through a window pixel.
  void ScreenToViewDirection(Vector3* out, int x, int y) const;
  // Leaves no context current.
  void ReleaseContext();

  // Plugs the graphics layer in (see DisplayHooks).
  static void SetHooks(const DisplayHooks& hooks);

  // Enumerates the display devices and modes into the device list (logged).
  void EnumerateDevices();
  // Replaces the device list (tests, and tools that list modes themselves).
  void SetDevices(std::vector<Device> devices);
  const std::vector<Device>& GetDevices() const { return devices_; }
  int GetCurrentDevice() const { return currentDevice_; }
  int GetSelectedMode() const { return selectedMode_; }

  uint32_t GetState() const { return state_; }
  bool HasState(uint32_t bits) const { return (state_ & bits) == bits; }
  void SetState(uint32_t bits) { state_ |= bits; }
  void ClearState(uint32_t bits) { state_ &= ~bits; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetDepth() const { return depth_; }
  float GetInverseAspect() const { return inverseAspect_; }
  const Vector3& GetViewportSize() const { return viewport_; }
  int GetRefreshRate() const { return refreshRate_; }
  void SetRefreshRate(int hz) { refreshRate_ = hz; }
  const float* GetClearColour() const { return clearColour_; }
  uint32_t GetFrameCounter() const { return frameCounter_; }
  bool IsFrameBegun() const { return flags[2]; }
  const String& GetTitle() const { return title_; }
  platform::GlWindow* GetWindow() const { return window_.get(); }
  // True while a window with a live GL context exists.
  bool HasContext() const { return window_->HasGlContext(); }

  // Projection parameters (degrees, world units); Resize corrects them.
  float fov = kDefaultFov;
  float farPlane = kMaxFar;
  float nearPlane = kDefaultNear;
  // Renderer flags kept with the display; the third is "frame begun".
  bool flags[5] = {false, false, false, false, false};

 private:
  void ApplyGlDefaults();
  void SwapAndPace();
  void ScissorFromCanvas(const Rect& rect);
  bool FailCreation(const char* text);
  bool OpenWindow(platform::GlWindowConfig& config);

  Vector3 viewport_;
  int left_ = 0;
  int top_ = 0;
  int height_ = 600;
  int width_ = 800;
  int depth_ = 32;
  float inverseAspect_ = 0.75f;
  int refreshRate_ = 0;
  // While a refused full screen covers the desktop: the size asked for
  // before, which the next window gets back.
  bool coversDesktop_ = false;
  int chosenWidth_ = 0;
  int chosenHeight_ = 0;
  uint32_t frameCounter_ = 0;
  uint32_t state_ = kFirstCreation;
  String title_{"Test"};
  String className_{"Vyre"};
  float clearColour_[4] = {0.0f, 0.0f, 0.25f, 1.0f};
  uint32_t savedRenderState_ = 0;
  uint64_t lastSwapCounter_ = 0;
  bool windowRefused_ = false;
  RefusedWindow refusedWindow_;
  std::unique_ptr<platform::GlWindow> window_;
  std::vector<Device> devices_;
  int currentDevice_ = -1;
  int selectedMode_ = -1;
};

// The display, built on first use (registers the "FOV" console variable).
CDisplay* GetDisplay();
// Free-function forms used by the engine's start-up and frame.
bool CreateGLWindow(CDisplay* display);
void KillGLWindow(CDisplay* display);
