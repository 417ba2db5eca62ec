#pragma once
// The engine's character string: a heap buffer of exactly the size asked for,
// counted by the memory accounting. Names, paths, file lines and log texts
// all pass through it.
#include <cstdarg>
#include <cstdint>

class String {
 public:
  // Read only by Format: when zero, Format ends the text with "\n". Every
  // constructor clears it; copies and assignments leave it alone.
  uint8_t noNewline = 0;

  // An empty string without a buffer.
  String() = default;
  // A copy of the characters (a null pointer gives an empty text).
  String(const char* text);
  // An empty string with room for reserveLength characters.
  explicit String(uint32_t reserveLength);
  // A copy of the other string's text (its flag is not copied).
  String(const String& other);
  // Zero-fills and frees the buffer.
  ~String();

  // Assigns the other text, keeping the buffer when it is large enough.
  String& operator=(const String& other) { return AssignString(other); }
  String& operator=(const char* text) { return AssignChars(text); }
  String& AssignString(const String& other);
  String& AssignChars(const char* text);
  // Assigns at most maxLength characters of the text.
  String& AssignCharsLimited(const char* text, uint32_t maxLength);

  // Replaces the buffer by a zero-filled block of n + 1 bytes.
  void Allocate(uint32_t n);
  // Makes room for n characters; a buffer that is too small is replaced and
  // its text lost.
  void Reserve(uint32_t n);
  // Zero-fills and frees the buffer.
  void Release();

  // Number of characters before the terminator; 0 without a buffer.
  uint32_t Length() const;
  // Size of the buffer in bytes, terminator included.
  uint32_t Capacity() const { return capacity_; }
  // The text, never null ("" without a buffer).
  const char* Chars() const { return buffer_ != nullptr ? buffer_ : ""; }
  // The raw buffer, null until the first assignment.
  char* Buffer() { return buffer_; }
  const char* Buffer() const { return buffer_; }
  // The character at an index within the capacity (no check).
  char& operator[](uint32_t index) { return buffer_[index]; }
  const char& operator[](uint32_t index) const { return buffer_[index]; }
  // True for a text of length 0.
  bool IsEmpty() const { return buffer_ == nullptr || buffer_[0] == '\0'; }

  // Equal lengths and equal characters; no buffer equals the empty text.
  bool EqualsChars(const char* text) const;
  bool operator==(const char* text) const { return EqualsChars(text); }
  bool operator!=(const char* text) const { return !EqualsChars(text); }

  // Index of the first occurrence of the needle from start on, or -1; a
  // start outside the text searches from 0.
  int Find(const char* needle, int start = 0) const;
  int Find(const String& needle, int start = 0) const { return Find(needle.Chars(), start); }

  // Number of words separated by runs of space, tab or carriage return; a
  // text of separators only counts 1.
  int CountWords() const;

  // Up to count characters from start (negative values count as 0).
  String Mid(int start, int count) const;
  // The first n characters.
  String Left(int n) const;
  // The last n characters.
  String Right(int n) const;
  // Word n, where every single space or tab ends a word (so "a  b" has an
  // empty word 1); empty past the last word.
  String GetWord(int n) const;

  // Appends the other text, growing the buffer to exactly the new length.
  String& AppendString(const String& other);
  String& AppendChars(const char* text);
  String& operator+=(const String& other) { return AppendString(other); }
  String& operator+=(const char* text) { return AppendChars(text); }

  // Removes leading spaces and tabs.
  void TrimLeft();
  // Removes trailing space, tab, CR, LF; the first character always stays.
  void TrimRight();
  // TrimLeft then TrimRight.
  void Trim();
  // Replaces every occurrence of one character by another in the buffer.
  void ReplaceChar(char from, char to);
  // Empties the text, keeping the buffer.
  void ClearText();
  // Converts A-Z to a-z in place.
  void ToLower();
  // Converts a-z to A-Z in place.
  void ToUpper();

  // printf-style formatting through one shared 256-byte buffer: at most 255
  // characters, ending with "\n" unless noNewline is set (a long text is cut
  // before the newline). Not re-entrant.
  String& Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Format with the arguments already gathered.
  String& FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

 private:
  char* buffer_ = nullptr;
  uint32_t capacity_ = 0;
};

// Equal texts (see String::EqualsChars).
bool operator==(const String& a, const String& b);
bool operator!=(const String& a, const String& b);

// A copy of a with b appended (a copy of b when a is empty).
String Concat(const String& a, const String& b);
String ConcatChars(const String& a, const char* b);
String operator+(const String& a, const String& b);
String operator+(const String& a, const char* b);
