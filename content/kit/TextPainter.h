#pragma once
// Lines of text rendered with FreeType into coverage masks, at separate
// horizontal and vertical pixel sizes (pictures drawn at another aspect than
// their own are painted pre-stretched).

#include <string>

#include "content/kit/Mask.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// One line of text: its mask (with a margin all round) and where its
// baseline and pen start lie in the mask.
struct TextLine {
  Mask mask;
  int baseline = 0;
  int penStart = 0;
  int advance = 0;  // the pen's travel over the whole line
};

class TextPainter {
 public:
  // Opens a TrueType face; Ok() tells whether it could be read.
  explicit TextPainter(const std::string& fontPath);
  ~TextPainter();
  TextPainter(const TextPainter&) = delete;
  TextPainter& operator=(const TextPainter&) = delete;

  bool Ok() const { return face_ != nullptr; }
  // Renders a line (Latin-1 characters); an empty mask when the face is
  // missing.
  TextLine Render(const std::string& text, int sizeX, int sizeY, int margin) const;

 private:
  FT_LibraryRec_* library_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
};
