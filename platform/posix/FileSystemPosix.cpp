#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/UserFolder.h"

namespace platform {
namespace {

// Wildcard match ignoring case: "*" any run, "?" any one character.
bool MatchesWildcard(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' ||
               std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*name))) {
      ++pattern;
      ++name;
    } else if (starPattern != nullptr) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

// What a name that is neither a file nor a folder is refused with.
constexpr const char* kNotRegularFile = "not a regular file";

// Opens a path with the open(2) flags given and keeps the descriptor only
// when it names a regular file. Never waits: a FIFO would hold open(2) until
// a writer (for reading) or a reader (for writing) came, so it is opened
// non-blocking and refused once seen. -1 otherwise, with the system's reason;
// outMissing tells that no file of that name exists.
int OpenRegularFile(const std::string& onDisk, int flags, std::string& outReason, bool& outMissing) {
  outMissing = false;
  const int fd = open(onDisk.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    outMissing = error == ENOENT;
    // A FIFO with no reader, or a socket, answers a non-blocking write open so.
    outReason = error == ENXIO ? kNotRegularFile : std::strerror(error);
    return -1;
  }
  struct stat info;
  if (fstat(fd, &info) != 0) {
    outReason = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    outReason = std::strerror(EISDIR);
  } else if (!S_ISREG(info.st_mode)) {
    outReason = kNotRegularFile;
  } else {
    // A regular file never makes a read or a write wait; the stream gets the
    // blocking mode it expects all the same.
    const int status = fcntl(fd, F_GETFL);
    if (status != -1) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
  }
  close(fd);
  return -1;
}

// The open(2) flags of an fopen mode; false for a mode fopen would refuse.
bool FlagsOfMode(const char* mode, int& outFlags) {
  if (mode == nullptr) return false;
  const bool update = std::strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r':
      outFlags = update ? O_RDWR : O_RDONLY;
      return true;
    case 'w':
      outFlags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
      return true;
    case 'a':
      outFlags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
      return true;
    default:
      return false;
  }
}

// The paths whose last read found a file that could not be read.
std::set<std::string>& UnreadablePaths() {
  static std::set<std::string> paths;
  return paths;
}

}  // namespace

bool SearchDirectory(std::string_view pattern, std::vector<DirectoryEntry>& outEntries) {
  outEntries.clear();
  std::string wanted = ToForwardSlashes(pattern);
  size_t slash = wanted.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : wanted.substr(0, slash + 1);
  std::string namePattern = slash == std::string::npos ? wanted : wanted.substr(slash + 1);
  // "*.*" means every name, also those without a dot.
  if (namePattern == "*.*") namePattern = "*";

  std::string folderOnDisk = folder.empty() ? std::string(".") : ResolvePath(folder);
  DIR* dir = opendir(folderOnDisk.c_str());
  if (dir == nullptr) return false;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    if (!MatchesWildcard(namePattern.c_str(), entry->d_name)) continue;
    DirectoryEntry found;
    found.name = entry->d_name;
    std::string full = folderOnDisk;
    if (full.back() != '/') full += '/';
    full += entry->d_name;
    struct stat info;
    found.isFolder = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    outEntries.push_back(std::move(found));
  }
  closedir(dir);
  std::sort(outEntries.begin(), outEntries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  return true;
}

