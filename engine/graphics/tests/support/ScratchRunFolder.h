#pragma once
// A unique temporary folder holding a "run" folder that becomes the working
// directory for the test's lifetime (so "../Common/" stays inside it).

#include <string>

#include "platform/TempFolder.h"
#include "support/ImageFiles.h"

class ScratchRunFolder {
 public:
  ScratchRunFolder();
  ~ScratchRunFolder();
  ScratchRunFolder(const ScratchRunFolder&) = delete;
  ScratchRunFolder& operator=(const ScratchRunFolder&) = delete;

  // Writes a file at a path relative to the run folder, making its folders.
  bool Write(const std::string& relativePath, const Bytes& bytes) const;
  bool WriteText(const std::string& relativePath, const std::string& text) const;
  // Removes a file relative to the run folder.
  void Remove(const std::string& relativePath) const;
  const std::string& RunPath() const { return runPath_; }

 private:
  platform::ScopedTempFolder root_;
  std::string runPath_;
  std::string previousDirectory_;
};
