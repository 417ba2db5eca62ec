#pragma once
// User folders a run cannot take for itself, in shapes a player's disk can
// hold, for tests that play such a run in a child process (see
// ChildProcess.h). The player's files already in them belong to the account
// that runs, which could replace or remove every one of them: only the run's
// own restraint keeps them as they are.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/UserFolderLock.h"
#include "platform/tests/support/ChildProcess.h"

namespace platform {

struct UntakeableUserFolder {
  const char* what;
  std::string folder;
  const uid_t* account;  // the account the run takes; null: the test's own
  bool shared;           // the run takes the folder for one on a network file system
  std::string reason;    // the system's reason, as the start reports it
};

namespace untakeable_detail {

inline void WriteOwned(const std::string& path, const std::string& bytes, const uid_t* account) {
  std::ofstream(path) << bytes;
  if (account != nullptr && chown(path.c_str(), *account, *account) != 0) std::abort();
}

inline void MakeOwnedFolder(const std::string& path, mode_t mode, const uid_t* account) {
  if (mkdir(path.c_str(), mode) != 0 || chmod(path.c_str(), mode) != 0) std::abort();
  if (account != nullptr && chown(path.c_str(), *account, *account) != 0) std::abort();
}

// A user folder of an earlier run: the settings (with log files on), the
// high scores, a profile, and the temporary file of a save in progress.
inline void MakePlayersFolder(const std::string& folder, const uid_t* account) {
  MakeOwnedFolder(folder, 0755, account);
  WriteOwned(folder + "/Settings.ini", "[System]\nLogsToFiles=1\n", account);
  WriteOwned(folder + "/00000000.dat", std::string("ann\0\1\0\0\0\1\0\0\0", 12), account);
  MakeOwnedFolder(folder + "/Profiles", 0755, account);
  WriteOwned(folder + "/Profiles/amy.profile", "amy's progress", account);
  MakeOwnedFolder(folder + "/Vyre", 0755, account);
  WriteOwned(folder + "/Vyre/GUI.TXT.tmpQwErTy", "a save in progress", account);
}

}  // namespace untakeable_detail

// Makes the shapes below the scratch folder, with a registry store folder
// "store" beside them that the account may write. Where the folder itself
// cannot be locked, the lock file stands in; these are the shapes in which
// neither can be had:
// - a folder the account owns but cannot open for reading (mode 0300: it may
//   still write in it), with a folder at the lock file's name (needs root,
//   else left out);
// - a folder on a network file system, where a link that leads nowhere
//   stands at the lock file's name;
// - a folder that cannot be made, as a plain file stands where its parent
//   should be.
// The first two hold the player's files of an earlier run.
inline std::vector<UntakeableUserFolder> MakeUntakeableUserFolders(const std::string& scratch) {
  using namespace untakeable_detail;
  std::vector<UntakeableUserFolder> shapes;
  const uid_t* account = geteuid() == 0 ? &kOrdinaryAccount : nullptr;
  const std::string notAFile = std::string(UserFolderLock::kFileName) + " is not a regular file";
  MakeOwnedFolder(scratch + "/store", 0755, account);
  if (account != nullptr) {
    if (chown(scratch.c_str(), *account, *account) != 0) std::abort();  // so the account reaches below it
    const std::string folder = scratch + "/unreadable";
    MakePlayersFolder(folder, account);
    MakeOwnedFolder(folder + "/" + UserFolderLock::kFileName, 0755, account);
    if (chmod(folder.c_str(), 0300) != 0) std::abort();
    shapes.push_back(
        {"a folder its account cannot read, with a folder at the lock file's name", folder, account, false, notAFile});
  }
  const std::string network = scratch + "/network";
  MakePlayersFolder(network, account);
  if (symlink("/gone/Novaliths.lock", (network + "/" + UserFolderLock::kFileName).c_str()) != 0) std::abort();
  shapes.push_back(
      {"a network folder with a link that leads nowhere at the lock file's name", network, account, true, notAFile});
  std::ofstream(scratch + "/plain") << "a file";
  shapes.push_back({"a folder below a plain file", scratch + "/plain/Novaliths", nullptr, false,
                    "cannot make the folder: Not a directory"});
  return shapes;
}

// The store file a run in those shapes is pointed at.
inline std::string UntakeableStore(const std::string& scratch) { return scratch + "/store/Novaliths.reg"; }

// Every name below the folder with its kind and, for a file, its bytes, in
// name order: two snapshots differ when anything was made, changed, moved
// or removed.
inline std::string TreeSnapshot(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  std::string snapshot;
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    snapshot += path;
    if (S_ISDIR(info.st_mode)) {
      snapshot += "/\n" + TreeSnapshot(path);
    } else {
      std::ifstream file(path, std::ios::binary);
      std::ostringstream bytes;
      bytes << file.rdbuf();
      snapshot += " = " + bytes.str() + "\n";
    }
  }
  return snapshot;
}

}  // namespace platform
