#pragma once
// One copy of the program uses a user folder at a time: two copies would
// save over each other's results and write one log. The lock is an advisory
// lock on the folder itself, which the system lets go of however its holder
// ends, and which nothing standing in the folder can stop or fake: a file
// left behind by a killed copy, or by a run as another user, never matters.
#include <string>

namespace platform {

class UserFolderLock {
 public:
  enum class Outcome {
    Held,    // this process holds the folder
    Busy,    // another process holds it
    Failed,  // the folder cannot be made, opened or locked (reason given)
  };

  // Where the file system cannot lock a folder (a network one), the lock is
  // taken on this file in it instead. Elsewhere the name is never used, and
  // whatever stands there is left alone.
  static constexpr const char* kFileName = "Novaliths.lock";

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
  int fd_ = -1;
};

}  // namespace platform
