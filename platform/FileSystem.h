#pragma once
// Files and folders: listing, creating, querying. Every path given here is
// resolved first (see Path.h).
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One entry of a directory search.
struct DirectoryEntry {
  std::string name;  // bare name, without the folder
  bool isFolder = false;
};

// Lists the entries matching a pattern such as "Profiles/*.profile". The last
// component may hold the wildcards "*" and "?" and matches ignoring case;
// "*.*" matches every name, with or without a dot. Names beginning with "."
// are skipped. Entries come sorted by name so listings are reproducible.
// Returns false when the folder cannot be read.
bool SearchDirectory(std::string_view pattern, std::vector<DirectoryEntry>& outEntries);

// Creates one folder. True when it was created or already exists; false when
// its parent does not exist or it cannot be made. A run that keeps out of
// the user folder makes none there (see UserFolder.h).
bool MakeFolder(std::string_view path);

// Creates every folder a file path names before its last component; true when
// they all exist afterwards.
bool MakeParentFolders(std::string_view filePath);

// True when the path names an existing folder.
bool IsFolder(std::string_view path);

// What a look into a folder found.
enum class FolderRead { Readable, Missing, Unreadable };

// Whether a folder can be listed and the files in it reached. Missing when
// nothing of that name exists or it is no folder; Unreadable, with the
// system's reason, when a folder is there but cannot be read or entered
// (its permissions, an error of the disk).
FolderRead CheckFolder(std::string_view path, std::string& outReason);

// True when the path names an existing file or folder.
bool PathExists(std::string_view path);

// Size in bytes of a file from the file system, without opening it; false
// when it cannot be read.
bool FileSizeOnDisk(std::string_view path, uint64_t& outBytes);

// What a read of a whole file found.
enum class FileRead { Read, Missing, Unreadable };

// Reads at most maxBytes of a regular file into outBytes. Missing only when
// no file of that name exists; whatever else stops the read (a folder, a
// FIFO or a device, which are never waited on, or an error of the system)
// is Unreadable, with the system's reason in outReason.
FileRead ReadFileBytes(std::string_view path, size_t maxBytes, std::string& outBytes, std::string& outReason);

// How an open of a file as a stream went.
enum class FileOpen { Opened, Missing, Refused };

// Opens a regular file as a C stream with an fopen mode ("r", "rb", "w",
// "a+b", ...). Never waits: a FIFO, a socket or a device is refused at once
// ("not a regular file"), as is a folder. Missing only when no file of that
// name exists; every other failure is Refused, with the system's reason in
// outReason, as is a mode that writes in the user folder of a run that keeps
// out of it. outStream is null unless the file opened.
FileOpen OpenFileStream(std::string_view path, const char* mode, std::FILE*& outStream, std::string& outReason);

// True when the last read of the path in this run found it there but could
// not read it: the player's file in a state the program cannot see into,
// which no save may replace until a read succeeds.
bool WasFoundUnreadable(std::string_view path);

// Moves a file aside to the path followed by the suffix, or by the suffix and
// ".1", ".2", ... when that name is taken: never over an existing file.
// The new path, or empty (and the system's reason) when it stays where it was
// (always in the user folder of a run that keeps out of it).
std::string MoveAside(std::string_view path, std::string_view suffix, std::string& outReason);

// Removes a file; true on success. Never one in the user folder of a run
// that keeps out of it.
bool RemoveFile(std::string_view path);

// The working directory (empty when it cannot be read).
std::string CurrentDirectory();

}  // namespace platform
