#include "engine/scene/core/ResourceBytes.h"

#include <string>

#include "engine/foundation/File.h"
#include "engine/foundation/ResourceManager.h"
#include "engine/scene/core/SceneLog.h"
#include "platform/AtomicFile.h"
#include "platform/Path.h"

namespace {

// No model or list file comes near this; a larger one is refused rather than
// read into memory.
constexpr int64_t kMaxResourceBytes = 16LL * 1024 * 1024;

}  // namespace

bool ReadResourceBytes(const char* name, std::vector<uint8_t>& bytes) {
  bytes.clear();
  ResourceManager& resources = ResourceManager::Instance();
  File* file = resources.Open(name);
  if (file == nullptr) return false;
  // An archive entry's size, or the loose file's.
  const int64_t size = resources.ResourceSize(file);
  bool ok = size >= 0;
  if (ok && size > kMaxResourceBytes) {
    Log3ME("ReadResourceBytes - ERROR : %s : %lld bytes is too large", name, static_cast<long long>(size));
    ok = false;
  }
  if (ok && size > 0) {
    bytes.resize(size_t(size));
    ok = file->ReadBlock(bytes.data(), 1, bytes.size()) == bytes.size();
  }
  resources.Close(file);
  if (!ok) bytes.clear();
  return ok;
}

bool ReadRemainingBytes(File& file, std::vector<uint8_t>& bytes) {
  bytes.clear();
  const char* name = file.GetName().Chars();
  const int64_t position = file.IsOpen() ? file.Tell() : -1;
  const int64_t size = file.GetSize();
  // GetSize closes a file whose stream cannot seek.
  if (!file.IsOpen() || position < 0 || size < position) {
    Log3ME("ReadRemainingBytes - ERROR : %s : the file is not open for reading", name);
    return false;
  }
  const int64_t remaining = size - position;
  if (remaining > kMaxResourceBytes) {
    Log3ME("ReadRemainingBytes - ERROR : %s : %lld bytes is too large", name, static_cast<long long>(remaining));
    return false;
  }
  // Reading nothing would mark the file as failed.
  if (remaining == 0) return true;
  bytes.resize(size_t(remaining));
  bytes.resize(file.ReadBlock(bytes.data(), 1, bytes.size()));
  if (bytes.empty()) Log3ME("ReadRemainingBytes - ERROR : %s : the file cannot be read", name);
  return !bytes.empty();
}

bool WriteResourceBytes(const char* name, const std::vector<uint8_t>& bytes) {
  return platform::ReplaceFileAtomically(platform::ResolvePath(name),
                                         std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
