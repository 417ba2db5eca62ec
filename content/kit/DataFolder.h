#pragma once
// The run folder being filled: writes pictures and text under it and keeps
// one verdict for the whole generation (every failure is reported on stderr
// by the writer that met it).

#include <cstdint>
#include <string>
#include <vector>

#include "content/kit/Image.h"

class DataFolder {
 public:
  explicit DataFolder(std::string root) : root_(std::move(root)) {}

  // A picture with its alpha channel.
  void Picture(const std::string& name, const Image& image);
  // A picture without alpha: opaque scenes and glows painted on black.
  void OpaquePicture(const std::string& name, const Image& image);
  // Text, with "\n" line ends.
  void Text(const std::string& name, const std::string& text);
  void Bytes(const std::string& name, const std::vector<uint8_t>& bytes);
  // Records a failure met outside the writers above.
  void Fail() { ok_ = false; }

  const std::string& Root() const { return root_; }
  bool Ok() const { return ok_; }

 private:
  std::string Path(const std::string& name) const { return root_ + "/" + name; }

  std::string root_;
  bool ok_ = true;
};
