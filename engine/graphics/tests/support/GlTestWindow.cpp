#include "support/GlTestWindow.h"

#include <GL/gl.h>

#include "engine/graphics/RenderState.h"
#include "support/RendererTestWindow.h"

void GlContextTest::SetUp() {
  window_ = RendererTestWindow::OpenHiddenGlWindow("graphics device test", 32, 32);
  ASSERT_NE(window_, nullptr);
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
