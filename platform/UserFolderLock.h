#pragma once
// One copy of the program uses a user folder at a time: two copies would
// save over each other's results and write one log. The lock is an advisory
// lock on a file in the folder, which the system lets go of however its
// holder ends, so a file left behind by a killed copy never blocks a start.
#include <string>

namespace platform {

class UserFolderLock {
 public:
  enum class Outcome {
    Held,    // this process holds the folder
    Busy,    // another process holds it
    Failed,  // the lock file cannot be made or locked (reason given)
  };

  // The file in the user folder that carries the lock.
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
