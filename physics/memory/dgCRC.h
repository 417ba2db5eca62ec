#pragma once
// The hash by which the library names its classes and objects. Its table is
// fixed but not that of a CRC polynomial: four given words, then words from a
// fixed-seed generator so that short names spread over all 32 bits.

#include <array>
#include <cstdint>
#include <string_view>

namespace dgCRCDetail {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  table[0] = 0x00000001u;
  table[1] = 0x2C11F801u;
  table[2] = 0xDFD8F60Eu;
  table[3] = 0x6C8FA2B7u;
  uint64_t state = 0x6A09E667F3BCC909ull;
  for (int i = 4; i < 256; ++i) {
    // splitmix64: every output bit depends on every state bit.
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    table[i] = static_cast<uint32_t>(z >> 32);
  }
  return table;
}

}  // namespace dgCRCDetail

// The 256 words of the hash.
inline constexpr std::array<uint32_t, 256> dgCRCTable = dgCRCDetail::MakeTable();

// The hash of a text at compile time, without registering it (class ids).
constexpr uint32_t dgCRCOfText(std::string_view text, uint32_t seed = 0) {
  uint32_t h = seed;
  for (char c : text) {
    const uint32_t b = static_cast<unsigned char>(c);
    h = (h << 8) ^ dgCRCTable[((h >> 24) ^ b) & 255u];
  }
  return h;
}

// The hash of length bytes with a seed; a length below 1 returns the seed.
uint32_t dgCRC(const void* bytes, int length, uint32_t seed);
// The hash of a block with seed 0.
uint32_t dgCRCOfBlock(const void* bytes, int length);
// The hash of a string's bytes (seed 0), also entered in the name table under
// it; null gives 0 and registers nothing.
uint32_t dgCRC(const char* name);
// The first string registered under a hash, or null.
const char* dgNameOfCRC(uint32_t id);
