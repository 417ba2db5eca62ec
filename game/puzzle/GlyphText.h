#pragma once

// Sprite-glyph fonts: one texture sheet holds the glyphs in 64 x 64 cells
// and a text is drawn glyph by glyph as a textured sprite with per-glyph
// advances. The program keeps eight of them in one array, made by the game
// and given their sheets by the loading and front-end screens; the HUD and
// the shell's pages write with them.

#include <cstdint>
#include <memory>
#include <optional>

#include "engine/foundation/Rect.h"
#include "engine/foundation/Vector2.h"
#include "engine/graphics/GFXFlipbook.h"
#include "engine/graphics/GFXSprite.h"

class CTEXTexture;

// Where a character lives on the sheet and how far it moves the pen.
struct GlyphMapping {
  int32_t index;    // glyph cell, -1 for none (nothing drawn)
  int32_t advance;  // in sheet units of 64 per cell
};

// What one draw changes of the font, put back when the call returns.
struct GlyphStyle {
  std::optional<float> size;   // glyph width and height; the font's own when unset
  std::optional<float> alpha;  // the sprite's alpha; the font's own when unset
};

class GlyphText {
 public:
  // Advances are in these units; one cell is this wide.
  static constexpr int32_t kCellUnits = 64;
  // The sheet's last glyph (',').
  static constexpr int32_t kLastGlyph = 48;
  // Glyph size of a new font.
  static constexpr float kDefaultSize = 32.0f;

  // Glyph size (32, 32), no sheet.
  GlyphText();
  virtual ~GlyphText() = default;
  GlyphText(const GlyphText&) = delete;
  GlyphText& operator=(const GlyphText&) = delete;

  // Makes the program-wide array of count fonts (replacing one made before).
  static void NewArray(uint32_t count);

  // Gives the font its sheet and lays the glyph cells out over it. A sheet
  // still queued for loading is laid out when it is first drawn with a size.
  void Init(CTEXTexture* sheet);
  // The cell and advance of a character; anything the sheet lacks is '*'.
  static GlyphMapping MapChar(unsigned char c);
  // Width of a text in the font (null or empty: 0); needs no sheet.
  float Measure(const char* text, std::optional<float> size = std::nullopt) const;
  // The area the glyphs of a text drawn at (x, y) cover: every drawn glyph's
  // cell, centred on its pen (so it reaches half a glyph left of x), spaces
  // left out. A text with no drawn glyph covers only the point (x, y). Needs
  // no sheet.
  Rect DrawnBox(const char* text, float x, float y, std::optional<float> size = std::nullopt) const;
  // Draws a text with the pen starting at the model-view origin; each
  // glyph is centred on the pen. Nothing before Init.
  void Draw(const char* text, const GlyphStyle& style = {});
  // Draws a text at (x, y) of the current model-view frame.
  void DrawAt(const char* text, float x, float y, const GlyphStyle& style = {});

  // The drawn size of a full-width glyph.
  Vector2 glyphSize{kDefaultSize, kDefaultSize};
  CTEXTexture* texture = nullptr;
  GFXFlipbook flipbook;
  // Draws one glyph; a test may swap in a sprite of its own before Init.
  std::unique_ptr<GFXSprite> sprite;

 private:
  void LayOutSheet();
  // Draws the text with the pen starting at the origin, in the style.
  void DrawStyled(const char* text, const GlyphStyle& style, const Vector2& origin);
  void DrawGlyphs(const char* text, const Vector2& origin);
};

// The font of the program-wide array at the index; an index at or past the
// array's end takes the last font. Null until the array is made.
GlyphText* GlyphFont(uint32_t index);
// Fonts in the program-wide array (0 until it is made).
uint32_t GlyphFontCount();
