#include "engine/scene/model/TextScanner.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a decimal number too large or too small for a float is the large
// kind: the power of ten of its leading digit, exponent added, is positive.
bool IsHugeDecimal(const char* p, const char* end) {
  if (*p == '+' || *p == '-') ++p;
  int64_t power = 0, fractionDigits = 0;
  bool leadFound = false, afterPoint = false;
  for (; p < end && (IsDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      afterPoint = true;
      continue;
    }
    if (afterPoint) ++fractionDigits;
    if (!leadFound && *p != '0') {
      leadFound = true;
      power = afterPoint ? -fractionDigits : 0;
    } else if (leadFound && !afterPoint) {
      ++power;
    }
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) ++p;
    int64_t exponent = 0;
    // Saturates far beyond any float's range.
    for (; p < end && IsDigit(*p); ++p) exponent = std::min<int64_t>(exponent * 10 + (*p - '0'), 1000000);
    power += negative ? -exponent : exponent;
  }
  return power > 0;
}

// Parses a number the way the C library does in the "C" locale, whatever
// locale the program runs in: the decimal point is always ".". Returns the
// end of the number, or text when there is none.
const char* ParseFloat(const char* text, const char* end, float& value) {
  // from_chars takes no plus sign.
  const char* digits = text + (*text == '+' ? 1 : 0);
  if (digits != text && digits < end && *digits == '-') return text;
  float parsed = 0.0f;
  const auto [next, error] = std::from_chars(digits, end, parsed);
  if (error == std::errc::invalid_argument) return text;
  if (error == std::errc::result_out_of_range) {
    // Overflow becomes infinity and underflow zero, signed as written.
    parsed = IsHugeDecimal(text, next) ? std::numeric_limits<float>::infinity() : 0.0f;
    if (*digits == '-') parsed = -parsed;
  }
  value = parsed;
  return next;
}

}  // namespace

TextScanner::TextScanner(const std::vector<uint8_t>& bytes) : text_(bytes.begin(), bytes.end()) {
  // A NUL ends a text file for a formatted reader; it also keeps the
  // number parser below from reading past the text.
  const size_t nul = text_.find('\0');
  if (nul != std::string::npos) text_.resize(nul);
}

void TextScanner::SkipBlanks() {
  while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
}

bool TextScanner::NextStartsWith(const char* literal) {
  SkipBlanks();
  return text_.compare(pos_, std::strlen(literal), literal) == 0;
}

void TextScanner::SkipRestOfWord() {
  while (!AtEnd() && !IsBlank(text_[pos_])) ++pos_;
}

int TextScanner::Scan(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int stored = 0;
  bool inputFailed = false;
  for (const char* f = format; *f != '\0'; ++f) {
    if (IsBlank(*f)) {
      SkipBlanks();
      continue;
    }
    if (*f != '%') {
      if (AtEnd()) {
        inputFailed = true;
        break;
      }
      if (text_[pos_] != *f) break;
      ++pos_;
      continue;
    }
    const char conversion = *++f;
    if (conversion == '\0') break;
    SkipBlanks();
    if (AtEnd()) {
      inputFailed = true;
      break;
    }
    const char* start = text_.c_str() + pos_;
    if (conversion == 's') {
      std::string* word = va_arg(args, std::string*);
      size_t end = pos_;
      while (end < text_.size() && !IsBlank(text_[end]) && end - pos_ < kMaxWord) ++end;
      word->assign(text_, pos_, end - pos_);
      pos_ = end;
    } else if (conversion == 'd' || conversion == 'u') {
      // Digits after an optional sign; nothing is consumed without a digit.
      size_t p = pos_;
      if (text_[p] == '+' || text_[p] == '-') ++p;
      if (p >= text_.size() || !IsDigit(text_[p])) break;
      char* end = nullptr;
      long long value = std::strtoll(start, &end, 10);
      pos_ += size_t(end - start);
      if (conversion == 'd') {
        // Out of range saturates (strtoll already saturates at its own limits).
        if (value > INT32_MAX) value = INT32_MAX;
        if (value < INT32_MIN) value = INT32_MIN;
        *va_arg(args, int32_t*) = int32_t(value);
      } else {
        // Like the C reader, a negative count wraps to a huge unsigned one.
        *va_arg(args, uint32_t*) = uint32_t(uint64_t(value));
      }
    } else if (conversion == 'f') {
      float value = 0.0f;
      const char* end = ParseFloat(start, text_.c_str() + text_.size(), value);
      if (end == start) break;
      pos_ += size_t(end - start);
      *va_arg(args, float*) = value;
    } else {
      break;
    }
    ++stored;
  }
  va_end(args);
  return inputFailed && stored == 0 ? -1 : stored;
}
