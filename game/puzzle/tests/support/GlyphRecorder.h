#pragma once

// Gives the eight program-wide glyph fonts sheets and sprites that record,
// per font, the characters they draw and the alpha of each: a headless view
// of what a screen wrote in which font.

#include <string>
#include <vector>

#include "engine/foundation/Rect.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/tests/support/FakeTextureUploader.h"

namespace puzzle_test {

class GlyphRecorder {
 public:
  static constexpr int kFonts = 8;

  // Makes the program-wide array and records its fonts.
  GlyphRecorder();
  ~GlyphRecorder();

  // Forgets what was drawn.
  void Clear();
  // Whether the font drew the text as consecutive glyphs (spaces are not
  // drawn, so leave them out).
  bool Drew(int font, const std::string& text) const;

  // Per font: every glyph drawn as its character (letters upper-case) and
  // the alpha it was drawn with.
  std::string text[kFonts];
  std::vector<float> alpha[kFonts];
  // Every glyph drawn, in order: its font, its character and the area its
  // cell covers in the frame it was drawn in.
  struct Glyph {
    int font = 0;
    char c = 0;
    Rect box;
  };
  std::vector<Glyph> glyphs;

 private:
  FakeTextureUploader uploader_;
  CTEXTexture sheet_;
};

}  // namespace puzzle_test
