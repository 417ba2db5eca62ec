#pragma once
// A hidden window with the renderer's GL back end started, for the drawing
// tests of the renderer and of the layers above it. Closing it releases what
// the renderer made (fonts, materials, textures), so each test starts clean.
// Header only: the tests of other folders include it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "platform/GlWindow.h"

class RendererTestWindow {
 public:
  // Opens the window and starts the back end, with the viewport over it.
  void Open(const char* title, int width, int height) {
    window_ = platform::CreateSdlGlWindow();
    platform::GlWindowConfig config;
    config.title = title;
    config.width = width;
    config.height = height;
    config.hidden = true;
    ASSERT_TRUE(window_->Open(config)) << window_->LastErrorText();
    GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
    GFX_GL::ResetDriverQueries();
    GFX_GL::Start();
    glViewport(0, 0, width, height);
  }

  // Releases the renderer's objects while the context lives, then the window.
  void Close() {
    GFXDisplay::DeleteAllFonts();
    GFX_GL::Stop();
    GFXDisplay::ForgetBindings();
    GFXDisplay::SetDefaultMaterial(nullptr);
    CMATManager::DestroyInstance();
    CTEXManager::DestroyInstance();
    if (window_ != nullptr) window_->Close();
  }

 private:
  std::unique_ptr<platform::GlWindow> window_;
};
