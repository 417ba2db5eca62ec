// Frames, viewports and the 800 x 600 overlay projection.

#include <GL/gl.h>

#include <cmath>

#include "engine/runtime/display/Display.h"
#include "platform/Time.h"

const DisplayHooks& CurrentDisplayHooks();

namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;

struct PixelBox {
  int x, y, width, height;
};

// Canvas units (800 x 600, y down) to window pixels (y up).
PixelBox CanvasToPixels(const Rect& rect, const Vector3& viewport) {
  const float sx = viewport.x / CDisplay::kCanvasWidth;
  const float sy = viewport.y / CDisplay::kCanvasHeight;
  PixelBox box;
  box.x = static_cast<int>(rect.min.x * sx);
  box.width = static_cast<int>(rect.Width() * sx);
  box.height = static_cast<int>(rect.Height() * sy);
  box.y = static_cast<int>(viewport.y - rect.max.y * sy);
  return box;
}

}  // namespace

void CDisplay::SwapAndPace() {
  window_->SwapBuffers();
  // Game motion steps once per frame, so a driver that ignores the swap
  // interval must not let frames run faster than 60 a second.
  const uint64_t frequency = platform::HighResFrequency();
  const uint64_t minimumTicks = frequency / kMaxFramesPerSecond;
  uint64_t now = platform::HighResCounter();
  if (lastSwapCounter_ != 0 && now - lastSwapCounter_ < minimumTicks) {
    uint64_t remaining = minimumTicks - (now - lastSwapCounter_);
    platform::SleepMs(static_cast<uint32_t>((remaining * 1000 + frequency - 1) / frequency));
    now = platform::HighResCounter();
  }
  lastSwapCounter_ = now;
}

void CDisplay::BeginFrame() {
  if (flags[2]) {
    if (HasContext()) glFinish();
    SwapAndPace();
  }
  ++frameCounter_;
  if (HasContext()) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  flags[2] = true;
}

void CDisplay::Present() {
  if (HasContext()) glFinish();
  SwapAndPace();
  flags[2] = false;
}

void CDisplay::ScissorFromCanvas(const Rect& rect) {
  PixelBox box = CanvasToPixels(rect, viewport_);
  glScissor(box.x, box.y, box.width, box.height);
}

void CDisplay::BeginOrtho2D(const Rect* rect) {
  if (HasState(kOverlay)) return;
  if (HasContext()) {
    if (rect != nullptr) {
      ScissorFromCanvas(*rect);
    } else {
      glScissor(0, 0, static_cast<int>(viewport_.x), static_cast<int>(viewport_.y));
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport_.x, 0.0, viewport_.y, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // y grows downwards on the canvas; z is left alone so depth stays usable.
    glScalef(viewport_.x / kCanvasWidth, -(viewport_.y / kCanvasHeight), 1.0f);
    glTranslatef(0.0f, -kCanvasHeight, 0.0f);
  }
  const DisplayHooks& hooks = CurrentDisplayHooks();
  if (hooks.getRenderState) savedRenderState_ = hooks.getRenderState();
  if (hooks.setRenderState) hooks.setRenderState(kOverlayRenderState);
  if (HasContext()) glDepthFunc(GL_ALWAYS);
  state_ |= kOverlay;
}

void CDisplay::EndOrtho2D() {
  if (!HasState(kOverlay)) return;
  if (HasContext()) {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDepthFunc(GL_LESS);
  }
  if (CurrentDisplayHooks().setRenderState) CurrentDisplayHooks().setRenderState(savedRenderState_);
  state_ &= ~kOverlay;
}

void CDisplay::ApplyViewport() {
  if (HasContext()) glViewport(0, 0, static_cast<int>(viewport_.x), static_cast<int>(viewport_.y));
}

void CDisplay::ApplyViewportRect(const Rect& rect) {
  if (!HasContext()) return;
  PixelBox box = CanvasToPixels(rect, viewport_);
  glViewport(box.x, box.y, box.width, box.height);
}

void CDisplay::ScreenToViewDirection(Vector3* out, int x, int y) const {
  const float width = viewport_.x > 0.0f ? viewport_.x : static_cast<float>(width_);
  const float height = viewport_.y > 0.0f ? viewport_.y : static_cast<float>(height_);
  const float tanHalf = std::tan(fov * 0.5f * kDegreesToRadians);
  const float ndcX = 2.0f * static_cast<float>(x) / width - 1.0f;
  const float ndcY = 1.0f - 2.0f * static_cast<float>(y) / height;
  *out = Vector3(ndcX * tanHalf * (width / height), ndcY * tanHalf, -1.0f);
}
