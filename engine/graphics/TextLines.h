#pragma once
// A text file held in memory, read line by line with positions that can be
// saved and restored, as the material readers walk their blocks twice.

#include <cstdint>
#include <string>

#include "engine/foundation/String.h"

class TextLines {
 public:
  TextLines() = default;
  // Takes the text; a "\r" before "\n" is dropped as a text-mode read does.
  explicit TextLines(std::string text);

  // Reads one line, its "\n" included (a NUL byte also ends it); false when
  // nothing was left to read.
  bool ReadLine(String& line);
  // True once every byte has been read.
  bool AtEnd() const { return position_ >= text_.size(); }
  // The read position, to come back to with SetPos.
  size_t GetPos() const { return position_; }
  void SetPos(size_t position) { position_ = position < text_.size() ? position : text_.size(); }

 private:
  std::string text_;
  size_t position_ = 0;
};
