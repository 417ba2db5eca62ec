#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/UserFolder.h"

namespace platform {
namespace {

constexpr const char* kGameFolder = "Novaliths";

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

}  // namespace platform
