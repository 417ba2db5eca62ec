#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/UserFolder.h"

namespace platform {
namespace {

constexpr const char* kGameFolder = "Novaliths";
constexpr const char* kKeptOutReason = "this copy of the program does not hold the user folder, so nothing is saved";

bool gKeepsOut = false;

// An environment value, empty when unset.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool IsAbsolute(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

bool NameExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::string InUserFolder(std::string_view relativePath) {
  return ResolvePath(UserFolder() + "/" + ToForwardSlashes(relativePath));
}

// The path as it is found on the disk, made absolute, without "." and ".."
// components or repeated slashes; links are not followed, as every player's
// file is named from the user folder's own path.
std::string AbsoluteNormalPath(std::string_view path) {
  std::string resolved = ResolvePath(path);
  if (resolved.empty() || resolved[0] != '/') resolved = CurrentDirectory() + "/" + resolved;
  std::vector<std::string_view> parts;
  const std::string_view whole = resolved;
  for (size_t start = 0; start < whole.size();) {
    size_t slash = whole.find('/', start);
    if (slash == std::string_view::npos) slash = whole.size();
    const std::string_view part = whole.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string normal;
  for (std::string_view part : parts) {
    normal += '/';
    normal += part;
  }
  return normal.empty() ? "/" : normal;
}

bool IsWithin(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

std::string NamedUserFolder() { return Environment("VYRE_USER_DIR"); }

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  // Started without a login environment (a service, env -i): the account
  // still has its home.
  const passwd* account = getpwuid(getuid());
  if (account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] == '/') return account->pw_dir;
  return std::string();
}

std::string UserFolder() {
  std::string folder = NamedUserFolder();
  if (!folder.empty()) return folder;
  // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
  std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty() && data[0] == '/') return data + "/" + kGameFolder;
  std::string home = HomeFolder();
  if (!home.empty()) return home + "/.local/share/" + kGameFolder;
  return std::string();
}

std::string UserWritePath(std::string_view relativePath) {
  if (IsAbsolute(relativePath)) return ResolvePath(relativePath);
  if (UserFolder().empty()) return std::string();
  // The user folder itself and every sub-folder come before the file's name.
  std::string path = InUserFolder(relativePath);
  MakeParentFolders(path);
  return path;
}

std::string UserReadPath(std::string_view relativePath) {
  if (IsAbsolute(relativePath)) return ResolvePath(relativePath);
  if (UserFolder().empty()) return ResolvePath(relativePath);
  std::string own = InUserFolder(relativePath);
  // Anything under the name counts, also what cannot be opened (a link that
  // leads nowhere useful): the player's own file is never passed over for
  // the working directory's.
  if (NameExists(own)) return own;
  return ResolvePath(relativePath);
}

void KeepOutOfUserFolder() { gKeepsOut = true; }

bool KeepsOutOfUserFolder() { return gKeepsOut; }

bool MayWriteInUserFolder(std::string_view path, std::string* outReason) {
  if (!gKeepsOut) return true;
  const std::string folder = UserFolder();
  // With no user folder to tell them by, no path is taken for one outside it.
  if (!folder.empty() && !IsWithin(AbsoluteNormalPath(path), AbsoluteNormalPath(folder))) return true;
  if (outReason != nullptr) *outReason = kKeptOutReason;
  return false;
}

}  // namespace platform
