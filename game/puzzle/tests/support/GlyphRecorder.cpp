#include "GlyphRecorder.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/graphics/GFXSprite.h"
#include "game/puzzle/GlyphText.h"

namespace puzzle_test {

namespace {

// The character of a glyph cell.
char CharOfGlyph(int glyph) {
  // Every character the sheet lacks draws the '*' cell.
  if (glyph == GlyphText::MapChar('*').index) return '*';
  for (int c = 0; c < 128; ++c) {
    if (c >= 'a' && c <= 'z') continue;
    if (GlyphText::MapChar(static_cast<unsigned char>(c)).index == glyph) return static_cast<char>(c);
  }
  return '?';
}

class RecordingSprite : public GFXSprite {
 public:
  RecordingSprite(int font, GlyphRecorder& recorder) : font_(font), recorder_(recorder) {}
  void Render() override {
    if (!visible || image == nullptr || flipbook == nullptr) return;
    const char c = CharOfGlyph(static_cast<int>(flipbook->frame.value));
    recorder_.text[font_].push_back(c);
    recorder_.alpha[font_].push_back(colour[3]);
    // The corners are relative to the centre, where the sprite stands.
    GlyphRecorder::Glyph glyph{font_, c, rect};
    glyph.box.min = Vector2(rect.centre.x + rect.min.x, rect.centre.y + rect.min.y);
    glyph.box.max = Vector2(rect.centre.x + rect.max.x, rect.centre.y + rect.max.y);
    recorder_.glyphs.push_back(glyph);
  }

 private:
  int font_;
  GlyphRecorder& recorder_;
};

}  // namespace

GlyphRecorder::GlyphRecorder() {
  EXPECT_TRUE(sheet_.CreateBlank(512, 512, nullptr));
  GlyphText::NewArray(kFonts);
  for (int i = 0; i < kFonts; ++i) {
    GlyphText* font = GlyphFont(i);
    font->sprite = std::make_unique<RecordingSprite>(i, *this);
    font->Init(&sheet_);
  }
}

GlyphRecorder::~GlyphRecorder() { GlyphText::NewArray(0); }

void GlyphRecorder::Clear() {
  for (int i = 0; i < kFonts; ++i) {
    text[i].clear();
    alpha[i].clear();
  }
  glyphs.clear();
}

bool GlyphRecorder::Drew(int font, const std::string& wanted) const {
  return text[font].find(wanted) != std::string::npos;
}

}  // namespace puzzle_test
