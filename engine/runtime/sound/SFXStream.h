#pragma once
// One sound file decoded piecewise into a small ring of OpenAL buffers that a
// source plays while they are refilled (music).

#include <cstdint>
#include <cstdio>

#include "engine/foundation/String.h"

struct OggVorbis_File;

class CSFXStream {
 public:
  static constexpr uint32_t kChunkBytes = 65536;

  explicit CSFXStream(const char* name);
  // Close, then the name.
  virtual ~CSFXStream();

  // Generates count queue buffers (the manager asks for two).
  void CreateBuffers(uint32_t count);
  // Opens the file once; a name holding ".ogg" (any case) is read as Ogg
  // Vorbis. A file that cannot be opened leaves a stream that never fills.
  bool Open();
  // Frees the decoder, closes the file (once) and deletes the queue buffers.
  void Close();
  // Decodes up to one chunk into the current buffer; false when nothing came.
  bool FillBuffer();
  // Jumps to seconds (0 <= seconds < total) and fills every queue buffer in
  // order; returns how many got data.
  uint32_t Seek(double seconds);
  // Length and position in seconds, 0 without a decoder.
  double GetTotalTime() const;
  double GetTime() const;

  const String& GetName() const { return name_; }
  bool WasOpenAttempted() const { return openAttempted_; }
  bool HasDecoder() const { return decoderOpen_; }
  uint32_t GetBufferCount() const { return bufferCount_; }
  const uint32_t* GetBuffers() const { return buffers_; }
  // Makes one of the queue buffers the one FillBuffer writes.
  void SetCurrentBuffer(uint32_t alBuffer) { currentBuffer_ = alBuffer; }
  uint32_t GetCurrentBuffer() const { return currentBuffer_; }

 private:
  void OpenOgg();

  String name_;
  uint32_t bufferCount_ = 0;
  uint32_t currentBuffer_ = 0;
  uint32_t* buffers_ = nullptr;
  FILE* file_ = nullptr;
  OggVorbis_File* decoder_ = nullptr;
  bool decoderOpen_ = false;
  bool openAttempted_ = false;
  int channels_ = 0;
  long rate_ = 0;
};
