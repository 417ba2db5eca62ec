#pragma once
// Little-endian byte packing shared by the mesh and index-list records, so
// the records read the same on every machine whatever File's mode is.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/foundation/File.h"

namespace meshrecord {

inline void PutU8(std::string& out, uint8_t v) { out.push_back(char(v)); }
inline void PutU16(std::string& out, uint16_t v) {
  PutU8(out, uint8_t(v));
  PutU8(out, uint8_t(v >> 8));
}
inline void PutU32(std::string& out, uint32_t v) {
  PutU16(out, uint16_t(v));
  PutU16(out, uint16_t(v >> 16));
}
inline void PutF32(std::string& out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  PutU32(out, bits);
}

// Writes the packed bytes; false when the file took fewer.
inline bool Flush(File& file, const std::string& bytes) {
  if (bytes.empty()) return true;
  return file.WriteBlock(bytes.data(), 1, bytes.size()) == bytes.size();
}

// Reads fixed-width little-endian values from a file and knows how many
// bytes are left, so counts can be checked before anything is allocated.
// A short read marks the cursor failed and yields 0.
class Cursor {
 public:
  explicit Cursor(File& file) : file_(file) {
    const int64_t size = file.GetSize();
    const int64_t at = file.Tell();
    remaining_ = (size >= 0 && at >= 0 && size >= at) ? uint64_t(size - at) : 0;
  }

  uint64_t Remaining() const { return remaining_; }
  bool Failed() const { return failed_; }
  // True when count items of itemBytes each fit in what is left.
  bool Holds(uint64_t count, uint64_t itemBytes) const { return itemBytes == 0 || count <= remaining_ / itemBytes; }

  uint8_t U8() {
    uint8_t b = 0;
    Take(&b, 1);
    return b;
  }
  uint16_t U16() {
    uint8_t b[2] = {};
    Take(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
  }
  uint32_t U32() {
    uint8_t b[4] = {};
    Take(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  }
  float F32() {
    const uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  // Reads n raw bytes (the caller has checked Holds first).
  bool Bytes(void* out, size_t n) { return Take(static_cast<uint8_t*>(out), n); }

 private:
  bool Take(uint8_t* out, size_t n) {
    if (failed_ || n > remaining_ || (n > 0 && file_.ReadBlock(out, 1, n) != n)) {
      failed_ = true;
      std::memset(out, 0, n);
      return false;
    }
    remaining_ -= n;
    return true;
  }

  File& file_;
  uint64_t remaining_ = 0;
  bool failed_ = false;
};

}  // namespace meshrecord
