#pragma once
// Unique scratch folders (tests make one each, as they run in parallel in one
// working directory) and removing a folder tree.
#include <string>
#include <string_view>

namespace platform {

// Creates a new, empty, uniquely named folder under the system's temporary
// folder and returns its path (empty on failure).
std::string CreateTempFolder(std::string_view prefix);

// Removes a folder and everything in it; true when nothing is left.
bool RemoveTree(std::string_view path);

// A temporary folder removed with everything in it when it goes out of scope.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(std::string_view prefix = "vyre") : path_(CreateTempFolder(prefix)) {}
  ~ScopedTempFolder() { RemoveTree(path_); }
  ScopedTempFolder(const ScopedTempFolder&) = delete;
  ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

  // The folder's path, without a trailing "/".
  const std::string& Path() const { return path_; }
  // The path of a name inside the folder.
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

}  // namespace platform
