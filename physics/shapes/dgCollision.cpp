#include "physics/shapes/dgCollision.h"

#include <cmath>
#include <cstring>

#include "physics/memory/dgCRC.h"

dgCollision::dgCollision(uint32_t signature, const dgMatrix& offset, uint32_t kind)
    : signature_(signature), kind_(kind) {
  SetOffsetMatrix(offset);
}

void dgCollision::SetOffsetMatrix(const dgMatrix& offset) {
  offset_ = offset;
  if (IsIdentity(offset))
    flags_ &= ~kOffsetFlag;
  else
    flags_ |= kOffsetFlag;
}

bool dgCollision::IsIdentity(const dgMatrix& matrix) {
  static constexpr float kOne = 1.0f;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      const float element = matrix[row][col];
      if (row == col) {
        if (std::memcmp(&element, &kOne, sizeof element) != 0) return false;
      } else if (!(element == 0.0f)) {
        return false;
      }
    }
  }
  return true;
}

int32_t dgCollision::QuantizeParameter(float value) {
  const double scaled = static_cast<double>(value) * 1024.0;
  // Out-of-range and NaN sizes get a fixed value instead of an undefined conversion.
  if (!(scaled > -2147483648.0)) return INT32_MIN;
  if (!(scaled < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(scaled);
}

uint32_t dgCollision::MakeSignature(uint32_t kind, const float* params, int paramCount, const dgMatrix& offset,
                                    uint32_t* outBlock) {
  uint32_t block[kSignatureWords] = {};
  int word = 0;
  block[word++] = kind;
  const int maxParams = kSignatureWords - 1 - 16;
  if (paramCount > maxParams) paramCount = maxParams;
  for (int i = 0; i < paramCount; ++i) block[word++] = static_cast<uint32_t>(QuantizeParameter(params[i]));
  float matrix[16];
  offset.ToFloats(matrix);
  std::memcpy(&block[word], matrix, sizeof matrix);
  if (outBlock) std::memcpy(outBlock, block, sizeof block);
  return dgCRCOfBlock(block, static_cast<int>(sizeof block));
}
