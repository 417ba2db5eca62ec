#pragma once
// The player's own files (settings, GUI layout, logs, profiles, high scores)
// live in one user folder, so they survive a rebuilt or deleted run folder.
// Read-only game data stays relative to the working directory.
#include <string>
#include <string_view>

namespace platform {

// The player's home folder: HOME when set, else the account's home in the
// password database; empty when there is none.
std::string HomeFolder();

// The user folder: VYRE_USER_DIR when set, else $XDG_DATA_HOME/Novaliths,
// else <home>/.local/share/Novaliths. Empty when no home can be found: the
// working directory is never taken in its place. The environment is read at
// every call.
std::string UserFolder();

// The folder VYRE_USER_DIR names, empty when it is not set.
std::string NamedUserFolder();

// Where a player's file is written: its place in the user folder. The user
// folder and the folders the path names are created here. An absolute path
// names its own place and is returned resolved, creating nothing. Empty when
// there is no user folder.
std::string UserWritePath(std::string_view relativePath);

// Where a player's file is read: the user folder's copy when it exists, else
// the working directory's (defaults shipped in the run folder). Creates nothing.
std::string UserReadPath(std::string_view relativePath);

// A run that could not take the user folder for itself (see UserFolderLock)
// keeps out of it for the rest of the process: another copy may be saving
// there, and a save of ours would put back what it read at its start. From
// here on every write, removal, move and new folder under the user folder
// and every write of the registry store is refused, as a failure.
void KeepOutOfUserFolder();
// True once this run keeps out of the user folder.
bool KeepsOutOfUserFolder();
// False, with the reason when given, when the path lies in the user folder
// (or is the folder) and this run keeps out of it. The writers of the
// player's files ask it before they touch the disk.
bool MayWriteInUserFolder(std::string_view path, std::string* outReason = nullptr);

}  // namespace platform
