#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/UserFolder.h"

namespace platform {
namespace {

// What mkstemp puts after the file's name: ".tmp" and six letters or digits.
constexpr const char kTemporaryMark[] = ".tmp";
constexpr size_t kTemporaryLetters = 6;

bool IsTemporaryTail(std::string_view tail) {
  if (tail.size() != kTemporaryLetters) return false;
  for (char c : tail) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void SetReason(std::string* outReason, int error) {
  if (outReason != nullptr) *outReason = std::strerror(error);
}

// A name that is there but is no file that could have been read (a FIFO, a
// device, a link that leads nowhere readable), or a file this run's last
// read of it could not read, is never replaced: it may be the player's file
// in a state the program cannot see into. False, with the reason, for such
// a name.
bool MayReplace(const std::string& target, std::string* outReason) {
  if (WasFoundUnreadable(target)) {
    if (outReason != nullptr) *outReason = "it is there but could not be read, so it is kept as it is";
    return false;
  }
  struct stat info;
  if (stat(target.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    SetReason(outReason, errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    SetReason(outReason, EISDIR);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    if (outReason != nullptr) *outReason = "not a regular file";
    return false;
  }
  return true;
}

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

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* outReason) {
  std::string target = ResolvePath(path);
  // No name at all would make the temporary in the working directory.
  if (target.empty()) {
    SetReason(outReason, ENOENT);
    return false;
  }
  if (!MayWriteInUserFolder(target, outReason) || !MayReplace(target, outReason)) return false;
  std::string temp = target + kTemporaryMark + std::string(kTemporaryLetters, 'X');
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    SetReason(outReason, errno);
    return false;
  }
  fchmod(fd, 0644);
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    SetReason(outReason, error);
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

int RemoveStaleTemporaries(std::string_view filePattern) {
  // Another copy's save in progress looks just like a killed one: only the
  // copy that holds the user folder clears them.
  if (KeepsOutOfUserFolder()) return 0;
  const std::string pattern = ToForwardSlashes(filePattern);
  const size_t slash = pattern.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  std::vector<DirectoryEntry> entries;
  if (!SearchDirectory(folder + namePattern + kTemporaryMark + std::string(kTemporaryLetters, '?'), entries)) return 0;
  int removed = 0;
  for (const DirectoryEntry& entry : entries) {
    const std::string_view name = entry.name;
    if (entry.isFolder || name.size() <= sizeof kTemporaryMark - 1 + kTemporaryLetters) continue;
    const size_t markAt = name.size() - kTemporaryLetters - (sizeof kTemporaryMark - 1);
    if (name.substr(markAt, sizeof kTemporaryMark - 1) != kTemporaryMark) continue;
    if (!IsTemporaryTail(name.substr(name.size() - kTemporaryLetters))) continue;
    if (unlink(ResolvePath(folder + entry.name).c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace platform
