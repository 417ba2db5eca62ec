#pragma once
// While one lives, every user folder counts as one on a file system that
// other machines share (a network home): tests see the lock that such a
// folder gets without mounting one.

#include "platform/UserFolderLock.h"

namespace platform {

class AsIfOnASharedFileSystem {
 public:
  AsIfOnASharedFileSystem() {
    UserFolderLock::SetSharedFileSystemQuery([](int) { return true; });
  }
  ~AsIfOnASharedFileSystem() { UserFolderLock::SetSharedFileSystemQuery(nullptr); }
  AsIfOnASharedFileSystem(const AsIfOnASharedFileSystem&) = delete;
  AsIfOnASharedFileSystem& operator=(const AsIfOnASharedFileSystem&) = delete;
};

}  // namespace platform
