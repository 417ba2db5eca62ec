#pragma once
// A folder listing: the names of the sub-folders and files matching a
// pattern such as "Profiles/*.profile".
#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"

class DirList {
 public:
  DirList() = default;
  // Clears, then releases the path.
  virtual ~DirList();
  DirList(const DirList&) = delete;
  DirList& operator=(const DirList&) = delete;

  // Lists the entries matching the pattern (names beginning with "." are
  // skipped); returns how many were listed.
  int Scan(const char* pattern);
  // A copy of the bare name of folder or file n; empty outside the list.
  String GetFolder(uint32_t n) const;
  String GetFile(uint32_t n) const;
  // Number of folders and files listed (0 before a scan).
  uint32_t FolderCount() const { return folders_ != nullptr ? folders_->Count() : 0; }
  uint32_t FileCount() const { return files_ != nullptr ? files_->Count() : 0; }
  // The folder part of the last pattern.
  const String& Path() const { return path_; }
  // Frees every name and both lists.
  void Clear();

  // Creates a folder; true when it was created or already exists, false
  // when its parent does not exist.
  static bool MakeFolder(const char* path);
  static bool MakeFolder(const String& path) { return MakeFolder(path.Chars()); }

 private:
  String path_;
  PooledList* folders_ = nullptr;
  PooledList* files_ = nullptr;
};
