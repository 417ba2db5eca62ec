// The display-less window back-end.

#include "platform/null/NullGlWindow.h"

namespace platform {

NullGlWindow::NullGlWindow(std::vector<DisplayDevice> displays) : displays_(std::move(displays)) {}

bool NullGlWindow::Open(const GlWindowConfig& config) {
  Close();
  lastConfig = config;
  left = config.left;
  top = config.top;
  cursorShown = config.showCursor;
  // As a real back-end does: each try says what went wrong in it, or nothing.
  error_ = GlWindowError::None;
  errorText_.clear();
  if (failOpenWith != GlWindowError::None) return Fail(failOpenWith, failOpenText);
  if (largestSide > 0 && (config.width > largestSide || config.height > largestSide)) {
    return Fail(GlWindowError::SizeRefused, "Window is too large.");
  }
  open_ = true;
  ++openCount;
  return true;
}

void NullGlWindow::Close() {
  if (!open_) return;
  open_ = false;
  fullscreen = false;
  desktopFullscreen = false;
  ++closeCount;
}

bool NullGlWindow::Fail(GlWindowError error, const std::string& text) {
  error_ = error;
  errorText_ = text;
  return false;
}

bool NullGlWindow::EnterFullscreen(int width, int height, int bitsPerPixel) {
  if (!open_ || displays_.empty()) return false;
  for (const DisplayMode& mode : displays_.front().modes) {
    if (mode.width != width || mode.height != height) continue;
    if (bitsPerPixel > 0 && mode.bitsPerPixel != bitsPerPixel) continue;
    fullscreen = true;
    desktopFullscreen = false;
    return true;
  }
  return false;
}

bool NullGlWindow::EnterDesktopFullscreen() {
  if (!open_) return false;
  desktopFullscreen = true;
  fullscreen = false;
  return true;
}

void NullGlWindow::LeaveFullscreen() {
  fullscreen = false;
  desktopFullscreen = false;
}

void NullGlWindow::Move(int x, int y) {
  left = x;
  top = y;
}

bool NullGlWindow::GetPosition(int* x, int* y) const {
  if (!open_) return false;
  *x = left;
  *y = top;
  return true;
}

void NullGlWindow::GetDrawableSize(int* width, int* height) const {
  *width = open_ ? lastConfig.width : 0;
  *height = open_ ? lastConfig.height : 0;
}

}  // namespace platform
