#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Path.h"

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

bool RemoveFile(std::string_view path) { return std::remove(ResolvePath(path).c_str()) == 0; }

std::string CurrentDirectory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

}  // namespace platform
