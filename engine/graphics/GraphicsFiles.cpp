#include "engine/graphics/GraphicsFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/foundation/File.h"
#include "engine/foundation/ResourceManager.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "platform/Path.h"

namespace {

// What the disk says of a file a read could not get: a missing file, or one
// that is there and cannot be read, each with the system's reason.
TextureFileRead AskTheDiskWhy(const char* path, DecodeResult& refusal) {
  std::string nothing;
  std::string reason;
  const platform::FileRead found = platform::ReadFileBytes(path, 0, nothing, reason);
  if (found == platform::FileRead::Read) return TextureFileRead::kRead;
  refusal = DecodeResult::Failure(reason);
  return found == platform::FileRead::Missing ? TextureFileRead::kMissing : TextureFileRead::kRefused;
}

}  // namespace

TextureFileRead ReadTextureFileFromDisk(const char* path, std::vector<uint8_t>& out, DecodeResult& refusal) {
  out.clear();
  FILE* file = nullptr;
  std::string reason;
  switch (platform::OpenFileStream(path, "rb", file, reason)) {
    case platform::FileOpen::Missing:
      refusal = DecodeResult::Failure(reason);
      return TextureFileRead::kMissing;
    case platform::FileOpen::Refused:
      refusal = DecodeResult::Failure(reason);
      return TextureFileRead::kRefused;
    case platform::FileOpen::Opened:
      break;
  }
  TextureFileRead result = TextureFileRead::kRead;
  uint8_t piece[64 * 1024];
  for (;;) {
    const size_t got = std::fread(piece, 1, sizeof piece, file);
    if (got == 0) {
      // The disk failed the read: its reason says more than ours.
      if (std::ferror(file)) {
        refusal = DecodeResult::Failure(std::strerror(errno));
        out.clear();
        result = TextureFileRead::kRefused;
      }
      break;
    }
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
  ResourceManager& resources = ResourceManager::Instance();
  String refused;
  File* file = resources.Open(path, &refused);
  if (file == nullptr) {
    if (!refused.IsEmpty()) {
      refusal = DecodeResult::Failure(refused.Chars());
      return TextureFileRead::kRefused;
    }
    // No archive holds the name and the disk has no file of it.
    const TextureFileRead onDisk = AskTheDiskWhy(path, refusal);
    if (onDisk != TextureFileRead::kRead) return onDisk;
    refusal = DecodeResult::Failure("the file cannot be opened");
    return TextureFileRead::kRefused;
  }
  const int64_t size = resources.ResourceSize(file);
  TextureFileRead result = TextureFileRead::kRead;
  if (size < 0 || uint64_t(size) > kMostTextureFileBytes) {
    refusal = DecodeResult::Failure("texture file is too large");
    result = TextureFileRead::kRefused;
  } else if (size > 0) {
    out.resize(size_t(size));
    if (file->ReadBlock(out.data(), 1, out.size()) != out.size()) {
      refusal = DecodeResult::Failure("PNG file could not be read");
      out.clear();
      result = TextureFileRead::kRefused;
    }
  }
  resources.Close(file);
  return result;
}

bool ReadDiskText(const char* path, std::string& out) {
  out.clear();
  File file;
  if (!(file.OpenRead(path) & File::kOpen)) return false;
  const int64_t size = file.GetSize();
  bool read = size >= 0 && uint64_t(size) <= kMostTextFileBytes;
  if (read && size > 0) {
    out.resize(size_t(size));
    read = file.ReadBlock(out.data(), 1, out.size()) == out.size();
  }
  file.Close();
  if (!read) out.clear();
  return read;
}

bool ReadResourceText(const char* path, std::string& out) {
  out.clear();
  ResourceManager& resources = ResourceManager::Instance();
  File* file = resources.Open(path);
  if (file == nullptr) return false;
  const int64_t size = resources.ResourceSize(file);
  bool read = size >= 0 && uint64_t(size) <= kMostTextFileBytes;
  if (read && size > 0) {
    out.resize(size_t(size));
    read = file->ReadBlock(out.data(), 1, out.size()) == out.size();
  }
  resources.Close(file);
  if (!read) out.clear();
  return read;
}

bool FileModificationTime(const char* path, int32_t& seconds) {
  int64_t modified = 0;
  if (!platform::FileModificationTime(path, modified)) return false;
  seconds = int32_t(modified);
  return true;
}

bool WriteTextFile(const char* path, const std::string& text) {
  return platform::ReplaceFileAtomically(platform::ResolvePath(path), text);
}
