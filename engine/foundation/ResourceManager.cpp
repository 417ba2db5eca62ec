#include "engine/foundation/ResourceManager.h"

ResourceManager& ResourceManager::Instance() {
  static ResourceManager manager;
  return manager;
}

ResourceManager::ResourceManager() : looseFile_(File::kTerminatedStrings) {}

ResourceManager::~ResourceManager() { UnmountAll(); }

bool ResourceManager::Mount(const char* path) {
  File probe(0);
  probe.OpenRead(path);
  if (!probe.IsOpen()) return false;
  probe.Close();
  CABArchive* archive = new CABArchive();
  if (archive == nullptr) return false;
  archive->SetArchivePath(path);
  if (!archives_.AddTail(archive)) {
    delete archive;
    return false;
  }
  return true;
}

void ResourceManager::UnmountAll() {
  while (archives_.Count() > 0) delete static_cast<CABArchive*>(archives_.RemoveNode(archives_.Head()));
}

File* ResourceManager::Open(const char* name, String* outRefusal) {
  if (outRefusal != nullptr) outRefusal->ClearText();
  for (PooledListNode* node = archives_.Head(); node != nullptr; node = node->next) {
    CABArchive* archive = static_cast<CABArchive*>(node->data);
    archive->Read();
    int index = archive->Find(name);
    if (index >= 0 && archive->SeekToEntry(index)) return archive;
  }
  looseFile_.SetFlags(File::kTerminatedStrings);
  looseFile_.OpenRead(name);
  if (looseFile_.IsOpen()) return &looseFile_;
  if (outRefusal != nullptr) *outRefusal = looseFile_.GetRefusal();
  return nullptr;
}

bool ResourceManager::Close(File* file) {
  if (file == nullptr) return false;
  return (file->Close() & File::kClosed) != 0;
}

int64_t ResourceManager::ResourceSize(File* file) {
  if (file == nullptr) return 0;
  for (PooledListNode* node = archives_.Head(); node != nullptr; node = node->next) {
    CABArchive* archive = static_cast<CABArchive*>(node->data);
    if (static_cast<File*>(archive) == file) return archive->GetCurrentEntrySize();
  }
  return file->GetSize();
}

bool ResourceManager::LoadBytes(const char* name, std::vector<uint8_t>& outBytes) {
  outBytes.clear();
  File* file = Open(name);
  if (file == nullptr) return false;
  int64_t size = ResourceSize(file);
  bool ok = size >= 0;
  if (ok && size > 0) {
    outBytes.resize(static_cast<size_t>(size));
    ok = file->ReadBlock(outBytes.data(), 1, outBytes.size()) == outBytes.size();
  }
  Close(file);
  if (!ok) outBytes.clear();
  return ok;
}
