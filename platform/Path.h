#pragma once
// Every file name the program opens passes through here: names written for a
// case-insensitive file system with "\" separators find their files on a
// case-sensitive one.
#include <string>
#include <string_view>

namespace platform {

// Turns every "\" into "/".
std::string ToForwardSlashes(std::string_view path);

// The on-disk name of a path: "\" becomes "/", and every component that does
// not exist under its exact name is matched against its folder ignoring case.
// Components that match nothing are kept as written (a file about to be
// created), as is everything after them.
std::string ResolvePath(std::string_view path);

}  // namespace platform
