#include "engine/graphics/MaterialFiles.h"

#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/FileTime.h"
#include "platform/Path.h"

bool ReadDiskText(const char* path, std::string& out) {
  out.clear();
  FILE* file = std::fopen(platform::ResolvePath(path).c_str(), "rb");
  if (file == nullptr) return false;
  char piece[16 * 1024];
  bool fits = true;
  for (size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;) {
    if (out.size() + got > kMostLibraryBytes) {
      fits = false;
      break;
    }
    out.append(piece, got);
  }
  std::fclose(file);
  if (!fits) out.clear();
  return fits;
}

bool ReadLibraryText(const char* path, std::string& out) { return ReadDiskText(path, out); }

bool FileModificationTime(const char* path, int32_t& seconds) {
  int64_t modified = 0;
  if (!platform::FileModificationTime(path, modified)) return false;
  seconds = int32_t(modified);
  return true;
}

bool WriteTextFile(const char* path, const std::string& text) {
  return platform::ReplaceFileAtomically(platform::ResolvePath(path), text);
}
