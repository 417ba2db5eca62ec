// Streamed decoding into queued OpenAL buffers.

#include "engine/runtime/sound/SFXStream.h"

#include <AL/al.h>
#include <vorbis/vorbisfile.h>

#include <string>

#include "engine/runtime/sound/SFXBuffer.h"
#include "engine/runtime/sound/SFXLog.h"
#include "engine/runtime/sound/SFXOggFile.h"

namespace {

// Decoded PCM waits here before OpenAL copies it; one thread, so one chunk
// serves every stream.
char gChunk[CSFXStream::kChunkBytes];

// A damaged file can report a hole on every read; give up on the chunk after
// this many in a row instead of spinning.
constexpr int kMaxDecodeErrorsInARow = 32;

}  // namespace

CSFXStream::CSFXStream(const char* name) : name_(name) {}

CSFXStream::~CSFXStream() { Close(); }

void CSFXStream::CreateBuffers(uint32_t count) {
  buffers_ = new uint32_t[count]();
  SFXClearError();
  alGenBuffers(static_cast<ALsizei>(count), buffers_);
  if (!SFXCheckLastCall()) {
    delete[] buffers_;
    buffers_ = nullptr;
    return;
  }
  bufferCount_ = count;
  currentBuffer_ = buffers_[0];
}

bool CSFXStream::Open() {
  openAttempted_ = true;
  if (SFXNameHasExtension(name_, ".ogg")) OpenOgg();
  return true;
}

void CSFXStream::OpenOgg() {
  decoder_ = new OggVorbis_File();
  // The decoder state of a failed open must never be read from.
  switch (OpenOggFile(name_.Chars(), *decoder_, file_)) {
    case OggOpen::kNoFile:
      SFXPrintf("Unable to open stream %s", name_.Chars());
      return;
    case OggOpen::kNotDecoded:
      SFXPrintf("Unable to decode stream %s", name_.Chars());
      return;
    case OggOpen::kOpened:
      break;
  }
  decoderOpen_ = true;
  vorbis_info* info = ov_info(decoder_, -1);
  if (info == nullptr || info->channels < 1 || info->channels > 2) {
    SFXPrintf("Unsupported channel count in %s", name_.Chars());
    ov_clear(decoder_);
    decoderOpen_ = false;
    std::fclose(file_);
    file_ = nullptr;
    return;
  }
  channels_ = info->channels;
  rate_ = info->rate;
  SFXPrintf("Stream %s open and ready", name_.Chars());
}

void CSFXStream::Close() {
  if (decoderOpen_) ov_clear(decoder_);
  decoderOpen_ = false;
  delete decoder_;
  decoder_ = nullptr;
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (bufferCount_ > 0) {
    SFXClearError();
    alDeleteBuffers(static_cast<ALsizei>(bufferCount_), buffers_);
    SFXCheckLastCall();
  }
  bufferCount_ = 0;
  currentBuffer_ = 0;
  delete[] buffers_;
  buffers_ = nullptr;
}

bool CSFXStream::FillBuffer() {
  if (!decoderOpen_ || currentBuffer_ == 0) return false;
  uint32_t filled = 0;
  int errorsInARow = 0;
  int bitstream = 0;
  while (filled < kChunkBytes) {
    long got = ov_read(decoder_, gChunk + filled, static_cast<int>(kChunkBytes - filled), 0, 2, 1, &bitstream);
    if (got == 0) break;
    if (got < 0) {
      // A hole in the data is skipped; a run of them means the file is broken.
      if (++errorsInARow >= kMaxDecodeErrorsInARow) break;
      continue;
    }
    errorsInARow = 0;
    filled += static_cast<uint32_t>(got);
  }
  if (filled == 0) return false;
  SFXClearError();
  alBufferData(currentBuffer_, channels_ == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, gChunk,
               static_cast<ALsizei>(filled), static_cast<ALsizei>(rate_));
  SFXCheckLastCall();
  return true;
}

uint32_t CSFXStream::Seek(double seconds) {
  if (!decoderOpen_) return 0;
  if (seconds < 0.0 || seconds >= ov_time_total(decoder_, -1)) return 0;
  if (ov_time_seek(decoder_, seconds) != 0) return 0;
  uint32_t filled = 0;
  for (uint32_t i = 0; i < bufferCount_; ++i) {
    currentBuffer_ = buffers_[i];
    if (!FillBuffer()) break;
    ++filled;
  }
  return filled;
}

double CSFXStream::GetTotalTime() const { return decoderOpen_ ? ov_time_total(decoder_, -1) : 0.0; }

double CSFXStream::GetTime() const { return decoderOpen_ ? ov_time_tell(decoder_) : 0.0; }
