#include "engine/tools/DebugCanvas.h"

#include <GL/gl.h>

#include <cstring>

#include "engine/foundation/Vector3.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/gui/GUIObject.h"
#include "engine/runtime/display/Display.h"

namespace {

// The renderer: every call goes straight to GL through the display layer.
class RendererCanvas : public DebugCanvas {
 public:
  void Print(const char* text, int font, int x, int y) override { GFXDisplay::PrintAt(text, font, x, y); }
  int FontHeight(int font) override { return GFXDisplay::GetFontHeight(font); }
  int TextWidth(int font, const char* text) override { return GFXDisplay::GetTextWidth(font, text); }
  void SetColour(const float rgba[4]) override { glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]); }
  void GetFontColour(int font, float rgba[4]) override {
    static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GFXFont* chosen = GFXDisplay::GetFont(font);
    std::memcpy(rgba, chosen != nullptr ? chosen->colour : kWhite, 4 * sizeof(float));
  }
  void SetFontColour(int font, const float rgba[4]) override { GFXDisplay::SetFontColour(font, rgba); }
  void SetRenderState(uint32_t word) override { GFXDisplay::SetRenderState(word); }
  void PushOffset(const Vector2& offset) override {
    glPushMatrix();
    glTranslatef(offset.x, offset.y, 0.0f);
  }
  void PopOffset() override { glPopMatrix(); }
  void Line(const Vector2& from, const Vector2& to, float width) override {
    GFXDisplay::DrawLine(Vector3(from.x, from.y, 0.0f), Vector3(to.x, to.y, 0.0f), width);
  }
  void BeginClip(const Rect& screenRect) override {
    wasClipping_ = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glGetIntegerv(GL_SCISSOR_BOX, savedBox_);
    const CDisplay* display = GetDisplay();
    int box[4];
    GUIObject::ContentScissor(Vector2(screenRect.min.x, screenRect.max.y), screenRect.GetSize(), display->GetWidth(),
                              display->GetHeight(), box);
    glScissor(box[0], box[1], box[2], box[3]);
    glEnable(GL_SCISSOR_TEST);
  }
  void EndClip() override {
    glScissor(savedBox_[0], savedBox_[1], savedBox_[2], savedBox_[3]);
    if (!wasClipping_) glDisable(GL_SCISSOR_TEST);
  }

 private:
  bool wasClipping_ = false;
  GLint savedBox_[4] = {0, 0, 0, 0};
};

RendererCanvas gRenderer;
DebugCanvas* gInstalled = nullptr;

}  // namespace

DebugCanvas& GetDebugCanvas() { return gInstalled != nullptr ? *gInstalled : gRenderer; }

void SetDebugCanvas(DebugCanvas* canvas) { gInstalled = canvas; }
