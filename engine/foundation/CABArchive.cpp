#include "engine/foundation/CABArchive.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/foundation/DirList.h"
#include "engine/foundation/Log.h"

namespace {

constexpr char kMagic[6] = {'C', 'A', 'B', '0', '1', '\0'};
constexpr int64_t kHeaderSize = 14;
// Smallest directory entry: offset, size and an empty name's NUL.
constexpr int64_t kMinEntrySize = 9;
constexpr size_t kMaxNameLength = 4096;
constexpr size_t kCopyChunk = 32768;
// Folder trees deeper than this (or looping through links) are not followed.
constexpr int kMaxFolderDepth = 32;

char NormalisedChar(char c) {
  if (c == '\\') return '/';
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

// Names match ignoring case and slash direction.
bool SameResourceName(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (NormalisedChar(*a) != NormalisedChar(*b)) return false;
  }
  return *a == *b;
}

bool ReadInt32(FILE* stream, int32_t& value) {
  unsigned char bytes[4];
  if (std::fread(bytes, 1, 4, stream) != 4) return false;
  uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                  static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// An entry name: up to a NUL (dropped) or a line feed (kept). False when the
// file ends first or the name is implausibly long.
bool ReadEntryName(FILE* stream, std::string& name) {
  name.clear();
  for (;;) {
    int c = std::fgetc(stream);
    if (c == EOF || name.size() >= kMaxNameLength) return false;
    if (c == '\0') return true;
    name += static_cast<char>(c);
    if (c == '\n') return true;
  }
}

// A stored name as a relative path with "/", or empty when it would leave
// the destination (absolute, a drive, or a ".." component).
std::string SafeRelativePath(const char* stored) {
  std::string path(stored);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || path[0] == '/' || path.find(':') != std::string::npos) return std::string();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (path.compare(start, end - start, "..") == 0) return std::string();
    start = end + 1;
  }
  return path;
}

}  // namespace

CABArchive::CABArchive() : File(kTerminatedStrings) {}

CABArchive::~CABArchive() { Finish(); }

CABEntry* CABArchive::EntryAt(int index) const {
  if (index < 0) return nullptr;
  return static_cast<CABEntry*>(entries_.At(static_cast<uint32_t>(index)));
}

const char* CABArchive::GetEntryName(int index) const {
  CABEntry* entry = EntryAt(index);
  return entry != nullptr ? entry->name.Chars() : nullptr;
}

int32_t CABArchive::GetEntrySize(int index) const {
  CABEntry* entry = EntryAt(index);
  return entry != nullptr ? entry->dataSize : -1;
}

void CABArchive::FreeEntries() {
  while (entries_.Count() > 0) delete static_cast<CABEntry*>(entries_.RemoveNode(entries_.Head()));
  currentEntry_ = -1;
}

bool CABArchive::Read(const char* path) {
  if (IsOpen()) return true;
  // Every reopening reads the directory afresh.
  FreeEntries();
  SetFlags(GetFlags() & ~kText);
  OpenRead(path != nullptr ? path : archivePath_.Chars());
  if (!IsOpen()) return false;
  std::setvbuf(GetStream(), streamBuffer_, _IOFBF, sizeof streamBuffer_);
  if (ReadDirectory()) return true;
  // The file stays open without entries: lookups fail and loaders fall back
  // to the disk, without the refusal being logged again on every lookup.
  FreeEntries();
  return false;
}

