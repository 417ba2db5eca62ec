#include "engine/graphics/TextureFiles.h"

#include <cstdio>
#include <string>

#include "engine/graphics/PngDecoder.h"
#include "platform/Path.h"

TextureFileRead ReadTextureFileFromDisk(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal) {
  out.clear();
  const std::string resolved = platform::ResolvePath(path);
  FILE* file = std::fopen(resolved.c_str(), "rb");
  if (file == nullptr) return TextureFileRead::kMissing;
  TextureFileRead result = TextureFileRead::kRead;
  uint8_t piece[64 * 1024];
  for (;;) {
    const size_t got = std::fread(piece, 1, sizeof piece, file);
    if (got == 0) break;
    if (out.size() + got > kMostTextureFileBytes) {
      refusal = DecodeResult::Failure("texture file is too large");
      out.clear();
      result = TextureFileRead::kRefused;
      break;
    }
    out.insert(out.end(), piece, piece + got);
  }
  std::fclose(file);
  return result;
}

TextureFileRead ReadPngResource(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal) {
  out.clear();
  const std::string resolved = platform::ResolvePath(path);
  FILE* file = std::fopen(resolved.c_str(), "rb");
  if (file == nullptr) return TextureFileRead::kMissing;
  refusal = ReadPngStream([file](uint8_t* target, size_t bytes) { return std::fread(target, 1, bytes, file) == bytes; }, out);
  std::fclose(file);
  return refusal.ok ? TextureFileRead::kRead : TextureFileRead::kRefused;
}
