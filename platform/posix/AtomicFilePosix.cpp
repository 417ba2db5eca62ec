#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/Path.h"

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target = ResolvePath(path);
  std::string temp = target + ".tmpXXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

}  // namespace platform
