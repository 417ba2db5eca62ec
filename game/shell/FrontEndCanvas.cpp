#include "game/shell/FrontEndCanvas.h"

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
