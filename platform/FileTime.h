#pragma once
// When a file last changed, so that readers can notice edited data files.
#include <cstdint>
#include <string_view>

namespace platform {

// The file's last modification time in seconds since the epoch (the path is
// resolved first); false when its status cannot be read.
bool FileModificationTime(std::string_view path, int64_t& outSeconds);

}  // namespace platform
