#pragma once
// Opens resources by name: from the first mounted archive that holds the
// name, else from the disk. There is one stream per archive and one for
// loose files, so a loader closes one resource before opening the next.
#include <cstdint>
#include <vector>

#include "engine/foundation/CABArchive.h"
#include "engine/foundation/File.h"
#include "engine/foundation/PooledList.h"

class ResourceManager {
 public:
  // The static manager, built on first use.
  static ResourceManager& Instance();

  ResourceManager();
  // Finishes and deletes every mounted archive.
  virtual ~ResourceManager();
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  // Adds an archive behind those mounted before; false (after the logged
  // failed open) when the file cannot be opened. Its directory is read on
  // first use.
  bool Mount(const char* path);
  // Removes every mounted archive.
  void UnmountAll();
  // The resource positioned at its first byte, or null. The caller stops at
  // the resource's end itself (see ResourceSize) and closes it. When a file
  // of that name is on the disk but cannot be opened (no regular file, or
  // the system refuses it), outRefusal receives why; it is emptied otherwise.
  File* Open(const char* name, String* outRefusal = nullptr);
  // Closes what Open returned; returns the closed bit (false for null).
  bool Close(File* file);
  // Size of the resource Open returned: the entry's for an archive, the
  // file's for a loose file.
  int64_t ResourceSize(File* file);
  // Reads a whole resource into bytes (open, read, close); false when it
  // cannot be found or read.
  bool LoadBytes(const char* name, std::vector<uint8_t>& outBytes);

 private:
  PooledList archives_{10};
  File looseFile_;
};
