#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Formatted input over a text file held in memory, consuming the way the C
// library's formatted stream input does: a blank in the format skips any run
// of white space, a literal character must match the next one (a mismatch
// stops the scan and leaves that character for the next scan), and a
// conversion skips white space first. The skeleton, key-frame and sequence
// files are written for that kind of reader, so partly matching lines move
// through the file the same way. Reading from memory keeps every scan within
// the bytes the file holds.
class TextScanner {
 public:
  // Longest word a "%s" stores; the rest of a longer word is left for the next scan.
  static constexpr size_t kMaxWord = 511;

  explicit TextScanner(const std::vector<uint8_t>& bytes);

  // Scans by a format of literals, blanks and the conversions %d (int32_t*),
  // %u (uint32_t*), %f (float*) and %s (std::string*). Returns the number of
  // values stored, or -1 when the text ended before the first conversion.
  // Numbers are read as in the C library's "C" locale whatever the locale
  // the program runs in, so "." is always the decimal point.
  int Scan(const char* format, ...);
  // True when the text after any white space begins with the literal; only
  // the white space is consumed. Lets a reader test for an optional line.
  bool NextStartsWith(const char* literal);
  // Drops what is left of a word longer than a "%s" stores, so that the next
  // scan starts after the word. Call it only after a "%s" stored a word.
  void SkipRestOfWord();
  // Bytes not yet consumed.
  size_t Remaining() const { return text_.size() - pos_; }
  // Read position, for telling whether a scan consumed anything.
  size_t Position() const { return pos_; }

 private:
  void SkipBlanks();
  bool AtEnd() const { return pos_ >= text_.size(); }

  std::string text_;
  size_t pos_ = 0;
};
