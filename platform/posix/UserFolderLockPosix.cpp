#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/FileSystem.h"
#include "platform/UserFolderLock.h"

namespace platform {
namespace {

enum class Try { Held, Busy, Unsupported };

// flock belongs to the open file, so the kernel drops it when the process
// ends by any means; a second open in this process is refused like another's.
// On a lock file it also reaches the other machines: the Linux NFS client
// sends it to the server as a lock of the whole file, the SMB client as a
// byte-range lock, and FUSE hands it to the file system where it locks.
Try LockExclusive(int fd, int& outError) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    outError = errno;
    return errno == EWOULDBLOCK ? Try::Busy : Try::Unsupported;
  }
  return Try::Held;
}

// The f_type numbers of file systems that other machines share, where the
// lock of a folder holds on this machine only.
constexpr int64_t kSharedFileSystemTypes[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFE534D42,  // SMB2 and SMB3
    0xFF534D42,  // CIFS
    0x65735546,  // FUSE (sshfs, bindfs, virtiofs, ...)
    0x5346414F,  // AFS, the kernel's client
    0x6B414653,  // AFS, OpenAFS
    0x00C36400,  // Ceph
    0x01021997,  // 9P
    0x73757245,  // Coda
    0x564C,      // NCP
    0x0BD00BD0,  // Lustre
    0x47504653,  // GPFS
    0x01161970,  // GFS2
    0x7461636F,  // OCFS2
};

bool SystemSaysShared(int folderFd) {
  struct statfs info;
  // A file system that will not say what it is gets the lock file as well:
  // one lock too many costs a file, one too few the player's results.
  if (fstatfs(folderFd, &info) != 0) return true;
  return UserFolderLock::IsSharedFileSystemType(static_cast<int64_t>(info.f_type));
}

UserFolderLock::SharedFileSystemQuery gSharedFileSystem = SystemSaysShared;

// Takes the lock file in the folder open at folderFd. Only a regular file
// serves: a link is not followed (it may lead into another folder, or
// nowhere), and what is no file is never waited on. The file is made when
// missing and never written.
UserFolderLock::Outcome LockFileIn(int folderFd, int& outFd, std::string& outReason) {
  const std::string name = UserFolderLock::kFileName;
  const std::string notAFile = name + " is not a regular file";
  // Write access: a network file system takes an exclusive lock only on a
  // file open for writing.
  const int fd =
      openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) {
    outReason = errno == ELOOP || errno == EISDIR ? notAFile : name + ": " + std::strerror(errno);
    return UserFolderLock::Outcome::Failed;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    outReason = notAFile;
    return UserFolderLock::Outcome::Failed;
  }
  int error = 0;
  switch (LockExclusive(fd, error)) {
    case Try::Held:
      outFd = fd;
      return UserFolderLock::Outcome::Held;
    case Try::Busy:
      close(fd);
      return UserFolderLock::Outcome::Busy;
    case Try::Unsupported:
      break;
  }
  close(fd);
  outReason = name + ": " + std::strerror(error);
  return UserFolderLock::Outcome::Failed;
}

}  // namespace

void UserFolderLock::SetSharedFileSystemQuery(SharedFileSystemQuery query) {
  gSharedFileSystem = query != nullptr ? query : SystemSaysShared;
}

bool UserFolderLock::IsSharedFileSystemType(int64_t type) {
  return std::find(std::begin(kSharedFileSystemTypes), std::end(kSharedFileSystemTypes), type) !=
         std::end(kSharedFileSystemTypes);
}

UserFolderLock::~UserFolderLock() { Release(); }

UserFolderLock::Outcome UserFolderLock::Acquire(const std::string& folder, std::string& outReason) {
  Release();
  outReason.clear();
  const bool made = MakeParentFolders(folder + "/");
  const int makeError = errno;
  // A folder opens for reading whoever owns what stands in it, and a lock
  // needs no write access, so a read-only folder is locked all the same.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool readable = fd >= 0;
  const int openError = errno;
  // A folder its account may write in but not read still holds the lock
  // file, reached through a descriptor that only names the folder.
  if (!readable && openError == EACCES) fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    // Opening tells a plain file in the way from a folder that is missing.
    outReason =
        made ? std::strerror(openError)
             : std::string("cannot make the folder: ") + std::strerror(openError == ENOENT ? makeError : openError);
    return Outcome::Failed;
  }
  bool folderHeld = false;
  bool needsFile = !readable;
  if (readable) {
    int error = 0;
    switch (LockExclusive(fd, error)) {
      case Try::Busy:
        close(fd);
        return Outcome::Busy;
      case Try::Held:
        folderHeld = true;
        // Another machine that shares the folder sees no lock of this one's.
        needsFile = gSharedFileSystem(fd);
        break;
      case Try::Unsupported:
        // A file system that cannot lock a folder: the file stands in for it.
        needsFile = true;
        break;
    }
  }
  if (needsFile) {
    const Outcome outcome = LockFileIn(fd, fileFd_, outReason);
    if (outcome != Outcome::Held) {
      close(fd);  // lets go of the folder's lock with it
      return outcome;
    }
  }
  if (folderHeld) {
    folderFd_ = fd;
  } else {
    close(fd);
  }
  return Outcome::Held;
}

void UserFolderLock::Release() {
  // Closing the only descriptors drops the locks. The lock file stays: a
  // copy that opened it just before its removal would lock a file no later
  // copy sees.
  for (int* fd : {&fileFd_, &folderFd_}) {
    if (*fd < 0) continue;
    close(*fd);
    *fd = -1;
  }
}

}  // namespace platform
