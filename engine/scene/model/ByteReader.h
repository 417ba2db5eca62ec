#pragma once
#include <cstdint>
#include <cstring>
#include <string>

// A bounded little-endian cursor over bytes read from a file. A read past
// the end yields 0, sets the failed flag and never touches memory beyond.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Remaining() const { return size_ - pos_; }
  bool Failed() const { return failed_; }
  // True when at least count items of itemBytes each remain.
  bool Holds(uint64_t count, uint64_t itemBytes) const { return itemBytes == 0 || count <= Remaining() / itemBytes; }

  uint8_t ReadU8() {
    uint8_t v = 0;
    Take(&v, 1);
    return v;
  }
  uint16_t ReadU16() {
    uint8_t b[2] = {};
    Take(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
  }
  int32_t ReadI32() {
    uint8_t b[4] = {};
    Take(b, 4);
    return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
  }
  float ReadF32() {
    const uint32_t bits = uint32_t(ReadI32());
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  // A string ends at a 0x00 (dropped), a "\n" (kept) or the end of the data.
  std::string ReadString() {
    std::string text;
    while (pos_ < size_) {
      const char c = char(data_[pos_++]);
      if (c == '\0') break;
      text.push_back(c);
      if (c == '\n') break;
    }
    return text;
  }

 private:
  void Take(uint8_t* out, size_t n) {
    if (size_ - pos_ < n) {
      pos_ = size_;
      failed_ = true;
      return;
    }
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};
