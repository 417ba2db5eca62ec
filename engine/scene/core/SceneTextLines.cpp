#include "engine/scene/core/SceneTextLines.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool SceneTextLines::Open(const char* fileName) {
  lineNumber_ = 0;
  putBack_ = false;
  haveLine_ = false;
  return (file_.OpenRead(fileName) & File::kOpen) != 0;
}

bool SceneTextLines::ReadRawLine() {
  size_t stored = file_.ReadChars(line_, sizeof line_);
  if (stored == 0) return false;
  ++lineNumber_;
  // A line longer than the buffer: the remainder is read and dropped.
  if (line_[stored - 1] != '\n' && stored == kMaxLine) {
    char rest[256];
    size_t more;
    while ((more = file_.ReadChars(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
    }
  }
  // A NUL byte inside the line ends its text.
  size_t length = std::strlen(line_);
  while (length > 0 && IsBlank(line_[length - 1])) line_[--length] = '\0';
  return true;
}

const char* SceneTextLines::Next() {
  if (putBack_ && haveLine_) {
    putBack_ = false;
    return line_;
  }
  putBack_ = false;
  haveLine_ = false;
  while (ReadRawLine()) {
    if (line_[std::strspn(line_, " \t")] != '\0') {
      haveLine_ = true;
      return line_;
    }
  }
  return nullptr;
}
