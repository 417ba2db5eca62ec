#include "engine/foundation/DirList.h"

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace {

void FreeNames(PooledList* list) {
  if (list == nullptr) return;
  while (list->Count() > 0) delete static_cast<String*>(list->RemoveNode(list->Head()));
  delete list;
}

String NameAt(const PooledList* list, uint32_t n) {
  const String* name = list != nullptr ? static_cast<const String*>(list->At(n)) : nullptr;
  return name != nullptr ? String(*name) : String("");
}

}  // namespace

DirList::~DirList() {
  Clear();
  path_.Release();
}

void DirList::Clear() {
  FreeNames(folders_);
  FreeNames(files_);
  folders_ = nullptr;
  files_ = nullptr;
}

int DirList::Scan(const char* pattern) {
  Clear();
  folders_ = new PooledList(10);
  files_ = new PooledList(10);
  std::string text = pattern != nullptr ? pattern : "";

  // The path is the folder part; a pattern without an extension names a
  // folder, whose name then belongs to the path.
  size_t split = text.find_last_of("/\\:");
  std::string folder = split == std::string::npos ? std::string() : text.substr(0, split + 1);
  std::string name = split == std::string::npos ? text : text.substr(split + 1);
  path_ = folder.c_str();
  if (name.find('.') == std::string::npos) {
    path_ += name.c_str();
    path_ += "\\";
  }

  std::vector<platform::DirectoryEntry> entries;
  platform::SearchDirectory(text, entries);
  int listed = 0;
  for (const platform::DirectoryEntry& entry : entries) {
    PooledList* target = entry.isFolder ? folders_ : files_;
    String* copy = new String(entry.name.c_str());
    if (target == nullptr || copy == nullptr || !target->AddTail(copy)) {
      delete copy;
      continue;
    }
    ++listed;
  }
  return listed;
}

String DirList::GetFolder(uint32_t n) const { return NameAt(folders_, n); }

String DirList::GetFile(uint32_t n) const { return NameAt(files_, n); }

bool DirList::MakeFolder(const char* path) { return path != nullptr && platform::MakeFolder(path); }