bool CABArchive::ReadDirectory() {
  FILE* stream = GetStream();
  const char* name = GetName().Chars();
  int64_t fileSize = GetSize();
  char magic[sizeof kMagic];
  if (std::fread(magic, 1, sizeof magic, stream) != sizeof magic || std::memcmp(magic, kMagic, sizeof magic) != 0) {
    LogPrintf(kLogARC, "CABArchive::Read - %s is not a CAB01 archive", name);
    return false;
  }
  int32_t directoryOffset = 0;
  if (!ReadInt32(stream, directoryOffset) || directoryOffset < kHeaderSize || directoryOffset > fileSize - 4) {
    LogPrintf(kLogARC, "CABArchive::Read - %s : directory offset %d outside the file", name, directoryOffset);
    return false;
  }
  int64_t resume = Tell();
  int32_t count = 0;
  if (fseeko(stream, directoryOffset, SEEK_SET) != 0 || !ReadInt32(stream, count) || count < 0 ||
      count > (fileSize - directoryOffset - 4) / kMinEntrySize) {
    LogPrintf(kLogARC, "CABArchive::Read - %s : entry count %d does not fit the file", name, count);
    return false;
  }
  std::string entryName;
  for (int32_t i = 0; i < count; ++i) {
    int32_t offset = 0;
    int32_t size = 0;
    if (!ReadInt32(stream, offset) || !ReadInt32(stream, size) || !ReadEntryName(stream, entryName)) {
      LogPrintf(kLogARC, "CABArchive::Read - %s : directory entry %d is cut short", name, i);
      return false;
    }
    if (offset < kHeaderSize || size < 0 || static_cast<int64_t>(offset) + size > directoryOffset) {
      LogPrintf(kLogARC, "CABArchive::Read - %s : entry %d (offset %d, size %d) outside the data", name, i, offset,
                size);
      return false;
    }
    CABEntry* entry = new CABEntry();
    if (entry == nullptr) return false;
    entry->name = entryName.c_str();
    entry->dataOffset = offset;
    entry->dataSize = size;
    if (!entries_.AddTail(entry)) {
      delete entry;
      return false;
    }
  }
  fseeko(stream, resume, SEEK_SET);
  directoryOffset_ = directoryOffset;
  return true;
}

int CABArchive::Find(const char* name) const {
  if (name == nullptr) return -1;
  int index = 0;
  for (PooledListNode* node = entries_.Head(); node != nullptr; node = node->next, ++index) {
    if (SameResourceName(static_cast<CABEntry*>(node->data)->name.Chars(), name)) return index;
  }
  return -1;
}

bool CABArchive::SeekToEntry(int index) {
  CABEntry* entry = EntryAt(index);
  if (entry == nullptr || GetStream() == nullptr) return false;
  std::rewind(GetStream());
  if (fseeko(GetStream(), entry->dataOffset, SEEK_SET) != 0) return false;
  currentEntry_ = index;
  return true;
}

bool CABArchive::SeekToEntry(const char* name) { return SeekToEntry(Find(name)); }

bool CABArchive::Create(const char* path) {
  if (IsOpen()) Finish();
  FreeEntries();
  SetFlags(kTerminatedStrings);
  OpenWrite(path);
  if (!IsOpen()) return false;
  std::setvbuf(GetStream(), streamBuffer_, _IOFBF, sizeof streamBuffer_);
  WriteString("CAB01");  // with its NUL
  headerFieldPosition_ = static_cast<int32_t>(Tell());
  WriteInt(-1);
  WriteInt(-1);
  return true;
}

bool CABArchive::AddFile(const char* path) {
  if (!IsOpen() || (GetFlags() & kWrite) == 0 || path == nullptr) return false;
  File source(0);
  source.OpenRead(path);
  if (!source.IsOpen()) return false;
  int64_t offset = Tell();
  int64_t size = source.GetSize();
  // Offsets and sizes are stored in 32 bits.
  if (offset < 0 || size < 0 || offset + size > INT32_MAX) {
    LogPrintf(kLogARC, "CABArchive::AddFile - %s does not fit in the archive", path);
    return false;
  }
  size_t skip = std::strlen(baseFolder_.Chars());
  if (skip > std::strlen(path)) skip = 0;
  CABEntry* entry = new CABEntry();
  if (entry == nullptr) return false;
  entry->name = path + skip;
  entry->name.ReplaceChar('/', '\\');
  entry->dataOffset = static_cast<int32_t>(offset);
  entry->dataSize = static_cast<int32_t>(size);

  char chunk[kCopyChunk];
  int64_t copied = 0;
  while (copied < size) {
    size_t wanted = static_cast<size_t>(size - copied < static_cast<int64_t>(kCopyChunk) ? size - copied : kCopyChunk);
    size_t got = std::fread(chunk, 1, wanted, source.GetStream());
    if (got == 0 || std::fwrite(chunk, 1, got, GetStream()) != got) break;
    copied += static_cast<int64_t>(got);
  }
  if (copied != size) {
    // Keep the directory true to what was stored.
    entry->dataSize = static_cast<int32_t>(copied);
    LogPrintf(kLogARC, "CABArchive::AddFile - %s : only %lld of %lld bytes stored", path,
              static_cast<long long>(copied), static_cast<long long>(size));
  }
  if (!entries_.AddTail(entry)) {
    delete entry;
    return false;
  }
  OutputPrintf(platform::Severity::Info, "  [%d] %s\n", GetEntryCount() - 1, entry->name.Chars());
  return copied == size;
}

