#include "support/GlTestWindow.h"

#include <GL/gl.h>

#include "engine/graphics/RenderState.h"

void GlContextTest::SetUp() {
  window_ = platform::CreateSdlGlWindow();
  platform::GlWindowConfig config;
  config.title = "graphics device test";
  config.width = 32;
  config.height = 32;
  config.hidden = true;
  ASSERT_TRUE(window_->Open(config)) << window_->LastErrorText();
  GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
  GFXDisplay::WindingFlag() = 0;
}

void GlContextTest::TearDown() {
  if (window_ != nullptr) window_->Close();
}

int GlInteger(unsigned int parameter) {
  GLint value = 0;
  glGetIntegerv(parameter, &value);
  return value;
}
