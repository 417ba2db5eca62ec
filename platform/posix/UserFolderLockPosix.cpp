#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/UserFolderLock.h"

namespace platform {
namespace {

enum class Try { Held, Busy, Unsupported };

// flock belongs to the open file, so the kernel drops it when the process
// ends by any means; a second open in this process is refused like another's.
Try LockExclusive(int fd, int& outError) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    outError = errno;
    return errno == EWOULDBLOCK ? Try::Busy : Try::Unsupported;
  }
  return Try::Held;
}

}  // namespace

UserFolderLock::~UserFolderLock() { Release(); }

UserFolderLock::Outcome UserFolderLock::Acquire(const std::string& folder, std::string& outReason) {
  Release();
  outReason.clear();
  const bool made = MakeParentFolders(folder + "/");
  const int makeError = errno;
  // A folder opens for reading whoever owns what stands in it, and a lock
  // needs no write access, so a read-only folder is locked all the same.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    // Opening tells a plain file in the way from a folder that is missing.
    const int openError = errno;
    outReason =
        made ? std::strerror(openError)
             : std::string("cannot make the folder: ") + std::strerror(openError == ENOENT ? makeError : openError);
    return Outcome::Failed;
  }
  int error = 0;
  Try outcome = LockExclusive(fd, error);
  if (outcome == Try::Unsupported) {
    // A network file system takes an exclusive lock only on a file open for
    // writing: there the lock file stands in for the folder.
    close(fd);
    const std::string path = folder + "/" + kFileName;
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      outReason = std::strerror(errno);
      return Outcome::Failed;
    }
    outcome = LockExclusive(fd, error);
  }
  switch (outcome) {
    case Try::Held:
      fd_ = fd;
      return Outcome::Held;
    case Try::Busy:
      close(fd);
      return Outcome::Busy;
    case Try::Unsupported:
      break;
  }
  close(fd);
  outReason = std::strerror(error);
  return Outcome::Failed;
}

void UserFolderLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor drops the lock.
  close(fd_);
  fd_ = -1;
}

}  // namespace platform
