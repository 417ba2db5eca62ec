#pragma once
// One copy of the program uses a user folder at a time: two copies would
// save over each other's results and write one log. The lock is an advisory
// lock on the folder itself, which the system lets go of however its holder
// ends, and which nothing standing in the folder can stop or fake: a file
// left behind by a killed copy, or by a run as another user, never matters.
//
// A folder's lock holds on one machine only where the folder lies on a file
// system other machines share (a network one): there the lock is also taken
// on a lock file in the folder, which every machine sees. The same file
// stands in for the folder that can be written but not opened for reading.
#include <cstdint>
#include <string>

namespace platform {

class UserFolderLock {
 public:
  enum class Outcome {
    Held,    // this process holds the folder
    Busy,    // another process holds it
    Failed,  // the folder or its lock file cannot be made, opened or locked (reason given)
  };

  // The lock file, used only on a network file system, where the folder's
  // lock does not reach (or cannot be had), and in a folder that cannot be
  // opened for reading. Elsewhere the name is never used, and whatever
  // stands there is left alone.
  static constexpr const char* kFileName = "Novaliths.lock";

  // Answers whether the folder open at the descriptor lies on a file system
  // other machines share, where its lock holds for this machine only.
  using SharedFileSystemQuery = bool (*)(int folderDescriptor);
  // Tests answer the query in place of the system; null asks the system again.
  static void SetSharedFileSystemQuery(SharedFileSystemQuery query);
  // Whether a file system type, as fstatfs reports it, is one other machines
  // share: NFS, SMB/CIFS, FUSE, AFS, Ceph, 9P, Coda, NCP, Lustre, GPFS, and
  // the cluster file systems GFS2 and OCFS2.
  static bool IsSharedFileSystemType(int64_t type);

  UserFolderLock() = default;
  ~UserFolderLock();
  UserFolderLock(const UserFolderLock&) = delete;
  UserFolderLock& operator=(const UserFolderLock&) = delete;

  // Creates the folder when missing and takes the lock without waiting.
  // On Failed, outReason holds the system's reason.
  Outcome Acquire(const std::string& folder, std::string& outReason);
  // Lets the folder go (also done by the destructor).
  void Release();

 private:
  int folderFd_ = -1;
  int fileFd_ = -1;
};

}  // namespace platform
