#pragma once

// Little-endian packing for the player's binary files, which are built whole
// in memory and handed to the atomic replacement in one piece.

#include <cstdint>
#include <cstring>
#include <string>

namespace packed {

inline void AppendU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void AppendI32(std::string& out, int32_t value) { AppendU32(out, static_cast<uint32_t>(value)); }

inline void AppendFloat(std::string& out, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  AppendU32(out, bits);
}

// Characters followed by one zero byte.
inline void AppendTerminated(std::string& out, const char* text, size_t length) {
  out.append(text, length);
  out.push_back('\0');
}

// The 32-bit value stored at bytes[0..3].
inline uint32_t DecodeU32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace packed
