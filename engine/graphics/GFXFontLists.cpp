// A font's display lists (grid, BMFont and system fonts) and printing.

#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/Texture.h"
#include "platform/SystemFont.h"

namespace {

constexpr int kGridSide = 16;
constexpr float kCellUV = 1.0f / kGridSide;
// BMFont glyphs are built ten units high; the font's scale then sizes them.
constexpr float kBMFontUnits = 10.0f;
constexpr float kBMFontAdvanceSpread = 1.1f;

const CTEXTexture* GlyphTexture(const CMATMaterial* material) {
  const CMATStage* first = material != nullptr ? material->GetStage(0) : nullptr;
  return first != nullptr ? first->texture : nullptr;
}

void TexturedVertex(float u, float v, float x, float y) {
  glTexCoord2f(u, v);
  glVertex3f(x, y, 0.0f);
}

}  // namespace

GFXFont::GFXFont() = default;

GFXFont::~GFXFont() {
  DeleteLists();
  delete info;
}

void GFXFont::BuildLists() {
  if (type != kBitmap || !rebuild) return;
  const CTEXTexture* texture = GlyphTexture(material);
  if (texture == nullptr) return;
  if (info != nullptr) {
    BuildBMFontLists();
    return;
  }
  const uint32_t texels = texture->Width();
  const uint32_t cell = texels / kGridSide;
  // A texture that failed to load has no width: try again on a later pass.
  if (cell == 0) return;

  rebuild = false;
  listBase = glGenLists(kGlyphCount);
  height = 0;
  for (int row = 0; row < kGridSide; ++row) {
    const float top = 1.0f - float(row) * kCellUV;
    const float bottom = top - kCellUV;
    for (int column = 0; column < kGridSide; ++column) {
      const int code = row * kGridSide + column;
      const float w = float(widths[code]);
      const float wn = w / float(texels);
      const float u = float(column) * kCellUV + kCellUV / 2.0f - wn / 2.0f;
      const float advance = w / float(cell);
      glNewList(listBase + code, GL_COMPILE);
      glBegin(GL_TRIANGLE_STRIP);
      TexturedVertex(u, bottom, 0.0f, 1.0f);
      TexturedVertex(u + wn, bottom, advance, 1.0f);
      TexturedVertex(u, top, 0.0f, 0.0f);
      TexturedVertex(u + wn, top, advance, 0.0f);
      glEnd();
      glTranslatef(advance, 0.0f, 0.0f);
      glEndList();
      if (widths[code] > height) height = widths[code];
    }
  }
}

void GFXFont::BuildBMFontLists() {
  const float textureWidth = float(info->textureWidth);
  const float textureHeight = float(info->textureHeight);
  if (textureWidth <= 0.0f || textureHeight <= 0.0f) return;
  rebuild = false;
  listBase = glGenLists(kGlyphCount);
  height = 10;
  width = 10;
  for (int code = 0; code < kGlyphCount; ++code) {
    const GFXFontInfo::Glyph& glyph = info->glyphs[code];
    if (glyph.present == 0) continue;
    const float u = glyph.x / textureWidth;
    const float v = glyph.y / textureHeight;
    const float w = glyph.width / textureWidth;
    const float h = glyph.height / textureHeight;
    const float oy = glyph.yOffset / textureHeight * kBMFontUnits;
    widths[code] = uint8_t(glyph.width);
    glNewList(listBase + code, GL_COMPILE);
    glBegin(GL_TRIANGLE_STRIP);
    TexturedVertex(u, 1.0f - v - h, 0.0f, oy + kBMFontUnits * h);
    TexturedVertex(u + w, 1.0f - v - h, kBMFontUnits * w, oy + kBMFontUnits * h);
    TexturedVertex(u, 1.0f - v, 0.0f, oy);
    TexturedVertex(u + w, 1.0f - v, kBMFontUnits * w, oy);
    glEnd();
    glTranslatef(glyph.xAdvance / textureWidth * kBMFontUnits * kBMFontAdvanceSpread, 0.0f, 0.0f);
    glEndList();
  }
}

