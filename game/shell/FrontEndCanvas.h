#pragma once

// What the front end draws with: the game's eight gem fonts by index (0 red,
// 1 orange, 2 yellow, 3 green, 4 cyan, 5 blue, 6 purple, 7 black), each with
// a glyph size and an alpha that a page may change for one draw, and two
// kinds of quad. Positions are on the 800 x 600 screen, y down. The game
// draws through the glyph fonts; tests record the calls.

#include "engine/foundation/Rect.h"
#include "engine/foundation/Vector2.h"

class FrontEndCanvas {
 public:
  virtual ~FrontEndCanvas() = default;

  // Number of fonts; indices past it are never passed in.
  virtual int FontCount() const = 0;
  // Width of the text in the font at its current glyph size.
  virtual float Measure(int font, const char* text) const = 0;
  // Draws the text with its origin at (x, y).
  virtual void DrawText(int font, const char* text, float x, float y) = 0;
  virtual Vector2 GlyphSize(int font) const = 0;
  virtual void SetGlyphSize(int font, const Vector2& size) = 0;
  virtual float Alpha(int font) const = 0;
  virtual void SetAlpha(int font, float alpha) = 0;

  // A black quad over the area with the alpha.
  virtual void DrawShade(const Rect& area, float alpha) = 0;
  // A quad of the named material over the area with the alpha.
  virtual void DrawPicture(const char* material, const Rect& area, float alpha) = 0;

  // Drawing inside a window's client area: positions given afterwards are
  // screen positions again, until EndScreen.
  virtual void BeginScreen(const Vector2& clientCorner) = 0;
  virtual void EndScreen() = 0;
};

// Keeps the glyph size and alpha of every font and puts them back when it
// goes away, so a page can change them freely while it draws.
class SavedFonts {
 public:
  explicit SavedFonts(FrontEndCanvas& canvas);
  ~SavedFonts();
  SavedFonts(const SavedFonts&) = delete;
  SavedFonts& operator=(const SavedFonts&) = delete;

 private:
  static constexpr int kMaxFonts = 16;
  FrontEndCanvas& canvas_;
  int count_ = 0;
  Vector2 sizes_[kMaxFonts];
  float alphas_[kMaxFonts] = {};
};
