// Whole-file decoding of sound effects.

#include "engine/runtime/sound/SFXBuffer.h"

#include <AL/al.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "engine/runtime/sound/SFXLog.h"
#include "engine/runtime/sound/SFXOggFile.h"

namespace {

constexpr int kReadChunkBytes = 4096;
// An effect is held whole in memory; a header claiming more than this is
// refused rather than trusted (128 MiB is over 12 minutes of CD-quality stereo).
constexpr int64_t kMaxDecodedBytes = int64_t{128} << 20;

}  // namespace

bool SFXNameHasExtension(const String& name, const char* lowerCaseExtension) {
  String lower(name);
  lower.ToLower();
  return lower.Find(lowerCaseExtension) >= 0;
}

CSFXBuffer::CSFXBuffer(const char* name) : name_(name) {}

CSFXBuffer::~CSFXBuffer() { Unload(); }

void CSFXBuffer::Unload() {
  if (alBuffer_ == 0) return;
  SFXClearError();
  alDeleteBuffers(1, &alBuffer_);
  SFXCheckLastCall();
  alBuffer_ = 0;
}

bool CSFXBuffer::Load() {
  loadAttempted_ = true;
  if (SFXNameHasExtension(name_, ".ogg")) {
    DecodeOgg();
  } else if (SFXNameHasExtension(name_, ".wav")) {
    // Recognised, but there is no WAV reader: the buffer stays silent.
  }
  return true;
}

void CSFXBuffer::DecodeOgg() {
  OggVorbis_File decoder;
  FILE* file = nullptr;
  if (OpenOggFile(name_.Chars(), decoder, file) != OggOpen::kOpened) {
    SFXPrintf("Unable to decode %s", name_.Chars());
    return;
  }
  // The decoder reads through the file until it is cleared; the file goes
  // with it on every way out.
  auto clear = [&decoder, file] {
    ov_clear(&decoder);
    std::fclose(file);
  };
  vorbis_info* info = ov_info(&decoder, -1);
  ogg_int64_t samples = ov_pcm_total(&decoder, -1);
  if (info == nullptr || info->channels < 1 || info->channels > 2) {
    SFXPrintf("Unsupported channel count in %s", name_.Chars());
    clear();
    return;
  }
  // A negative total is the decoder's error code, not a length.
  if (samples <= 0 || samples > kMaxDecodedBytes / (info->channels * 2)) {
    SFXPrintf("Invalid length in %s", name_.Chars());
    clear();
    return;
  }
  const int channels = info->channels;
  const long rate = info->rate;
  const size_t size = static_cast<size_t>(samples) * channels * 2;
  std::unique_ptr<char[]> pcm(new (std::nothrow) char[size]);
  if (!pcm) {
    SFXPrintf("Out of memory decoding %s", name_.Chars());
    clear();
    return;
  }

  size_t filled = 0;
  char chunk[kReadChunkBytes];
  int bitstream = 0;
  while (filled < size) {
    long got = ov_read(&decoder, chunk, kReadChunkBytes, 0, 2, 1, &bitstream);
    if (got <= 0) break;
    size_t copy = std::min(static_cast<size_t>(got), size - filled);
    std::memcpy(pcm.get() + filled, chunk, copy);
    filled += copy;
  }
  clear();
  // Hand over only what was decoded, in whole sample frames: a file that ends
  // early plays shorter rather than ending in noise.
  filled -= filled % (channels * 2);
  if (filled == 0) {
    SFXPrintf("Unable to decode %s", name_.Chars());
    return;
  }

  SFXClearError();
  alGenBuffers(1, &alBuffer_);
  if (!SFXCheckLastCall()) {
    alBuffer_ = 0;
    return;
  }
  alBufferData(alBuffer_, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.get(),
               static_cast<ALsizei>(filled), static_cast<ALsizei>(rate));
  SFXCheckLastCall();
}
