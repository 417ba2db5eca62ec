#include "engine/foundation/String.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/foundation/Memory.h"

namespace {

constexpr uint32_t kFormatBufferSize = 256;

bool IsWordSeparator(char c) { return c == '\0' || c == ' ' || c == '\t' || c == '\r'; }

bool IsTrailingSpace(char c) { return c == '\0' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

uint32_t CharsLength(const char* text) { return text != nullptr ? static_cast<uint32_t>(std::strlen(text)) : 0; }

// A new string holding count characters from text.
String FromRange(const char* text, uint32_t count) {
  String result;
  result.Reserve(count);
  if (result.Buffer() != nullptr && count > 0) std::memcpy(result.Buffer(), text, count);
  return result;
}

int ClampToZero(int value) { return value < 0 ? 0 : value; }

}  // namespace

String::String(const char* text) { AssignChars(text); }

String::String(uint32_t reserveLength) { Reserve(reserveLength); }

String::String(const String& other) { AssignString(other); }

String::~String() { Release(); }

void String::Allocate(uint32_t n) {
  buffer_ = static_cast<char*>(CountedNew(static_cast<size_t>(n) + 1));
  if (buffer_ == nullptr) {
    capacity_ = 0;
    return;
  }
  capacity_ = n + 1;
  std::memset(buffer_, 0, capacity_);
}

void String::Reserve(uint32_t n) {
  if (buffer_ == nullptr) {
    Allocate(n);
  } else if (capacity_ <= n) {
    Release();
    Allocate(n);
  }
}

void String::Release() {
  if (buffer_ == nullptr) return;
  std::memset(buffer_, 0, capacity_);
  CountedDelete(buffer_);
  buffer_ = nullptr;
  capacity_ = 0;
}

String& String::AssignString(const String& other) {
  if (&other == this) return *this;
  return AssignChars(other.buffer_);
}

String& String::AssignChars(const char* text) {
  uint32_t length = CharsLength(text);
  // The text may live inside our own buffer, which Reserve may free.
  if (text != nullptr && buffer_ != nullptr && text >= buffer_ && text < buffer_ + capacity_) {
    String copy(text);
    return AssignString(copy);
  }
  Reserve(length);
  if (buffer_ == nullptr) return *this;
  std::memset(buffer_, 0, capacity_);
  if (length > 0) std::memcpy(buffer_, text, length);
  return *this;
}

String& String::AssignCharsLimited(const char* text, uint32_t maxLength) {
  uint32_t length = 0;
  while (text != nullptr && length < maxLength && text[length] != '\0') ++length;
  String piece = FromRange(text, length);
  return AssignString(piece);
}

uint32_t String::Length() const { return CharsLength(buffer_); }

bool String::EqualsChars(const char* text) const {
  uint32_t length = Length();
  if (length != CharsLength(text)) return false;
  return length == 0 || std::memcmp(buffer_, text, length) == 0;
}

bool operator==(const String& a, const String& b) { return a.EqualsChars(b.Buffer()); }
bool operator!=(const String& a, const String& b) { return !(a == b); }

int String::Find(const char* needle, int start) const {
  if (buffer_ == nullptr || needle == nullptr) return -1;
  int length = static_cast<int>(Length());
  if (start < 0 || start >= length) start = 0;
  const char* hit = std::strstr(buffer_ + start, needle);
  return hit != nullptr ? static_cast<int>(hit - buffer_) : -1;
}

int String::CountWords() const {
  uint32_t length = Length();
  int words = 0;
  bool inWord = false;
  for (uint32_t i = 0; i < length; ++i) {
    if (IsWordSeparator(buffer_[i])) {
      if (inWord) ++words;
      inWord = false;
    } else {
      inWord = true;
    }
  }
  if (inWord) ++words;
  if (words == 0 && length > 0) words = 1;
  return words;
}

String String::Mid(int start, int count) const {
  uint32_t length = Length();
  uint32_t from = static_cast<uint32_t>(ClampToZero(start));
  if (from >= length) return String("");
  uint32_t taken = static_cast<uint32_t>(ClampToZero(count));
  if (taken > length - from) taken = length - from;
  return FromRange(buffer_ + from, taken);
}

String String::Left(int n) const {
  uint32_t length = Length();
  uint32_t taken = static_cast<uint32_t>(ClampToZero(n));
  if (taken > length) taken = length;
  return FromRange(Chars(), taken);
}

String String::Right(int n) const {
  uint32_t length = Length();
  uint32_t taken = static_cast<uint32_t>(ClampToZero(n));
  if (taken > length) taken = length;
  return FromRange(Chars() + (length - taken), taken);
}

String String::GetWord(int n) const {
  if (buffer_ == nullptr) return String("");
  uint32_t p = 0;
  for (int word = 0; word < n; ++word) {
    while (buffer_[p] != '\0' && buffer_[p] != ' ' && buffer_[p] != '\t') ++p;
    // Past the last word: stop at the terminator instead of stepping over it.
    if (buffer_[p] == '\0') return String("");
    ++p;
  }
  uint32_t end = p;
  while (!IsWordSeparator(buffer_[end])) ++end;
  String word = FromRange(buffer_ + p, end - p);
  word.TrimLeft();
  word.TrimRight();
  return word;
}

String& String::AppendString(const String& other) {
  if (buffer_ == nullptr) return AssignString(other);
  uint32_t ownLength = Length();
  uint32_t otherLength = other.Length();
  uint32_t newLength = ownLength + otherLength;
  if (newLength >= capacity_) {
    String keep(*this);
    Reserve(newLength);
    AssignString(keep);
    if (buffer_ == nullptr) return *this;
  }
  // memmove: appending a string to itself reads from the same buffer.
  if (otherLength > 0) std::memmove(buffer_ + ownLength, other.Chars(), otherLength);
  return *this;
}

String& String::AppendChars(const char* text) {
  static String scratch;
  scratch.AssignChars(text);
  return AppendString(scratch);
}

void String::TrimLeft() {
  if (buffer_ == nullptr) return;
  uint32_t skip = 0;
  while (buffer_[skip] == ' ' || buffer_[skip] == '\t') ++skip;
  if (skip == 0) return;
  uint32_t length = Length();
  std::memmove(buffer_, buffer_ + skip, length - skip);
  std::memset(buffer_ + (length - skip), 0, skip);
}

void String::TrimRight() {
  uint32_t length = Length();
  for (uint32_t i = length; i-- > 1;) {
    if (!IsTrailingSpace(buffer_[i])) break;
    buffer_[i] = '\0';
  }
}

void String::Trim() {
  TrimLeft();
  TrimRight();
}

void String::ReplaceChar(char from, char to) {
  // Replacing the terminator would leave the buffer without one.
  if (buffer_ == nullptr || from == '\0') return;
  for (uint32_t i = 0; i < capacity_; ++i) {
    if (buffer_[i] == from) buffer_[i] = to;
  }
}

void String::ClearText() {
  if (buffer_ != nullptr) std::memset(buffer_, 0, capacity_);
}

void String::ToLower() {
  uint32_t length = Length();
  for (uint32_t i = 0; i < length; ++i) {
    if (buffer_[i] >= 'A' && buffer_[i] <= 'Z') buffer_[i] = static_cast<char>(buffer_[i] - 'A' + 'a');
  }
}

void String::ToUpper() {
  uint32_t length = Length();
  for (uint32_t i = 0; i < length; ++i) {
    if (buffer_[i] >= 'a' && buffer_[i] <= 'z') buffer_[i] = static_cast<char>(buffer_[i] - 'a' + 'A');
  }
}

String& String::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
  return *this;
}

String& String::FormatV(const char* format, va_list args) {
  static char shared[kFormatBufferSize];
  shared[0] = '\0';
  std::vsnprintf(shared, kFormatBufferSize, format != nullptr ? format : "", args);
  if (noNewline == 0) {
    // A text cut at the cap keeps its line end: it replaces the last character.
    size_t length = std::strlen(shared);
    if (length > kFormatBufferSize - 2) length = kFormatBufferSize - 2;
    shared[length] = '\n';
    shared[length + 1] = '\0';
  }
  return AssignChars(shared);
}

String Concat(const String& a, const String& b) {
  if (a.IsEmpty()) return String(b);
  String result(a);
  result.AppendString(b);
  return result;
}

String ConcatChars(const String& a, const char* b) {
  if (a.IsEmpty()) return String(b);
  String result(a);
  result.AppendChars(b);
  return result;
}

String operator+(const String& a, const String& b) { return Concat(a, b); }
String operator+(const String& a, const char* b) { return ConcatChars(a, b); }
