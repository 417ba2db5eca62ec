#pragma once
// Files the player owns are replaced whole or not at all.
#include <string>
#include <string_view>

namespace platform {

// Writes the bytes to a temporary file in the same folder ("<name>.tmpXXXXXX"),
// flushes it to the disk and renames it over the path. False when any step
// fails, with the system's reason in outReason when given; the old file is
// then left as it was and no temporary file remains. A name that is there
// but is no regular file (a folder, a FIFO, a link that loops) is never
// replaced, nor is a file in the user folder of a run that keeps out of it.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* outReason = nullptr);

// Removes the temporary files a save killed between writing and renaming
// left beside the files the pattern matches ("Profiles/*.profile": every
// "<name>.profile.tmpXXXXXX" there). Only names of that exact form, and only
// files, go, and only in a run that holds the user folder. Returns how many
// were removed.
int RemoveStaleTemporaries(std::string_view filePattern);

}  // namespace platform