int CABArchive::AddFolder(const char* pattern) { return AddFolderAtDepth(pattern, 0); }

int CABArchive::AddFolderAtDepth(const char* pattern, int depth) {
  if (depth > kMaxFolderDepth) return 0;
  DirList list;
  list.Scan(pattern);
  std::string folder = list.Path().Chars();
  int added = 0;
  for (uint32_t i = 0; i < list.FileCount(); ++i) {
    if (AddFile((folder + list.GetFile(i).Chars()).c_str())) ++added;
  }
  for (uint32_t i = 0; i < list.FolderCount(); ++i) {
    added += AddFolderAtDepth((folder + list.GetFolder(i).Chars() + "\\*.*").c_str(), depth + 1);
  }
  return added;
}

void CABArchive::Finish() {
  if (IsOpen() && (GetFlags() & kWrite) != 0) {
    directoryOffset_ = static_cast<int32_t>(Tell());
    WriteInt(GetEntryCount());
    for (PooledListNode* node = entries_.Head(); node != nullptr; node = node->next) {
      CABEntry* entry = static_cast<CABEntry*>(node->data);
      WriteInt(entry->dataOffset);
      WriteInt(entry->dataSize);
      WriteString(entry->name);
    }
    std::rewind(GetStream());
    fseeko(GetStream(), headerFieldPosition_, SEEK_SET);
    WriteInt(directoryOffset_);
    WriteInt(GetEntryCount());
  }
  FreeEntries();
  if (IsOpen()) Close();
}

bool CABArchive::Extract(const char* name, const char* destinationFolder) {
  if (!Read()) return false;
  int index = Find(name);
  CABEntry* entry = EntryAt(index);
  if (entry == nullptr) return false;
  std::string relative = SafeRelativePath(entry->name.Chars());
  if (relative.empty()) {
    LogPrintf(kLogARC, "CABArchive::Extract - refused unsafe name %s", entry->name.Chars());
    return false;
  }
  std::string target = destinationFolder != nullptr ? destinationFolder : "";
  for (char& c : target) {
    if (c == '\\') c = '/';
  }
  if (!target.empty() && target.back() != '/') target += '/';
  target += relative;
  // Each folder of the destination and of the entry's path, in turn.
  for (size_t slash = target.find('/', 1); slash != std::string::npos; slash = target.find('/', slash + 1)) {
    DirList::MakeFolder(target.substr(0, slash).c_str());
  }

  File output(0);
  output.OpenWrite(target.c_str());
  if (!output.IsOpen() || !SeekToEntry(index)) return false;
  char chunk[kCopyChunk];
  int64_t remaining = entry->dataSize;
  while (remaining > 0) {
    size_t wanted = static_cast<size_t>(remaining < static_cast<int64_t>(kCopyChunk) ? remaining : kCopyChunk);
    size_t got = std::fread(chunk, 1, wanted, GetStream());
    if (got == 0 || output.WriteBlock(chunk, 1, got) != got) return false;
    remaining -= static_cast<int64_t>(got);
  }
  return true;
}