void GFXFont::CreateSystemFont(const char* face, int fontHeight, int fontWidth, int fontWeight, bool isItalic,
                               bool isUnderline, bool isOutline) {
  height = fontHeight;
  width = fontWidth;
  weight = fontWeight;
  italic = isItalic ? 1 : 0;
  underline = isUnderline ? 1 : 0;
  outline = isOutline ? 1 : 0;
  name = face != nullptr ? face : "";
  BuildSystemLists();
  type = kSystem;
}

void GFXFont::BuildSystemLists() {
  platform::SystemFontRequest request;
  request.face = name.Chars();
  request.pixelHeight = height;
  request.pixelWidth = width;
  request.weight = weight;
  request.italic = italic != 0;
  std::vector<platform::SystemGlyph> glyphs;
  if (!platform::RasteriseSystemFont(request, kSystemFirst, kSystemCount, glyphs)) {
    GFXDisplay::Log("[GFXFont] No system font matches '%s'", name.Chars());
    return;
  }
  listBase = glGenLists(kSystemCount);
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (int i = 0; i < kSystemCount && i < int(glyphs.size()); ++i) {
    const platform::SystemGlyph& glyph = glyphs[size_t(i)];
    glNewList(listBase + i, GL_COMPILE);
    glBitmap(glyph.width, glyph.height, glyph.originX, glyph.originY, glyph.advance, 0.0f,
             glyph.rows.empty() ? nullptr : glyph.rows.data());
    glEndList();
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  rebuild = false;
}

void GFXFont::RebuildSystemLists() {
  if (type == kSystem) BuildSystemLists();
}

void GFXFont::DeleteLists() {
  rebuild = true;
  if (listBase == 0) return;
  if (type == kSystem) glDeleteLists(listBase, kSystemCount);
  if (type == kBitmap) glDeleteLists(listBase, kGlyphCount);
  listBase = 0;
}

void GFXFont::CallLists(const char* text, size_t length) { glCallLists(GLsizei(length), GL_UNSIGNED_BYTE, text); }

void GFXFont::Print(const char* text) {
  if (text == nullptr || listBase == 0) return;
  const size_t length = std::strlen(text);
  if (type == kSystem) {
    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase - kSystemFirst);
    CallLists(text, length);
    glPopAttrib();
    return;
  }
  if (type != kBitmap) return;

  GLint shadeModel = GL_SMOOTH;
  glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
  glShadeModel(GL_FLAT);
  glPushAttrib(GL_LIST_BIT);
  glListBase(listBase);
  auto pass = [&](bool isShadow) {
    glPushMatrix();
    // The shadow sits one unit right and down, a little toward the viewer.
    if (isShadow) glTranslatef(1.0f, 1.0f, -0.125f);
    glScalef(scale.x, scale.y, 1.0f);
    GFXDisplay::SetMaterial(material);
    GFXDisplay::BindMaterialStage(0);
    GFXDisplay::SetRenderState(GFXDisplay::GetRenderState() | RenderFlag::DEPTHTEST);
    if (isShadow) {
      glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    } else {
      glColor4f(colour[0], colour[1], colour[2], colour[3]);
    }
    CallLists(text, length);
    glPopMatrix();
  };
  if (shadow) pass(true);
  pass(false);
  glPopAttrib();
  glShadeModel(GLenum(shadeModel));
}

float GFXFont::GetTextWidth(const char* text) const {
  float total = 0.0f;
  if (text == nullptr) return total;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != '\0'; ++c) total += widths[*c];
  return total;
}

float GFXFont::GetDrawnWidth(const char* text) const {
  const float texels = GetTextWidth(text);
  const CTEXTexture* texture = GlyphTexture(material);
  if (type != kBitmap || info != nullptr || texture == nullptr) return texels;
  const uint32_t cell = texture->Width() / kGridSide;
  if (cell == 0) return texels;
  return texels * scale.x / float(cell);
}

void GFXFont::SetColour(float r, float g, float b, float a) {
  std::memcpy(savedColour, colour, sizeof colour);
  SetColourValues(r, g, b, a);
}

void GFXFont::RestoreColour() { std::memcpy(colour, savedColour, sizeof colour); }

void GFXFont::SetColourValues(float r, float g, float b, float a) {
  colour[0] = r;
  colour[1] = g;
  colour[2] = b;
  colour[3] = a;
}
