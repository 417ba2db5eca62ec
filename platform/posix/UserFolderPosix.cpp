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

std::string InUserFolder(std::string_view relativePath) {
  return ResolvePath(UserFolder() + "/" + ToForwardSlashes(relativePath));
}

}  // namespace

std::string NamedUserFolder() { return Environment("VYRE_USER_DIR"); }

std::string UserFolder() {
  std::string folder = NamedUserFolder();
  if (!folder.empty()) return folder;
  // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
  std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty() && data[0] == '/') return data + "/" + kGameFolder;
  std::string home = Environment("HOME");
  if (!home.empty()) return home + "/.local/share/" + kGameFolder;
  // No home at all: the working directory is the only place left.
  return std::string(".local/share/") + kGameFolder;
}

std::string UserWritePath(std::string_view relativePath) {
  if (IsAbsolute(relativePath)) return ResolvePath(relativePath);
  // The user folder itself and every sub-folder come before the file's name.
  std::string path = InUserFolder(relativePath);
  MakeParentFolders(path);
  return path;
}

std::string UserReadPath(std::string_view relativePath) {
  if (IsAbsolute(relativePath)) return ResolvePath(relativePath);
  std::string own = InUserFolder(relativePath);
  if (PathExists(own)) return own;
  return ResolvePath(relativePath);
}

}  // namespace platform
