#pragma once
// A hidden window with the renderer's GL back end started, for the drawing
// tests of the renderer and of the layers above it. Closing it releases what
// the renderer made (fonts, materials, textures), so each test starts clean.
// Header only: the tests of other folders include it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "platform/GlWindow.h"

class RendererTestWindow {
 public:
  // Opens the window and starts the back end, with the viewport over it.
  void Open(const char* title, int width, int height) {
    window_ = OpenHiddenGlWindow(title, width, height);
    ASSERT_NE(window_, nullptr);
    StartRenderer(width, height);
  }

  // Releases the renderer's objects while the context lives, then the window.
  void Close() {
    StopRenderer();
    if (window_ != nullptr) window_->Close();
  }

  // A hidden window with its context current, or null (a test failure).
  static std::unique_ptr<platform::GlWindow> OpenHiddenGlWindow(const char* title, int width, int height) {
    auto window = platform::CreateSdlGlWindow();
    platform::GlWindowConfig config;
    config.title = title;
    config.width = width;
    config.height = height;
    config.hidden = true;
    if (window->Open(config)) return window;
    ADD_FAILURE() << window->LastErrorText();
    return nullptr;
  }
  // Starts the back end from the initial render state, the viewport over
  // the window.
  static void StartRenderer(int width, int height) {
    GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
    GFX_GL::ResetDriverQueries();
    GFX_GL::Start();
    glViewport(0, 0, width, height);
  }
  // Releases what the renderer made while the context lives.
  static void StopRenderer() {
    GFXDisplay::DeleteAllFonts();
    GFX_GL::Stop();
    GFXDisplay::ForgetBindings();
    GFXDisplay::SetDefaultMaterial(nullptr);
    CMATManager::DestroyInstance();
    CTEXManager::DestroyInstance();
  }

 private:
  std::unique_ptr<platform::GlWindow> window_;
};

// A bitmap font over a white 256 x 256 sheet, so every glyph is a white block
// of its cell; the material and sheet are named after the font. The caller
// sets the glyph widths and then builds the lists.
inline int WhiteSheetFont(const std::string& name) {
  CTEXTexture* sheet = CTEXManager::GetInstance()->CreateTexture((name + "sheet").c_str());
  std::vector<uint8_t> texels(256 * 256 * 3, 255);
  sheet->SetMipmap(false);
  EXPECT_TRUE(sheet->CreateBlank(256, 256, texels.data()));
  const int index = GFXDisplay::NewFont();
  GFXFont* font = GFXDisplay::GetFont(index);
  font->type = GFXFont::kBitmap;
  font->material = CMATManager::GetInstance()->GetMaterial(name.c_str());
  font->material->GetStage(0)->texture = sheet;
  PrepareFontMaterial(font->material, 0);
  return index;
}
