// Display values, their corrections and the choice of display mode.

#include "engine/runtime/display/Display.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/foundation/Log.h"
#include "engine/runtime/console/VariableRegistry.h"

namespace {

DisplayHooks gHooks;

}  // namespace

void CDisplay::SetHooks(const DisplayHooks& hooks) { gHooks = hooks; }

CDisplay::CDisplay(std::unique_ptr<platform::GlWindow> window) : window_(std::move(window)) {
  if (!window_) window_ = platform::CreateSdlGlWindow();
}

CDisplay::~CDisplay() = default;

void CDisplay::Resize() {
  if (width_ <= 0) width_ = kFallbackSide;
  if (height_ <= 0) height_ = kFallbackSide;
  if (depth_ < 1 || depth_ > 32) depth_ = kFallbackDepth;
  if (nearPlane < kDefaultNear) nearPlane = kDefaultNear;
  if (farPlane <= nearPlane || farPlane > kMaxFar) farPlane = kMaxFar;
  if (fov <= 0.0f) fov = kDefaultFov;

  state_ |= kSized;
  inverseAspect_ = static_cast<float>(height_) / static_cast<float>(width_);
  viewport_ = Vector3(static_cast<float>(width_), static_cast<float>(height_), 0.0f);
  // The viewport covers the client area from its corner: the window's screen
  // position has nothing to do with it.
  if (HasContext()) glViewport(0, 0, width_, height_);
  FindClosestMode();
}

void CDisplay::SetSize(int width, int height) {
  // A minimised window reports 0 x 0; keep the last real size for the restore.
  if (width > 0) width_ = width;
  if (height > 0) height_ = height;
  Resize();
}

void CDisplay::ChooseSize(int width, int height) {
  coversDesktop_ = false;
  SetSize(width, height);
}

bool CDisplay::FollowWindowSize() {
  if (!window_->IsOpen()) return false;
  int width = 0;
  int height = 0;
  window_->GetDrawableSize(&width, &height);
  // A minimised window has no drawable size worth following.
  if (width <= 0 || height <= 0 || (width == width_ && height == height_)) return false;
  width_ = width;
  height_ = height;
  Resize();
  return true;
}

void CDisplay::Configure(const String& title, int width, int height, int depth, bool fullscreen) {
  SetTitle(title);
  coversDesktop_ = false;
  depth_ = depth;
  width_ = width;
  height_ = height;
  if (fullscreen != HasState(kFullscreen)) state_ |= kChangePending;
  Resize();
  if (fullscreen) {
    state_ |= kFullscreen;
  } else {
    state_ &= ~kFullscreen;
  }
}

void CDisplay::SelectMode(int index) {
  selectedMode_ = index;
  if (currentDevice_ < 0 || currentDevice_ >= static_cast<int>(devices_.size())) return;
  const std::vector<Mode>& modes = devices_[currentDevice_].modes;
  if (index < 0 || index >= static_cast<int>(modes.size())) return;
  coversDesktop_ = false;
  width_ = static_cast<int>(modes[index].width);
  height_ = static_cast<int>(modes[index].height);
  depth_ = modes[index].bitsPerPixel;
  state_ |= kChangePending;
  Resize();
}

void CDisplay::SetFullscreen(bool fullscreen) {
  if (fullscreen == HasState(kFullscreen)) return;
  if (fullscreen) {
    state_ |= kFullscreen;
  } else {
    state_ &= ~kFullscreen;
  }
  state_ |= kChangePending;
}

void CDisplay::SetDepth(int bits) {
  depth_ = bits;
  state_ |= kChangePending;
}

void CDisplay::SetClearColour(const float rgba[4]) {
  for (int i = 0; i < 4; ++i) clearColour_[i] = rgba[i];
  // Before the context exists the colour is only stored; creation applies it.
  if (HasContext()) glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void CDisplay::SetWindowPosition(int x, int y, bool move) {
  left_ = x;
  top_ = y;
  if (move) window_->Move(x, y);
}

bool CDisplay::GetWindowPosition(int* x, int* y) const { return window_->GetPosition(x, y); }

void CDisplay::SetTitle(const String& title) {
  title_ = title;
  window_->SetTitle(title.Chars());
}

const CDisplay::Mode* CDisplay::FindMode(int index, int bitsPerPixel, int width, int height) const {
  if (currentDevice_ < 0 || currentDevice_ >= static_cast<int>(devices_.size())) return nullptr;
  const std::vector<Mode>& modes = devices_[currentDevice_].modes;
  if (index < 0 || index >= static_cast<int>(modes.size())) return nullptr;
  const Mode& mode = modes[index];
  if (bitsPerPixel != 0 && mode.bitsPerPixel != bitsPerPixel) return nullptr;
  if (width != 0 && static_cast<int>(mode.width) != width) return nullptr;
  if (height != 0 && static_cast<int>(mode.height) != height) return nullptr;
  if (mode.refreshRate != refreshRate_) return nullptr;
  return &mode;
}

void CDisplay::FindClosestMode() {
  selectedMode_ = 0;
  if (devices_.empty() || currentDevice_ < 0 || currentDevice_ >= static_cast<int>(devices_.size())) {
    return;
  }
  const std::vector<Mode>& modes = devices_[currentDevice_].modes;
  const float targetAspect = static_cast<float>(width_) / static_cast<float>(height_);
  int bestDepthDifference = 99999;
  int bestWidthDifference = 99999;
  int best = -1;
  for (int i = 0; i < static_cast<int>(modes.size()); ++i) {
    const Mode& mode = modes[i];
    if (mode.refreshRate != refreshRate_) continue;
    int depthDifference = depth_ - mode.bitsPerPixel;
    if (depthDifference < 0 || depthDifference > bestDepthDifference) continue;
    // The best depth tightens even when this mode fails the later tests, so a
    // deeper match is never undercut by a shallower one that comes after it.
    bestDepthDifference = depthDifference;
    int widthDifference = width_ - static_cast<int>(mode.width);
    if (widthDifference < 0 || widthDifference > bestWidthDifference) continue;
    if (mode.height == 0) continue;
    float aspect = static_cast<float>(mode.width) / static_cast<float>(mode.height);
    if (std::fabs(aspect - targetAspect) > 0.125f) continue;
    bestWidthDifference = widthDifference;
    best = i;
  }
  selectedMode_ = best;
  if (best >= 0) {
    LogPrintf(kLogDBG, "Closest Mode : %d @ %d x %d x %d", best, static_cast<int>(modes[best].width),
              static_cast<int>(modes[best].height), static_cast<int>(modes[best].bitsPerPixel));
  }
}

String CDisplay::GetDeviceName(int index) const {
  if (index < 0 || index >= static_cast<int>(devices_.size())) return String();
  return devices_[index].name;
}

int CDisplay::GetModeCount() const {
  if (currentDevice_ < 0 || currentDevice_ >= static_cast<int>(devices_.size())) return 0;
  return static_cast<int>(devices_[currentDevice_].modes.size());
}

void CDisplay::SetDevices(std::vector<Device> devices) {
  devices_ = std::move(devices);
  currentDevice_ = devices_.empty() ? -1 : 0;
}

CDisplay* GetDisplay() {
  static CDisplay* display = [] {
    static CDisplay instance;
    CVariableRegistry::Get()->Register("FOV", kCVarFloat, &instance.fov, "Display field of view angle");
    return &instance;
  }();
  return display;
}

// Used by DisplayWindow.cpp and DisplayOverlay.cpp.
const DisplayHooks& CurrentDisplayHooks() { return gHooks; }
