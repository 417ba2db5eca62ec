#include "support/ScratchRunFolder.h"

#include <unistd.h>

#include <cstdio>

#include "platform/FileSystem.h"

ScratchRunFolder::ScratchRunFolder() : root_("gfx"), runPath_(root_ / "run") {
  previousDirectory_ = platform::CurrentDirectory();
  platform::MakeFolder(runPath_);
  if (chdir(runPath_.c_str()) != 0) runPath_.clear();
}

ScratchRunFolder::~ScratchRunFolder() {
  if (!previousDirectory_.empty() && chdir(previousDirectory_.c_str()) != 0) std::perror("chdir");
}

bool ScratchRunFolder::Write(const std::string& relativePath, const Bytes& bytes) const {
  const std::string full = runPath_ + "/" + relativePath;
  for (size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1)) {
    platform::MakeFolder(full.substr(0, slash));
  }
  return WriteBytes(full, bytes);
}

bool ScratchRunFolder::WriteText(const std::string& relativePath, const std::string& text) const {
  return Write(relativePath, Bytes(text.begin(), text.end()));
}

void ScratchRunFolder::Remove(const std::string& relativePath) const {
  std::remove((runPath_ + "/" + relativePath).c_str());
}
