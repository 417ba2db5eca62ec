#pragma once
// Files the player owns are replaced whole or not at all.
#include <string>
#include <string_view>

namespace platform {

// Writes the bytes to a temporary file in the same folder, flushes it to the
// disk and renames it over the path. False when any step fails; the old file
// is then left as it was and no temporary file remains.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
