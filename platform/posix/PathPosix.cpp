#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include "platform/Path.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// Finds a name in a folder ignoring case; the smallest match wins so the
// choice does not depend on the order of the directory.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& outName) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    if (!found || outName.compare(entry->d_name) > 0) outName = entry->d_name;
    found = true;
  }
  closedir(dir);
  return found;
}

}  // namespace

std::string ToForwardSlashes(std::string_view path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

std::string ResolvePath(std::string_view path) {
  std::string wanted = ToForwardSlashes(path);
  if (wanted.empty() || Exists(wanted)) return wanted;

  std::string resolved;
  size_t pos = 0;
  if (wanted[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  bool matching = true;
  while (pos <= wanted.size()) {
    size_t end = wanted.find('/', pos);
    if (end == std::string::npos) end = wanted.size();
    std::string component = wanted.substr(pos, end - pos);
    bool last = end == wanted.size();
    if (!component.empty()) {
      std::string folder = resolved;
      std::string candidate = folder + component;
      std::string actual;
      if (matching && component != "." && component != ".." && !Exists(candidate)) {
        std::string folderForSearch = folder;
        if (folderForSearch.size() > 1 && folderForSearch.back() == '/') folderForSearch.pop_back();
        if (FindIgnoringCase(folderForSearch, component, actual)) {
          candidate = folder + actual;
        } else {
          matching = false;  // nothing below a missing component can exist
        }
      }
      resolved = candidate;
    }
    if (!last) {
      if (resolved.empty() || resolved.back() != '/') resolved += '/';
    }
    pos = end + 1;
  }
  return resolved;
}

}  // namespace platform
