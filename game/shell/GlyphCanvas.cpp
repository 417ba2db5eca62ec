#include "game/shell/GlyphCanvas.h"

#include <GL/gl.h>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "game/puzzle/GlyphText.h"
#include "game/shell/FrontEndCanvas.h"

namespace {

// Blended and textured: the glyph fonts' own word.
constexpr GFXRenderFlags kGlyphRenderState = 0x108;
// Blended, untextured, both sides: the pause overlay.
constexpr GFXRenderFlags kShadeRenderState = 0x184;
// Blended and textured without the depth test: pictures over the scene.
constexpr GFXRenderFlags kPictureRenderState = 0x10C;

// The render-state word leaves face culling as the words before it left it,
// and the menu's quads face away under the y-down 2D projection: culling is
// off while one is drawn and back as it was afterwards.
class CullingOff {
 public:
  CullingOff() : wasOn_(glIsEnabled(GL_CULL_FACE) == GL_TRUE) { glDisable(GL_CULL_FACE); }
  ~CullingOff() {
    if (wasOn_) glEnable(GL_CULL_FACE);
  }
  CullingOff(const CullingOff&) = delete;
  CullingOff& operator=(const CullingOff&) = delete;

 private:
  bool wasOn_;
};

class GlyphCanvas : public FrontEndCanvas {
 public:
  int FontCount() const override { return static_cast<int>(GlyphFontCount()); }

  float Measure(int font, const char* text) const override {
    const GlyphText* glyphs = Font(font);
    return glyphs != nullptr ? glyphs->Measure(text) : 0.0f;
  }

  void DrawText(int font, const char* text, float x, float y) override {
    GlyphText* glyphs = Font(font);
    if (glyphs == nullptr) return;
    // Set here first, so the font's own setting changes nothing of culling.
    GFXDisplay::SetRenderState(kGlyphRenderState);
    const CullingOff culling;
    glyphs->DrawAt(text, x, y);
  }

  Vector2 GlyphSize(int font) const override {
    const GlyphText* glyphs = Font(font);
    return glyphs != nullptr ? glyphs->glyphSize : Vector2{};
  }

  void SetGlyphSize(int font, const Vector2& size) override {
    if (GlyphText* glyphs = Font(font)) glyphs->glyphSize = size;
  }

  // A glyph font draws its sheet as a texture: its alpha is its sprite's.
  float Alpha(int font) const override {
    const GlyphText* glyphs = Font(font);
    return glyphs != nullptr && glyphs->sprite ? glyphs->sprite->colour[3] : 1.0f;
  }

  void SetAlpha(int font, float alpha) override {
    GlyphText* glyphs = Font(font);
    if (glyphs != nullptr && glyphs->sprite) glyphs->sprite->colour[3] = alpha;
  }

  void DrawShade(const Rect& area, float alpha) override {
    GFXDisplay::SetRenderState(kShadeRenderState);
    const CullingOff culling;
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    GFXDisplay::DrawRect(area.min, area.max);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }

  void DrawPicture(const char* materialName, const Rect& area, float alpha) override {
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(materialName);
    if (material == nullptr) return;
    // The material's own alpha is put back: the HUD draws it too.
    CMATStage* first = material->GetStage(0);
    const float ownAlpha = first != nullptr ? first->colour[3] : 1.0f;
    if (first != nullptr) first->colour[3] = alpha;
    GFXDisplay::SetRenderState(kPictureRenderState);
    const CullingOff culling;
    GFXDisplay::SetMaterial(material);
    const int passes = GFXDisplay::PassCount(material);
    for (int pass = 0; pass < passes; ++pass) {
      GFXDisplay::BindMaterialStage(pass);
      GFXDisplay::DrawTexturedRect(area.min, area.max);
    }
    if (first != nullptr) first->colour[3] = ownAlpha;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }

  void BeginScreen(const Vector2& clientCorner) override {
    glPushMatrix();
    glTranslatef(-clientCorner.x, -clientCorner.y, 0.0f);
  }

  void EndScreen() override { glPopMatrix(); }

 private:
  static GlyphText* Font(int font) { return font < 0 ? nullptr : GlyphFont(static_cast<uint32_t>(font)); }
};

}  // namespace

std::unique_ptr<FrontEndCanvas> CreateGlyphCanvas() { return std::make_unique<GlyphCanvas>(); }

// Any front-end canvas: the fonts' sizes and alphas kept while a page
// draws with its own.

SavedFonts::SavedFonts(FrontEndCanvas& canvas) : canvas_(canvas) {
  count_ = canvas.FontCount();
  if (count_ > kMaxFonts) count_ = kMaxFonts;
  for (int font = 0; font < count_; ++font) {
    sizes_[font] = canvas.GlyphSize(font);
    alphas_[font] = canvas.Alpha(font);
  }
}

SavedFonts::~SavedFonts() {
  for (int font = 0; font < count_; ++font) {
    canvas_.SetGlyphSize(font, sizes_[font]);
    canvas_.SetAlpha(font, alphas_[font]);
  }
}
