#pragma once

// Profile names become file names ("Profiles/<name>.profile"), so a name read
// from a file or typed by the player is checked before any path is built.

#include <string>

#include "engine/foundation/String.h"

// Longest name a profile file may hold; a longer one refuses the file.
constexpr size_t kMaxStoredProfileName = 255;
// Longest name that is used to build a file name.
constexpr size_t kMaxProfileFileName = 15;

// 1 to 15 bytes, no "/", "\" or control character, not starting with ".":
// a name that stays inside the "Profiles" folder and shows in its listing.
bool IsSafeProfileName(const char* name);

// The profile file of a name relative to the user folder:
// "Profiles/<name>.profile".
std::string ProfileRelativePath(const char* name);
