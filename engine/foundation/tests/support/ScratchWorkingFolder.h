#pragma once
// Test helpers: a scratch working folder and whole-file reads and writes.
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/FileSystem.h"
#include "platform/TempFolder.h"

namespace testing_support {

// Makes a new temporary folder the working folder for the object's life.
class ScratchWorkingFolder {
 public:
  explicit ScratchWorkingFolder(const char* prefix) : folder_(prefix), previous_(platform::CurrentDirectory()) {
    if (chdir(folder_.Path().c_str()) != 0) folder_ok_ = false;
  }
  ~ScratchWorkingFolder() {
    if (chdir(previous_.c_str()) != 0) {
    }
  }
  bool Ok() const { return folder_ok_ && !folder_.Path().empty(); }
  const std::string& Path() const { return folder_.Path(); }
  std::string operator/(const std::string& name) const { return folder_ / name; }

 private:
  platform::ScopedTempFolder folder_;
  std::string previous_;
  bool folder_ok_ = true;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace testing_support