bool MakeFolder(std::string_view path) {
  std::string onDisk = ResolvePath(path);
  while (onDisk.size() > 1 && onDisk.back() == '/') onDisk.pop_back();
  if (onDisk.empty()) return false;
  // A run that keeps out of the user folder makes nothing there; one that is
  // there already is there.
  if (!MayWriteInUserFolder(onDisk)) return IsFolder(onDisk);
  if (mkdir(onDisk.c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsFolder(onDisk);
}

bool MakeParentFolders(std::string_view filePath) {
  for (size_t slash = filePath.find('/', 1); slash != std::string_view::npos; slash = filePath.find('/', slash + 1)) {
    if (!MakeFolder(filePath.substr(0, slash))) return false;
  }
  return true;
}

bool IsFolder(std::string_view path) {
  struct stat info;
  return stat(ResolvePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FolderRead CheckFolder(std::string_view path, std::string& outReason) {
  outReason.clear();
  const std::string onDisk = ResolvePath(path);
  struct stat info;
  if (stat(onDisk.c_str(), &info) != 0) {
    const int error = errno;
    outReason = std::strerror(error);
    return error == ENOENT || error == ENOTDIR ? FolderRead::Missing : FolderRead::Unreadable;
  }
  if (!S_ISDIR(info.st_mode)) {
    outReason = std::strerror(ENOTDIR);
    return FolderRead::Missing;
  }
  DIR* dir = opendir(onDisk.c_str());
  if (dir == nullptr) {
    outReason = std::strerror(errno);
    return FolderRead::Unreadable;
  }
  closedir(dir);
  // A folder that lists but cannot be entered still keeps its files shut.
  if (stat((onDisk + "/.").c_str(), &info) != 0) {
    outReason = std::strerror(errno);
    return FolderRead::Unreadable;
  }
  return FolderRead::Readable;
}

bool PathExists(std::string_view path) {
  struct stat info;
  return stat(ResolvePath(path).c_str(), &info) == 0;
}

bool FileSizeOnDisk(std::string_view path, uint64_t& outBytes) {
  struct stat info;
  if (stat(ResolvePath(path).c_str(), &info) != 0) return false;
  outBytes = static_cast<uint64_t>(info.st_size);
  return true;
}

FileRead ReadFileBytes(std::string_view path, size_t maxBytes, std::string& outBytes, std::string& outReason) {
  outBytes.clear();
  outReason.clear();
  const std::string onDisk = ResolvePath(path);
  bool missing = false;
  const int fd = OpenRegularFile(onDisk, O_RDONLY, outReason, missing);
  if (fd < 0) {
    if (missing) {
      UnreadablePaths().erase(onDisk);
      return FileRead::Missing;
    }
    UnreadablePaths().insert(onDisk);
    return FileRead::Unreadable;
  }
  FileRead result = FileRead::Read;
  char buffer[65536];
  while (result == FileRead::Read && outBytes.size() < maxBytes) {
    const size_t wanted = std::min(sizeof buffer, maxBytes - outBytes.size());
    const ssize_t got = read(fd, buffer, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      outReason = std::strerror(errno);
      result = FileRead::Unreadable;
    } else if (got == 0) {
      break;
    } else {
      outBytes.append(buffer, static_cast<size_t>(got));
    }
  }
  close(fd);
  if (result != FileRead::Read) outBytes.clear();
  if (result == FileRead::Unreadable)
    UnreadablePaths().insert(onDisk);
  else
    UnreadablePaths().erase(onDisk);
  return result;
}

FileOpen OpenFileStream(std::string_view path, const char* mode, std::FILE*& outStream, std::string& outReason) {
  outStream = nullptr;
  outReason.clear();
  int flags = 0;
  if (!FlagsOfMode(mode, flags)) {
    outReason = std::strerror(EINVAL);
    return FileOpen::Refused;
  }
  const std::string onDisk = ResolvePath(path);
  // A stream that writes is one more way into the player's files.
  if ((flags & O_ACCMODE) != O_RDONLY && !MayWriteInUserFolder(onDisk, &outReason)) return FileOpen::Refused;
  bool missing = false;
  const int fd = OpenRegularFile(onDisk, flags, outReason, missing);
  if (fd < 0) return missing ? FileOpen::Missing : FileOpen::Refused;
  outStream = fdopen(fd, mode);
  if (outStream == nullptr) {
    outReason = std::strerror(errno);
    close(fd);
    return FileOpen::Refused;
  }
  return FileOpen::Opened;
}

bool WasFoundUnreadable(std::string_view path) { return UnreadablePaths().count(ResolvePath(path)) != 0; }

std::string MoveAside(std::string_view path, std::string_view suffix, std::string& outReason) {
  outReason.clear();
  const std::string from = ResolvePath(path);
  if (!MayWriteInUserFolder(from, &outReason)) return std::string();
  // Enough tries for every damaged copy a player could gather.
  constexpr int kMostNames = 1000;
  for (int attempt = 0; attempt < kMostNames; ++attempt) {
    std::string to = from + std::string(suffix);
    if (attempt > 0) to += "." + std::to_string(attempt);
    // A hard link never replaces an existing name; the old name then goes.
    if (link(from.c_str(), to.c_str()) == 0) {
      if (unlink(from.c_str()) == 0) return to;
      outReason = std::strerror(errno);
      unlink(to.c_str());
      return std::string();
    }
    if (errno != EEXIST) {
      outReason = std::strerror(errno);
      return std::string();
    }
  }
  outReason = "every name for it is taken";
  return std::string();
}

bool RemoveFile(std::string_view path) {
  const std::string onDisk = ResolvePath(path);
  return MayWriteInUserFolder(onDisk) && std::remove(onDisk.c_str()) == 0;
}

std::string CurrentDirectory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

}  // namespace platform
