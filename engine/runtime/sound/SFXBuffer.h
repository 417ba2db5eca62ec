#pragma once
// One sound file decoded whole into one OpenAL buffer (short effects).

#include <cstdint>

#include "engine/foundation/String.h"

class CSFXBuffer {
 public:
  explicit CSFXBuffer(const char* name);
  virtual ~CSFXBuffer();

  // Decodes the file once; a name holding ".ogg" (any case) is read as Ogg
  // Vorbis, anything else loads nothing. Always reports success: a file that
  // cannot be decoded leaves the buffer silent.
  bool Load();
  // Deletes the OpenAL buffer.
  void Unload();

  const String& GetName() const { return name_; }
  // OpenAL buffer name, 0 until a load produced one.
  uint32_t GetALBuffer() const { return alBuffer_; }
  // True once Load has run, whatever it produced: a failed file is not retried.
  bool WasLoadAttempted() const { return loadAttempted_; }

 private:
  void DecodeOgg();

  String name_;
  uint32_t alBuffer_ = 0;
  bool loadAttempted_ = false;
};

// True when the lower-cased name contains the extension text anywhere.
bool SFXNameHasExtension(const String& name, const char* lowerCaseExtension);
