#include "engine/graphics/TextLines.h"

TextLines::TextLines(std::string text) {
  text_.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text_ += text[i];
  }
}

bool TextLines::ReadLine(String& line) {
  line.ClearText();
  if (AtEnd()) return false;
  size_t end = position_;
  while (end < text_.size() && text_[end] != '\n' && text_[end] != '\0') ++end;
  const bool newline = end < text_.size() && text_[end] == '\n';
  const std::string piece = text_.substr(position_, end - position_ + (newline ? 1 : 0));
  line = piece.c_str();
  // A NUL byte ends the line and is stepped over.
  position_ = end + 1;
  return true;
}
