#pragma once
#include <cstdint>

#include "engine/foundation/File.h"

// Reads a scene text file line by line for pattern matching: blank lines are
// skipped, line ends dropped, and a line longer than the buffer is cut (the
// rest of it is discarded), so garbage input costs no more than its size.
class SceneTextLines {
 public:
  // Longest line kept, in characters.
  static constexpr uint32_t kMaxLine = 1023;

  // Opens the file in text mode; false when it does not open.
  bool Open(const char* fileName);
  // Length of the open file in bytes.
  int64_t Size() { return file_.GetSize(); }
  // The next non-blank line; null at the end of the file.
  const char* Next();
  // Makes the next call to Next return the current line again.
  void PutBack() { putBack_ = true; }
  // Number of the current line, counting from 1.
  uint32_t LineNumber() const { return lineNumber_; }

 private:
  // Reads one raw line into line_; false at the end of the file.
  bool ReadRawLine();

  FileText file_;
  char line_[kMaxLine + 1] = {};
  uint32_t lineNumber_ = 0;
  bool putBack_ = false;
  bool haveLine_ = false;
};
