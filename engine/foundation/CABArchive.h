#pragma once
// A "CAB01" resource archive: many files under their relative paths in one
// file. Header: "CAB01" and a NUL, the directory offset and the entry count
// (32-bit little-endian); then the stored data; then the directory: the
// count and, per entry, data offset, data size and a NUL-terminated name.
// The archive is itself the File that loaders read an entry from.
#include <cstdint>

#include "engine/foundation/File.h"
#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"

// One directory entry.
struct CABEntry {
  String name;  // relative path as stored (backslashes)
  int32_t dataOffset = 0;
  int32_t dataSize = 0;
};

class CABArchive : public File {
 public:
  CABArchive();
  // Finishes the archive (writes the directory when it was being written).
  ~CABArchive() override;

  // Opens the archive file (the given path, else the stored archive path)
  // and reads its directory; true at once when already open. A file that is
  // not an archive, or whose directory does not fit in it, is refused with a
  // log line and keeps no entries.
  bool Read(const char* path = nullptr);
  // Index of the entry named so (case and slash direction ignored), or -1.
  int Find(const char* name) const;
  // Moves the stream to the start of an entry's data; false past the end.
  bool SeekToEntry(int index);
  // Find, then SeekToEntry.
  bool SeekToEntry(const char* name);

  int GetEntryCount() const { return static_cast<int>(entries_.Count()); }
  // Name of an entry, null past the end.
  const char* GetEntryName(int index) const;
  // Size in bytes of an entry's data, -1 past the end.
  int32_t GetEntrySize(int index) const;
  // Size of the entry last sought (-1 when none): the File's own size is the
  // whole archive's.
  int32_t GetCurrentEntrySize() const { return GetEntrySize(currentEntry_); }

  // Starts a new archive file; true on success.
  bool Create(const char* path);
  // Entry names are the added paths without this many leading characters.
  void SetBaseFolder(const char* folder) { baseFolder_ = folder; }
  // Appends a file from disk; prints "  [%d] %s" to standard output.
  bool AddFile(const char* path);
  // Adds every file of a folder pattern ("Data\*.*") and its sub-folders.
  int AddFolder(const char* pattern);
  // Writes the directory when writing; then frees the entries and closes.
  void Finish();
  // Writes an entry out under the destination folder, creating its folders.
  // Absolute names and ".." components are refused.
  bool Extract(const char* name, const char* destinationFolder);

  // The file the archive reads.
  void SetArchivePath(const char* path) { archivePath_ = path; }
  const String& GetArchivePath() const { return archivePath_; }

 private:
  CABEntry* EntryAt(int index) const;
  void FreeEntries();
  bool ReadDirectory();
  int AddFolderAtDepth(const char* pattern, int depth);

  PooledList entries_{10};
  int32_t directoryOffset_ = 0;
  int32_t headerFieldPosition_ = 0;
  int currentEntry_ = -1;
  char streamBuffer_[32768];
  String archivePath_;
  String baseFolder_;
};
