#include "engine/runtime/sound/SFXOggFile.h"

#include <string>

#include "platform/FileSystem.h"

namespace {

size_t ReadFile(void* destination, size_t size, size_t count, void* file) {
  return std::fread(destination, size, count, static_cast<FILE*>(file));
}

int SeekFile(void* file, ogg_int64_t offset, int whence) {
  if (file == nullptr) return -1;
  return std::fseek(static_cast<FILE*>(file), static_cast<long>(offset), whence);
}

long TellFile(void* file) { return std::ftell(static_cast<FILE*>(file)); }

// No close: the stream's owner closes it.
const ov_callbacks kFileCallbacks = {ReadFile, SeekFile, nullptr, TellFile};

}  // namespace

OggOpen OpenOggFile(const char* name, OggVorbis_File& decoder, FILE*& outFile) {
  outFile = nullptr;
  FILE* file = nullptr;
  std::string reason;
  if (platform::OpenFileStream(name, "rb", file, reason) != platform::FileOpen::Opened) return OggOpen::kNoFile;
  if (ov_open_callbacks(file, &decoder, nullptr, 0, kFileCallbacks) != 0) {
    std::fclose(file);
    return OggOpen::kNotDecoded;
  }
  outFile = file;
  return OggOpen::kOpened;
}
