#pragma once
// A real display (hidden offscreen window, GL context, renderer hooks) that
// the renderer's overlay and text drawing use, for the drawing tests of the
// layers above the renderer. Closing it releases what the renderer made
// (fonts, materials, textures), so each test starts clean. Header only: the
// tests of other folders include it.

#include <gtest/gtest.h>

#include <memory>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/display/Display.h"

class DisplayTestWindow {
 public:
  // Opens the display with the renderer started on it from the initial
  // render state; a test failure when it cannot.
  void Open(const char* title, int width, int height) {
    GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
    GFXDisplay::InstallHooks();
    display_ = std::make_unique<CDisplay>();
    display_->Configure(title, width, height, 32, false);
    ASSERT_TRUE(display_->Recreate());
    ASSERT_TRUE(GFX_GL::IsStarted());
    GFXDisplay::SetDisplayWindow(display_.get());
  }

  // Releases the renderer's objects while the context lives, then the display.
  void Close() {
    GFXDisplay::DeleteAllFonts();
    if (display_ != nullptr) display_->KillGLWindow();
    GFXDisplay::SetDisplayWindow(nullptr);
    GFXDisplay::ForgetBindings();
    GFXDisplay::SetDefaultMaterial(nullptr);
    CMATManager::DestroyInstance();
    CTEXManager::DestroyInstance();
    CDisplay::SetHooks(DisplayHooks{});
  }

  CDisplay* operator->() const { return display_.get(); }

 private:
  std::unique_ptr<CDisplay> display_;
};
