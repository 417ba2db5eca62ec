#include <sys/stat.h>

#include "platform/FileTime.h"
#include "platform/Path.h"

namespace platform {

bool FileModificationTime(std::string_view path, int64_t& outSeconds) {
  struct stat info;
  if (stat(ResolvePath(path).c_str(), &info) != 0) return false;
  outSeconds = static_cast<int64_t>(info.st_mtime);
  return true;
}

}  // namespace platform
