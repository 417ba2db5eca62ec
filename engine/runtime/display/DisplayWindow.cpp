// Creating and destroying the window and its context, and listing the
// display devices with their modes.

#include <GL/gl.h>

#include <string>

#include "engine/foundation/Log.h"
#include "engine/runtime/display/Display.h"
#include "platform/MessageBox.h"

const DisplayHooks& CurrentDisplayHooks();

namespace {

const char kCreateErrorTitle[] = "Vyre Core : CreateGLWindow - ERROR";

const char* CreationErrorText(platform::GlWindowError error) {
  switch (error) {
    case platform::GlWindowError::CreateContext:
      return "Unable to create an OpenGL RC!";
    case platform::GlWindowError::MakeCurrent:
      return "Unable to set OpenGL RC to active!";
    default:
      break;
  }
  return "Unable to create window!";
}

}  // namespace

void CDisplay::EnumerateDevices() {
  LogPrintf(kLogGFX, "/=");
  LogPrintf(kLogGFX, "Enumerating Display Devices...");
  devices_.clear();
  std::vector<platform::DisplayDevice> found = window_->EnumerateDisplays();
  for (size_t d = 0; d < found.size(); ++d) {
    Device device;
    device.number = static_cast<int32_t>(d);
    device.name = found[d].name.c_str();
    device.description = found[d].description.c_str();
    LogPrintf(kLogGFX, "%s : '%s'", device.name.Chars(), device.description.Chars());
    LogPrintf(kLogGFX, "Enumerating display modes...");
    LogPrintf(kLogGFX, "[Device] @ Width x Height X BPP");
    for (size_t m = 0; m < found[d].modes.size(); ++m) {
      const platform::DisplayMode& source = found[d].modes[m];
      Mode mode;
      mode.bitsPerPixel = static_cast<uint8_t>(source.bitsPerPixel);
      mode.width = static_cast<uint32_t>(source.width);
      mode.height = static_cast<uint32_t>(source.height);
      mode.refreshRate = source.refreshHz;
      device.modes.push_back(mode);
      LogPrintf(kLogGFX, "[%d] = %d x % d x %d @ %dhz", static_cast<int>(m), source.width, source.height,
                source.bitsPerPixel, source.refreshHz);
    }
    devices_.push_back(std::move(device));
  }
  currentDevice_ = 0;
}

bool CDisplay::FailCreation(const char* text) {
  platform::ShowMessageBox(kCreateErrorTitle, text, platform::MessageBoxButtons::Ok,
                           platform::MessageBoxIcon::Exclamation);
  KillGLWindow();
  state_ &= ~kCreated;
  return false;
}

bool CDisplay::OpenWindow(platform::GlWindowConfig& config) {
  if (window_->Open(config)) return true;
  // Only the size can be mended here: any other failure (no display, the
  // driver's context) is told as it is, and the size asked for stays. A
  // window of the default size refused leaves nothing else to try.
  if (window_->LastError() != platform::GlWindowError::SizeRefused ||
      (width_ == kDefaultWidth && height_ == kDefaultHeight)) {
    return false;
  }
  // A size the display cannot make (larger than it allows) must not keep
  // the player out: a plain window will do.
  RefusedWindow refused;
  refused.width = width_;
  refused.height = height_;
  refused.fullscreen = HasState(kFullscreen);
  refused.reason = window_->LastErrorText();
  config.width = kDefaultWidth;
  config.height = kDefaultHeight;
  if (!window_->Open(config)) return false;
  width_ = kDefaultWidth;
  height_ = kDefaultHeight;
  state_ &= ~kFullscreen;
  inverseAspect_ = static_cast<float>(height_) / static_cast<float>(width_);
  refusedWindow_ = std::move(refused);
  windowRefused_ = true;
  return true;
}

bool CDisplay::TakeRefusedWindow(RefusedWindow* refused) {
  if (!windowRefused_) return false;
  windowRefused_ = false;
  if (refused != nullptr) *refused = refusedWindow_;
  return true;
}

bool CDisplay::CreateGLWindow() {
  // The desktop's size served a refused full screen only: the new window,
  // or the next try at full screen, gets the player's size again.
  if (coversDesktop_) {
    coversDesktop_ = false;
    width_ = chosenWidth_;
    height_ = chosenHeight_;
  }
  inverseAspect_ = static_cast<float>(height_) / static_cast<float>(width_);
  state_ |= kSized;
  EnumerateDevices();

  platform::GlWindowConfig config;
  config.title = title_.Chars();
  config.left = left_;
  config.top = top_;
  config.width = width_;
  config.height = height_;
  config.showCursor = HasState(kCursor);
  if (!OpenWindow(config)) {
    platform::GlWindowError error = window_->LastError();
    if (error == platform::GlWindowError::MakeCurrent && !window_->LastErrorText().empty()) {
      platform::ShowMessageBox("Error", window_->LastErrorText(), platform::MessageBoxButtons::Ok,
                               platform::MessageBoxIcon::Error);
    }
    // With no display at all the player is told which one was tried.
    if (error == platform::GlWindowError::VideoUnavailable) {
      return FailCreation(("Unable to open the display: " + window_->LastErrorText()).c_str());
    }
    return FailCreation(CreationErrorText(error));
  }

  if (HasState(kFullscreen) && !window_->EnterFullscreen(width_, height_, depth_)) {
    platform::MessageBoxAnswer answer =
        platform::ShowMessageBox("Vyre Core", "Fullscreen mode not available - use window instead?",
                                 platform::MessageBoxButtons::YesNo, platform::MessageBoxIcon::Exclamation);
    if (answer == platform::MessageBoxAnswer::Yes) {
      state_ &= ~kFullscreen;
    } else {
      // Full screen stays wanted: cover the desktop at its current mode.
      chosenWidth_ = width_;
      chosenHeight_ = height_;
      coversDesktop_ = window_->EnterDesktopFullscreen();
    }
  }

  refreshRate_ = window_->RefreshRate();
  // The frame is drawn for the window as it came out, whatever was asked.
  if (!FollowWindowSize()) Resize();
  if (CurrentDisplayHooks().startGl) CurrentDisplayHooks().startGl();
  ApplyGlDefaults();
  state_ |= kCreated;
  return true;
}

void CDisplay::ApplyGlDefaults() {
  if (!HasContext()) return;
  glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
  glClearDepth(1.0);
  glClearStencil(0);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void CDisplay::KillGLWindow() {
  if (window_->IsOpen() && CurrentDisplayHooks().stopGl) CurrentDisplayHooks().stopGl();
  if (HasState(kFullscreen)) {
    window_->LeaveFullscreen();
    window_->ShowCursor(true);
  }
  window_->Close();
  state_ &= ~kOverlay;
  flags[2] = false;
}

bool CDisplay::Recreate() {
  state_ &= ~kChangePending;
  const bool firstCreation = HasState(kFirstCreation);
  state_ &= ~kFirstCreation;
  // A window made without this step still goes through the kill: the GL
  // back end must stop with the context its lists and shapes live in.
  if (!firstCreation || window_->IsOpen()) KillGLWindow();
  return CreateGLWindow();
}

void CDisplay::ReleaseContext() { window_->ReleaseCurrent(); }

bool CreateGLWindow(CDisplay* display) { return display->CreateGLWindow(); }

void KillGLWindow(CDisplay* display) { display->KillGLWindow(); }
