#pragma once
// The run folder the build filled, as the working directory of a test, and
// small readers of its files.

#include <filesystem>
#include <string>
#include <vector>

// Makes the build's run folder the working directory while it lives, so the
// engine's readers find the data by the names the game uses.
class InRunFolder {
 public:
  InRunFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(VYRE_RUN_DIR); }
  ~InRunFolder() { std::filesystem::current_path(previous_); }
  InRunFolder(const InRunFolder&) = delete;
  InRunFolder& operator=(const InRunFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// A file's bytes (empty when it cannot be read).
std::vector<uint8_t> ReadAll(const std::string& path);
// A text file's lines, without their line ends.
std::vector<std::string> ReadLines(const std::string& path);
