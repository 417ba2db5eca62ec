#pragma once
#include "engine/scene/model/ModelCodec.h"

class ByteReader;

// Reads and writes binary ".3ME" model files (little-endian, no padding).
class C3MEBinaryCodec : public C3MECodec {
 public:
  static constexpr int32_t kVersion = 10;
  // A 16-bit index addresses at most this many vertices.
  static constexpr uint32_t kMaxVertices = 65535;
  static constexpr uint32_t kMaxIndices = 65535;
  // Editing operations of index lists treat larger indices as free slots.
  static constexpr uint32_t kEditableVertices = 32768;

  using C3MECodec::C3MECodec;
  // Reads the file: 1 read, 2 cannot open, 3 not a version-10 3ME file or a bad body.
  int32_t Read(const char* fileName) override;
  // Writes the model: 5 written, 6 not written.
  int32_t Write(const char* fileName) override;
  // Reads model name, materials, instances and meshes. False on a bad or short body.
  bool ReadBody(ByteReader& reader, const char* fileName);
};
