#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/UserFolderLock.h"

namespace platform {

UserFolderLock::~UserFolderLock() { Release(); }

UserFolderLock::Outcome UserFolderLock::Acquire(const std::string& folder, std::string& outReason) {
  Release();
  outReason.clear();
  const std::string path = folder + "/" + kFileName;
  if (!MakeParentFolders(path)) {
    outReason = std::string("cannot make the folder: ") + std::strerror(errno);
    return Outcome::Failed;
  }
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A folder made read-only after an earlier start still has its lock file,
  // and a lock needs no write access.
  if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    outReason = std::strerror(errno);
    return Outcome::Failed;
  }
  // flock belongs to the open file, so the kernel drops it when the process
  // ends by any means; a second open in this process is refused like another's.
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return Outcome::Busy;
    outReason = std::strerror(error);
    return Outcome::Failed;
  }
  fd_ = fd;
  return Outcome::Held;
}

void UserFolderLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor drops the lock; the file stays for the next start.
  close(fd_);
  fd_ = -1;
}

}  // namespace platform
