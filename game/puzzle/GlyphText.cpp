#include "game/puzzle/GlyphText.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/graphics/RenderState.h"
#include "engine/graphics/Texture.h"

namespace {

// Cells of 64 x 64 texels with a 2-texel gap on each side.
constexpr float kCellGapTexels = 2.0f;
constexpr float kCellTexels = 64.0f;
// Glyphs per second of the frame stepper; glyphs never animate, since
// every draw sets the frame and updates with a time step of 0.
constexpr float kFrameRate = 47.0f;
// Texturing and blending, double-sided: dropping the scene's back culling
// turns culling to the front faces, which the screen's quads show.
constexpr GFXRenderFlags kGlyphRenderState = RenderFlag::TEXTURED | RenderFlag::BLENDING | RenderFlag::DBLSIDED;
// Where Init places the sprite; every draw places it again.
constexpr float kInitialCentre = 16.0f;

constexpr int32_t kStarGlyph = 15;
constexpr int32_t kFirstLetterGlyph = 16;
constexpr int32_t kNarrowI = 42;

std::unique_ptr<GlyphText[]> gFonts;
uint32_t gFontCount = 0;

// Calls place(glyph, pen) for every glyph of the text that is drawn, the pen
// starting at 0 and glyphs of the given width.
template <class Place>
void PlaceGlyphs(const char* text, float width, Place place) {
  float pen = 0.0f;
  for (const char* c = text; *c != '\0'; ++c) {
    const GlyphMapping glyph = GlyphText::MapChar(static_cast<unsigned char>(*c));
    // A narrow glyph is drawn shifted left by the width it lacks.
    const float shifted =
        pen - static_cast<float>(GlyphText::kCellUnits - glyph.advance) / GlyphText::kCellUnits * width;
    if (glyph.index >= 0) place(glyph, shifted);
    pen += static_cast<float>(glyph.advance) / GlyphText::kCellUnits * width;
  }
}

}  // namespace

GlyphText::GlyphText() : sprite(std::make_unique<GFXSprite>()) {}

void GlyphText::NewArray(uint32_t count) {
  gFonts.reset();
  gFontCount = 0;
  if (count == 0) return;
  gFonts = std::make_unique<GlyphText[]>(count);
  gFontCount = count;
}

GlyphText* GlyphFont(uint32_t index) {
  if (gFontCount == 0) return nullptr;
  return &gFonts[index < gFontCount ? index : gFontCount - 1];
}

uint32_t GlyphFontCount() { return gFontCount; }

GlyphMapping GlyphText::MapChar(unsigned char c) {
  if (c >= '0' && c <= '9') return {c - '0', kCellUnits};
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return {c - 'A' + kFirstLetterGlyph, c == 'I' ? kNarrowI : kCellUnits};
  switch (c) {
    case '+':
      return {10, kCellUnits};
    case '-':
      return {11, kCellUnits};
    case '=':
      return {12, kCellUnits};
    case '?':
      return {13, kCellUnits};
    case '!':
      return {14, 46};
    case ':':
      return {42, 42};
    case '/':
      return {43, kCellUnits};
    case '(':
      return {44, 49};
    case ')':
      return {45, 49};
    case '.':
      return {46, 42};
    case '%':
      return {47, kCellUnits};
    case ',':
      return {48, 46};
    case ' ':
      return {-1, kCellUnits / 2};
    default:
      return {kStarGlyph, kCellUnits};
  }
}

float GlyphText::Measure(const char* text, std::optional<float> size) const {
  if (text == nullptr) return 0.0f;
  const float width = size.value_or(glyphSize.x);
  float total = 0.0f;
  for (const char* c = text; *c != '\0'; ++c) {
    total += static_cast<float>(MapChar(static_cast<unsigned char>(*c)).advance) / kCellUnits * width;
  }
  return total;
}

void GlyphText::Init(CTEXTexture* sheet) {
  texture = sheet;
  LayOutSheet();
  // Wraps over the sheet's glyphs so that SetFrame keeps every index.
  flipbook.SetStepper(ValueStepper::kWrap, 0.0f, static_cast<float>(kLastGlyph), 0.0f, kFrameRate);
  flipbook.active = true;
  sprite->visible = true;
  // Animated: each draw's Update copies the glyph's frame and re-centres
  // the rectangle on the pen.
  sprite->animated = true;
  // The screen's y runs down; the sheet's rows run up once loaded.
  sprite->mirrorY = true;
  sprite->rect.SetCentreSize(Vector2(kInitialCentre, kInitialCentre), glyphSize.x, glyphSize.y);
  sprite->SetFlipbook(&flipbook);
}

void GlyphText::LayOutSheet() {
  flipbook.SetFrameSize(texture, kCellGapTexels, kCellGapTexels, kCellTexels, kCellTexels);
}

Rect GlyphText::DrawnBox(const char* text, float x, float y, std::optional<float> size) const {
  const float width = size.value_or(glyphSize.x);
  const float height = size.value_or(glyphSize.y);
  Rect box;
  box.SetCentreSize(Vector2(x, y), 0.0f, 0.0f);
  if (text == nullptr) return box;
  bool first = true;
  PlaceGlyphs(text, width, [&](const GlyphMapping&, float pen) {
    Rect cell;
    cell.SetCentreSize(Vector2(x + pen, y), width, height);
    if (first) {
      box = cell;
      first = false;
      return;
    }
    box.min = Vector2(std::min(box.min.x, cell.min.x), std::min(box.min.y, cell.min.y));
    box.max = Vector2(std::max(box.max.x, cell.max.x), std::max(box.max.y, cell.max.y));
  });
  box.centre = Vector2((box.min.x + box.max.x) / 2.0f, (box.min.y + box.max.y) / 2.0f);
  return box;
}

void GlyphText::Draw(const char* text, const GlyphStyle& style) { DrawStyled(text, style, Vector2(0.0f, 0.0f)); }

void GlyphText::DrawAt(const char* text, float x, float y, const GlyphStyle& style) {
  DrawStyled(text, style, Vector2(x, y));
}

void GlyphText::DrawStyled(const char* text, const GlyphStyle& style, const Vector2& origin) {
  if (texture == nullptr || text == nullptr || *text == '\0') return;
  // A sheet that had no size at Init (still queued then) is laid out once
  // it has one; until then the whole sheet would show for every glyph.
  if ((flipbook.cell.x <= 0.0f || flipbook.cell.y <= 0.0f) && texture->Width() > 0 && texture->Height() > 0) {
    LayOutSheet();
  }
  const Vector2 ownSize = glyphSize;
  const float ownAlpha = sprite->colour[3];
  if (style.size) glyphSize = Vector2(*style.size, *style.size);
  if (style.alpha) sprite->colour[3] = *style.alpha;
  DrawGlyphs(text, origin);
  glyphSize = ownSize;
  sprite->colour[3] = ownAlpha;
}

void GlyphText::DrawGlyphs(const char* text, const Vector2& origin) {
  GFXDisplay::SetRenderState(kGlyphRenderState);
  // Glyphs blend by their alpha, whatever a material's stage (an adding
  // crystal) left: the render state leaves the blend function alone.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  // Each glyph's sprite stands where it is drawn, so what records the
  // sprites sees the text where it lands in the current frame.
  PlaceGlyphs(text, glyphSize.x, [&](const GlyphMapping& glyph, float pen) {
    flipbook.SetFrame(static_cast<uint32_t>(glyph.index));
    sprite->rect.SetCentreSize(Vector2(origin.x + pen, origin.y), glyphSize.x, glyphSize.y);
    sprite->Update(0.0f);
    sprite->Render();
  });
}
