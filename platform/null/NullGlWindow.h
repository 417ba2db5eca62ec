#pragma once
// A window back-end with no display behind it: it opens at once, makes no GL
// calls and records what it was asked, so display logic is testable anywhere.

#include <string>

#include "platform/GlWindow.h"

namespace platform {

class NullGlWindow final : public GlWindow {
 public:
  explicit NullGlWindow(std::vector<DisplayDevice> displays = {});

  // Scripted behaviour.
  GlWindowError failOpenWith = GlWindowError::None;  // Open fails with this when set
  std::string failOpenText = "scripted failure";     // the driver's words for that failure
  // When set, Open refuses a window with a longer side (SizeRefused, in the
  // words SDL uses for it).
  int largestSide = 0;
  int refreshHz = 60;

  // Recorded state.
  GlWindowConfig lastConfig;
  int openCount = 0;
  int closeCount = 0;
  int swapCount = 0;
  bool fullscreen = false;
  bool desktopFullscreen = false;
  bool cursorShown = false;
  int left = 0;
  int top = 0;

  bool Open(const GlWindowConfig& config) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  bool HasGlContext() const override { return false; }
  GlWindowError LastError() const override { return error_; }
  std::string LastErrorText() const override { return errorText_; }
  // Succeeds only for a size the first display lists (at that depth when given).
  bool EnterFullscreen(int width, int height, int bitsPerPixel) override;
  bool EnterDesktopFullscreen() override;
  void LeaveFullscreen() override;
  bool MakeCurrent() override { return open_; }
  void ReleaseCurrent() override {}
  void SwapBuffers() override { ++swapCount; }
  int RefreshRate() const override { return open_ ? refreshHz : 0; }
  int DepthBits() const override { return open_ ? 24 : 0; }
  void Move(int x, int y) override;
  bool GetPosition(int* x, int* y) const override;
  void GetDrawableSize(int* width, int* height) const override;
  void ShowCursor(bool show) override { cursorShown = show; }
  void SetTitle(const std::string& title) override { lastConfig.title = title; }
  std::vector<DisplayDevice> EnumerateDisplays() override { return displays_; }

 private:
  // Records what failed in this Open and its words; false.
  bool Fail(GlWindowError error, const std::string& text);

  std::vector<DisplayDevice> displays_;
  bool open_ = false;
  GlWindowError error_ = GlWindowError::None;
  std::string errorText_;
};

}  // namespace platform
