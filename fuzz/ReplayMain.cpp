// Runs kept inputs through a fuzz target without a fuzzer, so that the test
// build catches a regression of a fault once found:
//   fuzz_replay <target> <file or folder>...
// Folders are walked in name order. Exit status 0 when every input ran; a
// sanitizer report or a crash ends the process with its own status.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace {

std::vector<uint8_t> ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <target> <file or folder>...\n", argv[0]);
    return 2;
  }
  const fuzz::TargetFunction target = fuzz::FindTarget(argv[1]);
  if (target == nullptr) {
    std::fprintf(stderr, "fuzz_replay: no target named %s\n", argv[1]);
    return 2;
  }
  std::vector<std::filesystem::path> inputs;
  for (int i = 2; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') inputs.push_back(entry.path());
      }
    } else if (std::filesystem::is_regular_file(path)) {
      inputs.push_back(path);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "fuzz_replay: %s has no inputs\n", argv[1]);
    return 1;
  }
  fuzz::PrepareProcess();
  for (const auto& path : inputs) {
    const std::vector<uint8_t> bytes = ReadWhole(path);
    std::fprintf(stderr, "fuzz_replay: %s < %s\n", argv[1], path.string().c_str());
    target(bytes.data(), bytes.size());
  }
  std::fprintf(stderr, "fuzz_replay: %s ran %zu inputs\n", argv[1], inputs.size());
  return 0;
}
