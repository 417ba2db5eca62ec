#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "platform/TempFolder.h"

namespace platform {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }

}  // namespace

std::string CreateTempFolder(std::string_view prefix) {
  const char* base = getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/" + std::string(prefix) + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return std::string();
  return pattern;
}

bool RemoveTree(std::string_view path) {
  if (path.empty()) return false;
  std::string folder(path);
  return nftw(folder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

}  // namespace platform
